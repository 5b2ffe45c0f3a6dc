#include "support/LNGedcomErrors.h"

#include "support/SystemLog.h"
#include "support/TextServices.h"

namespace kinloom {

void LNGedcomErrors::keep(ErrorKind kind, std::int32_t line, StringView text, const LNProblemDetail& detail) {
    if (problems_.size() >= maxKeptProblems) {
        ++dropped_;
        return;
    }
    problems_.push_back({kind,
                         line,
                         String(text),
                         detail.finding,
                         {String(detail.args[0]), String(detail.args[1])},
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
    for (const LNGedcomProblem& problem : other.problems_) {
        if (problems_.size() >= maxKeptProblems) {
            ++dropped_;
            continue;
        }
        problems_.push_back(problem);
    }
}

} // namespace kinloom
