// Hostile grammars and files at the limits of the viewer: each is read, used
// and released, and every node made for it must be gone afterwards.

#include "GedcomTestTrees.h"
#include "LNGedcomSpecification.h"
#include "LNHeadlessViewer.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace kinloom;
using kinloom::testing::recordsFromText;
using kinloom::testing::validated;

namespace {

long liveNodes() {
    return LNNode::numAllocated() - LNNode::numDeallocated();
}

std::string marksUnder(StringView grammarText, const String& record) {
    auto grammar = LNGedcomSpecification::initFromString(grammarText);
    return grammar ? validated(*grammar, record) : "no grammar";
}

} // namespace

TEST(GrammarLimits, EndsCyclesOfRuleItemsAndMatchesLongIdentifiers) {
    const long before = liveNodes();
    // The NAME line goes round a -> b -> a, where the cycle must end without
    // a fit, before the rule's next alternative fits it; SEX fits nothing.
    EXPECT_EQ(
        marksUnder(u"indi_record : INDI [ a ] ; a : b NAME ; b : a ;", u"0 @I1@ INDI\n1 NAME x\n1 SEX M"),
        "INDI badchild\n  NAME good\n  SEX bad\n");
    EXPECT_EQ(marksUnder(u"indi_record : INDI [ a ] ; a : b ; b : c ; c : a ;", u"0 @I1@ INDI\n1 NAME x"),
              "INDI badchild\n  NAME bad\n");
    const String rule(10'000, u'r'), tag(10'000, u'T');
    EXPECT_EQ(marksUnder(u"indi_record : INDI [ " + rule + u" ] ; " + rule + u" : " + tag + u" ;",
                         u"0 @I1@ INDI\n1 " + tag + u" x\n1 " + tag.substr(1) + u" y"),
              "INDI badchild\n  " + std::string(10'000, 'T') + " good\n  " + std::string(9'999, 'T') +
                  " bad\n");
    // A rule whose group names the rule itself allows lines nested to any depth.
    std::string deep = "0 @I1@ INDI\n";
    for (int level = 1; level <= 100'000; ++level)
        deep += std::to_string(level) + " NOTE\n";
    auto grammar =
        LNGedcomSpecification::initFromString(u"indi_record : INDI [ note ] ; note : NOTE [ note ] ;");
    ASSERT_TRUE(grammar);
    {
        std::vector<Ref<LNGedcomNode>> records = recordsFromText(fromUtf8(deep));
        grammar->validateRecord(records.at(0).get());
        int good = 0;
        for (const LNNode* line = records[0].get(); line;
             line = line->numChildren() ? line->childAt(0) : nullptr)
            good += *LNGedcomSpecification::markOf(line) == LNGedcomSpecification::goodMark();
        EXPECT_EQ(good, 100'001);
    }
    grammar.reset();
    EXPECT_EQ(liveNodes(), before);
}

TEST(ViewerLimits, ShowsValidatesAndReleasesARecordAMillionLevelsDeep) {
    // Names of their own: other builds may run this test at the same time.
    const std::string prefix =
        (std::filesystem::temp_directory_path() / "kinloom-").string() + std::to_string(getpid());
    const std::string deep = prefix + "-deep.ged", fifo = prefix + "-fifo.ged";
    std::string text = "0 @I1@ INDI\n";
    for (int level = 1; level < 1'000'000; ++level)
        text += std::to_string(level) + " NOTE\n";
    std::FILE* out = std::fopen(deep.c_str(), "wb");
    ASSERT_TRUE(out);
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
    std::filesystem::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const long before = liveNodes();
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
        // A FIFO without a writer is refused at once; the deep file stays.
        viewer.application().openFile(fifo);
        EXPECT_EQ(viewer.table().numberOfRows(), 1);
        EXPECT_EQ(viewer.window().alerts().size(), 1u);
        EXPECT_TRUE(log.contains("just added error cantReadSource at line 0"));
    }
    EXPECT_EQ(liveNodes(), before);
    std::filesystem::remove(deep);
    std::filesystem::remove(fifo);
}
