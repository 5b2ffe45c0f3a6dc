// The shipped grammar: complete, and fitting persons written to GEDCOM 5.5.

#include "GedcomTestTrees.h"
#include "file/LNGedcomFile.h"
#include "tree/PreOrderWalk.h"
#include "HeadlessViewerFixture.h"
#include "LNGedcomSpecification.h"
#include "SharedTestData.h"
#include "support/TextServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ranges>

using namespace kinloom;
using kinloom::testing::marksOf;
using kinloom::testing::recordsFromText;
using kinloom::testing::validated;

namespace {

const char* shippedGrammar = "resources/Gedcom5.5.spec";
const char* shippedGrammar551 = "resources/Gedcom5.5.1.spec";

std::unique_ptr<LNGedcomSpecification> loadShipped(const char* path = shippedGrammar) {
    auto grammar = LNGedcomSpecification::initFromFile(path);
    EXPECT_TRUE(grammar);
    return grammar;
}

// Uses every line the grammar allows in a person record, pointer and inline
// forms of notes, citations and multimedia links included.
const char16_t* fullPerson =
    u"0 @I1@ INDI\n1 RESN locked\n"
    u"1 NAME John /Smith/\n2 NPFX Dr\n2 GIVN John\n2 NICK Jack\n2 SPFX van\n2 SURN Smith\n"
    u"2 NSFX Jr\n2 SOUR @S1@\n3 PAGE 12\n2 NOTE @N1@\n"
    u"1 SEX M\n"
    u"1 BIRT\n2 TYPE natural\n2 DATE 1 JAN 1900\n2 PLAC Springfield\n3 FORM City\n"
    u"3 SOUR @S1@\n3 NOTE @N3@\n2 ADDR 1 Main St\n3 CONT Springfield\n3 ADR1 1 Main St\n"
    u"3 ADR2 Flat 2\n3 CITY Springfield\n3 STAE IL\n3 POST 62701\n3 CTRY USA\n2 PHON 555\n"
    u"2 AGE 0\n2 AGNC Registry\n2 CAUS none\n"
    u"2 SOUR @S2@\n3 PAGE 3\n3 EVEN BIRT\n4 ROLE CHIL\n3 DATA\n4 DATE 2 JAN 1900\n"
    u"4 TEXT Born\n5 CONC today\n3 QUAY 3\n3 OBJE @O1@\n3 NOTE inline note\n4 CONT more\n"
    u"2 OBJE\n3 FORM jpeg\n3 TITL Photo\n3 FILE photo.jpg\n3 NOTE @N1@\n"
    u"2 NOTE text\n3 CONC more\n3 SOUR Some book\n4 CONT page\n4 TEXT quote\n5 CONT on\n"
    u"4 NOTE @N2@\n2 FAMC @F1@\n"
    u"1 CHR\n1 ADOP\n2 FAMC @F2@\n3 ADOP BOTH\n1 DEAT Y\n1 BURI\n1 CREM\n1 BAPM\n1 BARM\n"
    u"1 BASM\n1 BLES\n1 CHRA\n1 CONF\n1 FCOM\n1 ORDN\n1 NATU\n1 EMIG\n1 IMMI\n1 CENS\n1 PROB\n"
    u"1 WILL\n1 GRAD\n1 RETI\n1 EVEN\n2 TYPE Election\n"
    u"1 CAST x\n1 DSCR x\n1 EDUC x\n1 IDNO 123\n2 TYPE SSN\n1 NATI x\n1 NCHI 2\n1 NMR 1\n"
    u"1 OCCU Smith\n2 DATE 1920\n1 PROP x\n1 RELI x\n1 RESI\n2 ADDR x\n1 SSN x\n1 TITL Sir\n"
    u"1 BAPL\n2 STAT COMPLETED\n2 DATE 1 JAN 1990\n2 TEMP SLAKE\n2 PLAC x\n2 SOUR @S1@\n"
    u"2 NOTE n\n1 CONL\n1 ENDL\n2 STAT x\n1 SLGC\n2 FAMC @F1@\n"
    u"1 FAMC @F1@\n2 PEDI birth\n2 NOTE @N2@\n1 FAMS @F3@\n2 NOTE n\n1 SUBM @U1@\n"
    u"1 ASSO @I2@\n2 TYPE INDI\n2 RELA Godfather\n2 NOTE n\n2 SOUR @S1@\n"
    u"1 ALIA @I3@\n1 ANCI @U1@\n1 DESI @U1@\n1 SOUR @S1@\n1 SOUR text\n2 CONC more\n"
    u"1 OBJE @O1@\n1 NOTE @N1@\n2 SOUR @S1@\n1 RFN 1\n1 AFN 2\n1 REFN 3\n2 TYPE user\n"
    u"1 RIN 4\n1 CHAN\n2 DATE 1 JAN 2000\n3 TIME 12:00\n2 NOTE changed\n";

} // namespace

