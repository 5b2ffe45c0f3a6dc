#include "records/LNDate.h"

#include "support/TextServices.h"

#include <algorithm>
#include <array>
#include <span>

namespace kinloom {

namespace {

const CharSet& partSeparators() {
    static const CharSet separators = CharSet::fromChars(u" \t,-_/.()[]{}<>");
    return separators;
}

// Whether the text starts with "B.C." or "BC", in any case and with or
// without either dot, ending there or at a separator: so "BCE" is not.
bool startsBeforeChrist(StringView text) {
    std::size_t at = 0;
    auto take = [&](char16_t c) {
        if (at == text.size() || (text[at] | 0x20) != c) return false;
        ++at;
        return true;
    };
    auto skipDot = [&] { at += at < text.size() && text[at] == u'.'; };
    if (!take(u'b')) return false;
    skipDot();
    if (!take(u'c')) return false;
    skipDot();
    return at == text.size() || partSeparators().contains(text[at]);
}

// The year of the token of the given length at the start of the text (which
// runs on to its end): four digits alone, after Christ unless blanks and
// B.C. follow them, or four digits with B.C. attached. Digits have no case,
// so the token's lower-case form need not be made.
std::optional<LNYear> yearOfToken(StringView text, std::size_t tokenLength) {
    if (tokenLength < 4) return std::nullopt;
    const StringView rest = text.substr(4);
    const bool attached = tokenLength > 4;
    if (attached && !startsBeforeChrist(rest)) return std::nullopt;
    const std::size_t next = rest.find_first_not_of(u" \t");
    const bool beforeChrist = attached || (next != StringView::npos && startsBeforeChrist(rest.substr(next)));
    return LNYear::fromDigits(text.substr(0, 4), beforeChrist);
}

// The last year of trimmed text: a later year replaces an earlier one, so a
// range gives the year it ends in.
std::optional<LNYear> lastYear(StringView trimmed) {
    const CharSet& separators = partSeparators();
    std::optional<LNYear> year;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= trimmed.size(); ++i) {
        if (i < trimmed.size() && !separators.contains(trimmed[i])) continue;
        if (auto found = yearOfToken(trimmed.substr(start), i - start)) year = found;
        start = i + 1;
    }
    return year;
}

// The date grammar of the 5.5, 5.5.1 and 7.0 standards, read one word at a
// time. No value of either standard has more words than a few, so the words
// go into a fixed array and a longer text is no date.
constexpr std::size_t maxWords = 16;

struct Words {
    std::array<StringView, maxWords> at;
    std::size_t count = 0;
};

struct Grammar {
    bool gedcom7;
    bool tolerant;
};

bool isBlank(char16_t c, bool tolerant) {
    return c == u' ' || (tolerant && c == u'\t');
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool isDigits(StringView word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), isDigit);
}

// Splits the text at blanks: one space exactly (no blank at either end), any
// run of blanks when tolerant. A 5.5 calendar escape ("@#DFRENCH R@") is
// one word. False for a text that cannot be a date's words.
bool splitWords(StringView text, const Grammar& grammar, Words& words) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = at;
        if (!grammar.gedcom7 && text.substr(at).starts_with(u"@#D")) {
            at = text.find(u'@', at + 3);
            if (at++ == StringView::npos) return false;
        }
        while (at < text.size() && !isBlank(text[at], grammar.tolerant))
            ++at;
        if (at == start || words.count == maxWords) return false;
        words.at[words.count++] = text.substr(start, at - start);
        const std::size_t wordEnd = at;
        while (at < text.size() && isBlank(text[at], grammar.tolerant))
            ++at;
        if (!grammar.tolerant && (at - wordEnd > 1 || (at > wordEnd && at == text.size()))) return false;
    }
    return true;
}

// Whether the word is the keyword (ASCII upper case), or when tolerant the
// keyword in any case.
bool is(StringView word, StringView keyword, const Grammar& grammar) {
    if (word.size() != keyword.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char16_t k = keyword[i];
        if (word[i] != k && !(grammar.tolerant && k >= u'A' && k <= u'Z' && word[i] == k + 0x20))
            return false;
    }
    return true;
}

