// The grammar: reading a grammar text, and marking the lines of records as
// "good", "badchild" (a line below is not good) or "bad". The fuzz target
// grammar checks the marks against a plain validator on many grammars.

#include "LNGedcomSpecification.h"
#include "GedcomTestTrees.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <variant>

using namespace kinloom;
using kinloom::testing::validated;

namespace {

/// The grammar below a node in one line: tags and rule names as written, a
/// tag set as "(A B)", a group as "[...]" after its item.
std::string outline(const LNNode* node) {
    std::string out;
    for (int i = 0; i < node->numChildren(); ++i) {
        const LNNode* item = node->childAt(i);
        out += i > 0 ? " " : "";
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

/// The names of the rules read, in order, or "refused".
std::string ruleNames(StringView text) {
    Ref<LNNode> rules = LNGedcomSpecification(String(text)).parseSpecification();
    if (!rules) return "refused";
    std::string out;
    for (int i = 0; i < rules->numChildren(); ++i)
        out += (i ? " " : "") + toUtf8(rules->childAt(i)->name()) + ":" + outline(rules->childAt(i));
    return out;
}

} // namespace

TEST(LNGedcomSpecificationReader, ReadsRulesOrRefusesTheText) {
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"indi_record : INDI [ NAME [ GIVN SURN ] SEX event ( NOTE SOUR ) [ CONT ] ] "
         u";\nevent:BIRT[DATE]DEAT;",
         "indi_record:INDI[NAME[GIVN SURN] SEX event (NOTE SOUR)[CONT]] event:BIRT[DATE] DEAT"},
        {u" \t\r\n ", ""},
        {u"a:;b:X[]();", "a: b:X ()"},
        {u"a : ( X ) [ Y ] b [ Z ] ;", "a:(X)[Y] b[Z]"},
        // An unfinished last rule is dropped; an illegal character ends the text.
        {u"a : X ; b : Y ; c : Z [ W ", "a:X b:Y"},
        {u"a : X ; b : ( Y", "a:X"},
        {u"a : X ; b : Y # ] ; c : Z ;", "a:X"},
        {u"a : X ] ;", "refused"},           // "]" without "["
        {u"a : X [ Y ;", "refused"},         // ";" inside an open group
        {u"a : ( b ) ;", "refused"},         // a rule name in a tag set
        {u"a : ( X [ Y ] ) ;", "refused"},   // a group in a tag set
        {u"a : X : ;", "refused"},           // ":" in a body
        {u"a X ;", "refused"},               // no ":"
        {u"X : ;", "refused"},               // a tag where a rule begins
        {u"a : X ; ;", "refused"},           // ";" between rules
        {u"a : [ X ] ;", "refused"},         // "[" after no item
        {u"a : X [ Y ] [ Z ] ;", "refused"}, // nor after a group
        {u"abcDEF9x : X ;", "refused"}};     // a name ends at the first character of the other case
    LogCapture log;
    for (const auto& [text, rules] : cases) {
        EXPECT_EQ(ruleNames(text), rules) << toUtf8(text);
        EXPECT_EQ(LNGedcomSpecification::initFromString(text) != nullptr, std::string(rules) != "refused");
    }
    EXPECT_EQ(log.lines(), std::vector<std::string>(2, "Specification error on character #")); // read twice
}

TEST(LNGedcomSpecificationReader, FilesRecordRulesByTheirFirstItemAndReadsOnlyAsciiFiles) {
    auto grammar = LNGedcomSpecification::initFromString(
        u"record : HEAD ; fam_records : FAM [ HUSB ] ; recor : INDI ; x_record : ; fam : A ; fam : B ;"
        u"late_record : FAM ;");
    ASSERT_TRUE(grammar);
    EXPECT_EQ(grammar->recordMap().size(), 2u);
    EXPECT_EQ(grammar->recordMap().at(SharedString(u"HEAD")),
              grammar->ruleMap().at(SharedString(u"record"))->childAt(0));
    EXPECT_EQ(grammar->recordMap().at(SharedString(u"FAM"))->numChildren(), 0)
        << "the later record rule wins";
    EXPECT_EQ(grammar->ruleMap().size(), 6u);
    EXPECT_EQ(outline(grammar->ruleMap().at(SharedString(u"fam")).get()), "B");

    // Names of their own: other builds may run this test at the same time.
    const std::string dir = ::testing::TempDir() + "kinloom-" + std::to_string(getpid()) + "-";
    auto fromFile = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir + name, std::ios::binary) << bytes;
        return LNGedcomSpecification::initFromFile(dir + name);
    };
    auto good = fromFile("spec_good.spec", "a_record : INDI [ NAME ] ;\r\n");
    ASSERT_TRUE(good);
    EXPECT_EQ(good->recordMap().count(SharedString(u"INDI")), 1u);
    EXPECT_FALSE(fromFile("spec_latin1.spec", "a : X ; b : Y\xE9 ;"));
    std::filesystem::create_directories(dir + "spec_folder.spec");
    EXPECT_FALSE(LNGedcomSpecification::initFromFile(dir + "spec_folder.spec"));
    for (const char* name : {"spec_good.spec", "spec_latin1.spec", "spec_folder.spec"})
        std::filesystem::remove(dir + name);
    EXPECT_FALSE(LNGedcomSpecification::initFromFile(dir + "no_such_file.spec"));
}

