#include "HeadlessViewerFixture.h"

using namespace kinloom;

namespace {

class LNKinloomControllerSearch : public HeadlessViewerTest {
  protected:
    void search(StringView text) {
        viewer.searchField().type(text);
        viewer.searchField().endEditing();
    }
    std::string searchName() {
        return controller().searchName() ? toUtf8(*controller().searchName()) : "(absent)";
    }
};

using Keys = std::vector<std::string>;

} // namespace

TEST_F(LNKinloomControllerSearch, JumpsToTheFirstPersonInNameOrder) {
    open();
    search(u"J /Smith/");
    // John (I1) comes first in the table, Jane (I3) first by name.
    EXPECT_EQ(selectedKey(), "I3");
    EXPECT_EQ(table().scrolledRow(), 2);
    EXPECT_EQ(history(), Keys{"[I3]"});
    EXPECT_EQ(outlineRows().front(), "0 @I3@ INDI");
    EXPECT_TRUE(outline().isItemExpanded(outline().itemAtRow(0)));
    EXPECT_EQ(viewer.window().firstResponder(), &table()) << "the focus moves to the table";
    EXPECT_EQ(searchName(), "J /Smith/");
    EXPECT_EQ(rowKeys().front(), "I1") << "the search moves the selection, it does not filter";
}

TEST_F(LNKinloomControllerSearch, TheSamePersonTwiceIsRecordedOnce) {
    open();
    search(u"J /Smith/");
    search(u"Ja /Sm/");
    EXPECT_EQ(history(), Keys{"[I3]"});
    search(u"Pet /Brown/");
    EXPECT_EQ(history(), (Keys{"I3", "[I9]"})) << "equal names by key number";
    EXPECT_EQ(segments().isEnabled(0), true);
}

TEST_F(LNKinloomControllerSearch, DoesNothingWithoutTextOrFile) {
    search(u"J /Smith/");
    EXPECT_EQ(searchName(), "(absent)") << "no file open";
    EXPECT_EQ(viewer.window().firstResponder(), &viewer.searchField());

    open();
    clickCell("I2", u"name");
    search(u"");
    EXPECT_EQ(searchName(), "(absent)");
    EXPECT_EQ(history(), Keys{"[I2]"});
    EXPECT_EQ(viewer.window().firstResponder(), &viewer.searchField());
}

TEST_F(LNKinloomControllerSearch, FindingNobodyOnlyRemembersTheText) {
    open();
    clickCell("I2", u"name");
    search(u"Z /Nobody/");
    EXPECT_EQ(searchName(), "Z /Nobody/");
    EXPECT_EQ(selectedKey(), "I2");
    EXPECT_EQ(history(), Keys{"[I2]"});
    EXPECT_EQ(outlineRows().front(), "0 @I2@ INDI");
    EXPECT_EQ(viewer.window().firstResponder(), &viewer.searchField());
}

TEST_F(LNKinloomControllerSearch, IgnoresEditingThatEndsInAnotherControl) {
    open();
    viewer.searchField().type(u"J /Smith/");
    controller().controlTextDidEndEditing(LNNotification{&viewer.pathLabel()});
    EXPECT_EQ(searchName(), "(absent)");
    EXPECT_TRUE(history().empty());
}
