#include "LNGedcomRecordAssembler.h"
#include "GedcomTestText.h"
#include "LNGedcomFamRecord.h"
#include "LNGedcomIndiRecord.h"
#include "LNGedcomRecord.h"
#include "LNGedcomSourRecord.h"
#include "PreOrderWalk.h"
#include "SystemLog.h"

#include <gtest/gtest.h>

using namespace kinloom;
using kinloom::test::GedcomLines;

namespace {

std::vector<std::string> childTags(const LNNode& node) {
    std::vector<std::string> tags;
    if (const auto* children = node.children())
        for (const auto& child : *children)
            tags.push_back(toUtf8(child->name()));
    return tags;
}

const LNGedcomNode& childAt(const LNNode& node, int index) {
    return *static_cast<const LNGedcomNode*>(node.childAt(index));
}

} // namespace

TEST(LNGedcomRecordAssembler, GivesNullForNoLinesAndAnEmptyListForBlankOnes) {
    EXPECT_EQ(LNGedcomRecord::gedcomRecordsFromStrings({}, nullptr), nullptr);

    GedcomLines blank{"", "   ", "\t"};
    LNGedcomErrors errors;
    auto records = LNGedcomRecord::gedcomRecordsFromStrings(blank.views, &errors);
    ASSERT_NE(records, nullptr);
    EXPECT_TRUE(records->empty());
    EXPECT_EQ(errors.count(), 0);
}

TEST(LNGedcomRecordAssembler, HangsLinesByLevelAndChoosesClassByTag) {
    GedcomLines lines{"0 HEAD", "1 CHAR ANSEL", "0 @I1@ INDI", "1 NAME x",
                      "1 BIRT", "2 DATE y",     "1 DEAT",      "0 TRLR"};
    auto records = LNGedcomRecord::gedcomRecordsFromStrings(lines.views, nullptr);
    ASSERT_NE(records, nullptr);
    ASSERT_EQ(records->size(), 3u);

    const LNGedcomRecord& head = *(*records)[0];
    EXPECT_EQ(typeid(head), typeid(LNGedcomRecord));
    EXPECT_FALSE(head.key());
    EXPECT_EQ(childTags(*head.root()), std::vector<std::string>{"CHAR"});

    const LNGedcomRecord& person = *(*records)[1];
    EXPECT_EQ(typeid(person), typeid(LNGedcomIndiRecord));
    EXPECT_EQ(person.key(), u"@I1@");
    EXPECT_EQ(person.lineNumber(), 3);
    EXPECT_EQ(person.numNodes(), 5);
    EXPECT_EQ(childTags(*person.root()), (std::vector<std::string>{"NAME", "BIRT", "DEAT"}));
    const LNGedcomNode& birth = childAt(*person.root(), 1);
    EXPECT_EQ(childTags(birth), std::vector<std::string>{"DATE"});
    EXPECT_EQ(childAt(birth, 0).lineNumber(), 6);
    EXPECT_EQ(childAt(birth, 0).parent(), &birth);
    EXPECT_EQ(person.description(), u"0 @I1@ INDI\n1 NAME x\n1 BIRT\n2 DATE y\n1 DEAT\n");

    EXPECT_EQ(typeid(*(*records)[2]), typeid(LNGedcomRecord));
    EXPECT_EQ((*records)[2]->tag(), u"TRLR");
}

TEST(LNGedcomRecordAssembler, ChoosesRecordClassByExactTag) {
    GedcomLines lines{"0 @I1@ indi", "0 @F1@ FAM", "0 @S1@ SOUR", "0 @U1@ SUBM", "0 @I2@ INDI", "0 @F2@ Fam"};
    auto records = LNGedcomRecord::gedcomRecordsFromStrings(lines.views, nullptr);
    ASSERT_EQ(records->size(), 6u);
    EXPECT_EQ(typeid(*(*records)[0]), typeid(LNGedcomRecord));
    EXPECT_EQ(typeid(*(*records)[1]), typeid(LNGedcomFamRecord));
    EXPECT_EQ(typeid(*(*records)[2]), typeid(LNGedcomSourRecord));
    EXPECT_EQ(typeid(*(*records)[3]), typeid(LNGedcomRecord));
    EXPECT_EQ(typeid(*(*records)[4]), typeid(LNGedcomIndiRecord));
    EXPECT_EQ(typeid(*(*records)[5]), typeid(LNGedcomRecord));
}

