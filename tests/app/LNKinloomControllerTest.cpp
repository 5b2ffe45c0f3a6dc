// The viewer's logic through the headless toolkit: opening, the person
// table and its orders, the history, the name search, the record outline
// and the validate command, on tests/data/viewer.ged.

#include "HeadlessViewerFixture.h"
#include "LNGedcomSpecification.h"
#include "LNResourceBundle.h"

using namespace kinloom;

namespace {

const std::vector<std::string> fileOrder{"I1", "I2", "I3", "I4", "I5", "I6", "I10", "I9"};

class LNKinloomControllerTest : public HeadlessViewerTest {
  protected:
    LNKinloomControllerTest() { open(); }

    bool back() { return segments().click(0); }
    bool forward() { return segments().click(1); }
    /// Back and forward enabled, as "bf", "b-", "-f" or "--".
    std::string segmentStates() {
        return std::string(segments().isEnabled(0) ? "b" : "-") + (segments().isEnabled(1) ? "f" : "-");
    }
    void search(StringView text) {
        viewer.searchField().type(text);
        viewer.searchField().endEditing();
    }
    void showLabels() {
        if (viewer.checkBox().state() == LNButton::onState) viewer.checkBox().click();
    }
};

} // namespace

TEST_F(LNKinloomControllerTest, OpensFilesFromTheDesktopAndThroughTheOpenPanel) {
    EXPECT_EQ(toUtf8(viewer.window().title()), "Kinloom 0.2 beta");
    EXPECT_EQ(rowKeys(), fileOrder);
    EXPECT_EQ(toUtf8(*viewer.pathLabel().stringValue()), viewerFile + "  \u2014  GEDCOM 5.5");
    EXPECT_EQ(indicators(), Texts{"id NSAscendingSortIndicator"});
    EXPECT_TRUE(viewer.application().recentDocuments().empty()) << "the desktop's request is not noted";
    EXPECT_FALSE(log.contains("back from openening panel"));

    // The open panel's texts and the recent documents are the window's (LNQtViewerTest).
    // Cancelled: the file stays, the view starts over.
    LNGedcomFile* file = controller().gedcomFile();
    clickHeader(u"name");
    clickCell("I3");
    clickCell("I4");
    viewer.application().cancelOpenPanels();
    viewer.openDocument();
    EXPECT_EQ(controller().gedcomFile(), file);
    EXPECT_EQ(rowKeys(), fileOrder);
    EXPECT_TRUE(outline().rows().empty());
    EXPECT_TRUE(history().empty());
    EXPECT_EQ(segmentStates(), "--");
}

TEST_F(LNKinloomControllerTest, OpeningResetsTheViewAndReleasesThePreviousFile) {
    clickHeader(u"birthYear");
    clickHeader(u"birthYear");
    clickCell("I1");
    search(u"Z /Nobody/");
    clickCell("I2");
    const long live = LNNode::numAllocated() - LNNode::numDeallocated();
    open();
    EXPECT_EQ(rowKeys(), fileOrder);
    EXPECT_EQ(indicators(), Texts{"id NSAscendingSortIndicator"});
    EXPECT_TRUE(history().empty() && outline().rows().empty() && viewer.relatives().numberOfRows() == 0);
    EXPECT_EQ(segmentStates(), "--");
    EXPECT_EQ(table().selectedRow(), -1) << "shown from the top, nothing selected";
    EXPECT_EQ(table().scrolledRow(), 0);
    EXPECT_EQ(viewer.searchField().stringValue().value_or(u"-"), u"");
    EXPECT_FALSE(controller().searchName());
    clickCell("I1");
    clickCell("I2");
    EXPECT_EQ(LNNode::numAllocated() - LNNode::numDeallocated(), live);
    clickHeader(u"id");
    EXPECT_EQ(rowKeys(), Texts(fileOrder.rbegin(), fileOrder.rend()))
        << "one click on the first column reverses";

    // What cannot be opened is said in a message box, and the window stays.
    clickCell("I3");
    open("tests/data/no-such-file.ged");
    open("tests/data");
    EXPECT_EQ(selectedKey(), "I3");
    EXPECT_EQ(rowKeys(), Texts(fileOrder.rbegin(), fileOrder.rend()));
    EXPECT_EQ(toUtf8(*viewer.pathLabel().stringValue()), viewerFile + "  \u2014  GEDCOM 5.5");
    // Found to have no record only once read: the old file went first here,
    // where no progress can stop a load, so the window is left empty.
    open("tests/data/README.md");
    EXPECT_EQ(viewer.window().alerts(),
              (std::vector<String>{u"The file tests/data/no-such-file.ged does not exist.",
                                   u"tests/data is a folder, not a GEDCOM file.",
                                   u"No GEDCOM records were found in tests/data/README.md."}));
    EXPECT_EQ(table().numberOfRows(), 0);
    EXPECT_EQ(viewer.pathLabel().stringValue().value_or(u"-"), u"");
    search(u"J /Smith/");
    EXPECT_TRUE(history().empty());
}

