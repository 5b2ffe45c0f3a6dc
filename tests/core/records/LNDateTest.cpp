// The date grammar of 5.5, 5.5.1 and 7.0, the year the person table shows,
// and the order of year texts.

#include "records/LNDate.h"
#include "support/TextServices.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kinloom;

namespace {

constexpr GedcomStandard g55 = GedcomStandard::Gedcom55;
constexpr GedcomStandard g7 = GedcomStandard::Gedcom7;

std::string textOf(const std::optional<LNYear>& year) {
    return year ? toUtf8(year->text()) : "-";
}

// "form calendar day month year epoch" of each date, "|" between dates.
std::string describe(const std::optional<LNDate::Value>& value) {
    if (!value) return "no";
    std::string text = std::to_string(static_cast<int>(value->form));
    const int dates = value->hasDate() ? 1 + (&value->last() == &value->second) : 0;
    for (const LNDate::Part* part : {&value->first, &value->second}) {
        if (part - &value->first >= dates) break;
        text += (part == &value->first ? " " : " | ") + std::to_string(static_cast<int>(part->calendar)) +
                " " + std::to_string(part->day) + " " + std::to_string(part->month) + " " +
                toUtf8(part->year) + toUtf8(part->dualYear.empty() ? u"" : u"/" + String(part->dualYear)) +
                " " + toUtf8(part->epoch);
    }
    return text + (value->phrase.empty() ? "" : " (" + toUtf8(value->phrase) + ")");
}

} // namespace

