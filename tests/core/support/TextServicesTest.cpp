// Conversions the loader relies on, and the error list.

#include "support/TextServices.h"
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
