#include "support/LNGedcomErrors.h"

#include "support/SystemLog.h"
#include "support/TextServices.h"

namespace kinloom {

void LNGedcomErrors::keep(ErrorKind kind, std::int32_t line, StringView text) {
    if (problems_.size() < maxKeptProblems)
        problems_.push_back({kind, line, String(text)});
    else
        ++dropped_;
}

void LNGedcomErrors::addError(ErrorKind kind, std::int32_t line) {
    systemLog("just added error " + toUtf8(kind) + " at line " + std::to_string(line));
    ++numErrors_;
    keep(kind, line, {});
}

void LNGedcomErrors::addError(ErrorKind kind, std::int32_t line, StringView argOne) {
    systemLog("just added error " + toUtf8(kind) + " at line " + std::to_string(line) + " with arg " +
              toUtf8(argOne));
    ++numErrors_;
    keep(kind, line, argOne);
}

void LNGedcomErrors::addObject(StringView text, std::int32_t line) {
    systemLog("DEPRECATED call to LNGedcomErrors addObject with string: " + toUtf8(text));
    ++numErrors_;
    keep(LNGedcomProblemLink, line, text);
}

void LNGedcomErrors::addUncounted(ErrorKind kind, std::int32_t line, StringView text) {
    keep(kind, line, text);
}

void LNGedcomErrors::absorb(const LNGedcomErrors& other) {
    numErrors_ += other.numErrors_;
    dropped_ += other.dropped_;
    for (const LNGedcomProblem& problem : other.problems_)
        keep(problem.kind, problem.line, problem.text);
}

} // namespace kinloom
