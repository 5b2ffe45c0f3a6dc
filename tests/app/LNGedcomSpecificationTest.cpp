#include "LNGedcomSpecification.h"

#include "SystemLog.h"
#include "TextServices.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <variant>

using namespace kinloom;

namespace {

/// The grammar below a node in one line: tags and rule names as written, a
/// tag set as "(A B)", a group as "[...]" after its item.
std::string outline(const LNNode* node) {
    std::string out;
    for (int i = 0; i < node->numChildren(); ++i) {
        const LNNode* item = node->childAt(i);
        if (i > 0) out += " ";
        if (const auto* tags = std::get_if<std::vector<String>>(item->attributeForKey(u"tagarray"))) {
            out += "(";
            for (std::size_t t = 0; t < tags->size(); ++t)
                out += (t ? " " : "") + toUtf8((*tags)[t]);
            out += ")";
        } else {
            out += toUtf8(item->name());
        }
        if (item->numChildren() > 0) out += "[" + outline(item) + "]";
    }
    return out;
}

std::string typeOf(const LNNode* item) {
    const SharedString* type = attributeString(item->attributeForKey(u"type"));
    return type ? toUtf8(*type) : "(none)";
}

std::string ruleNames(const Ref<LNNode>& rules) {
    std::string out;
    for (int i = 0; i < rules->numChildren(); ++i)
        out += (i ? " " : "") + toUtf8(rules->childAt(i)->name());
    return out;
}

Ref<LNNode> parse(StringView text) {
    return LNGedcomSpecification(String(text)).parseSpecification();
}

std::string writeTempFile(const std::string& name, const std::string& bytes) {
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace

TEST(LNGedcomSpecificationTokens, ReturnsCodesAndIdentifierTexts) {
    LNGedcomSpecification reader(u" a_1:B_2\t[\r\n]();");
    SharedString text(u"stale");
    EXPECT_EQ(reader.getToken(text), 'a');
    EXPECT_EQ(text, u"a_1");
    EXPECT_EQ(reader.getToken(text), ':');
    EXPECT_TRUE(text.isNull());
    EXPECT_EQ(reader.getToken(text), 'A');
    EXPECT_EQ(text, u"B_2");
    for (int code : {'[', ']', '(', ')', ';'}) {
        EXPECT_EQ(reader.getToken(text), code);
        EXPECT_TRUE(text.isNull());
    }
    EXPECT_EQ(reader.getToken(text), -1);
    EXPECT_EQ(reader.getToken(text), -1);
    EXPECT_EQ(reader.dex(), 16);
}

TEST(LNGedcomSpecificationTokens, EndsANameAtTheFirstCharacterOfTheOtherCase) {
    LNGedcomSpecification reader(u"abcDEF9x");
    SharedString text;
    EXPECT_EQ(reader.getToken(text), 'a');
    EXPECT_EQ(text, u"abc");
    EXPECT_EQ(reader.getToken(text), 'A');
    EXPECT_EQ(text, u"DEF9");
    EXPECT_EQ(reader.getToken(text), 'a');
    EXPECT_EQ(text, u"x");
    EXPECT_EQ(reader.dex(), 8); // the last name ran to the end: no step back
}

TEST(LNGedcomSpecificationTokens, ReadsIdentifiersOfAnyLengthWhole) {
    for (std::size_t length : {99u, 100u, 101u, 5000u}) {
        String name(length, u'q');
        String tag(length, u'Q');
        LNGedcomSpecification reader(name + u" " + tag);
        SharedString text;
        EXPECT_EQ(reader.getToken(text), 'a');
        EXPECT_EQ(text.size(), length);
        EXPECT_EQ(reader.getToken(text), 'A');
        EXPECT_EQ(text.view(), tag);
    }
}

TEST(LNGedcomSpecificationTokens, LogsACharacterThatBeginsNoTokenAndEndsThere) {
    LogCapture log;
    LNGedcomSpecification reader(u"  _abc");
    SharedString text;
    EXPECT_EQ(reader.getToken(text), -1);
    EXPECT_TRUE(text.isNull());
    EXPECT_EQ(log.lines(), std::vector<std::string>{"Specification error on character _"});
}

TEST(LNGedcomSpecificationTokens, GetCharStopsAtTheEndAndUngetCharStepsBack) {
    LNGedcomSpecification reader(u"ab");
    EXPECT_EQ(reader.getChar(), 'a');
    EXPECT_EQ(reader.getChar(), 'b');
    EXPECT_EQ(reader.getChar(), -1);
    EXPECT_EQ(reader.dex(), 2);
    reader.ungetChar();
    EXPECT_EQ(reader.getChar(), 'b');
}

TEST(LNGedcomSpecificationReader, BuildsRulesItemsTagSetsAndGroups) {
    Ref<LNNode> rules =
        parse(u"indi_record : INDI [ NAME [ GIVN SURN ] SEX event ( NOTE SOUR ) [ CONT ] ] ;\n"
              u"event:BIRT[DATE]DEAT;");
    ASSERT_TRUE(rules);
    EXPECT_EQ(rules->name(), u"rules");
    ASSERT_EQ(rules->numChildren(), 2);
    const LNNode* indi = rules->childAt(0);
    EXPECT_EQ(indi->name(), u"indi_record");
    EXPECT_EQ(indi->attributes(), nullptr);
    EXPECT_EQ(outline(indi), "INDI[NAME[GIVN SURN] SEX event (NOTE SOUR)[CONT]]");
    EXPECT_EQ(outline(rules->childAt(1)), "BIRT[DATE] DEAT");

    const LNNode* body = indi->childAt(0);
    EXPECT_EQ(typeOf(body), "tag");
    EXPECT_EQ(typeOf(body->childAt(2)), "rule");
    const LNNode* tagSet = body->childAt(3);
    EXPECT_EQ(tagSet->name(), u"tagset");
    EXPECT_EQ(typeOf(tagSet), "tagset");
    EXPECT_EQ(tagSet->value(), SharedString());
    EXPECT_EQ(tagSet->childAt(0)->parent(), tagSet);
}

TEST(LNGedcomSpecificationReader, AcceptsEmptyTextsEmptyRulesAndEmptyGroups) {
    for (StringView text : {u"", u" \t\r\n "}) {
        auto specification = LNGedcomSpecification::initFromString(text);
        ASSERT_TRUE(specification);
        EXPECT_TRUE(specification->ruleMap().empty());
        EXPECT_TRUE(specification->recordMap().empty());
    }
    Ref<LNNode> rules = parse(u"a:;b:X[]();");
    ASSERT_TRUE(rules);
    EXPECT_EQ(outline(rules->childAt(0)), "");
    EXPECT_EQ(outline(rules->childAt(1)), "X ()");
}

TEST(LNGedcomSpecificationReader, RefusesSyntaxErrors) {
    for (StringView text : {
             u"a : X ] ;",           // "]" without "["
             u"a : X [ Y ;",         // ";" inside an open group
             u"a : ( b ) ;",         // a rule name in a tag set
             u"a : ( X [ Y ] ) ;",   // a group in a tag set
             u"a : X : ;",           // ":" in a body
             u"a X ;",               // no ":"
             u"X : ;",               // a tag where a rule begins
             u"a : X ; ;",           // ";" between rules
             u"a : [ X ] ;",         // "[" after no item
             u"a : X ; b : [ Y ] ;", // not even after the last rule's item
             u"a : X [ Y ] [ Z ] ;", // nor after a group
             u"a : X ( ) [ [ Y ] ] ;",
         }) {
        EXPECT_FALSE(parse(text)) << toUtf8(text);
        EXPECT_FALSE(LNGedcomSpecification::initFromString(text)) << toUtf8(text);
    }
    EXPECT_TRUE(parse(u"a : ( X ) [ Y ] b [ Z ] ;"));
}

TEST(LNGedcomSpecificationReader, DropsAnUnfinishedLastRule) {
    EXPECT_EQ(ruleNames(parse(u"a : X ; b : Y ; c : Z [ W ")), "a b");
    EXPECT_EQ(ruleNames(parse(u"a : X ; b : ( Y")), "a");
    EXPECT_EQ(ruleNames(parse(u"a : X ; b")), "a");
}

TEST(LNGedcomSpecificationReader, StopsWithoutErrorAtAnIllegalCharacter) {
    LogCapture log;
    Ref<LNNode> rules = parse(u"a : X ; b : Y # ] ; c : Z ;");
    ASSERT_TRUE(rules);
    EXPECT_EQ(ruleNames(rules), "a");
    EXPECT_EQ(log.lines(), std::vector<std::string>{"Specification error on character #"});
}

TEST(LNGedcomSpecificationReader, FilesRulesAndRecordRulesByName) {
    auto specification = LNGedcomSpecification::initFromString(
        u"record : HEAD ; fam_records : FAM [ HUSB ] ; recor : INDI ; x_record : ; fam : A ; fam : B ;"
        u"late_record : FAM ;");
    ASSERT_TRUE(specification);
    const auto& records = specification->recordMap();
    EXPECT_EQ(records.size(), 2u);
    ASSERT_EQ(records.count(SharedString(u"HEAD")), 1u);
    ASSERT_EQ(records.count(SharedString(u"FAM")), 1u);
    EXPECT_EQ(records.at(SharedString(u"HEAD")),
              specification->ruleMap().at(SharedString(u"record"))->childAt(0));
    // The later record rule with the same first item wins.
    EXPECT_EQ(records.at(SharedString(u"FAM"))->numChildren(), 0);

    const auto& rules = specification->ruleMap();
    EXPECT_EQ(rules.size(), 6u);
    EXPECT_EQ(outline(rules.at(SharedString(u"fam")).get()), "B");
    EXPECT_EQ(rules.at(SharedString(u"x_record"))->numChildren(), 0);
}

TEST(LNGedcomSpecificationFile, ReadsAsciiFilesAndRefusesOthers) {
    std::string good = writeTempFile("spec_good.spec", "a_record : INDI [ NAME ] ;\r\n");
    auto specification = LNGedcomSpecification::initFromFile(good);
    ASSERT_TRUE(specification);
    EXPECT_EQ(specification->specification(), u"a_record : INDI [ NAME ] ;\r\n");
    EXPECT_EQ(specification->recordMap().count(SharedString(u"INDI")), 1u);

    EXPECT_FALSE(
        LNGedcomSpecification::initFromFile(writeTempFile("spec_latin1.spec", "a : X ; b : Y\xE9 ;")));
    EXPECT_FALSE(LNGedcomSpecification::initFromFile(writeTempFile("spec_bad.spec", "a : X ] ;")));
    EXPECT_FALSE(LNGedcomSpecification::initFromFile(::testing::TempDir() + "no_such_file.spec"));
    std::filesystem::create_directories(::testing::TempDir() + "spec_folder.spec");
    EXPECT_FALSE(LNGedcomSpecification::initFromFile(::testing::TempDir() + "spec_folder.spec"));
    EXPECT_TRUE(LNGedcomSpecification::initFromFile(writeTempFile("spec_empty.spec", "")));
}