// The words that start a range, period or approximation, which no calendar,
// month or epoch may be.
bool isRestricted(StringView word, const Grammar& grammar) {
    for (StringView keyword :
         {u"FROM", u"TO", u"BET", u"AND", u"BEF", u"AFT", u"ABT", u"CAL", u"EST", u"INT"})
        if (is(word, keyword, grammar)) return true;
    return false;
}

// A word of tag characters starting with a letter or underscore: a month of
// a calendar that has no table here. An extension tag starts with "_".
bool isTagWord(StringView word, bool extension, const Grammar& grammar) {
    auto tagChar = [&](char16_t c) {
        return (c >= u'A' && c <= u'Z') || (grammar.tolerant && c >= u'a' && c <= u'z') || isDigit(c) ||
               c == u'_';
    };
    if (word.size() < 2 || (extension != (word[0] == u'_')) || isDigit(word[0])) return false;
    return std::all_of(word.begin(), word.end(), tagChar);
}

using Calendar = LNDate::Calendar;

constexpr StringView gregorianMonths[] = {u"JAN", u"FEB", u"MAR", u"APR", u"MAY", u"JUN",
                                          u"JUL", u"AUG", u"SEP", u"OCT", u"NOV", u"DEC"};
constexpr StringView hebrewMonths[] = {u"TSH", u"CSH", u"KSL", u"TVT", u"SHV", u"ADR", u"ADS",
                                       u"NSN", u"IYR", u"SVN", u"TMZ", u"AAV", u"ELL"};
constexpr StringView frenchMonths[] = {u"VEND", u"BRUM", u"FRIM", u"NIVO", u"PLUV", u"VENT", u"GERM",
                                       u"FLOR", u"PRAI", u"MESS", u"THER", u"FRUC", u"COMP"};
constexpr std::uint8_t gregorianDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

std::span<const StringView> monthsOf(Calendar calendar) {
    switch (calendar) {
    case Calendar::gregorian:
    case Calendar::julian:
        return gregorianMonths;
    case Calendar::hebrew:
        return hebrewMonths;
    case Calendar::frenchRepublican:
        return frenchMonths;
    default:
        return {};
    }
}

// Reads the word as a month of the part's calendar.
bool readMonth(StringView word, LNDate::Part& part, const Grammar& grammar) {
    const std::span<const StringView> months = monthsOf(part.calendar);
    for (std::size_t i = 0; i < months.size(); ++i) {
        if (!is(word, months[i], grammar)) continue;
        part.month = static_cast<std::uint8_t>(i + 1);
        part.monthName = word;
        return true;
    }
    // Calendars of no table (5.5's ROMAN and UNKNOWN, 7.0's extensions)
    // name their months with tags; 7.0's own calendars may take extension
    // months that a schema documents.
    const bool extensionMonth = grammar.gedcom7 && isTagWord(word, true, grammar);
    if (!extensionMonth &&
        (!months.empty() || isRestricted(word, grammar) || !isTagWord(word, false, grammar)))
        return false;
    part.monthName = word;
    return true;
}

// 5.5 holds a day to its month; 7.0 to 36, the most days any known calendar
// gives a month, as its grammar leaves the rest to the calendar (and its own
// example files write "13 COMP").
std::uint8_t maxDay(const LNDate::Part& part, const Grammar& grammar) {
    if (grammar.gedcom7) return 36;
    switch (part.calendar) {
    case Calendar::gregorian:
    case Calendar::julian:
        return gregorianDays[part.month - 1];
    case Calendar::hebrew:
        return 30;
    case Calendar::frenchRepublican:
        return part.month == 13 ? 6 : 30;
    default:
        return 36;
    }
}

