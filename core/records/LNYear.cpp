#include "records/LNYear.h"

#include "memory/InternTable.h"

namespace kinloom {

namespace {

constexpr StringView beforeChristSuffix = u" B.C.";

// The number of 1 to maxDigits ASCII digits, or absent.
std::optional<std::uint64_t> numberOf(StringView digits) {
    if (digits.empty() || digits.size() > LNYear::maxDigits) return std::nullopt;
    std::uint64_t number = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') return std::nullopt;
        number = number * 10 + (c - u'0');
    }
    return number;
}

// What a year text says, read without making a year (an extension
// calendar's name stays a view): rank 0 for a year of the common era, 1 for
// one of an extension calendar, 2 for any other text.
struct YearText {
    int rank = 2;
    std::int64_t order = 0;
    StringView calendar;
};

// The names an extension calendar may have: letters, digits and
// underscores, as tags.
bool isCalendarName(StringView name) {
    return !name.empty() &&
           name.find_first_not_of(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") == StringView::npos;
}

YearText readText(StringView text) {
    const std::size_t blank = text.find(u' ');
    const std::optional<std::uint64_t> number = numberOf(text.substr(0, blank));
    if (!number || *number > LNYear::maxNumber) return {};
    if (blank == StringView::npos) return {0, static_cast<std::int64_t>(*number), {}};
    const StringView rest = text.substr(blank);
    if (rest == beforeChristSuffix) return {0, -1 - static_cast<std::int64_t>(*number), {}};
    const StringView name = rest.substr(1);
    if (!isCalendarName(name)) return {};
    return {1, static_cast<std::int64_t>(*number), name};
}

template <typename T> int sign(const T& a, const T& b) {
    return (a > b) - (a < b);
}

} // namespace

std::optional<StringView> LNYear::calendarName() const {
    if (calendar_ == noCalendar) return std::nullopt;
    return InternTable::text(calendar_).view();
}

std::optional<LNYear> LNYear::fromDigits(StringView digits, bool beforeChrist) {
    const std::optional<std::uint64_t> number = numberOf(digits);
    if (!number || *number > maxNumber) return std::nullopt;
    return LNYear(static_cast<std::uint32_t>(*number), static_cast<std::uint8_t>(digits.size()), beforeChrist,
                  noCalendar);
}

std::optional<LNYear> LNYear::fromDigits(StringView digits, StringView calendarName) {
    const std::optional<LNYear> year = fromDigits(digits, false);
    if (!year || !isCalendarName(calendarName)) return std::nullopt;
    const std::uint32_t name = InternTable::number(calendarName);
    if (name == InternTable::none) return std::nullopt;
    return LNYear(year->number_, year->digits_, false, static_cast<std::uint16_t>(name));
}

std::optional<LNYear> LNYear::fromNumber(std::uint64_t number, bool beforeChrist) {
    if (number > maxNumber) return std::nullopt;
    std::uint8_t digits = 1;
    for (std::uint64_t rest = number / 10; rest > 0; rest /= 10)
        ++digits;
    return LNYear(static_cast<std::uint32_t>(number), digits, beforeChrist, noCalendar);
}

String LNYear::text() const {
    String text(digits_, u'0');
    std::uint32_t rest = number_;
    for (std::size_t at = digits_; at > 0; rest /= 10)
        text[--at] = static_cast<char16_t>(u'0' + rest % 10);
    if (beforeChrist_) text += beforeChristSuffix;
    if (std::optional<StringView> name = calendarName()) text.append(u" ").append(*name);
    return text;
}

std::optional<LNYear> LNYear::fromText(StringView text) {
    const YearText read = readText(text);
    const StringView digits = text.substr(0, text.find(u' '));
    if (read.rank == 1) return fromDigits(digits, read.calendar);
    return read.rank == 0 ? fromDigits(digits, read.order < 0) : std::nullopt;
}

std::strong_ordering operator<=>(LNYear a, LNYear b) {
    return LNYear::compareTexts(a.text(), b.text()) <=> 0;
}

int LNYear::compareTexts(StringView a, StringView b) {
    const YearText yearA = readText(a);
    const YearText yearB = readText(b);
    if (int order = sign(yearA.rank, yearB.rank)) return order;
    if (yearA.rank < 2) {
        if (int order = sign(yearA.calendar, yearB.calendar)) return order;
        if (int order = sign(yearA.order, yearB.order)) return order;
    }
    return sign(a, b);
}

} // namespace kinloom
