#include "LNGedcomNode.h"

#include <gtest/gtest.h>

using namespace kinloom;

namespace {

Ref<LNGedcomNode> parse(StringView text, std::optional<ErrorKind>* error = nullptr) {
    return LNGedcomNode::initFromString(text, error);
}

void expectSyntaxError(StringView text) {
    std::optional<ErrorKind> error;
    EXPECT_EQ(parse(text, &error), nullptr) << std::string(text.begin(), text.end());
    EXPECT_EQ(error, LNGedcomErrorLineSyntax);
}

} // namespace

TEST(LNGedcomNodeParser, ReadsLevelKeyTagAndValue) {
    auto head = parse(u"0 HEAD");
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->level(), 0);
    EXPECT_EQ(head->tag(), u"HEAD");
    EXPECT_TRUE(head->key().isNull());
    EXPECT_TRUE(head->value().isNull());

    auto indi = parse(u"0 @I1@ INDI");
    ASSERT_NE(indi, nullptr);
    EXPECT_EQ(indi->key(), u"@I1@");
    EXPECT_EQ(indi->tag(), u"INDI");

    auto glued = parse(u"1@I1@ INDI");
    ASSERT_NE(glued, nullptr);
    EXPECT_EQ(glued->level(), 1);
    EXPECT_EQ(glued->key(), u"@I1@");
    EXPECT_EQ(parse(u"0HEAD")->tag(), u"HEAD");
    EXPECT_EQ(parse(u"+2 PLAC x")->level(), 2);
    EXPECT_EQ(parse(u"01 NAME x")->level(), 1);
    EXPECT_EQ(parse(u"-1 NOTE x")->level(), -1);
    EXPECT_EQ(parse(u"99999999999 NOTE x")->level(), 2147483647);

    // Only two at signs make a tag, three or more a key.
    auto ats = parse(u"1 @@ x");
    ASSERT_NE(ats, nullptr);
    EXPECT_EQ(ats->tag(), u"@@");
    EXPECT_EQ(parse(u"1 @@@ NOTE")->key(), u"@@@");
}

TEST(LNGedcomNodeParser, SkipsUnicodeSpaceBetweenFields) {
    auto line = parse(u"\t 1\u00A0\u00A0NAME\u3000John  /Smith/ \u2003 ");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->level(), 1);
    EXPECT_EQ(line->tag(), u"NAME");
    EXPECT_EQ(line->value(), u"John  /Smith/");
    EXPECT_EQ(line->description(), u"1 NAME John  /Smith/");

    // A line feed is not white space for the parser: it belongs to the tag.
    auto feed = parse(u"1 NA\nME x");
    ASSERT_NE(feed, nullptr);
    EXPECT_EQ(feed->tag(), u"NA\nME");
}

TEST(LNGedcomNodeParser, ValuesKeepInnerTextAndMayBeAbsent) {
    EXPECT_TRUE(parse(u"1 NAME   ")->value().isNull());
    EXPECT_EQ(parse(u"1 NOTE one @ two")->value(), u"one @ two");
    EXPECT_EQ(parse(u"1 FAMC @F2@")->value(), u"@F2@");
    EXPECT_TRUE(isCrossReference(parse(u"1 FAMC @F2@")->value()));
    EXPECT_FALSE(isCrossReference(parse(u"1 FAMC @F2@x")->value()));
    EXPECT_EQ(parse(u"1   NAME \t value  ")->description(), u"1 NAME value");
    EXPECT_EQ(parse(u"0 @I1@ INDI extra")->description(), u"0 @I1@ INDI extra");
}

TEST(LNGedcomNodeParser, RejectsMalformedLines) {
    expectSyntaxError(u"");
    expectSyntaxError(u"1");
    expectSyntaxError(u"1   ");
    expectSyntaxError(u"0 @I1@");
    expectSyntaxError(u"0 @I1@  ");
    expectSyntaxError(u"1 X y");
    expectSyntaxError(u"HEAD");
    expectSyntaxError(u"x 1");
    expectSyntaxError(u"- HEAD");

    std::optional<ErrorKind> error = LNGedcomErrorLineSyntax;
    EXPECT_EQ(parse(u" \t\u00A0", &error), nullptr);
    EXPECT_FALSE(error.has_value());
}

TEST(LNGedcomNodeParser, LengthsCountUtf16Units) {
    // One character outside the Basic Multilingual Plane is two code units: a valid tag.
    auto astral = parse(u"1 \U0001F600 x");
    ASSERT_NE(astral, nullptr);
    EXPECT_EQ(astral->tag().size(), 2u);
    expectSyntaxError(u"1 \u00E9 x");
}

TEST(LNGedcomNode, CopyDropsLineNumberAndAttributes) {
    auto root = parse(u"0 @I1@ INDI");
    root->setLineNumber(7);
    root->setAttribute(SharedString(u"good"), u"validcode");
    auto name = parse(u"1 NAME John /Smith/");
    root->addChild(name);
    Ref<LNNode> copied = root->copy();
    ASSERT_TRUE(copied->isGedcomLine());
    auto* gedcom = static_cast<LNGedcomNode*>(copied.get());
    EXPECT_EQ(gedcom->lineNumber(), 0);
    EXPECT_EQ(gedcom->attributes(), nullptr);
    EXPECT_EQ(gedcom->key(), u"@I1@");
    EXPECT_TRUE(gedcom->childAt(0)->isGedcomLine());
    EXPECT_FALSE(makeRef<LNNode>(SharedString(u"plain"), SharedString(), nullptr)->isGedcomLine());
    EXPECT_EQ(copied->fullDescription(), u"0 @I1@ INDI\n  1 NAME John /Smith/\n");

    LNGedcomNode top(-1, SharedString(u"top"), SharedString());
    EXPECT_EQ(top.level(), 0);
    top.setLevel(-1);
    EXPECT_EQ(top.level(), -1);
}

TEST(LNGedcomNode, CrossReferenceHelpers) {
    EXPECT_EQ(stripAts(u"@I1@"), u"I1");
    EXPECT_EQ(stripAts(u"@@@"), u"@");
    EXPECT_EQ(stripAts(u"@@"), u"@@");
    EXPECT_EQ(stripAts(u"I1"), u"I1");
    EXPECT_FALSE(isCrossReference(SharedString()));
    EXPECT_FALSE(isValidTag(SharedString()));
    EXPECT_FALSE(isValidTag(u"X"));
    EXPECT_TRUE(isValidTag(u"XY"));
}
