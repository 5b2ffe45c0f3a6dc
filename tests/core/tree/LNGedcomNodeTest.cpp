// One GEDCOM line into a node, and the text forms of a tree of nodes.

#include "tree/LNGedcomNode.h"
#include "memory/BackgroundRelease.h"
#include "memory/KeptText.h"
#include "memory/LoadArena.h"
#include "support/TextServices.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace kinloom;

TEST(LNGedcomNodeParser, ReadsLevelKeyTagAndValueBetweenAnyUnicodeSpace) {
    struct Case {
        const char16_t* line;
        int level;
        const char16_t *key, *tag, *value; // null: absent
    };
    const Case cases[] = {
        {u"0 HEAD", 0, nullptr, u"HEAD", nullptr},
        {u"0 @I1@ INDI", 0, u"@I1@", u"INDI", nullptr},
        {u"1@I1@ INDI", 1, u"@I1@", u"INDI", nullptr},
        {u"0HEAD", 0, nullptr, u"HEAD", nullptr},
        {u"+2 PLAC x", 2, nullptr, u"PLAC", u"x"},
        {u"01 NAME x", 1, nullptr, u"NAME", u"x"},
        {u"-1 NOTE x", -1, nullptr, u"NOTE", u"x"},
        {u"99999999999 NOTE x", 2147483647, nullptr, u"NOTE", u"x"},
        {u"1 @@ x", 1, nullptr, u"@@", u"x"}, // two at signs make a tag, three a key
        {u"1 @@@ NOTE", 1, u"@@@", u"NOTE", nullptr},
        {u"\t 1\u00A0\u00A0NAME\u3000John  /Smith/ \u2003 ", 1, nullptr, u"NAME", u"John  /Smith/"},
        {u"1 NA\nME x", 1, nullptr, u"NA\nME", u"x"}, // a line feed belongs to the tag
        {u"1 NAME   ", 1, nullptr, u"NAME", nullptr},
        {u"1 NOTE one @ two", 1, nullptr, u"NOTE", u"one @ two"},
        {u"0 @I1@ INDI extra", 0, u"@I1@", u"INDI", u"extra"},
        {u"1 \U0001F600 x", 1, nullptr, u"\U0001F600", u"x"}}; // two code units make a tag
    for (const Case& c : cases) {
        Ref<LNGedcomNode> node = LNGedcomNode::initFromString(c.line, nullptr);
        ASSERT_NE(node, nullptr) << toUtf8(c.line);
        EXPECT_EQ(node->level(), c.level) << toUtf8(c.line);
        EXPECT_EQ(node->key().isNull(), c.key == nullptr) << toUtf8(c.line);
        if (c.key) {
            EXPECT_EQ(node->key(), c.key);
        }
        EXPECT_EQ(node->tag(), c.tag) << toUtf8(c.line);
        EXPECT_EQ(node->value().isNull(), c.value == nullptr) << toUtf8(c.line);
        if (c.value) {
            EXPECT_EQ(node->value(), c.value) << toUtf8(c.line);
        }
    }
    EXPECT_EQ(LNGedcomNode::initFromString(u"1   NAME \t value  ", nullptr)->description(), u"1 NAME value");
}

TEST(LNGedcomNodeParser, RejectsMalformedLinesAndPassesBlankOnesSilently) {
    for (const char16_t* line :
         {u"", u"1", u"1   ", u"0 @I1@", u"0 @I1@  ", u"1 X y", u"HEAD", u"x 1", u"- HEAD", u"1 \u00E9 x"}) {
        std::optional<ErrorKind> error;
        EXPECT_EQ(LNGedcomNode::initFromString(line, &error), nullptr) << toUtf8(line);
        EXPECT_EQ(error, LNGedcomErrorLineSyntax) << toUtf8(line);
    }
    std::optional<ErrorKind> error = LNGedcomErrorLineSyntax;
    EXPECT_EQ(LNGedcomNode::initFromString(u" \t\u00A0", &error), nullptr);
    EXPECT_FALSE(error.has_value());
}

TEST(LNGedcomNode, DumpsTreesAndCopiesThemWithoutNumbersOrMarks) {
    auto line = [](StringView text) { return LNGedcomNode::initFromString(text, nullptr); };
    Ref<LNGedcomNode> root = line(u"0 @I1@ INDI"), birth = line(u"1 BIRT");
    root->addChild(line(u"1 NAME John /Smith/"));
    root->addChild(birth);
    birth->addChild(line(u"2 DATE 1900"));
    root->setLineNumber(7);
    root->setAttribute(SharedString(u"good"), u"validcode");
    EXPECT_EQ(root->fullDescription(), u"0 @I1@ INDI\n  1 NAME John /Smith/\n  1 BIRT\n    2 DATE 1900\n");
    EXPECT_EQ(birth->fullDescription(String(u"> ")), u"> 1 BIRT\n>   2 DATE 1900\n");
    Ref<LNNode> copy = root->copy();
    EXPECT_EQ(copy->fullDescription(std::nullopt),
              u"0 @I1@ INDI\n1 NAME John /Smith/\n1 BIRT\n2 DATE 1900\n");
    EXPECT_EQ(static_cast<LNGedcomNode*>(copy.get())->lineNumber(), 0);
    EXPECT_EQ(copy->attributes(), nullptr);
    EXPECT_EQ(copy->childAt(1)->childAt(0)->parent(), copy->childAt(1));
}

