// The relatives and problems panes, and the grammar chosen by the header.

#include "HeadlessViewerFixture.h"
#include "SharedTestData.h"

namespace kinloom {

namespace {

const std::string problemsFile = "tests/data/problems.ged";

class PanesTest : public HeadlessViewerTest {
  protected:
    /// Each row of a pane, its cells joined by " | ".
    static std::vector<std::string> paneRows(LNHeadlessTableView& pane) {
        std::vector<std::string> rows;
        for (int row = 0; row < pane.numberOfRows(); ++row) {
            std::string text;
            for (int column = 0; column < static_cast<int>(pane.tableColumns().size()); ++column)
                text += (column ? " | " : "") + toUtf8(pane.cellText(row, column).value_or(String()));
            rows.push_back(text);
        }
        return rows;
    }
};

} // namespace

TEST_F(PanesTest, RelativesFollowTheSelectedPersonAndAClickGoesThere) {
    open();
    clickCell("I1", u"id");
    EXPECT_EQ(paneRows(viewer.relatives()),
              (std::vector<std::string>{"Father | Smith, William | 1820 | ", "Mother |  |  | ",
                                        "Spouse | Jones, Mary | 1852 | ", "Child | Smith, Jane | 1875 | ",
                                        "Child | Smith, Adam | 1877 | "}));
    viewer.relatives().clickCell(2, 1);
    EXPECT_EQ(selectedKey(), "I2");
    EXPECT_EQ(history(), (std::vector<std::string>{"I1", "[I2]"}));
    EXPECT_EQ(paneRows(viewer.relatives()).front(), "Spouse | Smith, John | 1850 | 1910");
}

TEST_F(PanesTest, TheFamiliesOfAPersonWithSeveralHaveAHeadingEach) {
    REQUIRE_SHARED_TESTDATA();
    open(test::sharedTestData + "gedcom555/REMARR.GED");
    clickCell("I2", u"id");
    const std::vector<std::string> rows = paneRows(viewer.relatives());
    ASSERT_GE(rows.size(), 4u);
    EXPECT_EQ(rows[0], "Family | F1 with Peter Sweet, m. 1 Jan 1900 |  | ");
    EXPECT_EQ(rows[1], "Spouse | Sweet, Peter | 1877 | ");
    EXPECT_EQ(rows[2].substr(0, 32), "Family | F2 with Juan Donalds, m");
    viewer.relatives().clickCell(2, 1);
    EXPECT_EQ(selectedKey(), "I2") << "a heading is nobody";
    viewer.relatives().clickCell(3, 1);
    EXPECT_EQ(selectedKey(), "I3");
    EXPECT_EQ(paneRows(viewer.relatives()).front(), "Spouse | Encore, Mary | 1876 | ")
        << "one family, no heading";
}

TEST_F(PanesTest, ProblemsOfLoadingLinksAndGrammarAreListedByLine) {
    open(problemsFile);
    const std::vector<std::string> loaded{
        "9 | wrongRole | I2 | is wife in @F1@, which it names as its parents' family",
        "9 | multipleRoles | I2 | has more than one role in @F1@",
        "12 | link | F1 | its wife @I2@ names it as her parents' family",
        "14 | wrongRole | F1 | is wife in @F1@, which it names as its parents' family",
        "16 | reference | F1 | links to @I3@, which no record has",
        "17 | multiplyDefinedKey | I1 | another record has the key @I1@ already",
        "19 | lineSyntax | I1 | this line is not a GEDCOM line",
        "20 | illegalName | I4 | @I4@ has no name",
        "20 | wrongSex | I4 | is wife in @F2@ but not female",
        "24 | link | F2 | @I4@ names it more than once"};
    EXPECT_EQ(paneRows(viewer.problems()), loaded) << "reports of one line and text once";
    EXPECT_EQ(controller().gedcomFile()->errors()->count(), 10) << "the reference finding is not counted";

    EXPECT_EQ(controller().grammarResourceName(), u"Gedcom5.5.1");
    viewer.validate();
    std::vector<std::string> validated = paneRows(viewer.problems());
    ASSERT_EQ(validated.size(), loaded.size() + 1);
    EXPECT_EQ(validated.front(), "8 | structure | I1 | PLAC is not allowed directly under INDI");

    viewer.problems().clickCell(0, 3);
    EXPECT_EQ(selectedKey(), "I1");
    ASSERT_NE(outline().selectedItem(), nullptr);
    EXPECT_EQ(static_cast<LNGedcomNode*>(outline().selectedItem())->lineNumber(), 8);
    viewer.problems().clickCell(3, 0);
    EXPECT_EQ(selectedKey(), "I1") << "a family's problem selects nobody";

    controller().setGrammarChoice(LNGrammarChoice::gedcom55);
    EXPECT_EQ(controller().grammarResourceName(), u"Gedcom5.5");
    controller().setGrammarChoice(LNGrammarChoice::automatic);
    open();
    EXPECT_EQ(controller().grammarResourceName(), u"Gedcom5.5") << "VERS 5.5";
    EXPECT_EQ(paneRows(viewer.problems()).front(), "57 | illegalName | I6 | @I6@ has no name")
        << "at the record's line, where the log says 0";
}

} // namespace kinloom

namespace kinloom {

// A GEDCOM 7 file: its version beside the path, no problem, @VOID@ no
// relative, escaped at signs shown as one, a shared note's text where it is
// named, 7.0's labels and the schema's URI of an extension tag.
TEST_F(PanesTest, GedcomSevenFileShowsAsItsStandardMeansIt) {
    open("tests/data/gedcom7.ged");
    EXPECT_EQ(toUtf8(*viewer.pathLabel().stringValue()), "tests/data/gedcom7.ged  \u2014  GEDCOM 7.0");
    EXPECT_EQ(viewer.problems().numberOfRows(), 0);
    EXPECT_EQ(column(u"birthPlace"), (Texts{"@home", ""}));
    clickCell("I1", u"id");
    EXPECT_EQ(paneRows(viewer.relatives()), std::vector<std::string>{"Spouse | Lee, Bea |  | "});
    if (viewer.checkBox().state() == LNButton::onState) viewer.checkBox().click();
    EXPECT_EQ(outlineRows()[5], "  Birth: 1 JAN 1900, @home");
    outline().expandAll();
    EXPECT_EQ(outlineRows(),
              (Texts{"Person", "  Name: Ann /Lee/", "  Sex: F", "  Parents' family: @VOID@",
                     "  Own family: @F1@", "  Birth", "    Date: 1 JAN 1900", "    Place: @home",
                     "  Shared note: Shared text second line", "  Note: @ sign first",
                     "  _SKYPE (http://xmlns.com/foaf/0.1/skypeID): ann.lee", "  External ID: 123",
                     "    Type: http://example.com/"}));
    viewer.checkBox().click();
    EXPECT_EQ(outlineRows()[7], "    2 PLAC @@home") << "raw lines stay as written";

    open("tests/data/gedcom7-latin1.ged");
    EXPECT_EQ(paneRows(viewer.problems()),
              std::vector<std::string>{
                  "5 | encoding | I1 | from this line on the file is not UTF-8, which GEDCOM 7 requires"});
}

} // namespace kinloom