TEST(LNDate, ReadsTheYearByTheStandardsGrammarElseTheLastFourDigitToken) {
    struct Case {
        const char16_t* text;
        GedcomStandard standard;
        const char* year;
    };
    const Case cases[] = {
        // By the grammar: three and four digits in 5.5, any number in 7.0.
        {u"ABT 794", g55, "794"},
        {u"2 APR 742", g55, "742"},
        {u"\t0850 \u3000", g55, "0850"},
        {u"Abt   800 bc", g55, "800 B.C."},
        {u"FROM 730", g7, "730"},
        {u"BET 1 JAN 730 AND 12345", g7, "12345"},
        {u"12 AUG 1401 BCE", g7, "1401 B.C."},
        {u"1 AUG 534 BC", g55, "534 B.C."},
        {u"FROM 1100 BC TO 1050", g55, "1050"},
        {u"BET 1950 AND 302", g55, "302"},
        {u"1699/00", g55, "1699"},
        {u"INT 850 (about then)", g55, "850"},
        // Calendars: Julian as written, Hebrew and French republican as the
        // Gregorian year of their first day, others with their names.
        {u"@#DJULIAN@ 742 B.C.", g55, "742 B.C."},
        {u"JULIAN 1 MAR 742", g7, "742"},
        {u"@#DHEBREW@ 5600", g55, "1839"},
        {u"@#DHEBREW@ 1 NSN 5600", g55, "1840"},
        {u"HEBREW 13 ADR 5783", g7, "2023"},
        {u"HEBREW 1", g7, "3761 B.C."},
        {u"@#DFRENCH R@ 10 NIVO 14", g55, "1805"},
        {u"@#DFRENCH R@ 11 NIVO 14", g55, "1806"},
        {u"FRENCH_R 1 VEND 12", g7, "1803"},
        {u"@#DUNKNOWN@ 087", g55, "087 UNKNOWN"},
        {u"_MAYAN 1 _K 87 _X", g7, "87 _MAYAN"},
        {u"BET 1 JAN 730 AND 1234567890", g7, "-"},
        // Not by the grammar: the last four-digit token, B.C. attached or after blanks.
        {u"1076 or 1088", g55, "1088"},
        {u"1920s", g55, "-"},
        {u"1815/1816", g55, "1816"},
        {u"(c.1850)", g55, "1850"},
        {u"1850/1851 or 12345", g55, "1851"},
        {u"ABT 1850 BC", g7, "1850 B.C."},
        {u"@#DJULIAN@ 1850", g7, "1850"},
        {u"HEBREW 5600 BCE", g7, "5600"},
        {u"1 BC", g55, "-"},
        {u"0500b.c", g55, "0500 B.C."},
        {u"1032 BCE", g55, "1032"},
        {u"1032BCE", g55, "-"},
        {u"31 FEB 850", g55, "-"},
        {u"\uFF11\uFF18\uFF15\uFF10", g55, "-"},
        {u"1850\u2028", g55, "-"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(textOf(LNDate::yearIn(c.text, c.standard)), c.year) << toUtf8(c.text);
        const auto date = LNDate::initFromString(c.text, c.standard);
        ASSERT_NE(date, nullptr);
        EXPECT_EQ(date->yearString().value_or(u"-"), fromUtf8(c.year)) << toUtf8(c.text);
    }
    EXPECT_EQ(LNDate::initFromString(u" \t\u00A0\u3000 "), nullptr);
}

TEST(LNDate, ParsesTheFormsOfEachGrammarExactlyOrTolerantly) {
    using R = LNDate::Reading;
    struct Case {
        const char16_t* text;
        GedcomStandard standard;
        R reading;
        const char* parsed;
    };
    const Case cases[] = {
        {u"BET @#DJULIAN@ 2 APR 742 B.C. AND @#DFRENCH R@ 6 COMP 11", g55, R::exact,
         "7 1 2 4 742 B.C. | 3 6 13 11 "},
        {u"FROM HEBREW 1 ADR 5784 TO _MAYAN 1 _K 87 _X", g7, R::exact, "10 2 1 6 5784  | 6 1 0 87 _X"},
        {u"INT 15 APR 1699/00 (Easter (old style))", g55, R::exact,
         "11 0 15 4 1699/00  (Easter (old style))"},
        {u"(Easter)", g55, R::exact, "12 (Easter)"},
        {u"", g7, R::exact, "0"},
        {u"", g55, R::tolerant, "no"},
        {u"TO 0001", g7, R::exact, "9 0 0 0 0001 "},
        {u"abt\t 12 aug 850 b.c.", g55, R::tolerant, "2 0 12 8 850 b.c."},
        {u"abt 850", g55, R::exact, "no"},
        {u"ABT  850", g55, R::exact, "no"},
        {u" ABT 850", g7, R::exact, "no"},
        {u"ABT 850 ", g7, R::exact, "no"},
        {u"(Easter)", g7, R::exact, "no"},
        {u"INT 1850 (Easter)", g7, R::exact, "no"},
        {u"1 JAN 1850/51", g7, R::exact, "no"},
        {u"@#DJULIAN@ 1850/51", g55, R::exact, "no"},
        {u"12345", g55, R::exact, "no"},
        {u"JAN 12", g7, R::exact, "1 0 0 1 12 "},
        {u"12 JAN", g7, R::exact, "no"},
        {u"12 1850", g7, R::exact, "no"},
        {u"0 JAN 1850", g7, R::exact, "no"},
        {u"30 FEB 1850", g55, R::exact, "no"},
        {u"FRENCH_R 17 COMP 35", g7, R::exact, "1 3 17 13 35 "},
        {u"36 JAN 1850", g7, R::exact, "1 0 36 1 1850 "},
        {u"31 TSH 5600", g55, R::exact, "no"},
        {u"HEBREW 1 JAN 5600", g7, R::exact, "no"},
        {u"FRENCH_R 2 _JOUR 8", g7, R::exact, "1 3 2 0 8 "},
        {u"2 _JOUR 8", g55, R::exact, "no"},
        {u"_CAL 37 _M 87", g7, R::exact, "no"},
        {u"_CAL TO 87", g7, R::exact, "no"},
        {u"FRENCH_R 12 BCE", g7, R::exact, "no"},
        {u"BET 1850", g55, R::exact, "no"},
        {u"FROM 1850 AND 1860", g55, R::exact, "no"},
        {u"BEF 1850 TO 1860", g7, R::exact, "no"},
        {u"@#DFRENCH R", g55, R::exact, "no"},
        {u"1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17", g7, R::exact, "no"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe(LNDate::parse(c.text, c.standard, c.reading)), c.parsed) << toUtf8(c.text);
}

TEST(LNYear, SortsYearsInTimeThenExtensionCalendarsThenOtherTexts) {
    const std::vector<String> sorted = {
        u"1401 B.C.", u"0850 B.C.", u"742 B.C.", u"0",         u"0087", u"87",     u"730",    u"0850", u"850",
        u"1850",      u"12345",     u"9 _MAYAN", u"87 _MAYAN", u"3 _X", u"87 B.C", u"_MAYAN", u"glunk"};
    std::vector<String> texts(sorted.rbegin(), sorted.rend());
    std::sort(texts.begin(), texts.end(),
              [](const String& a, const String& b) { return LNYear::compareTexts(a, b) < 0; });
    EXPECT_EQ(texts, sorted);
    for (const String& text : sorted) {
        const std::optional<LNYear> year = LNYear::fromText(text);
        EXPECT_EQ(year ? year->text() : u"-", &text < &sorted[14] ? text : u"-") << toUtf8(text);
    }
    EXPECT_FALSE(LNYear::fromDigits(u"1000000000", false));
}
