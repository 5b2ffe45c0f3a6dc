#pragma once

#include "LNApplication.h"
#include "LNButton.h"
#include "LNChartView.h"
#include "file/LNGedcomFile.h"
#include "tree/LNGedcomNode.h"
#include "recordset/LNGedcomRecordSet.h"
#include "LNNavigationQueue.h"
#include "LNOutlineView.h"
#include "LNPersonSorter.h"
#include "LNSegmentedControl.h"
#include "LNTableView.h"
#include "LNTextField.h"
#include "LNView.h"
#include "memory/SharedString.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kinloom {

/// One row of the problems pane: a kept report of the error list, or a line
/// the grammar rejected, with the record holding its line and its text in words.
struct LNProblemRow {
    std::int32_t line = 0;
    ErrorKind kind;
    const LNGedcomRecord* record = nullptr; // null when no record holds the line
    String text;
};

/// The report's text in words a person understands.
String problemWords(const LNGedcomProblem& problem);

/// Which grammar Validate reads: the one of the file's own version, or a fixed one.
enum class LNGrammarChoice { automatic, gedcom55, gedcom551 };

/// The one controller of the viewer's window. It holds the open file and
/// everything the window shows about it, and takes every role the toolkit
/// hands out: application delegate, data source and delegate of the person
/// table and of the record outline, delegate of the search field, and target
/// of the controls' actions.
///
/// The window layout makes the controller, connects the outlets (the
/// set... operations below), binds the actions (the table's click to
/// tableCellClicked, the back and forward control to navigate, the check box
/// to changeMode; commands to openDocument, validate and quit) and calls
/// awakeFromNib. The table's columns carry the identifiers "id", "name",
/// "birthYear", "birthPlace", "deathYear", "deathPlace", "father" and
/// "mother"; the outline has one column.
///
/// Where an operation would reach for something that is not there (a key
/// no person has, an outlet left unconnected), it skips that step and goes on.
class LNKinloomController : public LNApplicationDelegate,
                            public LNTableViewDataSource,
                            public LNTableViewDelegate,
                            public LNOutlineViewDataSource,
                            public LNOutlineViewDelegate,
                            public LNTextFieldDelegate,
                            public LNChartViewDataSource {
  public:
    using LabelMap = std::unordered_map<StringView, StringView>;

    /// Nothing open, no rows, an empty history, the raw outline form.
    LNKinloomController();
    ~LNKinloomController() override;
    LNKinloomController(const LNKinloomController&) = delete;
    LNKinloomController& operator=(const LNKinloomController&) = delete;

    /// Tag to label of the labelled outline: 40 entries, tags matched
    /// exactly. Built once, on first use.
    static const LabelMap& gedcomLabelMap();

    // Outlets.
    void setPersonTable(LNTableView* table) { personTable_ = table; }
    void setPersonOutline(LNOutlineView* outline) { personOutline_ = outline; }
    void setSplitView(LNView* splitView) { splitView_ = splitView; }
    void setSearchField(LNSearchField* field) { searchField_ = field; }
    void setCheckBox(LNButton* checkBox) { checkBox_ = checkBox; }
    void setPathLabel(LNTextField* label) { pathLabel_ = label; }
    void setBackForwardButton(LNSegmentedControl* control) { backForwardButton_ = control; }
    /// The panes beside the outline: columns "role", "name", "birthYear",
    /// "deathYear" and "line", "kind", "id", "text".
    void setRelativesTable(LNTableView* table) { relativesTable_ = table; }
    void setProblemsTable(LNTableView* table) { problemsTable_ = table; }
    void setChartView(LNChartView* view) { chartView_ = view; }

    /// Once the outlets are connected: the window title, movable columns,
    /// vertical grid lines in light grey, the arrows on the two segments.
    void awakeFromNib();

    // Opening and quitting.

    /// The desktop's request to open a document: loads the path if there is
    /// one, then shows the record set. Always true. The recent-documents
    /// list is left alone.
    bool openFile(LNApplication* application, const std::optional<std::string>& path) override;
    /// The open command: asks for a file; a chosen one is loaded and noted
    /// among the recent documents. The record set is shown either way.
    void openDocument(LNView* sender);
    /// The open command once the path is chosen (empty: none was): the file
    /// is loaded and noted among the recent documents, then the record set is
    /// shown. Dropping a file on the window does this too.
    void openChosenDocument(const std::string& path);
    void quit(LNView* sender);
    bool applicationShouldTerminateAfterLastWindowClosed(LNApplication* application) override;

    // The person table.

    /// Stores the row values on each person, makes the rows (in the given
    /// order) and the row map. No list gives no rows.
    void setupTableData(const IndiList* persons);
    void resetPersonRowMap();
    void reversePersons();
    int numberOfRowsInTableView(LNTableView* table) override;
    std::optional<String> objectValueForTableColumn(LNTableView* table, LNTableColumn* column,
                                                    int row) override;
    void willDisplayCell(LNTableView* table, LNCell& cell, LNTableColumn* column, int row) override;
    bool shouldEditTableColumn(LNTableView* table, LNTableColumn* column, int row) override;
    /// Sorts by the column, or reverses the rows when it is the sort column
    /// already; the selected person stays selected. Parent columns do not sort.
    void didClickTableColumn(LNTableView* table, LNTableColumn* column) override;

    // The navigation history.

    /// Shows the person in the outline, and with inTable selects its row,
    /// with inQueue records it in the history.
    void selectPerson(const SharedString& key, bool inTable, bool inQueue);
    /// The table's action: shows and records the clicked person, or the
    /// parent whose cell was clicked.
    void tableCellClicked(LNView* sender);
    /// The back and forward control's action.
    void navigate(LNView* sender);
    /// Records the key unless it is the current entry; sets the segments.
    void addPersonQueue(const SharedString& key);
    void clearPersonQueue();

    // The record outline.

    int numberOfChildrenOfItem(LNOutlineView* outline, LNNode* item) override;
    bool isItemExpandable(LNOutlineView* outline, LNNode* item) override;
    LNNode* child(LNOutlineView* outline, int index, LNNode* item) override;
    std::optional<String> objectValueForTableColumn(LNOutlineView* outline, LNTableColumn* column,
                                                    LNNode* item) override;
    void willDisplayCell(LNOutlineView* outline, LNCell& cell, LNTableColumn* column, LNNode* item) override;
    /// The check box's action: on shows raw lines, off labels.
    void changeMode(LNView* sender);

    // The search field and the validate command.

    void controlTextDidEndEditing(const LNNotification& notification) override;
    /// Checks every person record against the shipped grammar and redraws.
    /// Without a record set or a readable grammar, only redraws.
    void validate(LNView* sender);
    void setGrammarChoice(LNGrammarChoice choice) { grammarChoice_ = choice; }
    LNGrammarChoice grammarChoice() const { return grammarChoice_; }
    /// The grammar's resource name: "Gedcom5.5.1" when chosen, or when
    /// automatic and the header's GEDC VERS is 5.5.1; else "Gedcom5.5".
    StringView grammarResourceName() const;

    // The relatives and problems panes.

    /// The shown person's relatives, in the pane's order.
    const std::vector<LNGedcomRelative>& shownRelatives() const { return relatives_; }
    /// The problems in line order, reports of one line in the order made.
    const std::vector<LNProblemRow>& problemRows() const { return problemRows_; }
    /// The relatives pane's action: selects, shows and records the relative.
    void relativeClicked(LNView* sender);
    /// The problems pane's action: for a line in a person record, selects
    /// the person and opens the outline down to that line.
    void problemClicked(LNView* sender);

    // The chart (LNKinloomControllerChart.cpp): the shown person's ancestors
    // (at first) or descendants, 4 generations at first, 2 to 8.

    static constexpr int minChartGenerations = 2, maxChartGenerations = 8;
    LNChartKind chartKind() const { return chartKind_; }
    void setChartKind(LNChartKind kind);
    int chartGenerations() const { return chartGenerations_; }
    /// Clamped to 2 to 8.
    void setChartGenerations(int generations);
    /// Made when first asked for, for the shown person; null when none is shown.
    const LNChartLayout* chartForView(LNChartView* view) override;
    /// The chart's action: selects, shows and records the person of the
    /// clicked box, as a click on a parent cell does.
    void chartClicked(LNView* sender);

    // State, for the views and for inspection.

    LNGedcomFile* gedcomFile() const { return gedcomFile_.get(); }
    LNGedcomRecordSet* gedcomRecords() const { return gedcomRecords_; }
    /// Why the last file opened was refused (a broken GEDZIP archive, say);
    /// empty when it was not.
    const std::string& refusal() const { return refusal_; }
    /// The outline's display-only root, or null when no person is shown.
    LNGedcomNode* selectedRoot() const { return selectedRoot_.get(); }
    const std::optional<String>& searchName() const { return searchName_; }
    void setSearchName(std::optional<String> name) { searchName_ = std::move(name); }
    std::int32_t outlineMode() const { return outlineMode_; }
    /// The rows in display order; null before the first open.
    const IndiList* sortedPersonRecords() const { return sortedPersonRecords_.get(); }
    /// The row showing the person with the key (with at signs), or -1.
    int rowOfKey(StringView key) const;
    const LNNavigationQueue& personQueue() const { return personQueue_; }
    LNTableColumn* lastCol() const { return lastCol_; }
    bool sortAscending() const { return sortAscending_; }

  private:
    /// False when the application's progress asked to stop or the file was
    /// refused: the current file and everything shown of it are then left as
    /// they were.
    bool loadFile(const std::string& path);
    /// Says in a message box why the file cannot be opened.
    void refuseFile(const std::string& path, const std::string& reason);
    void releaseFile();
    void showRelatives(const SharedString& key);
    void showChart(const SharedString& key);
    /// Forgets the chart without telling the view, which may be gone: a view
    /// asks for its chart every time it draws.
    void dropChart();
    void rebuildProblemRows();
    void collectStructureProblems();
    std::optional<String> paneValue(LNTableView* table, StringView column, int row) const;
    void showRecordSet();
    void showInOutline(const SharedString& key);
    void releaseSelectedRoot();
    void setIndicator(LNTableView* table, LNTableColumn* column);
    LNGedcomIndiRecord* recordAtRow(int row) const;
    /// The text colour for a line's structure mark: black without a mark or
    /// for "good", orange for "badchild", red for "bad", otherMark for any
    /// other text.
    static LNColor textColorOf(const LNNode* node, const LNColor& otherMark);

    std::unique_ptr<LNGedcomFile> gedcomFile_;
    std::string refusal_;
    LNGedcomRecordSet* gedcomRecords_ = nullptr;
    Ref<LNGedcomNode> selectedRoot_;
    std::optional<String> searchName_;
    LNTableView* personTable_ = nullptr;
    LNOutlineView* personOutline_ = nullptr;
    LNView* splitView_ = nullptr;
    LNSearchField* searchField_ = nullptr;
    LNButton* checkBox_ = nullptr;
    LNTextField* pathLabel_ = nullptr;
    LNSegmentedControl* backForwardButton_ = nullptr;
    std::int32_t outlineMode_ = 0;
    std::unique_ptr<IndiList> sortedPersonRecords_;
    // The row map, from record key to row, in steps: the record set finds
    // the key's first person, whose position in its person list gives the
    // id (the place in the list the rows were built from; fixed while the
    // rows stand; a later person with the same key wins), and the id its
    // row (rewritten at every new order). ids here count from 0.
    std::vector<std::uint32_t> idOfPosition_;
    static constexpr std::uint32_t noId = UINT32_MAX;
    std::vector<int> rowOfId_;
    std::vector<std::uint32_t> rowIds_; // the id of each row
    LNNavigationQueue personQueue_;
    LNTableColumn* lastCol_ = nullptr;
    bool sortAscending_ = true;
    LNPersonSorter sorter_;
    LNTableView* relativesTable_ = nullptr;
    LNTableView* problemsTable_ = nullptr;
    std::vector<LNGedcomRelative> relatives_;
    std::vector<LNGedcomProblem> structureProblems_;
    std::vector<LNProblemRow> problemRows_;
    LNGrammarChoice grammarChoice_ = LNGrammarChoice::automatic;
    LNChartView* chartView_ = nullptr;
    LNChartKind chartKind_ = LNChartKind::ancestors;
    int chartGenerations_ = 4;
    SharedString chartKey_;
    std::unique_ptr<LNChartLayout> chart_;
};

/// Runs a modal open panel with the title; the chosen path (UTF-8), or the
/// empty string when the user cancels or chooses nothing, or when no
/// application is running.
std::string runOpenPanel(StringView title);

/// The value of the node's first child with the tag "DATE", "PLAC" or
/// "NAME"; null when there is no such child or it has no value.
SharedString dateString(const LNNode* node);
SharedString placeString(const LNNode* node);
SharedString nameString(const LNNode* node);

} // namespace kinloom
