// One GEDCOM line into a node, and the text forms of a tree of nodes.

#include "LNGedcomNode.h"
#include "TextServices.h"

#include <gtest/gtest.h>

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
        if (c.key) EXPECT_EQ(node->key(), c.key);
        EXPECT_EQ(node->tag(), c.tag) << toUtf8(c.line);
        EXPECT_EQ(node->value().isNull(), c.value == nullptr) << toUtf8(c.line);
        if (c.value) EXPECT_EQ(node->value(), c.value) << toUtf8(c.line);
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

TEST(LNNode, DumpsTreesAsTextAndXml) {
    auto node = [](StringView name, SharedString value = SharedString()) {
        return makeRef<LNNode>(SharedString(name), value, nullptr);
    };
    Ref<LNNode> p = node(u"P", u"x"), r = node(u"R");
    p->addChild(node(u"Q", u"a<b & \"c\" 'd'\x01"));
    p->addChild(r);
    r->addChild(node(u"S"));
    r->addChild(node(u"T", u""));
    p->setAttribute(SharedString(u"good"), u"validcode");
    EXPECT_EQ(p->fullDescription(std::nullopt), u"P x\nQ a<b & \"c\" 'd'\x01\nR\nS\nT \n");
    EXPECT_EQ(r->fullDescription(String(u"> ")), u"> R\n>   S\n>   T \n");
    EXPECT_EQ(p->fullXMLDescription(), u"<P validcode=\"good\">x\n"
                                       u"  <Q>a&lt;b &amp; &quot;c&quot; &apos;d&apos;\uFFFD</Q>\n"
                                       u"  <R>\n"
                                       u"    <S/>\n"
                                       u"    <T/>\n"
                                       u"  </R>\n"
                                       u"</P>\n");
    // A copy is deep, with attributes of its own; a line's copy drops its number and marks.
    Ref<LNNode> copied = p->copy();
    copied->setAttribute(SharedString(u"bad"), u"validcode");
    EXPECT_EQ(*attributeString(p->attributeForKey(u"validcode")), u"good");
    EXPECT_EQ(copied->childAt(1)->parent(), copied.get());
    auto line = LNGedcomNode::initFromString(u"0 @I1@ INDI", nullptr);
    line->setLineNumber(7);
    line->setAttribute(SharedString(u"good"), u"validcode");
    line->addChild(LNGedcomNode::initFromString(u"1 NAME John /Smith/", nullptr));
    Ref<LNNode> lineCopy = line->copy();
    EXPECT_EQ(static_cast<LNGedcomNode*>(lineCopy.get())->lineNumber(), 0);
    EXPECT_EQ(lineCopy->attributes(), nullptr);
    EXPECT_EQ(lineCopy->fullDescription(), u"0 @I1@ INDI\n  1 NAME John /Smith/\n");
}