TEST(LNGedcomRecordAssembler, ReportsLevelJumpAndAttachesFollowingLinesAsIfItWereAbsent) {
    GedcomLines lines{"0 @I1@ INDI", "2 DATE 1900", "1 BIRT", "2 DATE 1901",
                      "4 NOTE jump", "2 PLAC here", "1 DEAT"};
    LNGedcomErrors errors;
    LogCapture log;
    auto records = LNGedcomRecord::gedcomRecordsFromStrings(lines.views, &errors);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"error: illegal level", "just added error illegalLevel at line 2",
                                        "error: illegal level", "just added error illegalLevel at line 5"}));
    EXPECT_EQ(errors.count(), 2);
    const LNGedcomNode& root = *(*records)[0]->root();
    EXPECT_EQ(childTags(root), (std::vector<std::string>{"BIRT", "DEAT"}));
    EXPECT_EQ(childTags(childAt(root, 0)), (std::vector<std::string>{"DATE", "PLAC"}));
}

TEST(LNGedcomRecordAssembler, ClimbsBackSeveralLevelsAtOnce) {
    GedcomLines lines{"0 @I1@ INDI", "1 BIRT", "2 SOUR @S1@", "3 DATA", "4 TEXT t", "1 DEAT", "2 DATE 1950"};
    auto records = LNGedcomRecord::gedcomRecordsFromStrings(lines.views, nullptr);
    const LNGedcomNode& root = *(*records)[0]->root();
    EXPECT_EQ(childTags(root), (std::vector<std::string>{"BIRT", "DEAT"}));
    EXPECT_EQ(childTags(childAt(root, 1)), std::vector<std::string>{"DATE"});
    EXPECT_EQ((*records)[0]->numNodes(), 7);
}

TEST(LNGedcomRecordAssembler, ReportsNegativeLevelsAndUnreadableLinesAndGoesOn) {
    GedcomLines lines{"0 @I1@ INDI", "1 BIRT",      "-1 NOTE below", "2 DATE 1900",
                      "nonsense",    "2 PLAC here", "1 X y"};
    LNGedcomErrors errors;
    LogCapture log;
    auto records = LNGedcomRecord::gedcomRecordsFromStrings(lines.views, &errors);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"error: illegal level", "just added error illegalLevel at line 3",
                                        "error: line syntax", "just added error lineSyntax at line 5",
                                        "error: line syntax", "just added error lineSyntax at line 7"}));
    EXPECT_EQ(errors.count(), 3);
    const LNGedcomNode& root = *(*records)[0]->root();
    EXPECT_EQ(childTags(root), std::vector<std::string>{"BIRT"});
    EXPECT_EQ(childTags(childAt(root, 0)), (std::vector<std::string>{"DATE", "PLAC"}));
}

TEST(LNGedcomRecordAssembler, DropsLinesBeforeTheFirstRecordReportingOnlyLevelJumps) {
    GedcomLines lines{"1 NOTE stray", "3 CONT jump", "2 CONT dropped",
                      "1 NOTE again", "0 HEAD",      "1 CHAR UTF-8"};
    LNGedcomErrors errors;
    LogCapture log;
    auto records = LNGedcomRecord::gedcomRecordsFromStrings(lines.views, &errors);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"error: illegal level", "just added error illegalLevel at line 2"}));
    ASSERT_EQ(records->size(), 1u);
    EXPECT_EQ(childTags(*(*records)[0]->root()), std::vector<std::string>{"CHAR"});
}