// The cells' texts are those kinloom-cli prints (KinloomCliTest).
TEST_F(LNKinloomControllerTest, SortsByTheClickedColumnAndReversesOnTheSecondClick) {
    // Names, then key numbers; years and places as text (upper case first),
    // missing values last, ties by name; a second click reverses exactly.
    const std::pair<const char16_t*, Texts> orders[] = {
        {u"name", {"I6", "I9", "I10", "I2", "I4", "I3", "I1", "I5"}},
        {u"birthYear", {"I5", "I9", "I10", "I1", "I2", "I3", "I4", "I6"}},
        {u"birthPlace", {"I3", "I1", "I5", "I2", "I10", "I9", "I6", "I4"}},
        {u"deathPlace", {"I1", "I5", "I6", "I9", "I10", "I2", "I4", "I3"}}};
    for (const auto& [identifier, keys] : orders) {
        clickHeader(identifier);
        EXPECT_EQ(rowKeys(), keys) << toUtf8(identifier);
        EXPECT_EQ(indicators(), Texts{toUtf8(identifier) + " NSAscendingSortIndicator"});
        clickHeader(identifier);
        EXPECT_EQ(rowKeys(), Texts(keys.rbegin(), keys.rend())) << toUtf8(identifier);
        EXPECT_EQ(indicators(), Texts{toUtf8(identifier) + " NSDescendingSortIndicator"});
    }
    // Parent headers do not sort.
    const Texts last = rowKeys();
    const int reloads = table().reloadCount();
    clickHeader(u"father");
    clickHeader(u"mother");
    EXPECT_EQ(rowKeys(), last);
    EXPECT_EQ(table().reloadCount(), reloads);
}