bool readCalendar(StringView word, LNDate::Part& part, const Grammar& grammar) {
    struct Name {
        StringView gedcom55, gedcom7;
        Calendar calendar;
    };
    static constexpr Name names[] = {{u"@#DGREGORIAN@", u"GREGORIAN", Calendar::gregorian},
                                     {u"@#DJULIAN@", u"JULIAN", Calendar::julian},
                                     {u"@#DHEBREW@", u"HEBREW", Calendar::hebrew},
                                     {u"@#DFRENCH R@", u"FRENCH_R", Calendar::frenchRepublican},
                                     {u"@#DROMAN@", {}, Calendar::roman},
                                     {u"@#DUNKNOWN@", {}, Calendar::unknown}};
    for (const Name& name : names) {
        if (!is(word, grammar.gedcom7 ? name.gedcom7 : name.gedcom55, grammar)) continue;
        part.calendar = name.calendar;
        part.calendarName = word;
        return true;
    }
    if (!grammar.gedcom7 || !isTagWord(word, true, grammar)) return false;
    part.calendar = Calendar::extension;
    part.calendarName = word;
    return true;
}

// The year: 5.5 allows three or four digits, in the Gregorian calendar with
// a slash and two more, and (as the French republican calendar counted only
// to 14) one to four in that calendar; 7.0 any number of digits.
bool readYear(StringView word, LNDate::Part& part, const Grammar& grammar) {
    if (grammar.gedcom7) {
        part.year = word;
        return isDigits(word);
    }
    const std::size_t slash = word.find(u'/');
    part.year = word.substr(0, slash);
    if (slash != StringView::npos) {
        part.dualYear = word.substr(slash + 1);
        if (part.calendar != Calendar::gregorian || part.dualYear.size() != 2 || !isDigits(part.dualYear))
            return false;
    }
    const std::size_t fewest = part.calendar == Calendar::frenchRepublican ? 1 : 3;
    return part.year.size() >= fewest && part.year.size() <= 4 && isDigits(part.year);
}

// B.C. or BC in 5.5, BCE in 7.0, for the calendars counting from Christ;
// 7.0's extension calendars have extension epochs.
bool readEpoch(StringView word, LNDate::Part& part, const Grammar& grammar) {
    const bool fromChrist = part.calendar == Calendar::gregorian || part.calendar == Calendar::julian;
    bool found = false;
    if (grammar.gedcom7)
        found = fromChrist ? is(word, u"BCE", grammar)
                           : part.calendar == Calendar::extension && isTagWord(word, true, grammar);
    else
        found = part.calendar != Calendar::hebrew && part.calendar != Calendar::frenchRepublican &&
                (is(word, u"B.C.", grammar) || is(word, u"BC", grammar));
    if (found) part.epoch = word;
    return found;
}

// One date from word i on: [calendar] [[day] month] year [epoch].
std::optional<LNDate::Part> readDate(const Words& words, std::size_t& i, const Grammar& grammar) {
    LNDate::Part part;
    if (i < words.count && readCalendar(words.at[i], part, grammar)) ++i;
    StringView day;
    if (i + 1 < words.count && isDigits(words.at[i]) && readMonth(words.at[i + 1], part, grammar)) {
        day = words.at[i];
        i += 2;
    } else if (i < words.count && readMonth(words.at[i], part, grammar)) {
        ++i;
    }
    if (i == words.count || !readYear(words.at[i++], part, grammar)) return std::nullopt;
    if (i < words.count && readEpoch(words.at[i], part, grammar)) ++i;
    if (!day.empty()) {
        // Leading zeros are digits like any other; the value is what counts.
        const std::size_t first = std::min(day.find_first_not_of(u'0'), day.size());
        if (grammar.gedcom7 ? day.size() - first > 2 : day.size() > 2) return std::nullopt;
        for (char16_t c : day.substr(first))
            part.day = static_cast<std::uint8_t>(part.day * 10 + (c - u'0'));
        if (part.day == 0 || part.day > maxDay(part, grammar)) return std::nullopt;
    }
    return part;
}

using Form = LNDate::Form;