TEST(ShippedGrammar, HasARecordRuleForEveryRecordAndDefinesEveryRuleItUses) {
    auto grammar = loadShipped();
    ASSERT_TRUE(grammar);
    std::vector<std::string> recordTags;
    for (const auto& [tag, item] : grammar->recordMap())
        recordTags.push_back(toUtf8(tag));
    std::ranges::sort(recordTags);
    EXPECT_EQ(recordTags, (std::vector<std::string>{"FAM", "HEAD", "INDI", "NOTE", "OBJE", "REPO", "SOUR",
                                                    "SUBM", "SUBN", "TRLR"}));
    for (const auto& [name, rule] : grammar->ruleMap())
        forEachPreOrder(rule.get(), [&](const LNNode* item, std::size_t) {
            const SharedString* type = attributeString(item->attributeForKey(u"type"));
            if (type && *type == u"rule") {
                EXPECT_EQ(grammar->ruleMap().count(item->name()), 1u)
                    << toUtf8(item->name()) << " in " << toUtf8(name);
            }
        });
}

TEST(ShippedGrammar, MarksACorrectPersonGoodThroughoutAndLinesOutsideTheStandardBad) {
    auto grammar = loadShipped();
    ASSERT_TRUE(grammar);
    const std::string marks = validated(*grammar, fullPerson);
    EXPECT_EQ(marks.find("bad"), std::string::npos) << marks;
    EXPECT_EQ(
        validated(*grammar,
                  u"0 @I1@ INDI\n1 NAME A /B/\n2 _MARNM C\n1 BIRT\n2 DATE 1900\n2 FAMC @F1@\n"
                  u"3 PEDI birth\n1 _UID 123\n2 SOUR @S1@\n1 CHAN\n2 DATE 1 JAN 2000\n2 TIME 10:00"),
        "INDI badchild\n  NAME badchild\n    _MARNM bad\n  BIRT badchild\n    DATE good\n    FAMC badchild\n"
        "      PEDI bad\n  _UID bad\n    SOUR bad\n  CHAN badchild\n    DATE good\n    TIME bad\n");
}

// Files written to GEDCOM 5.5: the grammar refuses only their user-defined
// tags ("_" first), and one tag the standard's own sample writes in lower case.
TEST(ShippedGrammar, RefusesOnlyUserTagsInFilesWrittenToTheStandard) {
    REQUIRE_SHARED_TESTDATA();
    auto grammar = loadShipped();
    ASSERT_TRUE(grammar);
    std::vector<std::string> refused;
    int lines = 0;
    for (const char* file :
         {"torture55/TGC55C.ged", "torture55/TGC55CLF.ged", "torture55/TGC551.ged", "torture55/TGC551LF.ged",
          "royal92/royal92.ged", "gedcom4j/allged.ged", "gedcom4j/ANSEL.GED", "spec55/gedcom55-sample.ged",
          "gedcom555/555SAMPLE.GED", "findmypast/Harry_Potter.ged", "findmypast/Simpsons_Cartoon.ged"}) {
        LogCapture quiet;
        LNGedcomFile gedcom(kinloom::test::sharedTestData + file);
        ASSERT_TRUE(gedcom.recordSet()) << file;
        for (const auto& indi : gedcom.recordSet()->indiRecords()) {
            grammar->validateRecord(indi->root().get());
            forEachPreOrder(indi->root().get(), [&](const LNGedcomNode* line, std::size_t) {
                ++lines;
                if (*LNGedcomSpecification::markOf(line) != LNGedcomSpecification::badMark()) return true;
                if (!line->tag().view().starts_with(u"_"))
                    refused.push_back(std::string(file) + ":" + std::to_string(line->lineNumber()) + " " +
                                      toUtf8(line->tag()));
                return false; // the lines below a bad line are bad too
            });
        }
    }
    EXPECT_EQ(refused, std::vector<std::string>{"spec55/gedcom55-sample.ged:50 Date"});
    EXPECT_GT(lines, 25000);
}