TEST(BackgroundRelease, FreesOnItsOwnThreadAndTheCountsWaitForIt) {
    struct Probe {
        std::thread::id* freedOn;
        Ref<LNNode> tree;
        ~Probe() { *freedOn = std::this_thread::get_id(); }
    };
    const long live = LNNode::numAllocated() - LNNode::numDeallocated();
    std::thread::id freedOn;
    auto probe = std::make_unique<Probe>(
        Probe{&freedOn, makeRef<LNNode>(SharedString::interned(u"NAME"), u"x", nullptr)});
    probe->tree->addChild(makeRef<LNNode>(SharedString::interned(u"NAME"), nullptr, nullptr));
    const SharedString name = SharedString::interned(u"NAME"); // shared with the tree, never counted
    BackgroundRelease::release(std::move(probe));
    EXPECT_EQ(LNNode::numAllocated() - LNNode::numDeallocated(), live);
    EXPECT_NE(freedOn, std::this_thread::get_id());
    EXPECT_EQ(name, u"NAME");
}

TEST(LNNode, KeepsTheThreeMarksInTheNodeAndAnyOtherValidcodeInTheMapAlike) {
    const String texts[] = {u"good", u"badchild", u"bad", u"Good", u""};
    auto isMark = [](const String& text) { return text == u"good" || text == u"badchild" || text == u"bad"; };
    for (const String& before : texts) {
        for (const String& text : texts) {
            Ref<LNNode> node = makeRef<LNNode>(SharedString(u"N"), SharedString(), nullptr);
            node->setAttribute(SharedString(before), u"validcode");
            node->setAttribute(SharedString(text), u"validcode");
            EXPECT_EQ(node->mark() != LNNode::Mark::none, isMark(text));
            EXPECT_EQ(node->attributes() == nullptr,
                      isMark(before) && isMark(text)); // a mark makes no map
            EXPECT_EQ(node->attributes() ? node->attributes()->size() : 0u, isMark(text) ? 0u : 1u);
            EXPECT_EQ(attributeString(node->attributeForKey(u"validcode"))->str(), text);
            AttributeMap map;
            map.set(u"validcode", SharedString(text));
            Ref<LNNode> built = makeRef<LNNode>(SharedString(u"N"), SharedString(), &map),
                        copy = node->copy();
            EXPECT_EQ(built->mark(), node->mark());
            for (LNNode* dumped : {node.get(), built.get(), copy.get()})
                EXPECT_EQ(dumped->fullXMLDescription(), u"<N validcode=\"" + text + u"\"/>\n");
            node->setAttribute(std::int64_t{1}, u"n"); // the mark, in or out of the map, dumps first
            EXPECT_EQ(node->fullXMLDescription(), u"<N validcode=\"" + text + u"\" n=\"1\"/>\n");
        }
    }
}

TEST(LNNode, KeepsNamesTheInternTableTakesAndThoseItDoesNot) {
    const SharedString names[] = {SharedString(u"NAME"), SharedString(u"A_NAME_OF_17_UNIT"),
                                  SharedString(u""), SharedString()};
    for (const SharedString& name : names) {
        Ref<LNNode> node = makeRef<LNNode>(name, nullptr, nullptr);
        EXPECT_TRUE(node->name() == name && node->name().isNull() == name.isNull());
        node->setName(SharedString(u"INDI"));
        EXPECT_EQ(node->name(), u"INDI");
        node->setName(name);
        EXPECT_TRUE(node->name() == name && node->name().isNull() == name.isNull());
    }
    LoadArena arena;
    Ref<LNGedcomNode> line = LNGedcomNode::initFromString(u"1 _A_TAG_OF_18_UNITS x", nullptr, arena);
    EXPECT_EQ(line->description(), u"1 _A_TAG_OF_18_UNITS x");
}

TEST(LNGedcomNode, KeepsAKeySlicedFromTheTextAloneOrBesideOtherRareValues) {
    KeptText::Hold text(KeptText::make(String(u"0 @I1@ INDI")));
    LoadArena arena(text.get());
    for (int beside : {0, 1, 2}) { // nothing, a map, a name the InternTable does not take
        Ref<LNGedcomNode> line = LNGedcomNode::initFromString(*text->text(), nullptr, arena);
        const SharedString slice = SharedString::borrowed(line->key());
        ASSERT_TRUE(slice.isSlice());
        line->setKey(SharedString());
        EXPECT_TRUE(line->key().isNull());
        line->setKey(SharedString::borrowed(slice));
        if (beside == 1) line->setAttribute(std::int64_t{1}, u"n");
        if (beside == 2) line->setName(SharedString(u"A_NAME_OF_17_UNIT"));
        EXPECT_EQ(line->description(), beside == 2 ? u"0 @I1@ A_NAME_OF_17_UNIT" : u"0 @I1@ INDI");
        line->setKey(SharedString(u"@I2@"));
        EXPECT_EQ(line->key(), u"@I2@");
        line->setKey(SharedString::borrowed(slice));
        EXPECT_EQ(line->key(), u"@I1@");
        EXPECT_EQ(line->attributes() ? line->attributes()->size() : 0u, beside == 1 ? 1u : 0u);
    }
}
