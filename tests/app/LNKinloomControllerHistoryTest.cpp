#include "HeadlessViewerFixture.h"

using namespace kinloom;

namespace {

class LNKinloomControllerHistory : public HeadlessViewerTest {
  protected:
    LNKinloomControllerHistory() { open(); }

    void click(const std::string& key) { clickCell(key, u"name"); }
    bool back() { return segments().click(0); }
    bool forward() { return segments().click(1); }
    /// Back and forward enabled, as "bf", "b-", "-f" or "--".
    std::string segmentStates() {
        return std::string(segments().isEnabled(0) ? "b" : "-") + (segments().isEnabled(1) ? "f" : "-");
    }
    std::string shownKey() {
        LNNode* first = outline().itemAtRow(0);
        return first ? toUtf8(stripAts(static_cast<LNGedcomNode*>(first)->key().view())) : "";
    }
};

using Keys = std::vector<std::string>;

} // namespace

TEST_F(LNKinloomControllerHistory, ClickingRecordsAndShowsThePerson) {
    EXPECT_EQ(segmentStates(), "--");
    click("I2");
    EXPECT_EQ(history(), Keys{"[I2]"});
    EXPECT_EQ(segmentStates(), "--");
    EXPECT_EQ(selectedKey(), "I2");
    EXPECT_EQ(table().scrolledRow(), 1);
    EXPECT_EQ(shownKey(), "I2");
    EXPECT_TRUE(outline().isItemExpanded(outline().itemAtRow(0)));
    EXPECT_EQ(toUtf8(controller().selectedRoot()->tag().view()), "top");
    EXPECT_EQ(controller().selectedRoot()->numChildren(), 1);

    click("I2");
    EXPECT_EQ(history(), Keys{"[I2]"}) << "the same person twice is recorded once";
    click("I3");
    EXPECT_EQ(history(), (Keys{"I2", "[I3]"}));
    EXPECT_EQ(segmentStates(), "b-");
}

TEST_F(LNKinloomControllerHistory, VisitingAfterGoingBackDiscardsTheForwardHistory) {
    click("I1");
    click("I2");
    click("I3");
    EXPECT_TRUE(back());
    EXPECT_EQ(segmentStates(), "bf");
    EXPECT_TRUE(back());
    EXPECT_EQ(history(), (Keys{"[I1]", "I2", "I3"}));
    EXPECT_EQ(segmentStates(), "-f") << "at the first entry";
    EXPECT_EQ(selectedKey(), "I1");
    EXPECT_EQ(shownKey(), "I1");
    EXPECT_FALSE(back()) << "a disabled segment takes no click";

    click("I4");
    EXPECT_EQ(history(), (Keys{"I1", "[I4]"}));
    EXPECT_EQ(segmentStates(), "b-");
}

TEST_F(LNKinloomControllerHistory, ForwardStopsAtTheLastEntry) {
    click("I1");
    click("I2");
    click("I3");
    back();
    back();
    EXPECT_TRUE(forward());
    EXPECT_EQ(segmentStates(), "bf");
    EXPECT_EQ(shownKey(), "I2");
    EXPECT_TRUE(forward());
    EXPECT_EQ(segmentStates(), "b-");
    EXPECT_EQ(history(), (Keys{"I1", "I2", "[I3]"}));
    EXPECT_EQ(selectedKey(), "I3");
}

TEST_F(LNKinloomControllerHistory, ClickingTheCurrentPersonAfterGoingBackKeepsTheForwardHistory) {
    click("I1");
    click("I2");
    click("I3");
    back();
    click("I2");
    EXPECT_EQ(history(), (Keys{"I1", "[I2]", "I3"}));
    EXPECT_EQ(segmentStates(), "bf");
    click("I5");
    EXPECT_EQ(history(), (Keys{"I1", "I2", "[I5]"}));
}

TEST_F(LNKinloomControllerHistory, ParentCellsJumpToTheParent) {
    click("I2");
    clickCell("I3", u"father");
    EXPECT_EQ(history(), (Keys{"I2", "[I1]"})) << "the clicked row's person is not recorded";
    EXPECT_EQ(selectedKey(), "I1");
    EXPECT_EQ(shownKey(), "I1");
    clickCell("I1", u"mother");
    EXPECT_EQ(history(), (Keys{"I2", "I1", "[I6]"})) << "a mother without a name is still a mother";
    clickCell("I2", u"father");
    EXPECT_EQ(history(), (Keys{"I2", "I1", "I6", "[I2]"})) << "no father: the person itself";
    EXPECT_EQ(selectedKey(), "I2");
}

TEST_F(LNKinloomControllerHistory, GoingBackSelectsAndScrollsInTheCurrentOrder) {
    click("I1");
    click("I9");
    clickHeader(u"name");
    table().scrollRowToVisible(7);
    back();
    EXPECT_EQ(selectedKey(), "I1");
    EXPECT_EQ(table().scrolledRow(), rowOf("I1"));
}

TEST_F(LNKinloomControllerHistory, IgnoresClicksOutsideTheRowsAndKeyboardSelection) {
    click("I1");
    table().clickCell(-1, 0);
    table().clickCell(8, 0);
    table().clickCell(0, 8);
    EXPECT_EQ(history(), Keys{"[I1]"});
    EXPECT_EQ(shownKey(), "I1");
    table().selectRowByKeyboard(2);
    EXPECT_EQ(selectedKey(), "I3");
    EXPECT_EQ(history(), Keys{"[I1]"});
    EXPECT_EQ(shownKey(), "I1");
}

TEST_F(LNKinloomControllerHistory, AKeyNobodyHasShowsNothingAndGoesOn) {
    click("I1");
    controller().selectPerson(u"@I99@", true, true);
    EXPECT_EQ(selectedKey(), "I1") << "the table is left alone";
    EXPECT_TRUE(outline().rows().empty());
    EXPECT_EQ(history(), (Keys{"I1", "[I99]"}));
    back();
    EXPECT_EQ(shownKey(), "I1");
}

TEST_F(LNKinloomControllerHistory, ShowingAnotherPersonLetsTheRecordRootGo) {
    click("I1");
    LNNode* root = controller().gedcomRecords()->indiWithKey(u"@I1@")->root().get();
    EXPECT_EQ(root->parent(), controller().selectedRoot());
    click("I2");
    EXPECT_EQ(root->parent(), nullptr) << "no link to the released display node";
}
