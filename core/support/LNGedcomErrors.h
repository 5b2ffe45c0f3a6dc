#pragma once

#include "memory/SharedString.h"

#include <array>
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

/// What a kept report found. The viewer words a report from its finding and
/// arguments, never from the log's text, which stays as it is written; none
/// where the kind alone says it, or the text is all there is.
enum class LNProblemFinding : std::uint8_t {
    none,
    noName,         // the person's key
    duplicateKey,   // the key
    noKey,          // the record's tag
    missingFamily,  // the FAMC or FAMS value
    missingSource,  // the SOUR value
    missingPerson,  // the HUSB value
    husbandNotMale, // person, family
    wifeNotFemale,  // person, family
    husbandInNatal, // person, family
    wifeInNatal,    // person, family
    childInSpousal, // person, family
    notListedAsChild,
    manyRoles,
    childOfManyFamilies, // person
    husbandNamesAsNatal, // family, person
    husbandMissesFamily, // family, person
    wifeNamesAsNatal,    // family, person
    childNamesAsSpousal, // family, person
    memberInManyRoles,   // family, person
    familyMissingSource, // family, source
    referenceMissing,    // key, the line's tag
    referenceWrongKind,  // key, the line's tag
};

/// What a finder knows of a report beyond its log line: the finding, its
/// arguments (keys, or "(null)" for a line without value), and the line of
/// the record the report is about, for a report logged at line 0.
struct LNProblemDetail {
    LNProblemFinding finding = LNProblemFinding::none;
    std::array<StringView, 2> args{};
    std::int32_t recordLine = 0;
};

/// One kept report: its kind, its line as logged (0: none), its argument or
/// text, and the finder's detail. Texts are absent where empty.
struct LNGedcomProblem {
    ErrorKind kind;
    std::int32_t line = 0;
    LNProblemFinding finding = LNProblemFinding::none;
    SharedString text;
    std::array<SharedString, 2> args;
    std::int32_t recordLine = 0;
};
static_assert(sizeof(void*) != 8 || sizeof(LNGedcomProblem) == 56,
              "a kept report takes 56 bytes and its texts");

/// Problems found in a file: each report is written to the system log,
/// counted and kept, up to maxKeptProblems entries; later ones are only
/// counted as dropped. A list without reports holds no memory.
class LNGedcomErrors {
  public:
    LNGedcomErrors() = default;

    /// Logs "just added error KIND at line LINE".
    void addError(ErrorKind kind, std::int32_t line);
    /// Logs "just added error KIND at line LINE with arg ARG".
    void addError(ErrorKind kind, std::int32_t line, StringView argOne, const LNProblemDetail& detail = {});
    /// The older plain-text report: logs "DEPRECATED call to LNGedcomErrors
    /// addObject with string: TEXT".
    void addObject(StringView text) { addObject(text, 0); }
    /// The same, keeping the line of the record the text is about.
    void addObject(StringView text, std::int32_t line, const LNProblemDetail& detail = {});
    /// Keeps a finding that is neither logged here nor counted (its finder
    /// logs it in its own words).
    void addUncounted(ErrorKind kind, std::int32_t line, StringView text, const LNProblemDetail& detail = {});
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
    void keep(ErrorKind kind, std::int32_t line, StringView text, const LNProblemDetail& detail);
    /// Whether one more report is kept; counts it as dropped when not.
    bool roomForOne();

    std::int32_t numErrors_ = 0;
    std::vector<LNGedcomProblem> problems_;
    std::int64_t dropped_ = 0;
};

} // namespace kinloom