// The words of a range, period or approximation before its date.
std::optional<Form> formOf(StringView word, const Grammar& grammar) {
    struct Keyword {
        StringView word;
        Form form;
    };
    static constexpr Keyword keywords[] = {
        {u"FROM", Form::from}, {u"TO", Form::to},     {u"BET", Form::between},    {u"BEF", Form::before},
        {u"AFT", Form::after}, {u"ABT", Form::about}, {u"CAL", Form::calculated}, {u"EST", Form::estimated}};
    for (const Keyword& keyword : keywords)
        if (is(word, keyword.word, grammar)) return keyword.form;
    return std::nullopt;
}

// A value of words: a date, or one after a keyword, or two with FROM ... TO
// or BET ... AND.
std::optional<LNDate::Value> readWords(const Words& words, const Grammar& grammar) {
    LNDate::Value value;
    if (words.count == 0) {
        if (!grammar.gedcom7) return std::nullopt;
        return value;
    }
    std::size_t i = 0;
    value.form = Form::date;
    if (std::optional<Form> form = formOf(words.at[0], grammar)) {
        value.form = *form;
        ++i;
    }
    std::optional<LNDate::Part> first = readDate(words, i, grammar);
    if (!first) return std::nullopt;
    value.first = *first;
    const bool secondDate =
        (value.form == Form::from && i < words.count && is(words.at[i], u"TO", grammar)) ||
        value.form == Form::between;
    if (secondDate) {
        if (i == words.count || !is(words.at[i], value.form == Form::from ? u"TO" : u"AND", grammar))
            return std::nullopt;
        ++i;
        std::optional<LNDate::Part> second = readDate(words, i, grammar);
        if (!second) return std::nullopt;
        value.second = *second;
        if (value.form == Form::from) value.form = Form::fromTo;
    }
    if (i != words.count) return std::nullopt;
    return value;
}

// 5.5's date phrases: "(TEXT)" alone, or after INT and a date.
std::optional<LNDate::Value> readPhrase(StringView text, const Grammar& grammar) {
    const std::size_t open = text.find(u'(');
    if (open == StringView::npos || text.back() != u')') return std::nullopt;
    LNDate::Value value;
    value.form = Form::phrase;
    value.phrase = text.substr(open + 1, text.size() - open - 2);
    if (open == 0) return value;
    // One space before the parenthesis, or any blanks when tolerant.
    std::size_t end = open;
    while (end > 0 && isBlank(text[end - 1], grammar.tolerant) && (grammar.tolerant || end == open))
        --end;
    Words words;
    std::size_t i = 1;
    if (end == open || !splitWords(text.substr(0, end), grammar, words) || words.count < 2 ||
        !is(words.at[0], u"INT", grammar))
        return std::nullopt;
    std::optional<LNDate::Part> part = readDate(words, i, grammar);
    if (!part || i != words.count) return std::nullopt;
    value.form = Form::interpreted;
    value.first = *part;
    return value;
}

// The proleptic Gregorian year (0 is 1 B.C.) of a day counted from 1 January
// 1970, and the day of a date, by the usual civil calendar arithmetic.
constexpr std::int64_t yearOfDay(std::int64_t day) {
    day += 719468;
    const std::int64_t era = (day >= 0 ? day : day - 146096) / 146097;
    const std::int64_t dayOfEra = day - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    return yearOfEra + era * 400 + (monthFromMarch >= 10);
}

constexpr std::int64_t dayOfDate(std::int64_t year, int month, int day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
}

static_assert(yearOfDay(dayOfDate(1792, 9, 22)) == 1792 && yearOfDay(dayOfDate(1792, 12, 31) + 1) == 1793);

// A year of the common era from a proleptic Gregorian one.
std::optional<LNYear> commonEraYear(std::int64_t year) {
    return year > 0 ? LNYear::fromNumber(static_cast<std::uint64_t>(year), false)
                    : LNYear::fromNumber(static_cast<std::uint64_t>(1 - year), true);
}

