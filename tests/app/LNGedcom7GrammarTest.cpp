// The GEDCOM 7.0 validator: official files pass; one thing broken in one
// gives that finding, at that line, with that mark.

#include "LNGedcom7Grammar.h"
#include "HeadlessViewerFixture.h"
#include "SharedTestData.h"
#include "tree/PreOrderWalk.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kinloom {

namespace {

const std::string officialFolder = test::sharedTestData + "gedcom70/";

class Gedcom7Test : public HeadlessViewerTest {
  protected:
    void TearDown() override {
        if (!written.empty()) std::filesystem::remove(written);
    }
    /// The official file with line `line` (from 1) replaced by the text's lines.
    void openBroken(const std::string& name, int line, const std::string& replacement) {
        std::ifstream in(officialFolder + name, std::ios::binary);
        std::string text, each;
        for (int at = 1; std::getline(in, each); ++at)
            text += (at == line ? replacement : each) + "\n";
        // One name per process: CTest runs the tests of this file side by side.
        written = (std::filesystem::temp_directory_path() /
                   ("kinloom-gedcom7-" + std::to_string(getpid()) + "-" + name))
                      .string();
        std::ofstream(written, std::ios::binary) << text;
        open(written);
    }
    /// The rows of the kinds the validator and the reference check give.
    Texts findings() {
        Texts rows;
        LNHeadlessTableView& pane = viewer.problems();
        for (int row = 0; row < pane.numberOfRows(); ++row) {
            std::string kind = toUtf8(pane.cellText(row, 1).value_or(String()));
            if (kind != "structure" && kind != "count" && kind != "payload" && kind != "reference") continue;
            std::string text;
            for (int column = 0; column < 4; ++column)
                text += (column ? " | " : "") + toUtf8(pane.cellText(row, column).value_or(String()));
            rows.push_back(text);
        }
        return rows;
    }
    std::string markAt(std::int32_t line) {
        std::string mark = "no line";
        for (const auto& record : *controller().gedcomRecords()->records())
            forEachPreOrder(record->root().get(), [&](LNNode* node, std::size_t) {
                if (static_cast<LNGedcomNode*>(node)->lineNumber() == line)
                    mark = toUtf8(LNNode::markText(node->mark()));
            });
        return mark;
    }
    std::string written;
};

struct Broken {
    int line;
    const char* replacement;
    const char* finding; // the pane's row: line | kind | id | text
    std::int32_t markedLine;
};

} // namespace

TEST_F(Gedcom7Test, EveryOfficialFileValidatesWithoutFinding) {
    REQUIRE_SHARED_TESTDATA();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(officialFolder)) {
        if (entry.path().extension() != ".ged") continue;
        open(entry.path().string());
        EXPECT_EQ(controller().grammarResourceName(), u"Gedcom7.0") << entry.path();
        viewer.validate();
        EXPECT_TRUE(controller().validatedEveryRecord());
        for (const LNProblemRow& row : controller().problemRows())
            EXPECT_TRUE(row.problem->kind != LNGedcomProblemStructure &&
                        row.problem->kind != LNGedcomProblemCount &&
                        row.problem->kind != LNGedcomProblemPayload)
                << entry.path() << " line " << row.line << ": " << toUtf8(problemWords(*row.problem));
        ++files;
    }
    EXPECT_GE(files, 20);
}

// remarriage1.ged: HEAD GEDC VERS 7.0 (lines 1-3); I1 (4-8: NAME, SEX M,
// FAMS, FAMS); I2 (9-12); I3 (13-17: NAME, DEAT, DATE 1 MAR 1914, FAMS);
// F1 (18-26: HUSB, WIFE, MARR, DATE, DIV, DATE, MARR, DATE); F2 (27-31).
TEST_F(Gedcom7Test, OneBrokenThingGivesItsFindingLineAndMark) {
    REQUIRE_SHARED_TESTDATA();
    const Broken cases[] = {
        {16, "1 DATE 1 MAR 1914", "16 | structure | I3 | DATE is not allowed directly under INDI", 16},
        {6, "1 SEX M\n1 SEX M", "7 | count | I1 | a person may have at most one SEX line; I1 has 2", 7},
        {3, "2 _VERS 7.0", "2 | count |  | GEDC needs a VERS line", 2},
        {6, "1 SEX Q", "6 | payload | I1 | SEX is Q; allowed are F, M, U, X", 6},
        {6, "1 SEX", "6 | payload | I1 | SEX has no value; a value is required", 6},
        {16, "2 DATE 32 FOO 1900", "16 | payload | I3 | DATE 32 FOO 1900 is not a date", 16},
        {16, "2 DATE 1 MAR 1914\n2 AGE 12x",
         "17 | payload | I3 | AGE 12x is not an age such as 35y 11m or < 8w", 17},
        {22, "2 DATE 1 APR 1911\n3 TIME 24:00",
         "23 | payload | F1 | TIME 24:00 is not a time such as 14:30 or 09:05:10Z", 23},
        {3, "2 VERS 7.0\n1 LANG en_US",
         "4 | payload |  | LANG en_US is not a language tag such as en or de-CH", 4},
        {2, "1 GEDC 7.0", "2 | payload |  | GEDC is 7.0; no value is allowed here", 2},
        {23, "1 DIV N", "23 | payload | F1 | DIV is N; allowed are Y or nothing", 23},
        {28, "1 HUSB I1", "28 | payload | F2 | HUSB is I1; it must point to a person (@KEY@ or @VOID@)", 28},
        // Found by the load already: one row, the load's.
        {5, "1 NAME John Q /Public/\n2 CONC more", "6 | structure | I1 | 2 CONC more", 6},
        {6, "1 SEX M\n1 FAMC @I2@",
         "7 | reference | I1 | links to @I2@, a record of the wrong kind for this line", 7},
    };
    for (const Broken& broken : cases) {
        controller().setGrammarChoice(LNGrammarChoice::gedcom70);
        openBroken("remarriage1.ged", broken.line, broken.replacement);
        viewer.validate();
        EXPECT_EQ(findings(), Texts{broken.finding}) << broken.replacement;
        EXPECT_EQ(markAt(broken.markedLine), "bad") << broken.replacement;
    }
}

