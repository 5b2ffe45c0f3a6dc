#pragma once

#include "memory/SharedString.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace kinloom {

/// An error kind is passed around as its constant text.
using ErrorKind = std::u16string_view;

inline constexpr ErrorKind LNGedcomErrorCantReadSource = u"cantReadSource";
inline constexpr ErrorKind LNGedcomErrorEmptySource = u"emptySource";
inline constexpr ErrorKind LNGedcomErrorLineSyntax = u"lineSyntax";
inline constexpr ErrorKind LNGedcomErrorIllegalLevel = u"illegalLevel";
inline constexpr ErrorKind LNGedcomErrorIllegalName = u"illegalName";
inline constexpr ErrorKind LNGedcomErrorMultiplyDefinedKey = u"multiplyDefinedKey";
inline constexpr ErrorKind LNGedcomErrorUndefinedKey = u"undefinedKey";
inline constexpr ErrorKind LNGedcomErrorMissingKey = u"missingKey";
inline constexpr ErrorKind LNGedcomErrorWrongSex = u"wrongSex";
inline constexpr ErrorKind LNGedcomErrorWrongRole = u"wrongRole";
inline constexpr ErrorKind LNGedcomErrorMissingLink = u"missingLink";
inline constexpr ErrorKind LNGedcomErrorMultipleRoles = u"multipleRoles";

/// The kinds of kept reports that have no error kind: the link checks'
/// plain-text findings, the reference check's findings and the lines the
/// grammar rejects. Only the first of them counts as an error.
inline constexpr ErrorKind LNGedcomProblemLink = u"link";
inline constexpr ErrorKind LNGedcomProblemReference = u"reference";
inline constexpr ErrorKind LNGedcomProblemStructure = u"structure";
/// A GEDCOM 7 file whose bytes are not UTF-8, at the line where they stop being so.
inline constexpr ErrorKind LNGedcomProblemEncoding = u"encoding";
/// The GEDCOM 7 validator's findings of how often a line occurs and of its value.
inline constexpr ErrorKind LNGedcomProblemCount = u"count";
inline constexpr ErrorKind LNGedcomProblemPayload = u"payload";

/// One kept report: its kind, its line (0: none) and its argument or text.
struct LNGedcomProblem {
    ErrorKind kind;
    std::int32_t line = 0;
    String text;
};

/// Problems found in a file: each report is written to the system log,
/// counted and kept, up to maxKeptProblems entries; later ones are only
/// counted as dropped. A list without reports holds no memory.
class LNGedcomErrors {
  public:
    LNGedcomErrors() = default;

    /// Logs "just added error KIND at line LINE".
    void addError(ErrorKind kind, std::int32_t line);
    /// Logs "just added error KIND at line LINE with arg ARG".
    void addError(ErrorKind kind, std::int32_t line, StringView argOne);
    /// The older plain-text report: logs "DEPRECATED call to LNGedcomErrors
    /// addObject with string: TEXT".
    void addObject(StringView text) { addObject(text, 0); }
    /// The same, keeping the line of the record the text is about.
    void addObject(StringView text, std::int32_t line);
    /// Keeps a finding that is neither logged here nor counted (its finder
    /// logs it in its own words).
    void addUncounted(ErrorKind kind, std::int32_t line, StringView text);
    /// Counts and keeps the other list's reports as this list's own; their
    /// log lines were written when they were added there.
    void absorb(const LNGedcomErrors& other);

    std::int32_t count() const { return numErrors_; }
    std::int32_t numErrors() const { return numErrors_; }

    static constexpr std::size_t maxKeptProblems = 100000;
    /// The kept reports in the order they were made.
    const std::vector<LNGedcomProblem>& problems() const { return problems_; }
    /// How many reports came after the list was full.
    std::int64_t droppedProblems() const { return dropped_; }

  private:
    void keep(ErrorKind kind, std::int32_t line, StringView text);

    std::int32_t numErrors_ = 0;
    std::vector<LNGedcomProblem> problems_;
    std::int64_t dropped_ = 0;
};

} // namespace kinloom
