#include "LNGedcomNode.h"
#include "LNNode.h"

#include <gtest/gtest.h>

using namespace kinloom;

namespace {

Ref<LNNode> node(StringView name, SharedString value = SharedString()) {
    return makeRef<LNNode>(SharedString(name), value, nullptr);
}

// P x with children Q and R, R with child S.
Ref<LNNode> sampleTree() {
    Ref<LNNode> p = node(u"P", u"x");
    Ref<LNNode> r = node(u"R");
    p->addChild(node(u"Q"));
    p->addChild(r);
    r->addChild(node(u"S"));
    return p;
}

} // namespace

TEST(LNNode, ValueAbsentAndEmptyDiffer) {
    Ref<LNNode> absent = node(u"N");
    Ref<LNNode> empty = node(u"N", u"");
    EXPECT_EQ(absent->description(), u"N");
    EXPECT_EQ(empty->description(), u"N ");
    EXPECT_EQ(empty->fullXMLDescription(), u"<N/>\n");

    absent->addText(u"");
    EXPECT_TRUE(absent->value().isNull());
    absent->addText(u"one");
    EXPECT_EQ(absent->value(), u"one");
    absent->addText(u"two");
    EXPECT_EQ(absent->value(), u"one two");
    empty->addText(u"t");
    EXPECT_EQ(empty->value(), u" t");
}

TEST(LNNode, ChildrenSearchesAndSizes) {
    Ref<LNNode> lone = node(u"L");
    EXPECT_EQ(lone->treeSize(), 1);
    EXPECT_EQ(lone->childrenCopy(), nullptr);
    EXPECT_EQ(lone->numChildren(), 0);
    auto copiedLone = lone->copy()->childrenCopy();
    ASSERT_NE(copiedLone, nullptr);
    EXPECT_TRUE(copiedLone->empty());

    Ref<LNNode> p = sampleTree();
    EXPECT_EQ(p->treeSize(), 4);
    EXPECT_EQ(p->childWithName(u"R")->name(), u"R");
    EXPECT_EQ(p->childWithName(u"S"), nullptr);
    EXPECT_EQ(p->nodeWithPath({}), p.get());
    EXPECT_EQ(p->nodeWithPath({u"R", u"S"})->name(), u"S");
    EXPECT_EQ(p->nodeWithPath({u"X"}), nullptr);

    // Canonically equivalent names meet in a path search only.
    p->addChild(node(u"\u00C9T"));
    EXPECT_NE(p->nodeWithPath({u"E\u0301T"}), nullptr);
    EXPECT_EQ(p->childWithName(u"E\u0301T"), nullptr);

    Ref<LNNode> first = node(u"D", u"1");
    Ref<LNNode> second = node(u"D", u"2");
    std::vector<Ref<LNNode>> list{first, second, first};
    EXPECT_EQ(LNNode::nodeWithName(u"D", &list), first);
    EXPECT_EQ(LNNode::nodeWithName(u"D", nullptr), nullptr);
    EXPECT_EQ(LNNode::nodeWithName(u"D", &list, true), first);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], second);
}

TEST(LNNode, SharedChildKeepsLastParent) {
    Ref<LNNode> a = node(u"A");
    Ref<LNNode> b = node(u"B");
    Ref<LNNode> c = node(u"C");
    a->addChild(c);
    b->addChild(c);
    EXPECT_EQ(a->numChildren(), 1);
    EXPECT_EQ(b->numChildren(), 1);
    EXPECT_EQ(c->parent(), b.get());

    std::vector<Ref<LNNode>> remove{c};
    b->removeChildren(&remove);
    EXPECT_EQ(b->numChildren(), 0);
    EXPECT_EQ(c->parent(), b.get());
    b->removeChildren(nullptr);
}

TEST(LNNode, CopyIsDeepWithItsOwnAttributes) {
    Ref<LNNode> p = sampleTree();
    p->setAttribute(SharedString(u"good"), u"validcode");
    Ref<LNNode> copied = p->copy();
    EXPECT_EQ(copied->parent(), nullptr);
    EXPECT_EQ(copied->fullDescription(), p->fullDescription());
    EXPECT_NE(copied->childAt(1), p->childAt(1));
    EXPECT_EQ(copied->childAt(1)->parent(), copied.get());

    copied->setAttribute(SharedString(u"bad"), u"validcode");
    EXPECT_EQ(*attributeString(p->attributeForKey(u"validcode")), u"good");
    EXPECT_EQ(*attributeString(copied->attributeForKey(u"validcode")), u"bad");
    EXPECT_EQ(p->attributeForKey(u"other"), nullptr);
    EXPECT_EQ(node(u"N")->attributeForKey(u"validcode"), nullptr);
}

TEST(LNNode, DumpsHaveExactText) {
    Ref<LNNode> p = sampleTree();
    EXPECT_EQ(p->fullDescription(), u"P x\n  Q\n  R\n    S\n");
    EXPECT_EQ(p->fullDescription(std::nullopt), u"P x\nQ\nR\nS\n");
    EXPECT_EQ(p->fullDescription(String(u"> ")), u"> P x\n>   Q\n>   R\n>     S\n");

    p->setAttribute(SharedString(u"good"), u"validcode");
    p->childAt(0)->setValue(SharedString(u"a<b & \"c\" 'd'\x01"));
    EXPECT_EQ(p->fullXMLDescription(),
              u"<P validcode=\"good\">x\n"
              u"  <Q>a&lt;b &amp; &quot;c&quot; &apos;d&apos;\uFFFD</Q>\n"
              u"  <R>\n"
              u"    <S/>\n"
              u"  </R>\n"
              u"</P>\n");
    EXPECT_EQ(stringEncodingEntities(u"\U0001F600\xFFFE\t"), u"\U0001F600\uFFFD\t");
}

TEST(LNNode, CountersTrackEveryNode) {
    long made = LNNode::numAllocated();
    long gone = LNNode::numDeallocated();
    {
        Ref<LNNode> p = sampleTree();
        Ref<LNNode> copied = p->copy();
        EXPECT_EQ(LNNode::numAllocated() - made, 8);
        EXPECT_EQ(LNNode::numDeallocated() - gone, 0);
    }
    EXPECT_EQ(LNNode::numAllocated() - LNNode::numDeallocated(), made - gone);
}

TEST(LNNode, MillionLevelChainNeedsNoDeepStack) {
    long live = LNNode::numAllocated() - LNNode::numDeallocated();
    constexpr int depth = 1000000;
    {
        Ref<LNGedcomNode> root = makeRef<LNGedcomNode>(0, SharedString(u"INDI"), SharedString());
        LNNode* current = root.get();
        for (int level = 1; level < depth; ++level) {
            auto next = makeRef<LNGedcomNode>(level, SharedString(u"NOTE"), SharedString(u"x"));
            current->addChild(next);
            current = next.get();
        }
        EXPECT_EQ(root->treeSize(), depth);
        String dump = root->fullDescription(std::nullopt);
        EXPECT_EQ(dump.substr(0, 12), u"0 INDI\n1 NOT");
        // Indented dumps of such a chain are quadratic in size by nature; the flat ones are not.
        String xml = root->fullXMLDescription(std::nullopt);
        EXPECT_EQ(xml.substr(xml.size() - 8), u"</INDI>\n");
        Ref<LNNode> copied = root->copy();
        EXPECT_EQ(copied->treeSize(), depth);
        std::vector<String> path(10, u"NOTE");
        EXPECT_NE(root->nodeWithPath(path), nullptr);
    }
    EXPECT_EQ(LNNode::numAllocated() - LNNode::numDeallocated(), live);
}
