// Conversions the loader relies on, search folding, editor line numbers, and the error list.

#include "support/TextServices.h"
#include "support/EditorLines.h"
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

TEST(TextServices, FoldsCaseAndAccentsForSearching) {
    EXPECT_EQ(foldForSearch(u"LeF\u00E8vre"), u"lefevre");
    EXPECT_EQ(foldForSearch(u"M\u00DCLLER Stra\u00DFe"), u"muller strasse");
    EXPECT_EQ(foldForSearch(u"Garci\u0301a \u00C5"), u"garcia a") << "decomposed and composed alike";
    EXPECT_EQ(foldForSearch(u"\u0141\u00F8"), u"\u0142\u00F8") << "letters without a base keep their own";
}

// Lines as the loader numbers them (every break ends one) and as an editor does.
TEST(EditorLines, CountsACrLfPairAsOneBreakAndEveryOtherBreakAsOne) {
    struct Case {
        const char16_t* text;
        std::vector<std::pair<int, int>> lines; // loader's, editor's
    };
    const Case cases[] = {
        {u"a\nb\nc", {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {u"a\r\nb\r\nc\r\n", {{1, 1}, {2, 1}, {3, 2}, {5, 3}, {7, 4}}},
        {u"a\r\rb\n\rc", {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}},
        {u"a\v\f\u0085\u2028\u2029b", {{6, 6}}},
        {u"a\nb\r\nc\nd\r\ne\r\nf", {{2, 2}, {4, 3}, {5, 4}, {7, 5}, {8, 5}, {9, 6}}},
        {u"\r\n\r\n\n\r\n", {{1, 1}, {3, 2}, {5, 3}, {6, 4}, {8, 5}}},
    };
    for (const Case& test : cases) {
        const EditorLines editor(test.text, 100);
        for (const auto& [loader, shown] : test.lines)
            EXPECT_EQ(editor.lineOf(loader), shown) << toUtf8(test.text) << " line " << loader;
    }
    EXPECT_EQ(EditorLines(u"a\r\nb\r\nc\r\nd", 2).lineOf(7), 6) << "read no further than asked";
    EXPECT_EQ(EditorLines().lineOf(41), 41);
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
    errors.addError(LNGedcomErrorMissingKey, 7, u"arg", {LNProblemFinding::noKey, {u"arg", u"two"}});
    errors.addObject(u"text", 9);
    errors.addUncounted(LNGedcomProblemReference, 4, u"record with key @X@ does not exist");
    EXPECT_EQ(errors.count(), 3);
    ASSERT_EQ(errors.problems().size(), 4u);
    EXPECT_EQ(errors.problems()[2].kind, LNGedcomProblemLink);
    EXPECT_EQ(errors.problems()[2].line, 9);
    EXPECT_EQ(errors.problems()[2].text, u"text");
    EXPECT_EQ(errors.problems()[1].text, u"arg");
    EXPECT_EQ(errors.problems()[1].args[0], u"arg");
    EXPECT_EQ(errors.problems()[1].args[1], u"two");
    EXPECT_TRUE(errors.problems()[0].text.isNull() && errors.problems()[0].args[1].isNull());

    // The problems pane shows up to 100,000 entries: the last one fits, the next does not.
    constexpr int bound = 100000;
    LNGedcomErrors second;
    for (int i = 0; i < bound - 4; ++i)
        second.addError(LNGedcomErrorLineSyntax, 100);
    errors.absorb(second);
    EXPECT_EQ(errors.count(), bound - 1);
    EXPECT_EQ(errors.problems().size(), std::size_t(bound));
    EXPECT_EQ(errors.problems().capacity(), std::size_t(bound)) << "grown up to the bound, not past it";
    EXPECT_EQ(errors.droppedProblems(), 0);
    errors.addObject(u"late", 200);
    EXPECT_EQ(errors.droppedProblems(), 1);
}
