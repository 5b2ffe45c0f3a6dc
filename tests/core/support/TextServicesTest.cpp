// Conversions the loader relies on, dates, and the error list.

#include "support/TextServices.h"
#include "records/LNDate.h"
#include "support/LNGedcomErrors.h"
#include "support/SystemLog.h"

#include <gtest/gtest.h>

using namespace kinloom;

TEST(TextServices, ReplacesWhatAConversionCannotCarry) {
    EXPECT_EQ(fromUtf8("a\xFF\x62\xC3"), u"a\uFFFDb\uFFFD");
    EXPECT_EQ(toUtf8(StringView(u"\xD800x", 2)), "\xEF\xBF\xBDx");
    EXPECT_EQ(fromUtf16(std::string_view("\x00\x41\x00\x42", 4), true), u"AB");
    EXPECT_EQ(fromUtf16(std::string_view("A\x00\x42", 3), false), u"A\uFFFD");
}

TEST(LNDate, TakesTheLastFourDigitTokenAsTheYear) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"1 JAN 1850", u"1850"},      {u"(1850)", u"1850"},
        {u"c.1850", u"1850"},          {u"1850-03-01", u"1850"},
        {u"\t1850 \u3000", u"1850"},   {u"@#DJULIAN@ 1850", u"1850"},
        {u"bef. 3 mar 1850", u"1850"}, {u"<1850>", u"1850"},
        {u"1,850,1850", u"1850"},      {u"BET 1850 AND 1860", u"1860"},
        {u"1850/1851", u"1851"},       {u"1850/51", u"1850"},
        {u"1860 or 12345", u"1860"},   {u"850", nullptr},
        {u"12345", nullptr},           {u"1850s", nullptr},
        {u"18 50", nullptr},           {u"\uFF11\uFF18\uFF15\uFF10", nullptr},
        {u"1850\u2028", nullptr},      {u"ABT", nullptr},
        // Years before Christ: B.C. or BC right after the year, ending at a separator.
        {u"ABT 1032 B.C.", u"1032 B.C."}, {u"1032 bC", u"1032 B.C."},
        {u"1032 B.C", u"1032 B.C."},      {u"1032\t BC.", u"1032 B.C."},
        {u"1032b.c.", u"1032 B.C."},      {u"(1032BC)", u"1032 B.C."},
        {u"0850 BC, Judah", u"0850 B.C."}, {u"BET 1100 B.C. AND 1050 BC", u"1050 B.C."},
        {u"FROM 1100 BC TO 1050", u"1050"}, {u"1032 BCE", u"1032"},
        {u"1032 B C", u"1032"},           {u"1032.BC", u"1032"},
        {u"1032BCE", nullptr},            {u"560 BC", nullptr}};
    for (const auto& [text, year] : cases) {
        const auto date = LNDate::initFromString(text);
        ASSERT_NE(date, nullptr) << toUtf8(text);
        EXPECT_EQ(date->yearString(), year ? std::optional<String>(year) : std::nullopt) << toUtf8(text);
        const std::optional<LNYear> found = LNDate::yearIn(text);
        EXPECT_EQ(found ? std::optional<String>(found->text()) : std::nullopt,
                  year ? std::optional<String>(year) : std::nullopt)
            << toUtf8(text);
    }
    EXPECT_EQ(LNDate::initFromString(u" \t\u00A0\u3000 "), nullptr);
}

TEST(LNGedcomErrors, LogsAndCountsEveryReport) {
    LogCapture log;
    LNGedcomErrors errors;
    errors.addError(LNGedcomErrorLineSyntax, 12);
    errors.addError(LNGedcomErrorMissingKey, 7, u"SUBN record with no key");
    errors.addObject(u"INDI @I1@ is CHIL in multiple FAMs");
    {
        LogCapture inner; // captures nest: the inner one takes the lines while it lives
        errors.addError(LNGedcomErrorWrongSex, 1);
    }
    EXPECT_EQ(errors.count(), 4);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "just added error lineSyntax at line 12",
                  "just added error missingKey at line 7 with arg SUBN record with no key",
                  "DEPRECATED call to LNGedcomErrors addObject with string: INDI @I1@ is CHIL in "
                  "multiple FAMs"}));
}

TEST(LNGedcomErrors, KeepsReportsUpToTheBoundAndCountsTheRest) {
    LogCapture log;
    LNGedcomErrors errors;
    EXPECT_EQ(errors.problems().capacity(), 0u);
    errors.addError(LNGedcomErrorLineSyntax, 3);
    errors.addError(LNGedcomErrorMissingKey, 7, u"arg");
    errors.addObject(u"text", 9);
    errors.addUncounted(LNGedcomProblemReference, 4, u"record with key @X@ does not exist");
    EXPECT_EQ(errors.count(), 3);
    ASSERT_EQ(errors.problems().size(), 4u);
    EXPECT_EQ(errors.problems()[2].kind, LNGedcomProblemLink);
    EXPECT_EQ(errors.problems()[2].line, 9);
    EXPECT_EQ(errors.problems()[2].text, u"text");
    EXPECT_EQ(errors.problems()[1].text, u"arg");

    // The problems pane shows up to 100,000 entries: the last one fits, the next does not.
    constexpr int bound = 100000;
    LNGedcomErrors second;
    for (int i = 0; i < bound - 4; ++i)
        second.addError(LNGedcomErrorLineSyntax, 100);
    errors.absorb(second);
    EXPECT_EQ(errors.count(), bound - 1);
    EXPECT_EQ(errors.problems().size(), std::size_t(bound));
    EXPECT_EQ(errors.droppedProblems(), 0);
    errors.addObject(u"late", 200);
    EXPECT_EQ(errors.droppedProblems(), 1);
}