TEST(ShippedGrammar, The551GrammarFollowsTheChangesOf551) {
    auto grammar55 = loadShipped(), grammar551 = loadShipped(shippedGrammar551);
    ASSERT_TRUE(grammar55 && grammar551);
    const char16_t* text =
        u"0 @I1@ INDI\n1 NAME John /Smith/\n2 TYPE birth\n2 FONE Jon /Smit/\n3 TYPE kana\n"
        u"3 GIVN Jon\n2 ROMN John /Smith/\n3 TYPE romaji\n1 BIRT\n2 PLAC Springfield\n"
        u"3 FONE Sprinfeld\n4 TYPE kana\n3 MAP\n4 LATI N39.8\n4 LONG W89.6\n2 RELI Catholic\n"
        u"2 RESN privacy\n2 ADDR 1 Main St\n3 ADR3 Floor 2\n2 EMAIL a@example.com\n2 FAX 555\n"
        u"2 WWW example.com\n2 AGE 0\n1 FACT Farmer\n2 TYPE Occupation\n1 FAMC @F1@\n"
        u"2 STAT proven\n1 OBJE\n2 FILE photo.jpg\n3 FORM jpeg\n4 MEDI photo\n2 TITL Photo\n"
        u"1 ASSO @I2@\n2 TYPE INDI\n2 RELA Godfather\n1 NOTE n\n2 SOUR @S1@\n";
    const std::string marks55 =
        "INDI badchild\n  NAME badchild\n    TYPE bad\n    FONE bad\n      TYPE bad\n"
        "      GIVN bad\n    ROMN bad\n      TYPE bad\n  BIRT badchild\n    PLAC badchild\n"
        "      FONE bad\n        TYPE bad\n      MAP bad\n        LATI bad\n"
        "        LONG bad\n    RELI bad\n    RESN bad\n    ADDR badchild\n      ADR3 bad\n"
        "    EMAIL bad\n    FAX bad\n    WWW bad\n    AGE good\n  FACT bad\n    TYPE bad\n"
        "  FAMC badchild\n    STAT bad\n  OBJE badchild\n    FILE badchild\n"
        "      FORM bad\n        MEDI bad\n    TITL good\n  ASSO good\n    TYPE good\n"
        "    RELA good\n  NOTE good\n    SOUR good\n";
    Ref<LNGedcomNode> person = recordsFromText(text).at(0);
    grammar55->validateRecord(person.get());
    EXPECT_EQ(marksOf(person.get()), marks55);
    person = recordsFromText(text).at(0);
    grammar551->validateRecord(person.get());
    EXPECT_EQ(
        marksOf(person.get()),
        "INDI badchild\n  NAME good\n    TYPE good\n    FONE good\n      TYPE good\n      GIVN good\n"
        "    ROMN good\n      TYPE good\n  BIRT good\n    PLAC good\n      FONE good\n        TYPE good\n"
        "      MAP good\n        LATI good\n        LONG good\n    RELI good\n    RESN good\n"
        "    ADDR good\n      ADR3 good\n    EMAIL good\n    FAX good\n    WWW good\n    AGE good\n"
        "  FACT good\n    TYPE good\n  FAMC good\n    STAT good\n  OBJE good\n    FILE good\n"
        "      FORM good\n        MEDI good\n    TITL good\n  ASSO badchild\n    TYPE bad\n"
        "    RELA good\n  NOTE badchild\n    SOUR bad\n");
}

