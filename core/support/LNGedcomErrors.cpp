#include "support/LNGedcomErrors.h"

#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <algorithm>

namespace kinloom {

namespace {

SharedString kept(StringView text) {
    return text.empty() ? SharedString() : SharedString(text);
}

} // namespace

bool LNGedcomErrors::roomForOne() {
    if (problems_.size() >= maxKeptProblems) {
        ++dropped_;
        return false;
    }
    // By doubling, as the vector would, but never past the bound: a file of
    // a million reports would hold 131,072 places for 100,000.
    if (problems_.size() == problems_.capacity())
        problems_.reserve(std::min(std::max<std::size_t>(1, 2 * problems_.size()), maxKeptProblems));
    return true;
}

void LNGedcomErrors::keep(ErrorKind kind, std::int32_t line, StringView text, const LNProblemDetail& detail) {
    if (!roomForOne()) return;
    // A report's text is often its first argument (a key): kept once.
    SharedString shared = kept(text);
    SharedString first = detail.args[0] == text ? shared : kept(detail.args[0]);
    problems_.push_back({kind,
                         line,
                         detail.finding,
                         std::move(shared),
                         {std::move(first), kept(detail.args[1])},
                         detail.recordLine});
}

void LNGedcomErrors::addError(ErrorKind kind, std::int32_t line) {
    systemLog("just added error " + toUtf8(kind) + " at line " + std::to_string(line));
    ++numErrors_;
    keep(kind, line, {}, {});
}

void LNGedcomErrors::addError(ErrorKind kind, std::int32_t line, StringView argOne,
                              const LNProblemDetail& detail) {
    systemLog("just added error " + toUtf8(kind) + " at line " + std::to_string(line) + " with arg " +
              toUtf8(argOne));
    ++numErrors_;
    keep(kind, line, argOne, detail);
}

void LNGedcomErrors::addObject(StringView text, std::int32_t line, const LNProblemDetail& detail) {
    systemLog("DEPRECATED call to LNGedcomErrors addObject with string: " + toUtf8(text));
    ++numErrors_;
    keep(LNGedcomProblemLink, line, text, detail);
}

void LNGedcomErrors::addUncounted(ErrorKind kind, std::int32_t line, StringView text,
                                  const LNProblemDetail& detail) {
    keep(kind, line, text, detail);
}

void LNGedcomErrors::absorb(const LNGedcomErrors& other) {
    numErrors_ += other.numErrors_;
    dropped_ += other.dropped_;
    for (const LNGedcomProblem& problem : other.problems_)
        if (roomForOne()) problems_.push_back(problem);
}

} // namespace kinloom