TEST_F(LNKinloomControllerTest, ShowsYearsOfEveryCalendarAndEpochAndSortsThemInTime) {
    struct Case {
        const char* file;
        Texts birthYears, birthOrder, deathYears, deathOrder;
    };
    const Case cases[] = {
        {"tests/data/years-before-christ.ged",
         {"1032 B.C.", "0500 B.C.", "1000", "1850", "1032 B.C.", "560 B.C."},
         {"I1", "I5", "I6", "I2", "I3", "I4"},
         {"0980 B.C.", "0010", "1060", "", "1000 B.C.", "999 B.C."},
         {"I5", "I6", "I1", "I2", "I3", "I4"}},
        {"tests/data/years-calendars.ged",
         {"794", "742 B.C.", "1840", "1806", "087 UNKNOWN", "1088", "0950", "1839"},
         {"I2", "I1", "I7", "I6", "I4", "I8", "I3", "I5"},
         {},
         {}},
        {"tests/data/years-calendars70.ged",
         {"730", "1401 B.C.", "742", "1839", "1792", "87 _MAYAN", "12345", "1850 B.C.", "9 _MAYAN"},
         {"I8", "I2", "I1", "I3", "I5", "I4", "I7", "I9", "I6"},
         {},
         {}}};
    for (const Case& c : cases) {
        open(c.file);
        EXPECT_EQ(column(u"birthYear"), c.birthYears) << c.file;
        if (!c.deathYears.empty()) {
            EXPECT_EQ(column(u"deathYear"), c.deathYears) << c.file;
        }
        const std::pair<const char16_t*, const Texts*> orders[] = {{u"birthYear", &c.birthOrder},
                                                                   {u"deathYear", &c.deathOrder}};
        for (const auto& [identifier, keys] : orders) {
            if (keys->empty()) continue;
            clickHeader(identifier);
            EXPECT_EQ(rowKeys(), *keys) << c.file << " " << toUtf8(identifier);
        }
    }
    // No person of the last file has a place: that column is in the name order.
    clickHeader(u"deathPlace");
    const Texts byPlace = rowKeys();
    clickHeader(u"name");
    EXPECT_EQ(byPlace, rowKeys());
}

TEST_F(LNKinloomControllerTest, SortingKeepsTheSelectedPersonSelectedAndShown) {
    ASSERT_TRUE(table().moveColumn(table().columnIndex(u"father"), 0));
    open();
    EXPECT_EQ(indicators(), Texts{"father NSAscendingSortIndicator"}) << "the first column in display order";
    table().clickCell(rowOf("I3"), 0);
    EXPECT_EQ(selectedKey(), "I1") << "clicks find columns by display position";
    clickCell("I4");
    clickHeader(u"name");
    EXPECT_EQ(selectedKey(), "I4");
    EXPECT_EQ(table().scrolledRow(), 4);
    EXPECT_EQ(history(), (Texts{"I1", "[I4]"})) << "a sort records nothing";
    EXPECT_EQ(outlineRows(), (Texts{"0 @I4@ INDI", "  1 NAME Adam /Smith/", "  1 SEX M", "  1 BAPT",
                                    "  1 CHR", "  1 NOTE Baptised at home", "  1 FAMC @F1@"}));
    clickHeader(u"name");
    EXPECT_EQ(table().scrolledRow(), 3);
    // Back in file order, which keeps no order of its own, then reversed.
    clickHeader(u"id");
    EXPECT_EQ(table().selectedRow(), 3);
    clickHeader(u"id");
    EXPECT_EQ(rowKeys(), Texts(fileOrder.rbegin(), fileOrder.rend()));
    EXPECT_EQ(table().selectedRow(), 4);
}

TEST_F(LNKinloomControllerTest, KeepsAHistoryOfThePersonsShown) {
    clickCell("I2");
    clickCell("I2");
    EXPECT_EQ(history(), Texts{"[I2]"}) << "the same person twice is recorded once";
    EXPECT_EQ(segmentStates(), "--");
    clickCell("I3");
    clickCell("I4");
    EXPECT_TRUE(back());
    EXPECT_EQ(segmentStates(), "bf");
    EXPECT_TRUE(back());
    EXPECT_EQ(history(), (Texts{"[I2]", "I3", "I4"}));
    EXPECT_EQ(selectedKey(), "I2");
    EXPECT_EQ(outlineRows().front(), "0 @I2@ INDI");
    EXPECT_FALSE(back()) << "a disabled segment takes no click";
    EXPECT_TRUE(forward());
    clickCell("I3");
    EXPECT_EQ(history(), (Texts{"I2", "[I3]", "I4"})) << "the current person again keeps the forward history";
    clickCell("I5");
    EXPECT_EQ(history(), (Texts{"I2", "I3", "[I5]"})) << "another discards it";
    // Parent cells jump to the parent; without one, to the person itself.
    clickCell("I3", u"father");
    clickCell("I1", u"mother");
    clickCell("I2", u"father");
    EXPECT_EQ(history(), (Texts{"I2", "I3", "I5", "I1", "I6", "[I2]"}));
    // Clicks outside the rows and selection by keyboard record nothing.
    table().clickCell(-1, 0);
    table().clickCell(8, 0);
    table().selectRowByKeyboard(2);
    EXPECT_EQ(selectedKey(), "I3");
    EXPECT_EQ(history().back(), "[I2]");
    EXPECT_EQ(outlineRows().front(), "0 @I2@ INDI");
    // Going back selects and scrolls in the current order.
    clickHeader(u"name");
    back();
    EXPECT_EQ(selectedKey(), "I6");
    EXPECT_EQ(table().scrolledRow(), rowOf("I6"));
}