namespace {

// The public files written to GEDCOM 5.5.1, read and validated as
// kinloom-cli validate FILE --grammar SPECFILE does.
class ShippedGrammarOn551Files : public HeadlessViewerTest {
  protected:
    /// The marks of the person lines by path of tags ("INDI.BIRT.PLAC"): "good"
    /// when every line of the path is, else the first other mark.
    std::map<std::string, std::string> marks(const std::string& path, const char* grammar) {
        viewer.application().bundle().setPathForResource(u"Gedcom5.5", u"spec", grammar);
        // The grammar given, not the one of the file's version.
        controller().setGrammarChoice(LNGrammarChoice::gedcom55);
        open(path);
        viewer.validate();
        std::map<std::string, std::string> marks;
        std::vector<std::string> tags;
        for (const auto& person : controller().gedcomRecords()->indiRecords())
            forEachPreOrder(person->root().get(), [&](const LNGedcomNode* line, std::size_t depth) {
                tags.resize(depth);
                tags.push_back((depth ? tags.back() + "." : "") + toUtf8(line->tag()));
                const SharedString* mark = LNGedcomSpecification::markOf(line);
                std::string& first = marks.try_emplace(tags.back(), "good").first->second;
                if (first == "good") first = mark ? toUtf8(*mark) : "none";
            });
        return marks;
    }
};

} // namespace

// Each named line as the two standards have it: what 5.5.1 added is bad only
// under 5.5, what neither allows (user tags, RIN below events, CONT below
// SOUR.PAGE and SEX) bad under both; files within both standards all good.
TEST_F(ShippedGrammarOn551Files, MarkEachLineAsTheStandardsAllowIt) {
    REQUIRE_SHARED_TESTDATA();
    struct Row {
        const char *file, *tags, *under55, *under551;
    };
    for (const Row& row : std::initializer_list<Row>{
             {"gedcom4j/Issue_80.ged", "INDI.BIRT.PLAC.MAP", "bad", "good"},
             {"gedcom4j/Issue_80.ged", "INDI.BIRT.PLAC.MAP.LATI", "bad", "good"},
             {"findmypast/The_Kennedy_Family.ged", "INDI.NAME.TYPE", "bad", "good"},
             {"gedcom4j/customtagstorture.ged", "INDI.NAME.TYPE", "bad", "badchild"}, // above a user tag
             {"gedcom4j/issue95.ged", "INDI.BIRT._METHOD", "bad", "bad"},
             {"findmypast/Queen.ged", "INDI.BIRT.RIN", "bad", "bad"},
             {"gedcom4j/willis-unicode-littleendian.ged", "INDI.NAME.SOUR.PAGE.CONT", "bad", "bad"},
             {"gedcom4j/willis-unicode-bigendian.ged", "INDI.SEX.CONT", "bad", "bad"},
         }) {
        const std::string path = kinloom::test::sharedTestData + row.file;
        EXPECT_EQ(marks(path, shippedGrammar)[row.tags], row.under55) << row.file << " " << row.tags;
        EXPECT_EQ(marks(path, shippedGrammar551)[row.tags], row.under551) << row.file << " " << row.tags;
    }
    // Files that use only what both standards allow, and no user tags.
    for (const char* file :
         {"gedcom4j/utf8_cr_nobom.ged", "gedcom4j/utf8_crlf_bom.ged", "gedcom4j/utf8_crlf_nobom.ged",
          "gedcom4j/utf8_lf_nobom.ged", "findmypast/permutations/All_Genders.ged",
          "findmypast/permutations/Female_Female_Marriage.ged",
          "findmypast/permutations/Male_Male_Marriage.ged", "findmypast/permutations/Self_Marriage.ged",
          "findmypast/permutations/Unknown_Unknown_Marriage.ged"})
        for (const char* grammar : {shippedGrammar, shippedGrammar551}) {
            const auto marks = this->marks(kinloom::test::sharedTestData + file, grammar);
            EXPECT_TRUE(!marks.empty() &&
                        std::ranges::all_of(marks | std::views::values,
                                            [](const std::string& mark) { return mark == "good"; }))
                << file << " under " << grammar;
        }
}
