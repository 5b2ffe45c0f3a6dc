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

TEST(LNDate, FindsTheSameYearWithoutMakingADate) {
    for (StringView text : {u"1 JAN 1850", u"BET 1850 AND 1860", u"1850/51", u"\t1850 \u3000", u"1850\u2028",
                            u"12345", u"", u" \t", u"\n", u"ABT", u"1,850,1850", u"-1850-", u"1850 1851x"}) {
        const auto date = LNDate::initFromString(text);
        EXPECT_EQ(LNDate::yearIn(text),
                  date && date->yearString() ? StringView(*date->yearString()) : StringView())
            << toUtf8(text);
    }
}