TEST(LNGedcomSpecificationValidation, MarksEachLineByTheFirstAlternativeThatFitsIt) {
    const char16_t* person = u"indi_record : INDI [ NAME [ GIVN SURN ] SEX ] ;";
    const char16_t* rules = u"indi_record : INDI [ name event ] ; name : NAME [ ( GIVN SURN ) [ note ] ] ;"
                            u"event : ( BIRT DEAT ) [ DATE note ] nothere ; note : NOTE [ CONT ] ;";
    const char16_t* shared = u"indi_record : INDI [ note ] ; note : NOTE [ SOUR [ PAGE ] ] NOTE [ CONT ] ;";
    // Rule items that lead round in a circle fit nothing, so the next alternative is tried.
    const char16_t* cycles =
        u"indi_record : INDI [ a self ] ; a : b SEX ; b : c a NAME ; c : a b ; self : self ;";
    const std::tuple<const char16_t*, const char16_t*, const char*> cases[] = {
        {person, u"0 @I1@ INDI\n1 SEX x\n1 SEX\n1 NAME\n2 SURN\n2 GIVN\n1 NAME",
         "INDI good\n  SEX good\n  SEX good\n  NAME good\n    SURN good\n    GIVN good\n  NAME good\n"},
        {person,
         u"0 @I1@ INDI\n1 NAME Ann /Lee/\n2 GIVN Ann\n2 NPFX Dr\n1 BIRT\n2 DATE 1900\n3 TIME x\n1 Name",
         "INDI badchild\n  NAME badchild\n    GIVN good\n    NPFX bad\n  BIRT bad\n    DATE bad\n      TIME "
         "bad\n"
         "  Name bad\n"},
        {u"", u"0 @I1@ INDI\n1 NAME\n2 GIVN", "INDI bad\n  NAME bad\n    GIVN bad\n"},
        {person, u"0 @F1@ FAM\n1 HUSB @I1@", "FAM bad\n  HUSB bad\n"},
        {u"indi : INDI [ NAME ] ;", u"0 @I1@ INDI\n1 NAME",
         "INDI bad\n  NAME bad\n"}, // no "record" in the name
        {rules, u"0 @I1@ INDI\n1 NAME\n2 SURN\n3 NOTE\n4 CONT\n1 DEAT\n2 NOTE\n2 DATE",
         "INDI good\n  NAME good\n    SURN good\n      NOTE good\n        CONT good\n  DEAT good\n    NOTE "
         "good\n"
         "    DATE good\n"},
        {rules, u"0 @I1@ INDI\n1 nothere\n1 event\n1 NOTE",
         "INDI badchild\n  nothere bad\n  event bad\n  NOTE bad\n"},
        // The group after a rule item is ignored.
        {u"indi_record : INDI [ name [ SOUR ] ] ; name : NAME [ GIVN ] ;",
         u"0 @I1@ INDI\n1 NAME\n2 GIVN\n2 SOUR",
         "INDI badchild\n  NAME badchild\n    GIVN good\n    SOUR bad\n"},
        // Each attempt at a shared tag leaves its marks, though no attempt fits all.
        {shared, u"0 @I1@ INDI\n1 NOTE\n2 SOUR\n3 PAGE\n2 CONT",
         "INDI good\n  NOTE good\n    SOUR good\n      PAGE good\n    CONT good\n"},
        {shared, u"0 @I1@ INDI\n1 NOTE\n2 SOUR\n3 CONT\n2 CONT\n2 PAGE",
         "INDI badchild\n  NOTE badchild\n    SOUR badchild\n      CONT bad\n    CONT good\n    PAGE bad\n"},
        {cycles, u"0 @I1@ INDI\n1 NAME\n1 SEX\n1 BIRT",
         "INDI badchild\n  NAME good\n  SEX good\n  BIRT bad\n"}};
    for (const auto& [grammarText, record, marks] : cases) {
        auto grammar = LNGedcomSpecification::initFromString(grammarText);
        ASSERT_TRUE(grammar) << toUtf8(grammarText);
        EXPECT_EQ(validated(*grammar, record), marks) << toUtf8(record);
    }
}
