#include "LNDate.h"
#include "TextServices.h"

#include <gtest/gtest.h>

using namespace kinloom;

namespace {

std::optional<String> yearOf(StringView text) {
    const auto date = LNDate::initFromString(text);
    EXPECT_NE(date, nullptr) << toUtf8(text);
    return date ? date->yearString() : std::nullopt;
}

} // namespace

TEST(LNDate, FindsTheYearBetweenSeparatorsAndQualifiers) {
    for (StringView text :
         {u"1 JAN 1850", u"ABT 1850", u"(1850)", u"c.1850", u"1850-03-01", u"1850", u"\t1850 \u3000",
          u"@#DJULIAN@ 1850", u"INT 1850 (from the census)", u"bef. 3 mar 1850", u"[1850]", u"{1850}",
          u"<1850>", u"1850_", u"1,850,1850", u"EST 1850/51"})
        EXPECT_EQ(yearOf(text), u"1850") << toUtf8(text);
}

TEST(LNDate, KeepsTheLastFourDigitToken) {
    EXPECT_EQ(yearOf(u"BET 1850 AND 1860"), u"1860");
    EXPECT_EQ(yearOf(u"FROM 1850 TO 1860"), u"1860");
    EXPECT_EQ(yearOf(u"1850/1851"), u"1851");
    EXPECT_EQ(yearOf(u"1850/51"), u"1850");
    EXPECT_EQ(yearOf(u"1860 or 12345"), u"1860");
}

TEST(LNDate, HasNoYearWithoutAFourDigitToken) {
    for (StringView text : {u"850", u"12345", u"1850s", u"3 MAR", u"ABT", u"18 50",
                            u"\uFF11\uFF18\uFF15\uFF10", u"1850\u2028", u"---"})
        EXPECT_EQ(yearOf(text), std::nullopt) << toUtf8(text);
}

TEST(LNDate, GivesNoDateForBlankText) {
    EXPECT_EQ(LNDate::initFromString(u""), nullptr);
    EXPECT_EQ(LNDate::initFromString(u" \t\u00A0\u3000 "), nullptr);
    // Line ends are not trimmed, so they make a date, though one without a year.
    const auto lineEnd = LNDate::initFromString(u"\n");
    ASSERT_NE(lineEnd, nullptr);
    EXPECT_EQ(lineEnd->yearString(), std::nullopt);
    EXPECT_EQ(lineEnd->year(), 0);
    EXPECT_EQ(lineEnd->value(), std::nullopt);
}

TEST(LNDate, ReadsAYearFollowedByBCAsBeforeChrist) {
    const struct {
        StringView date;
        std::optional<String> year;
    } cases[] = {
        {u"ABT 1032 B.C.", u"1032 B.C."},
        {u"1032 BC", u"1032 B.C."},
        {u"1032 b.c.", u"1032 B.C."},
        {u"1032 bC", u"1032 B.C."},
        {u"1032 B.C", u"1032 B.C."},
        {u"1032 BC.", u"1032 B.C."},
        {u"1032\t BC", u"1032 B.C."},
        {u"1032BC", u"1032 B.C."},
        {u"1032b.c.", u"1032 B.C."},
        {u"1032B.C", u"1032 B.C."},
        {u"(1032BC)", u"1032 B.C."},
        {u"0850 BC, Judah", u"0850 B.C."},
        {u"@#DJULIAN@ 12 MAR 1032 B.C.", u"1032 B.C."},
        {u"BET 1100 B.C. AND 1050 BC", u"1050 B.C."},
        {u"FROM 1100 BC TO 1050", u"1050"},
        {u"1032 BC (or 1000)", u"1000"},
        // Only B.C. and BC right after the year, ending at a separator.
        {u"1032 BCE", u"1032"},
        {u"1032 B C", u"1032"},
        {u"1032.BC", u"1032"},
        {u"1032 AD", u"1032"},
        {u"1032BCE", std::nullopt},
        {u"1032Bx", std::nullopt},
        {u"12345 BC", std::nullopt},
        {u"560 BC", std::nullopt},
        {u"12 AUG 999 BC", std::nullopt},
    };
    for (const auto& test : cases)
        EXPECT_EQ(yearOf(test.date), test.year) << toUtf8(test.date);
}

TEST(LNDate, FindsTheSameYearWithoutMakingADate) {
    for (StringView text :
         {u"1 JAN 1850", u"BET 1850 AND 1860", u"1850/51", u"\t1850 \u3000", u"1850\u2028", u"12345", u"",
          u" \t", u"\n", u"ABT", u"1,850,1850", u"-1850-", u"1850 1851x", u"ABT 1032 B.C.", u"0850bc"}) {
        const auto date = LNDate::initFromString(text);
        std::optional<LNYear> year = LNDate::yearIn(text);
        EXPECT_EQ(year ? std::optional<String>(year->text()) : std::nullopt,
                  date ? date->yearString() : std::nullopt)
            << toUtf8(text);
    }
}

TEST(LNYear, OrdersYearsBeforeChristFirstAndKeepsTextOrderForTheRest) {
    // Ascending; the texts of years first, then other texts by code unit.
    const StringView ascending[] = {u"9999 B.C.", u"1032 B.C.", u"0500 B.C.", u"0000 B.C.", u"0000",
                                    u"0999",      u"1000",      u"1850",      u"9999",      u"",
                                    u" B.C.",     u"1850 BC",   u"850",       u"abcd"};
    for (std::size_t i = 0; i < std::size(ascending); ++i) {
        for (std::size_t j = 0; j < std::size(ascending); ++j) {
            int expected = (i > j) - (i < j);
            EXPECT_EQ(LNYear::compareTexts(ascending[i], ascending[j]), expected)
                << toUtf8(ascending[i]) << " against " << toUtf8(ascending[j]);
        }
        if (std::optional<LNYear> year = LNYear::fromText(ascending[i])) {
            EXPECT_EQ(year->text(), ascending[i]) << "the text reads back";
        }
    }
    EXPECT_EQ(LNYear::fromText(u"0850"), LNYear(850, false));
    EXPECT_EQ(LNYear::fromText(u"1032 B.C."), LNYear(1032, true));
    EXPECT_LT(LNYear(1032, true), LNYear(500, true));
    EXPECT_LT(LNYear(0, true), LNYear(0, false));
}