TEST_F(LNKinloomControllerTest, SearchJumpsToTheFirstPersonInNameOrder) {
    search(u"");
    EXPECT_FALSE(controller().searchName()) << "no text, no search";
    EXPECT_EQ(viewer.window().firstResponder(), &viewer.searchField());
    search(u"J /Smith/");
    EXPECT_EQ(selectedKey(), "I3") << "John comes first in the table, Jane by name";
    EXPECT_EQ(table().scrolledRow(), 2);
    EXPECT_EQ(outlineRows().front(), "0 @I3@ INDI");
    EXPECT_EQ(viewer.window().firstResponder(), &table()) << "the focus moves to the table";
    EXPECT_EQ(rowKeys(), fileOrder) << "the search moves the selection, it does not filter";
    search(u"Ja /Sm/");
    search(u"Pet /Brown/");
    EXPECT_EQ(history(), (Texts{"I3", "[I9]"})) << "once each; equal names by key number";
    // Nobody found: only the text is kept, and the status bar says so until
    // the next search or click.
    search(u"Z /Nobody/");
    EXPECT_EQ(toUtf8(controller().searchName().value_or(u"-")), "Z /Nobody/");
    EXPECT_EQ(viewer.window().firstResponder(), &viewer.searchField());
    EXPECT_EQ(history(), (Texts{"I3", "[I9]"}));
    EXPECT_EQ(selectedKey(), "I9");
    EXPECT_EQ(viewer.window().statusMessage(), u"Nobody is named \u201CZ /Nobody/\u201D.");
    clickCell("I2");
    EXPECT_EQ(viewer.window().statusMessage(), u"");
    // Where the sound of the name finds nobody, the starts of its parts do,
    // ignoring case and accents.
    for (const char16_t* typed : {u"w /SMI/", u"Wi\u0301l /Smi/", u"/Smit/ Wil"}) {
        search(typed);
        EXPECT_EQ(selectedKey(), "I5") << toUtf8(typed);
    }
    search(u"Ja /Smi/");
    EXPECT_EQ(selectedKey(), "I3");
    EXPECT_EQ(viewer.window().statusMessage(), u"");
    search(u"Wil /Jones/");
    EXPECT_EQ(selectedKey(), "I3");
    EXPECT_EQ(viewer.window().statusMessage(), u"Nobody is named \u201CWil /Jones/\u201D.");
}