TEST(LNGedcomRecordAssembler, StopsAtMaxCountWithoutLookingFurther) {
    GedcomLines lines{"0 HEAD", "1 CHAR ANSEL", "0 @I1@ INDI", "bad line", "0 @I2@ INDI", "0 TRLR"};
    LogCapture log;
    LNGedcomErrors errors;
    auto one = LNGedcomRecord::gedcomRecordsFromStrings(lines.views, 1, &errors);
    ASSERT_EQ(one->size(), 1u);
    EXPECT_EQ((*one)[0]->tag(), u"HEAD");
    EXPECT_EQ(childTags(*(*one)[0]->root()), std::vector<std::string>{"CHAR"});
    EXPECT_TRUE(log.lines().empty());

    EXPECT_EQ(LNGedcomRecord::gedcomRecordsFromStrings(lines.views, 2, &errors)->size(), 2u);
    EXPECT_EQ(LNGedcomRecord::gedcomRecordsFromStrings(lines.views, 4, &errors)->size(), 4u);
    EXPECT_EQ(LNGedcomRecord::gedcomRecordsFromStrings(lines.views, 0, &errors)->size(), 4u);
    EXPECT_EQ(LNGedcomRecord::gedcomRecordsFromStrings(lines.views, 9, &errors)->size(), 4u);
}

TEST(LNGedcomRecordAssembler, CountsEmptyStringsAsLines) {
    GedcomLines lines{"0 @I1@ INDI", "", "1 NAME x", "", "2 GIVN y", "", "3 NOTE z", "", "5 NOTE jump"};
    LNGedcomErrors errors;
    LogCapture log;
    auto records = LNGedcomRecord::gedcomRecordsFromStrings(lines.views, &errors);
    const LNGedcomNode& root = *(*records)[0]->root();
    EXPECT_EQ(root.lineNumber(), 1);
    EXPECT_EQ(childAt(root, 0).lineNumber(), 3);
    EXPECT_EQ(childAt(childAt(root, 0), 0).lineNumber(), 5);
    EXPECT_TRUE(log.contains("just added error illegalLevel at line 9"));
}

TEST(LNGedcomRecordAssembler, LogsButCountsNothingWithoutErrorList) {
    GedcomLines lines{"0 HEAD", "2 NOTE jump"};
    LogCapture log;
    auto records = LNGedcomRecord::gedcomRecordsFromStrings(lines.views, nullptr);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"error: illegal level"});
    EXPECT_EQ(records->size(), 1u);
}

TEST(LNGedcomRecordAssembler, AssemblesAndReleasesDeepNestingWithoutRecursion) {
    const int depth = 200000;
    std::vector<String> texts;
    texts.push_back(u"0 @N1@ NOTE top");
    for (int level = 1; level <= depth; ++level)
        texts.push_back(fromUtf8(std::to_string(level) + " CONT @X1@"));
    std::vector<StringView> views(texts.begin(), texts.end());
    long liveBefore = LNNode::numAllocated() - LNNode::numDeallocated();
    {
        auto records = LNGedcomRecord::gedcomRecordsFromStrings(views, nullptr);
        ASSERT_EQ(records->size(), 1u);
        const LNGedcomRecord& note = *(*records)[0];
        EXPECT_EQ(note.numNodes(), depth + 1);
        EXPECT_EQ(note.getNodesWithTag(u"CONT").size(), static_cast<std::size_t>(depth));
        std::vector<LNGedcomNode*> xrefs;
        note.getNodesWithXrefValues(xrefs);
        EXPECT_EQ(xrefs.size(), static_cast<std::size_t>(depth));
    }
    EXPECT_EQ(LNNode::numAllocated() - LNNode::numDeallocated(), liveBefore);
}

