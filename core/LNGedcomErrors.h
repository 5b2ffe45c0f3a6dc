#pragma once

#include "SharedString.h"

#include <cstdint>
#include <string_view>

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

/// Problems found in a file: each report is written to the system log and
/// counted; no entries are kept.
class LNGedcomErrors {
  public:
    LNGedcomErrors() = default;

    /// Logs "just added error KIND at line LINE".
    void addError(ErrorKind kind, std::int32_t line);
    /// Logs "just added error KIND at line LINE with arg ARG".
    void addError(ErrorKind kind, std::int32_t line, StringView argOne);
    /// The older plain-text report: logs "DEPRECATED call to LNGedcomErrors
    /// addObject with string: TEXT".
    void addObject(StringView text);
    /// Counts the other list's errors as this list's own; their log lines
    /// were written when they were added there.
    void absorb(const LNGedcomErrors& other) { numErrors_ += other.numErrors_; }

    std::int32_t count() const { return numErrors_; }
    std::int32_t numErrors() const { return numErrors_; }

  private:
    std::int32_t numErrors_ = 0;
};

} // namespace kinloom
