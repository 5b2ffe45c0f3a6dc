#include "LoadArena.h"
#include "GedcomTestText.h"
#include "LNGedcomRecord.h"

#include <gtest/gtest.h>

using namespace kinloom;
using kinloom::test::gedcomText;

namespace {

std::unique_ptr<std::vector<std::shared_ptr<LNGedcomRecord>>> loadRecords(const String& text) {
    return LNGedcomRecord::gedcomRecordsFromText(text, 0, nullptr);
}

} // namespace

TEST(LoadArena, ReturnsEveryBlockOnceTheLastObjectInItGoes) {
    long blocksBefore = LoadArena::numBlocks();
    long madeBefore = LNNode::numAllocated();
    long destroyedBefore = LNNode::numDeallocated();
    String text = gedcomText({"0 @I1@ INDI", "1 NAME John /Smith/", "1 BIRT", "2 DATE 1 JAN 1900", "0 TRLR"});
    auto records = loadRecords(text);
    ASSERT_EQ(records->size(), 2u);
    EXPECT_EQ(LoadArena::numBlocks(), blocksBefore + 1);
    EXPECT_EQ(LNNode::numAllocated() - madeBefore, 5);

    // A line held after its records are gone keeps its block and its texts.
    Ref<LNGedcomNode> date =
        staticRefCast<LNGedcomNode>(Ref<LNNode>(records->front()->root()->childAt(1)->childAt(0)));
    records.reset();
    EXPECT_EQ(LNNode::numDeallocated() - destroyedBefore, 4);
    EXPECT_EQ(LoadArena::numBlocks(), blocksBefore + 1);
    EXPECT_EQ(date->value(), u"1 JAN 1900");
    EXPECT_EQ(date->description(), u"2 DATE 1 JAN 1900");

    date.reset();
    EXPECT_EQ(LNNode::numDeallocated() - destroyedBefore, 5);
    EXPECT_EQ(LoadArena::numBlocks(), blocksBefore);
}

TEST(LoadArena, MixesWithHeapNodesInBothDirections) {
    long blocksBefore = LoadArena::numBlocks();
    String text = gedcomText({"0 @I1@ INDI", "1 NAME Ann /Lee/"});
    auto records = loadRecords(text);
    Ref<LNGedcomNode> root = records->front()->root();

    // The outline hangs a loaded root under a node made outside any load,
    // and a loaded node may take children made outside a load.
    auto top = makeRef<LNGedcomNode>(-1, SharedString(u"top"), SharedString());
    top->addChild(root);
    root->addChild(makeRef<LNGedcomNode>(1, SharedString(u"NOTE"), SharedString(u"added")));
    root->setKey(SharedString(u"@I2@"));
    records.reset();
    root.reset();
    ASSERT_EQ(top->numChildren(), 1);
    const LNNode* kept = top->childAt(0);
    ASSERT_EQ(kept->numChildren(), 2);
    EXPECT_EQ(kept->childAt(1)->value(), u"added");
    EXPECT_EQ(static_cast<const LNGedcomNode*>(kept)->key(), u"@I2@");

    // A copy shares the immutable texts, and with them their block.
    Ref<LNNode> copied = kept->copy();
    top.reset();
    EXPECT_EQ(copied->fullDescription(std::nullopt), u"0 @I2@ INDI\n1 NAME Ann /Lee/\n1 NOTE added\n");
    EXPECT_EQ(LoadArena::numBlocks(), blocksBefore + 1);
    copied.reset();
    EXPECT_EQ(LoadArena::numBlocks(), blocksBefore);
}

TEST(LoadArena, KeepsTextsTooLongForABlockOnTheHeap) {
    long blocksBefore = LoadArena::numBlocks();
    String longValue(LoadArena::blockSize, u'x');
    String text = u"0 @N1@ NOTE " + longValue + u"\n0 @N2@ NOTE short\n";
    auto records = loadRecords(text);
    ASSERT_EQ(records->size(), 2u);
    EXPECT_EQ(records->front()->root()->value().size(), longValue.size());
    EXPECT_EQ(records->back()->root()->value(), u"short");
    records.reset();
    EXPECT_EQ(LoadArena::numBlocks(), blocksBefore);

    LoadArena arena;
    SharedString small = SharedString::inArena(u"abc", arena);
    SharedString large = SharedString::inArena(longValue, arena);
    SharedString copy = small;
    EXPECT_EQ(copy, u"abc");
    EXPECT_EQ(large.size(), longValue.size());
    EXPECT_EQ(SharedString::inArena(u"", arena), u"");
}

TEST(LoadArena, GrowsChildListsFromBlocksToTheHeapAndBack) {
    long blocksBefore = LoadArena::numBlocks();
    long destroyedBefore = LNNode::numDeallocated();
    // A record with more children than a block's largest piece holds: its
    // list is made at full size on the heap; a list grown by doubling, with
    // room reserved in an arena, moves from block to block, then to the heap.
    constexpr int count = 40000;
    String text = u"0 @I1@ INDI\n";
    for (int i = 0; i < count; ++i)
        text += u"1 NOTE n\n";
    auto records = loadRecords(text);
    const LNNode* root = records->front()->root().get();
    ASSERT_EQ(root->numChildren(), count);
    EXPECT_EQ(root->childAt(count - 1)->parent(), root);

    Ref<LNNode> grown;
    {
        LoadArena arena;
        grown = makeRef<LNNode>(SharedString(u"top"), SharedString(), nullptr);
        for (int i = 0; i < count; ++i) {
            if ((i & (i - 1)) == 0) grown->reserveChildren(std::max(4, 2 * i), &arena);
            grown->addChild(Ref<LNNode>(root->childAt(i)));
        }
    }
    records.reset();
    ASSERT_EQ(grown->numChildren(), count);
    std::vector<Ref<LNNode>> odd;
    for (int i = 1; i < count; i += 2)
        odd.push_back(Ref<LNNode>(grown->childAt(i)));
    Ref<LNNode> first(grown->childAt(0)), last(grown->childAt(count - 1));
    grown->removeChildren(&odd);
    ASSERT_EQ(grown->numChildren(), count / 2);
    EXPECT_EQ(grown->childAt(0), first.get());
    EXPECT_EQ(grown->childAt(count / 2 - 1), grown->childList().back().get());
    EXPECT_NE(grown->childList().back().get(), last.get());
    odd.clear();
    first.reset();
    last.reset();
    grown.reset();
    EXPECT_EQ(LNNode::numDeallocated() - destroyedBefore, count + 2);
    EXPECT_EQ(LoadArena::numBlocks(), blocksBefore);
}

TEST(LoadArena, GivesBackTheUnusedEndOfTheLastBlock) {
    long bytesBefore = LoadArena::numBytes();
    auto records = loadRecords(gedcomText({"0 @I1@ INDI", "1 NAME Ann /Lee/", "0 TRLR"}));
    long held = LoadArena::numBytes() - bytesBefore;
    // A few lines keep a page or two of their block, not the whole block.
    EXPECT_GT(held, 0);
    EXPECT_LE(held, 16384);
    EXPECT_EQ(records->front()->root()->childAt(0)->value(), u"Ann /Lee/");
    records.reset();
    EXPECT_EQ(LoadArena::numBytes(), bytesBefore);
}