TEST(LNGedcomRecordAssembler, ReadsATextAsIfSplitAtEveryLineBreak) {
    String text = u"0 HEAD\r\n1 CHAR UTF-8\r\n0 @I1@ INDI\u20281 NAME a\u2029\u000b1 SEX M\u00851 BIRT\r2 "
                  u"DATE 1900\f3 X y\n0 TRLR";
    LNGedcomErrors errors;
    LogCapture log;
    auto records = LNGedcomRecord::gedcomRecordsFromText(text, 0, &errors);
    std::vector<std::string> fromText = log.lines();
    log.clear();
    auto viaLines = LNGedcomRecord::gedcomRecordsFromStrings(splitBySet(text, CharSet::newline()), &errors);
    EXPECT_EQ(log.lines(), fromText);
    EXPECT_EQ(fromText,
              (std::vector<std::string>{"error: line syntax", "just added error lineSyntax at line 11"}));
    ASSERT_EQ(records->size(), 3u);
    ASSERT_EQ(viaLines->size(), 3u);
    for (std::size_t i = 0; i < records->size(); ++i) {
        EXPECT_EQ((*records)[i]->description(), (*viaLines)[i]->description());
        EXPECT_EQ((*records)[i]->lineNumber(), (*viaLines)[i]->lineNumber());
    }
    EXPECT_EQ((*records)[1]->lineNumber(), 5);
    EXPECT_EQ(childAt(*(*records)[1]->root(), 2).lineNumber(), 9);

    auto header = LNGedcomRecord::gedcomRecordsFromText(text, 1, &errors);
    ASSERT_EQ(header->size(), 1u);
    EXPECT_EQ(header->front()->numNodes(), 2);
    ASSERT_NE(LNGedcomRecord::gedcomRecordsFromText(u"", 0, &errors), nullptr);
    EXPECT_TRUE(LNGedcomRecord::gedcomRecordsFromText(u"", 0, &errors)->empty());
}

namespace {

struct Assembled {
    std::vector<std::string> lines; // every node: line number and line form, pre-order
    std::vector<std::string> log;
    int errors = 0;
};

Assembled assembleWithThreshold(const String& text, std::size_t threshold) {
    Assembled result;
    LNGedcomErrors errors;
    LogCapture log;
    LNGedcomRecordAssembler assembler(0, &errors);
    assembler.setParallelThreshold(threshold);
    auto records = assembler.recordsFromText(text);
    result.log = log.lines();
    result.errors = errors.count();
    for (const auto& record : *records) {
        forEachPreOrder(record->root().get(), [&](const LNGedcomNode* node, std::size_t) {
            result.lines.push_back(std::to_string(node->lineNumber()) + " " + toUtf8(node->description()));
        });
    }
    return result;
}

} // namespace

TEST(LNGedcomRecordAssembler, AssemblesALargeTextInTwoHalvesExactlyAsInOne) {
    // Every kind of report on both sides of the middle, breaks of every kind,
    // and lines of level 0 that do not read (so cannot start the second half).
    String text = u"1 DROPPED before any record\n";
    for (int i = 0; i < 400; ++i) {
        std::string n = std::to_string(i);
        text += u"0 @I" + String(n.begin(), n.end()) + u"@ INDI\r\n1 NAME A /B/\u2028";
        text += i % 7 == 0 ? u"3 JUMP\n2 UNDER name\n" : u"1 SEX F\n";
        text += i % 11 == 0 ? u"0\n0 X\n-1 NEG\n\n   \n" : u"1 BIRT\r2 DATE 1900\u0085";
    }
    text += u"0 TRLR";
    long liveBefore = LNNode::numAllocated() - LNNode::numDeallocated();
    Assembled whole = assembleWithThreshold(text, SIZE_MAX);
    Assembled halves = assembleWithThreshold(text, 0);
    EXPECT_EQ(halves.lines, whole.lines);
    EXPECT_EQ(halves.log, whole.log);
    EXPECT_EQ(halves.errors, whole.errors);
    EXPECT_GT(whole.errors, 100);
    EXPECT_EQ(whole.lines.back(), std::to_string(splitBySet(text, CharSet::newline()).size()) + " 0 TRLR");
    EXPECT_EQ(LNNode::numAllocated() - LNNode::numDeallocated(), liveBefore);

    // No record starts after the middle: one thread does it all.
    String tail = u"0 @I1@ INDI\n" + String(2000, u' ') + u"\n1 NAME x\n2 GIVN x\n";
    EXPECT_EQ(assembleWithThreshold(tail, 0).lines, assembleWithThreshold(tail, SIZE_MAX).lines);
}