TEST_F(Gedcom7Test, ExtensionsAndTheirLinesPassAndAFamilysFindingShowsTheFamily) {
    REQUIRE_SHARED_TESTDATA();
    openBroken("remarriage1.ged", 6, "1 SEX _NEUTER\n1 _MILITARY Navy\n2 PLAC Below an extension\n2 SEX Q");
    viewer.validate();
    EXPECT_EQ(findings(), Texts{});
    EXPECT_EQ(markAt(9), "good");
    EXPECT_EQ(markAt(4), "good");

    openBroken("remarriage1.ged", 23, "1 DIV N");
    viewer.validate();
    ASSERT_EQ(findings().size(), 1u);
    const int row = static_cast<int>(
        std::ranges::find_if(controller().problemRows(), [](const LNProblemRow& r) { return r.line == 23; }) -
        controller().problemRows().begin());
    viewer.problems().clickCell(row, 3);
    ASSERT_NE(outline().selectedItem(), nullptr);
    EXPECT_EQ(static_cast<LNGedcomNode*>(outline().selectedItem())->lineNumber(), 23);
    EXPECT_EQ(outline().rowText(0), String(u"0 @F1@ FAM"));
    EXPECT_EQ(markAt(18), "badchild");
}

TEST(Gedcom7Grammar, ReadsTheShippedGrammarAndRefusesAnotherText) {
    auto grammar = LNGedcom7Grammar::initFromFile("resources/Gedcom7.0.spec");
    ASSERT_TRUE(grammar);
    EXPECT_GT(grammar->numStructures(), 150u);
    EXPECT_TRUE(LNGedcom7Grammar::isGedcom7Grammar("resources/Gedcom7.0.spec"));
    EXPECT_FALSE(LNGedcom7Grammar::isGedcom7Grammar("resources/Gedcom5.5.spec"));
    EXPECT_FALSE(LNGedcom7Grammar::initFromString("kinloom-gedcom7-grammar 1\nsub\tA\tB\t0\t1\n"));
    EXPECT_FALSE(LNGedcom7Grammar::initFromString("kinloom-gedcom7-grammar 1\nstructure\tA\tA\tnonsense\n"));
    EXPECT_FALSE(LNGedcom7Grammar::initFromString("kinloom-gedcom7-grammar 1\nstructure\tA\n"));
    EXPECT_TRUE(
        LNGedcom7Grammar::initFromString("kinloom-gedcom7-grammar 1\nstructure\tA\tA\ttext\nrecord\tA\n"));
}

} // namespace kinloom

namespace kinloom {

// The payload grammars at their edges, each value with whether it fits.
TEST(Gedcom7Payload, FitsAtTheEdgesOfEachGrammar) {
    const std::tuple<Gedcom7Payload, StringView, bool> cases[] = {
        {Gedcom7Payload::time, u"23:59:59.999Z", true},
        {Gedcom7Payload::time, u"8:38", true},
        {Gedcom7Payload::time, u"24:00", false},
        {Gedcom7Payload::time, u"12:60", false},
        {Gedcom7Payload::time, u"12:5", false},
        {Gedcom7Payload::time, u"12:30:00.", false},
        {Gedcom7Payload::age, u"< 0y", true},
        {Gedcom7Payload::age, u"1y 2m 3w 4d", true},
        {Gedcom7Payload::age, u"2m 1y", false},
        {Gedcom7Payload::age, u"<1y", false},
        {Gedcom7Payload::age, u"1y  2m", false},
        {Gedcom7Payload::integer, u"007", true},
        {Gedcom7Payload::integer, u"-1", false},
        {Gedcom7Payload::language, u"de-CH-1996", true},
        {Gedcom7Payload::language, u"en_US", false},
        {Gedcom7Payload::mediaType, u"text/html; charset=utf-8", true},
        {Gedcom7Payload::mediaType, u"text", false},
        {Gedcom7Payload::mediaType, u"text/html; charset", false},
        {Gedcom7Payload::latitude, u"N90", true},
        {Gedcom7Payload::latitude, u"S90.5", true},
        {Gedcom7Payload::latitude, u"N91", false},
        {Gedcom7Payload::longitude, u"W180", true},
        {Gedcom7Payload::longitude, u"E181.1", false},
        {Gedcom7Payload::longitude, u"E", false},
        {Gedcom7Payload::name, u"John /Smith/ Jr", true},
        {Gedcom7Payload::name, u"a/b/c/d", false},
        {Gedcom7Payload::enumList, u"CONFIDENTIAL, _X", true},
        {Gedcom7Payload::enumList, u"LOCKED,,", false},
        {Gedcom7Payload::tagDef, u"_SKYPEID http://xmlns.com/foaf/0.1/skypeID", true},
        {Gedcom7Payload::tagDef, u"SKYPEID http://x", false},
    };
    for (const auto& [kind, value, fits] : cases)
        EXPECT_EQ(payloadFits(kind, value), fits) << toUtf8(value);
}

} // namespace kinloom
