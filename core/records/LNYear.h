#pragma once

#include "memory/SharedString.h"

#include <compare>
#include <cstdint>
#include <optional>

namespace kinloom {

/// The year of a date: its four digits as written, after Christ, or before
/// Christ when the date says B.C. or BC after them. Four bytes, so that the
/// person table can keep one for every person.
class LNYear {
  public:
    /// The number of the four digits, 0 to 9999.
    constexpr LNYear(std::uint16_t number, bool beforeChrist)
        : number_(number), beforeChrist_(beforeChrist) {}

    std::uint16_t number() const { return number_; }
    bool beforeChrist() const { return beforeChrist_; }
    /// The four digits, then " B.C." for a year before Christ: "1850", "0850",
    /// "1032 B.C.".
    String text() const;
    /// The year of exactly four ASCII digits, or absent for any other text.
    static std::optional<LNYear> fromDigits(StringView digits, bool beforeChrist);
    /// The year whose text() the text is, or absent for any other text.
    static std::optional<LNYear> fromText(StringView text);

    /// The position of the year in time order, -10000 to 9999: every year
    /// before Christ is negative, the larger number the earlier.
    constexpr int order() const { return beforeChrist_ ? -1 - number_ : number_; }
    friend constexpr std::strong_ordering operator<=>(LNYear a, LNYear b) { return a.order() <=> b.order(); }
    friend constexpr bool operator==(LNYear a, LNYear b) { return a.order() == b.order(); }

    /// The order of year texts: the texts of years in time order, before
    /// every other text, which keep code unit order. So four-digit years
    /// still sort as their texts do. Negative, zero or positive.
    static int compareTexts(StringView a, StringView b);

  private:
    std::uint16_t number_;
    bool beforeChrist_;
};

static_assert(sizeof(LNYear) == 4, "a year takes four bytes");

} // namespace kinloom
