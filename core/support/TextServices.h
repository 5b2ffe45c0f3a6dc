#pragma once

/// The Unicode services the core relies on. This is the only code that calls
/// ICU: character classes, splitting, trimming, scanning, case mapping,
/// collation, normalisation, the UTF-8 / UTF-16 conversions and the Hebrew
/// calendar.

#include "memory/SharedString.h"
#include "support/LNProgress.h"

#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kinloom {

/// A set of UTF-16 code units (membership of a surrogate is always false
/// for the predefined sets).
class CharSet {
  public:
    /// The given code units.
    static CharSet fromChars(StringView chars);
    /// TAB and every character of Unicode category Zs.
    static const CharSet& whiteSpace();
    /// whiteSpace() plus LF, VT, FF, CR, U+0085, U+2028, U+2029.
    static const CharSet& whiteSpaceAndNewline();
    /// LF, VT, FF, CR, U+0085, U+2028, U+2029.
    static const CharSet& newline();

    bool contains(char16_t c) const { return bits_->test(c); }
    CharSet() : bits_(std::make_shared<std::bitset<65536>>()) {}

  private:
    std::shared_ptr<std::bitset<65536>> bits_;
};

/// Splits at every single member of the set; empty pieces are kept, so n
/// separators always give n + 1 pieces. The views point into the text.
std::vector<StringView> splitBySet(StringView text, const CharSet& separators);
/// Splits at every occurrence of the separator text, keeping empty pieces.
std::vector<StringView> splitByString(StringView text, StringView separator);
/// The text without members of the set at either end.
StringView trim(StringView text, const CharSet& set);

/// A position in a text and the scans the line parser needs. Nothing is
/// skipped implicitly: callers skip white space themselves.
class Scanner {
  public:
    explicit Scanner(StringView text) : text_(text) {}
    std::size_t location() const { return location_; }
    void setLocation(std::size_t location) { location_ = location; }
    bool atEnd() const { return location_ >= text_.size(); }
    /// Scans a run (possibly empty) of set members; returns whether it was non-empty.
    bool scanCharacters(const CharSet& set, StringView* run = nullptr);
    /// Scans up to the first member of the set; returns whether anything was scanned.
    bool scanUpToCharacters(const CharSet& set, StringView* run = nullptr);
    /// An optional sign and one or more ASCII digits. Out of range values give
    /// the nearest 32-bit limit. On failure nothing is consumed.
    bool scanInt(std::int32_t* value);
    StringView rest() const { return atEnd() ? StringView() : text_.substr(location_); }

  private:
    StringView text_;
    std::size_t location_ = 0;
};

/// Whether every code unit is below 0x80.
bool isAscii(StringView text);

/// The leading integer of a text after leading white space, with optional
/// sign; 0 when there is none. Saturates at the 32-bit limits.
std::int32_t intValue(StringView text);

/// Whether the text is a well-formed BCP 47 language tag ("en", "de-CH",
/// "x-private", "i-klingon"); whether its subtags are registered is not asked.
bool isLanguageTag(StringView text);

/// Full Unicode case mapping (language independent): the upper case of "ß" is "SS".
String toUpper(StringView text);
String toLower(StringView text);

/// Locale-aware comparison that ignores letter case: -1, 0 or 1. Uses the
/// collation locale (see setCollationLocale) at secondary strength.
int localizedCaseInsensitiveCompare(StringView a, StringView b);
/// A byte string whose plain comparison orders texts exactly as
/// localizedCaseInsensitiveCompare does: compute once, compare many times.
std::string collationKey(StringView text);
/// Chooses the collation locale by BCP 47 name ("en", "de", ...). The default
/// is the process's locale as ICU sees it.
void setCollationLocale(const char* name);

/// The text as a search compares it, ignoring letter case and accents: the
/// canonical decomposition without its combining marks, case-folded
/// ("Lefèvre" and "LEFEVRE" both give "lefevre").
String foldForSearch(StringView text);

/// Unicode Normalization Form C.
String toNFC(StringView text);

/// UTF-8 to UTF-16; ill-formed sequences become U+FFFD.
String fromUtf8(std::string_view bytes);
/// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string toUtf8(StringView text);
/// The text in UTF-8, or "(null)" when absent: the form message texts use.
std::string toUtf8OrNull(const SharedString& text);
std::string toUtf8OrNull(const std::optional<String>& text);
/// UTF-16 bytes in the given byte order; an odd last byte becomes U+FFFD.
/// The bytes read are counted on the meter.
String fromUtf16(std::string_view bytes, bool bigEndian, LNProgress::Meter meter = {});

/// The proleptic Gregorian year (0 is 1 B.C., -1 is 2 B.C.) of a day of the
/// Hebrew calendar: year 1 to 999999, month 1 (Tishrei) to 13 (Elul) with 6
/// Adar I and 7 Adar (Adar II in a leap year), day 1 to 30 (past a month's
/// end, the days of the next). Absent for anything else.
std::optional<std::int64_t> gregorianYearOfHebrewDay(std::int32_t year, int month, int day);

} // namespace kinloom
