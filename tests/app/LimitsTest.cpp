// Hostile grammars and files at the limits of the viewer: each is read, used
// and released, and every node made for it must be gone afterwards.

#include "GedcomTestTrees.h"
#include "LNGedcomSpecification.h"
#include "LNHeadlessViewer.h"
#include "SystemLog.h"
#include "TextServices.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace kinloom;
using kinloom::testing::marksOf;
using kinloom::testing::recordsFromText;

namespace {

long liveNodes() {
    return LNNode::numAllocated() - LNNode::numDeallocated();
}

/// Reads the grammar and validates the one record of the text against it;
/// the marks, or "no grammar".
std::string marksUnder(StringView grammarText, StringView recordText) {
    auto grammar = LNGedcomSpecification::initFromString(grammarText);
    if (!grammar) return "no grammar";
    std::vector<Ref<LNGedcomNode>> records = recordsFromText(recordText);
    if (records.size() != 1) return "not one record";
    grammar->validateRecord(records.front().get());
    return marksOf(records.front().get());
}

} // namespace

TEST(GrammarLimits, ValidatesThroughRulesThatReferToEachOtherInACycle) {
    long before = liveNodes();
    // Rule items alone that lead round in a circle accept nothing.
    EXPECT_EQ(marksUnder(u"indi_record : INDI [ a ] ; a : b ; b : c ; c : a ;", u"0 @I1@ INDI\n1 NAME x"),
              "INDI badchild\n  NAME bad\n");
    EXPECT_EQ(marksUnder(u"indi_record : indi_record ;", u"0 @I1@ INDI"), "INDI bad\n");

    // A rule whose group names the rule itself allows lines nested to any depth.
    std::string deep = "0 @I1@ INDI\n";
    for (int level = 1; level <= 100'000; ++level)
        deep += std::to_string(level) + " NOTE\n";
    auto grammar =
        LNGedcomSpecification::initFromString(u"indi_record : INDI [ note ] ; note : NOTE [ note ] ;");
    ASSERT_TRUE(grammar);
    std::vector<Ref<LNGedcomNode>> records = recordsFromText(fromUtf8(deep));
    ASSERT_EQ(records.size(), 1u);
    grammar->validateRecord(records.front().get());
    const LNNode* line = records.front().get();
    int good = 0;
    for (; line; line = line->numChildren() ? line->childAt(0) : nullptr) {
        const SharedString* mark = LNGedcomSpecification::markOf(line);
        good += mark && *mark == LNGedcomSpecification::goodMark();
    }
    EXPECT_EQ(good, 100'001);
    records.clear();
    grammar.reset();
    EXPECT_EQ(liveNodes(), before);
}

TEST(GrammarLimits, ReadsAndMatchesIdentifiersOfTenThousandCharacters) {
    long before = liveNodes();
    String rule(10'000, u'r');
    String tag(10'000, u'T');
    EXPECT_EQ(marksUnder(u"indi_record : INDI [ " + rule + u" ] ; " + rule + u" : " + tag + u" ;",
                         u"0 @I1@ INDI\n1 " + tag + u" x\n1 " + tag.substr(1) + u" y"),
              "INDI badchild\n  " + std::string(10'000, 'T') + " good\n  " + std::string(9'999, 'T') +
                  " bad\n");
    EXPECT_EQ(liveNodes(), before);
}

TEST(ViewerLimits, ShowsValidatesAndReleasesARecordAMillionLevelsDeep) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "kinloom-viewer-limits-XXXXXX";
    std::string pattern = dir.string();
    ASSERT_TRUE(mkdtemp(pattern.data()));
    dir = pattern;
    std::string deep = (dir / "deep.ged").string();
    std::string fifo = (dir / "fifo.ged").string();
    {
        std::string text = "0 @I1@ INDI\n";
        for (int level = 1; level < 1'000'000; ++level)
            text += std::to_string(level) + " NOTE\n";
        std::FILE* out = std::fopen(deep.c_str(), "wb");
        ASSERT_TRUE(out);
        std::fwrite(text.data(), 1, text.size(), out);
        std::fclose(out);
    }
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    long before = liveNodes();
    {
        LogCapture log;
        LNHeadlessViewer viewer;
        viewer.application().bundle().setDirectories({"resources"});
        viewer.application().openFile(deep);
        ASSERT_EQ(viewer.table().numberOfRows(), 1);
        viewer.table().clickCell(0, viewer.table().columnIndex(u"name"));
        viewer.outline().expandAll();
        EXPECT_EQ(viewer.outline().rows().size(), 1'000'000u);
        viewer.validate();
        EXPECT_EQ(viewer.table().cellColor(0, viewer.table().columnIndex(u"name")), LNColor::orangeColor());

        // A FIFO without a writer is refused at once, and the deep file released.
        viewer.application().openFile(fifo);
        EXPECT_EQ(viewer.table().numberOfRows(), 0);
        EXPECT_TRUE(log.contains("just added error cantReadSource at line 0"));
    }
    EXPECT_EQ(liveNodes(), before);
    std::filesystem::remove_all(dir);
}
