// Lines into records: each line hung below the last line of a lower level,
// with the reports of lines that do not fit, in order.

#include "GedcomTestText.h"
#include "records/LNGedcomRecord.h"
#include "records/LNGedcomRecordAssembler.h"
#include "support/SystemLog.h"
#include "tree/PreOrderWalk.h"

#include <gtest/gtest.h>

#include <thread>

using namespace kinloom;
using kinloom::test::LoadedText;

namespace {

using Log = std::vector<std::string>;

/// The log of loading up to the link validation.
Log assemblyLog(const LoadedText& loaded) {
    Log log;
    for (const std::string& line : loaded.log)
        if (!line.starts_with("after validating")) log.push_back(line);
    return log;
}

/// Every line with its number, pre-order; the log; the error count.
struct Assembled {
    std::vector<std::string> lines;
    Log log;
    int errors;
    bool operator==(const Assembled&) const = default;
};

/// The one place that forces the text to be assembled by two threads, or by one.
Assembled assemble(const String& text, bool twoThreads) {
    LNGedcomErrors errors;
    LogCapture log;
    LNGedcomRecordAssembler assembler(0, &errors);
    assembler.setParallelThreshold(twoThreads ? 0 : SIZE_MAX);
    auto records = assembler.recordsFromText(text);
    Assembled result{{}, log.lines(), errors.count()};
    for (const auto& record : *records)
        forEachPreOrder(record->root().get(), [&](const LNGedcomNode* line, std::size_t) {
            result.lines.push_back(std::to_string(line->lineNumber()) + " " + toUtf8(line->description()));
        });
    return result;
}

} // namespace

TEST(LNGedcomRecordAssembler, HangsLinesByLevelAndFilesRecordsByExactTag) {
    LoadedText loaded(
        u"0 HEAD\n1 CHAR ANSEL\n0 @I1@ INDI\n1 NAME x\n1 BIRT\n2 SOUR @S1@\n3 DATA\n4 TEXT t\n1 DEAT\n"
        u"2 DATE y\n0 @I2@ indi\n0 @F1@ Fam\n0 @S1@ SOUR\n0 @U1@ SUBM\n0 TRLR\n");
    EXPECT_EQ(loaded.dump(),
              "0 HEAD\n  1 CHAR ANSEL\n0 @I1@ INDI\n  1 NAME x\n  1 BIRT\n    2 SOUR @S1@\n"
              "      3 DATA\n        4 TEXT t\n  1 DEAT\n    2 DATE y\n0 @I2@ indi\n0 @F1@ Fam\n"
              "0 @S1@ SOUR\n0 @U1@ SUBM\n0 TRLR\n");
    EXPECT_EQ(loaded.set.count(), 7);
    EXPECT_EQ(loaded.set.numIndis() * 100 + loaded.set.numFams() * 10 + loaded.set.numSours(), 101);
    EXPECT_EQ(loaded.set.indiWithKey(u"@I1@")->numNodes(), 8);
    EXPECT_EQ(loaded.set.indiWithKey(u"@I1@")->root()->childAt(1)->childAt(0)->parent(),
              loaded.set.indiWithKey(u"@I1@")->root()->childAt(1));
}

TEST(LNGedcomRecordAssembler, ReportsLinesThatDoNotFitAndHangsTheRestAsIfTheyWereAbsent) {
    struct Case {
        std::initializer_list<std::string_view> lines;
        Log log;
        std::string records;
    };
    const Case cases[] = {
        {{"0 @N1@ NOTE", "2 DATE 1900", "1 BIRT", "2 DATE 1901", "4 NOTE jump", "2 PLAC here", "1 DEAT"},
         {"error: illegal level", "just added error illegalLevel at line 2", "error: illegal level",
          "just added error illegalLevel at line 5"},
         "0 @N1@ NOTE\n  1 BIRT\n    2 DATE 1901\n    2 PLAC here\n  1 DEAT\n"},
        {{"0 @N1@ NOTE", "1 BIRT", "-1 NOTE below", "2 DATE 1900", "nonsense", "2 PLAC here", "1 X y"},
         {"error: illegal level", "just added error illegalLevel at line 3", "error: line syntax",
          "just added error lineSyntax at line 5", "error: line syntax",
          "just added error lineSyntax at line 7"},
         "0 @N1@ NOTE\n  1 BIRT\n    2 DATE 1900\n    2 PLAC here\n"},
        // Lines before the first record go, reporting only level jumps.
        {{"1 NOTE stray", "3 CONT jump", "2 CONT dropped", "1 NOTE again", "0 HEAD", "1 CHAR UTF-8"},
         {"error: illegal level", "just added error illegalLevel at line 2"},
         "0 HEAD\n  1 CHAR UTF-8\n"},
        // Empty and blank lines count; level 0 lines that do not read start no record.
        {{"0 @N1@ NOTE", "", "1 CONT x", "   ", "2 CONT y", "\t", "5 NOTE jump", "0", "0 X", "3 CONT z"},
         {"error: illegal level", "just added error illegalLevel at line 7", "error: line syntax",
          "just added error lineSyntax at line 8", "error: line syntax",
          "just added error lineSyntax at line 9"},
         "0 @N1@ NOTE\n  1 CONT x\n    2 CONT y\n      3 CONT z\n"},
        {{"", "  "}, {}, ""}};
    for (const Case& c : cases) {
        LoadedText loaded(c.lines);
        EXPECT_EQ(assemblyLog(loaded), c.log) << c.records;
        EXPECT_EQ(loaded.errors.count(), static_cast<int>(c.log.size() / 2)) << c.records;
        EXPECT_EQ(loaded.dump(), c.records);
    }
}

TEST(LNGedcomRecordAssembler, AssemblesALargeTextInTwoHalvesExactlyAsInOne) {
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "one hardware thread: the text is always assembled by one";
    // Every kind of report on both sides of the middle, breaks of every kind,
    // and lines of level 0 that do not read (so cannot start the second half).
    String text = u"1 DROPPED before any record\n";
    for (int i = 0; i < 400; ++i) {
        text += u"0 @I" + fromUtf8(std::to_string(i)) + u"@ INDI\r\n1 NAME A /B/\u2028";
        text += i % 7 == 0 ? u"3 JUMP\n2 UNDER name\n" : u"1 SEX F\n";
        text += i % 11 == 0 ? u"0\n0 X\n-1 NEG\n\n   \n" : u"1 BIRT\r2 DATE 1900\u0085";
    }
    text += u"0 TRLR";
    const Assembled whole = assemble(text, false);
    EXPECT_EQ(assemble(text, true), whole);
    EXPECT_GT(whole.errors, 100);
    EXPECT_EQ(whole.lines.back(), std::to_string(splitBySet(text, CharSet::newline()).size()) + " 0 TRLR");
    // No record starts after the middle: one thread does it all.
    String tail = u"0 @I1@ INDI\n" + String(2000, u' ') + u"\n1 NAME x\n2 GIVN x\n";
    EXPECT_EQ(assemble(tail, true), assemble(tail, false));
}
