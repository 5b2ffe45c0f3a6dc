#include "HeadlessViewerFixture.h"

using namespace kinloom;

namespace {

class LNKinloomControllerOutline : public HeadlessViewerTest {
  protected:
    LNKinloomControllerOutline() { open(); }

    void showLabels() {
        if (viewer.checkBox().state() == LNButton::onState) viewer.checkBox().click();
    }
    LNNode* item(const std::string& prefix) { return outline().itemAtRow(outlineRow(prefix)); }
    std::vector<std::string> rowColors() {
        std::vector<std::string> names;
        for (int i = 0; i < static_cast<int>(outline().rows().size()); ++i)
            names.push_back(colorName(outline().rowColor(i)));
        return names;
    }
};

using Texts = std::vector<std::string>;

} // namespace

TEST_F(LNKinloomControllerOutline, ShowsRawLinesWithTheLevelZeroLineExpanded) {
    clickCell("I1", u"id");
    EXPECT_EQ(outlineRows(), (Texts{"0 @I1@ INDI", "  1 NAME John /Smith/", "  1 SEX M", "  1 BIRT",
                                    "  1 DEAT", "  1 FAMS @F1@", "  1 FAMC @F2@"}));
    LNNode* birth = item("1 BIRT");
    EXPECT_TRUE(controller().isItemExpandable(&outline(), birth));
    EXPECT_EQ(controller().numberOfChildrenOfItem(&outline(), birth), 3);
    EXPECT_FALSE(controller().isItemExpandable(&outline(), item("1 SEX")));
    EXPECT_EQ(controller().child(&outline(), 3, birth), nullptr) << "past the last child";
    EXPECT_EQ(controller().numberOfChildrenOfItem(&outline(), nullptr), 1) << "the top shows one line";
}

TEST_F(LNKinloomControllerOutline, LabelsLinesAndSummarisesCollapsedOnes) {
    clickCell("I1", u"id");
    showLabels();
    EXPECT_EQ(controller().outlineMode(), 1);
    EXPECT_EQ(outlineRows(),
              (Texts{"Person", "  Name: John /Smith/", "  Sex: M", "  Birth: 12 MAR 1850, London, England",
                     "  Death: 1910, Boston, Suffolk, Massachusetts, United States", "  fams: @F1@",
                     "  famc: @F2@"}));

    outline().expandItem(item("Birth"));
    EXPECT_EQ(outlineRows()[3], "  Birth") << "expanded, its lines show below it";
    EXPECT_EQ(outlineRows()[4], "    Date: 12 MAR 1850");
    EXPECT_EQ(outlineRows()[5], "    Place: London, England");
    EXPECT_EQ(outlineRows()[6], "    xyz: not a GEDCOM line");

    outline().collapseItem(outline().itemAtRow(0));
    EXPECT_EQ(outlineRows(), Texts{"Person: John /Smith/"}) << "a collapsed person line shows its name";
}

TEST_F(LNKinloomControllerOutline, SummariesTakeDateAndPlaceBeforeName) {
    showLabels();
    clickCell("I4", u"id");
    EXPECT_EQ(outlineRows(), (Texts{"Person", "  Name: Adam /Smith/", "  Sex: M", "  bapt: 1877", "  Baptize",
                                    "  Note: Baptised at home", "  famc: @F1@"}));
    outline().expandItem(item("Note"));
    EXPECT_EQ(outlineRow("Note: Baptised at home"), 5) << "a value shows expanded as well";
    EXPECT_EQ(outlineRows()[6], "    cont: by the vicar");

    clickCell("I5", u"id");
    EXPECT_EQ(outlineRows()[4], "  Reside: Leeds, England") << "the place, not the name";
    EXPECT_EQ(outlineRows()[5], "  Death: Toronto, Ontario, Canada");
    clickCell("I2", u"id");
    EXPECT_EQ(outlineRows()[4], "  Census: 1881");
}

TEST_F(LNKinloomControllerOutline, CheckBoxSwitchesBetweenTheForms) {
    clickCell("I2", u"id");
    viewer.checkBox().click();
    EXPECT_EQ(outlineRows().front(), "Person");
    viewer.checkBox().click();
    EXPECT_EQ(controller().outlineMode(), 0);
    EXPECT_EQ(outlineRows().front(), "0 @I2@ INDI");
    EXPECT_TRUE(outline().isItemExpanded(outline().itemAtRow(0))) << "switching keeps what is expanded";
}

TEST_F(LNKinloomControllerOutline, ColoursBadLinesRedAndTheLinesAboveOrange) {
    clickCell("I1", u"id");
    outline().expandAll();
    ASSERT_EQ(outlineRows().size(), 12u);
    EXPECT_EQ(rowColors(), std::vector<std::string>(12, "black")) << "before validation";

    viewer.validate();
    EXPECT_EQ(outlineRows()[6], "    2 XYZ not a GEDCOM line");
    EXPECT_EQ(rowColors(), (Texts{"orange", "black", "black", "orange", "black", "black", "red", "black",
                                  "black", "black", "black", "black"}));
    EXPECT_EQ(outlineRows().size(), 12u) << "validation keeps the expanded lines";
}

TEST_F(LNKinloomControllerOutline, OtherMarksAreRed) {
    clickCell("I2", u"id");
    LNNode* sex = item("1 SEX");
    sex->setAttribute(SharedString(u"unheard-of"), u"validcode");
    EXPECT_EQ(colorName(outline().rowColor(outlineRow("1 SEX"))), "red");
    LNNode* root = outline().itemAtRow(0);
    root->setAttribute(SharedString(u"unheard-of"), u"validcode");
    EXPECT_EQ(colorName(cellColor("I2", u"name")), "black") << "the table shows other marks black";
}

TEST_F(LNKinloomControllerOutline, ExpandsEveryLineOfADeepRecordWithoutRecursion) {
    // Levels climbing one by one, far deeper than a call stack could follow.
    const int depth = 200000;
    std::string path = testing::TempDir() + "kinloom-deep.ged";
    {
        std::ofstream file(path);
        file << "0 HEAD\n0 @I1@ INDI\n";
        for (int level = 1; level <= depth; ++level)
            file << level << " NOTE x\n";
        file << "0 TRLR\n";
    }
    open(path);
    clickCell("I1", u"id");
    outline().expandAll();
    EXPECT_EQ(outline().rows().size(), static_cast<std::size_t>(depth + 1));
    EXPECT_EQ(outline().rows().back().depth, depth);
    showLabels();
    EXPECT_EQ(toUtf8(*outline().rowText(depth)), "Note: x");
    open();
    EXPECT_TRUE(outline().rows().empty());
    std::remove(path.c_str());
}
