#pragma once

#include "memory/SharedString.h"

#include <compare>
#include <cstdint>
#include <optional>

namespace kinloom {

/// The year of a date as the person table shows it: its digits as written
/// (leading zeros kept: "0850", "794", "12345"), after Christ, or before
/// Christ when the date says so, or a year of an extension calendar, shown
/// with the calendar's name ("87 _MAYAN"). Eight bytes and trivially
/// copied, so that the person table can keep one for every person.
class LNYear {
  public:
    /// The largest number and the most digits a year holds.
    static constexpr std::uint32_t maxNumber = 999'999'999;
    static constexpr std::uint8_t maxDigits = 15;

    /// A Gregorian (or Julian) year of four digits.
    constexpr LNYear(std::uint16_t number, bool beforeChrist) : LNYear(number, 4, beforeChrist, noCalendar) {}

    std::uint32_t number() const { return number_; }
    bool beforeChrist() const { return beforeChrist_; }
    /// How many digits the text shows, leading zeros included.
    std::uint8_t digits() const { return digits_; }
    /// The name of the year's extension calendar, or absent for a year of
    /// the common era.
    std::optional<StringView> calendarName() const;
    /// The digits, then " B.C." for a year before Christ or a blank and the
    /// calendar's name: "1850", "0850", "794", "1032 B.C.", "87 _MAYAN".
    String text() const;

    /// The year of 1 to maxDigits ASCII digits worth at most maxNumber, or
    /// absent for any other text.
    static std::optional<LNYear> fromDigits(StringView digits, bool beforeChrist);
    /// The same in the named calendar; absent too when the name cannot be
    /// kept (see InternTable).
    static std::optional<LNYear> fromDigits(StringView digits, StringView calendarName);
    /// The year of the given number, shown with as many digits as it has.
    static std::optional<LNYear> fromNumber(std::uint64_t number, bool beforeChrist);
    /// The year whose text() the text is, or absent for any other text.
    static std::optional<LNYear> fromText(StringView text);

    /// The position of a year of the common era in time order: every year
    /// before Christ is negative, the larger number the earlier.
    constexpr std::int64_t order() const {
        return beforeChrist_ ? -1 - static_cast<std::int64_t>(number_) : number_;
    }
    /// One number for each distinct text().
    std::uint64_t identity() const {
        return number_ | std::uint64_t{digits_} << 32 | std::uint64_t{beforeChrist_} << 40 |
               std::uint64_t{calendar_} << 41;
    }
    /// The order of compareTexts.
    friend std::strong_ordering operator<=>(LNYear a, LNYear b);
    friend bool operator==(LNYear a, LNYear b) { return a.identity() == b.identity(); }

    /// The order of year texts: the texts of years of the common era in time
    /// order (equal years by text: "0850" before "850"), then those of
    /// extension calendars by calendar name and number, then every other
    /// text in code unit order. So four-digit years still sort as their texts
    /// do. Negative, zero or positive.
    static int compareTexts(StringView a, StringView b);

  private:
    static constexpr std::uint16_t noCalendar = UINT16_MAX;
    constexpr LNYear(std::uint32_t number, std::uint8_t digits, bool beforeChrist, std::uint16_t calendar)
        : number_(number), calendar_(calendar), digits_(digits), beforeChrist_(beforeChrist) {}

    std::uint32_t number_;
    // The name's number in the InternTable, or noCalendar.
    std::uint16_t calendar_;
    std::uint8_t digits_;
    bool beforeChrist_;
};

static_assert(sizeof(LNYear) == 8, "a year takes eight bytes");

} // namespace kinloom