TEST_F(LNKinloomControllerTest, ShowsTheRecordAsLinesOrLabelledAndSummarised) {
    clickCell("I1", u"id");
    EXPECT_EQ(outlineRows(), (Texts{"0 @I1@ INDI", "  1 NAME John /Smith/", "  1 SEX M", "  1 BIRT",
                                    "  1 DEAT", "  1 FAMS @F1@", "  1 FAMC @F2@"}));
    showLabels();
    EXPECT_EQ(outlineRows(),
              (Texts{"Person", "  Name: John /Smith/", "  Sex: M", "  Birth: 12 MAR 1850, London, England",
                     "  Death: 1910, Boston, Suffolk, Massachusetts, United States", "  fams: @F1@",
                     "  famc: @F2@"}));
    outline().expandItem(outline().itemAtRow(3)); // Birth
    const Texts expanded = outlineRows();
    EXPECT_EQ(Texts(expanded.begin() + 3, expanded.begin() + 7),
              (Texts{"  Birth", "    Date: 12 MAR 1850", "    Place: London, England",
                     "    xyz: not a GEDCOM line"}));
    outline().collapseItem(outline().itemAtRow(0));
    EXPECT_EQ(outlineRows(), Texts{"Person: John /Smith/"});
    // Summaries take date and place before a name; values show expanded too.
    clickCell("I4", u"id");
    EXPECT_EQ(outlineRows(), (Texts{"Person", "  Name: Adam /Smith/", "  Sex: M", "  bapt: 1877", "  Baptize",
                                    "  Note: Baptised at home", "  famc: @F1@"}));
    clickCell("I5", u"id");
    EXPECT_EQ(outlineRows()[4], "  Reside: Leeds, England");
    viewer.checkBox().click();
    EXPECT_EQ(outlineRows().front(), "0 @I5@ INDI");
    EXPECT_TRUE(outline().isItemExpanded(outline().itemAtRow(0))) << "switching keeps what is expanded";
}

TEST_F(LNKinloomControllerTest, ValidateColoursBadLinesRedAndTheLinesAboveThemOrange) {
    clickCell("I1", u"id");
    outline().expandAll();
    EXPECT_EQ(outlineRows(true), Texts(12, "black")) << "before validation";
    EXPECT_EQ(column(u"name", true), Texts(8, "black"));
    const int reloads = table().reloadCount() + outline().reloadCount();
    viewer.validate();
    EXPECT_EQ(table().reloadCount() + outline().reloadCount(), reloads + 2);
    EXPECT_EQ(outlineRows()[6], "    2 XYZ not a GEDCOM line");
    EXPECT_EQ(outlineRows(true), (Texts{"orange", "black", "black", "orange", "black", "black", "red",
                                        "black", "black", "black", "black", "black"}));
    // I1 (a bad line under BIRT), I4 (BAPT is not GEDCOM 5.5) and I5 (NAME under RESI).
    EXPECT_EQ(column(u"name", true),
              (Texts{"orange", "black", "black", "orange", "orange", "black", "black", "black"}));
    EXPECT_EQ(column(u"father", true),
              (Texts{"orange", "black", "orange", "orange", "black", "black", "black", "black"}));
    EXPECT_EQ(column(u"birthYear", true), Texts(8, "black"));
    EXPECT_EQ(LNGedcomSpecification::markOf(controller().gedcomRecords()->famWithKey(u"@F1@")->root().get()),
              nullptr)
        << "families are not validated";
    // A grammar without a person record rule marks every person line of a fresh file bad.
    open();
    viewer.application().bundle().setPathForResource(u"Gedcom5.5", u"spec", "tests/data/family-only.spec");
    viewer.validate();
    EXPECT_EQ(column(u"name", true), Texts(8, "red"));
    EXPECT_EQ(column(u"father", true),
              (Texts{"red", "black", "red", "red", "black", "black", "black", "black"}));
}

TEST_F(LNKinloomControllerTest, ValidateWithoutAReadableGrammarChangesNoColour) {
    LNHeadlessBundle& bundle = viewer.application().bundle();
    for (const char* grammar : {"", "tests/data/no-such.spec", "tests/data/broken.spec"}) {
        bundle.setDirectories({"/nowhere"});
        if (*grammar) bundle.setPathForResource(u"Gedcom5.5", u"spec", grammar);
        viewer.validate();
        EXPECT_EQ(column(u"name", true), Texts(8, "black")) << grammar;
    }
    LNResourceBundle installed = LNResourceBundle::nextToExecutable();
    ASSERT_EQ(installed.directories().size(), 2u);
    EXPECT_TRUE(installed.directories()[1].ends_with("/share/kinloom"));
}