// Year 1 of the French republican calendar began on 22 September 1792; its
// months have 30 days, then 5 or 6 complementary days. The leap (sextile)
// years were 3, 7 and 11; they go on every fourth year as the Gregorian leap
// years do, one year earlier.
std::optional<LNYear> frenchRepublicanYear(const LNDate::Part& part) {
    const std::optional<LNYear> year = LNYear::fromDigits(part.year, false);
    if (!year || year->number() == 0) return std::nullopt;
    const std::int64_t y = year->number();
    const std::int64_t sextiles = y / 4 - y / 100 + y / 400;
    const std::int64_t day = dayOfDate(1792, 9, 22) + 365 * (y - 1) + sextiles +
                             30 * std::max(part.month - 1, 0) + std::max(part.day - 1, 0);
    return commonEraYear(yearOfDay(day));
}

// The Hebrew year begins with Tishrei; a year-only date is its 1 Tishrei.
// Adar I (ADR) exists in leap years only: in other years ADR means Adar.
std::optional<LNYear> hebrewYear(const LNDate::Part& part) {
    const std::optional<LNYear> year = LNYear::fromDigits(part.year, false);
    if (!year || year->number() == 0) return std::nullopt;
    const auto y = static_cast<std::int32_t>(year->number());
    int month = std::max<int>(part.month, 1);
    const bool leap = (7 * std::int64_t{y} + 1) % 19 < 7;
    if (month == 6 && !leap) month = 7;
    const std::optional<std::int64_t> gregorian =
        gregorianYearOfHebrewDay(y, month, std::max<int>(part.day, 1));
    return gregorian ? commonEraYear(*gregorian) : std::nullopt;
}

// Most 5.5 dates end in a Gregorian year of four digits after a blank
// ("12 MAR 1850", "ABT 1850"), and without a calendar escape both readings
// give that year: the grammar's last date ends in it, and it is the last
// four-digit token. Read so, they cost a glance.
std::optional<LNYear> plainLastYear(StringView trimmed) {
    const std::size_t size = trimmed.size();
    if (size < 4 || (size > 4 && !isBlank(trimmed[size - 5], true)) || trimmed.find(u'@') != StringView::npos)
        return std::nullopt;
    return LNYear::fromDigits(trimmed.substr(size - 4), false);
}

} // namespace

std::optional<LNDate::Value> LNDate::parse(StringView text, GedcomStandard standard, Reading reading) {
    const Grammar grammar{standard == GedcomStandard::Gedcom7, reading == Reading::tolerant};
    if (grammar.tolerant) text = trim(text, CharSet::whiteSpace());
    if (!grammar.gedcom7 && !text.empty() && text.back() == u')') return readPhrase(text, grammar);
    Words words;
    if (!splitWords(text, grammar, words)) return std::nullopt;
    return readWords(words, grammar);
}

std::optional<LNYear> LNDate::yearOf(const Part& part) {
    switch (part.calendar) {
    case Calendar::gregorian:
    case Calendar::julian:
        return LNYear::fromDigits(part.year, part.beforeChrist());
    case Calendar::hebrew:
        return hebrewYear(part);
    case Calendar::frenchRepublican:
        return frenchRepublicanYear(part);
    case Calendar::extension:
        return LNYear::fromDigits(part.year, part.calendarName);
    default:
        // @#DROMAN@ and @#DUNKNOWN@ by the name inside the escape.
        return LNYear::fromDigits(part.year, part.calendarName.substr(3, part.calendarName.size() - 4));
    }
}

std::unique_ptr<LNDate> LNDate::initFromString(StringView text, GedcomStandard standard) {
    if (trim(text, CharSet::whiteSpace()).empty()) return nullptr;
    auto date = std::make_unique<LNDate>();
    if (std::optional<LNYear> year = yearIn(text, standard)) date->yearString_ = year->text();
    return date;
}

// A value that does not follow the grammar, or names no date, is read for
// the last four-digit year, as files of every kind write one somewhere.
std::optional<LNYear> LNDate::yearIn(StringView text, GedcomStandard standard) {
    const StringView trimmed = trim(text, CharSet::whiteSpace());
    if (standard != GedcomStandard::Gedcom7) {
        if (std::optional<LNYear> year = plainLastYear(trimmed)) return year;
    }
    const std::optional<Value> value = parse(trimmed, standard, Reading::tolerant);
    if (value && value->hasDate()) return yearOf(value->last());
    return lastYear(trimmed);
}

} // namespace kinloom
