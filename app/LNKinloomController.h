#pragma once

#include "LNApplication.h"
#include "LNButton.h"
#include "LNChartView.h"
#include "LNNavigationQueue.h"
#include "LNOutlineView.h"
#include "LNPersonSorter.h"
#include "LNSegmentedControl.h"
#include "LNShownFile.h"
#include "LNTableView.h"
#include "LNTextField.h"
#include "LNView.h"
#include "file/LNGedcomFile.h"
#include "memory/SharedString.h"
#include "recordset/LNGedcomRecordSet.h"
#include "tree/LNGedcomNode.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kinloom {

/// The report's text in words a person understands.
String problemWords(const LNGedcomProblem& problem);

/// Which grammar Validate reads: the one of the file's own version, or a fixed one.
enum class LNGrammarChoice { automatic, gedcom55, gedcom551, gedcom70 };

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
    /// The labels of the tags a GEDCOM 7 person record can hold beyond
    /// those: used for 7.x files only, after gedcomLabelMap.
    static const LabelMap& gedcom7LabelMap();
    /// The labelled outline's label of the tag, for the open file.
    String labelOf(StringView tag) const;
    /// The line's value as the labelled outline shows it: GEDCOM 7's escaped
    /// at sign as one, a shared note pointer as the note's text.
    String valueText(const LNNode& node) const;

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
    ///
    /// A file that is missing, unreadable, a folder, or without a GEDCOM
    /// record is not opened: a message box says why, and the window stays as
    /// it was. The same holds for the open command.
    bool openFile(LNApplication* application, const std::optional<std::string>& path) override;
    /// The open command: asks for a file; a chosen one is loaded and noted
    /// among the recent documents. The record set is shown either way.
    void openDocument(LNView* sender);
    /// The open command once the path is chosen (empty: none was): the file
    /// is loaded and noted among the recent documents, then the record set is
    /// shown. Dropping a file on the window does this too.
    void openChosenDocument(const std::string& path);
    /// Whether a readable file without records is refused (the default) or
    /// opened, as kinloom-cli does, whose counts are the answer then.
    void setRefusesFilesWithoutRecords(bool refuses) { refusesFilesWithoutRecords_ = refuses; }
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
    /// Checks every person record against the shipped grammar and redraws;
    /// with a GEDCOM 7 grammar, every record, with counts and values.
    /// Without a record set or a readable grammar, only redraws.
    void validate(LNView* sender);
    /// Whether the last validate checked every record (a GEDCOM 7 grammar)
    /// rather than the persons alone.
    bool validatedEveryRecord() const { return shown_->validatedEveryRecord; }
    void setGrammarChoice(LNGrammarChoice choice) { grammarChoice_ = choice; }
    LNGrammarChoice grammarChoice() const { return grammarChoice_; }
    /// The grammar's resource name: "Gedcom5.5.1" or "Gedcom7.0" when chosen,
    /// or when automatic and the header's GEDC VERS is 5.5.1 or 7.x; else
    /// "Gedcom5.5". 7.1 files take the 7.0 grammar until 7.1 is final.
    StringView grammarResourceName() const;

    // The relatives and problems panes.

    /// The shown person's relatives, in the pane's order.
    const std::vector<LNGedcomRelative>& shownRelatives() const { return shown_->relatives; }
    /// The problems in line order, reports of one line in the order made.
    const std::vector<LNProblemRow>& problemRows() const { return shown_->problemRows; }
    /// The relatives pane's action: selects, shows and records the relative.
    void relativeClicked(LNView* sender);
    /// The problems pane's action: for a line in a person record, selects
    /// the person; for one in another record, shows that record. Either way
    /// the outline opens down to that line and selects it.
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

    LNGedcomFile* gedcomFile() const { return shown_->file.get(); }
    LNGedcomRecordSet* gedcomRecords() const { return shown_->records; }
    /// Why the last file opened was refused (a broken GEDZIP archive, say);
    /// empty when it was not.
    const std::string& refusal() const { return refusal_; }
    /// The outline's display-only root, or null when no person is shown.
    LNGedcomNode* selectedRoot() const { return shown_->selectedRoot.get(); }
    const std::optional<String>& searchName() const { return shown_->searchName; }
    void setSearchName(std::optional<String> name) { shown_->searchName = std::move(name); }
    std::int32_t outlineMode() const { return outlineMode_; }
    /// The person of the row (in display order), or null past the rows.
    LNGedcomIndiRecord* personAtRow(int row) const;
    /// The row showing the person with the key (with at signs), or -1.
    int rowOfKey(StringView key) const;
    const LNNavigationQueue& personQueue() const { return shown_->history; }
    LNTableColumn* lastCol() const { return lastCol_; }
    bool sortAscending() const { return sortAscending_; }

  private:
    /// The running application's progress, or null.
    static LNProgress* applicationProgress();
    /// False when the application's progress asked to stop or the file was
    /// refused: the current file and everything shown of it are then left as
    /// they were.
    bool loadFile(const std::string& path);
    /// Tells why the file is not opened; with released, the old file is gone
    /// already and the window is emptied. Returns false.
    bool refuseFile(StringView reason, bool released);
    /// The status bar's line, when the window has one.
    void showStatus(StringView message);
    void releaseFile();
    void showRelatives(const SharedString& key);
    void showChart(const SharedString& key);
    void rebuildProblemRows();
    static void dropRepeatedRows(std::vector<LNProblemRow>& rows);
    void numberAsEditor(std::vector<LNProblemRow>& rows);
    void collectStructureProblems();
    void validateEveryRecord(const std::string& grammarPath);
    /// Shows the record (none: nothing) in the outline, expanded one level,
    /// and the relatives of the person with the key (null: none).
    void showRecordInOutline(const LNGedcomRecord* record, const SharedString& personKey);
    std::optional<String> paneValue(LNTableView* table, StringView column, int row) const;
    void showRecordSet();
    void showInOutline(const SharedString& key);
    void setIndicator(LNTableView* table, LNTableColumn* column);
    /// The text colour for a line's structure mark: black without a mark or
    /// for "good", orange for "badchild", red for "bad", otherMark for any
    /// other text.
    static LNColor textColorOf(const LNNode* node, const LNColor& otherMark);

    // Everything derived from the open file; see LNShownFile for why it is one object.
    std::unique_ptr<LNShownFile> shown_ = std::make_unique<LNShownFile>();
    std::string refusal_;
    LNTableView* personTable_ = nullptr;
    LNOutlineView* personOutline_ = nullptr;
    LNView* splitView_ = nullptr;
    LNSearchField* searchField_ = nullptr;
    LNButton* checkBox_ = nullptr;
    LNTextField* pathLabel_ = nullptr;
    LNSegmentedControl* backForwardButton_ = nullptr;
    std::int32_t outlineMode_ = 0;
    LNTableColumn* lastCol_ = nullptr;
    bool sortAscending_ = true;
    LNTableView* relativesTable_ = nullptr;
    LNTableView* problemsTable_ = nullptr;
    // The folder of the file opened last, where the open panel starts.
    std::string lastFolder_;
    bool refusesFilesWithoutRecords_ = true;
    LNGrammarChoice grammarChoice_ = LNGrammarChoice::automatic;
    LNChartView* chartView_ = nullptr;
    LNChartKind chartKind_ = LNChartKind::ancestors;
    int chartGenerations_ = 4;
};

/// Runs a modal open panel with the title, showing the directory first when
/// one is given; the chosen path (UTF-8), or the
/// empty string when the user cancels or chooses nothing, or when no
/// application is running.
std::string runOpenPanel(StringView title, const std::string& directory = std::string());

/// The value of the node's first child with the tag "DATE", "PLAC" or
/// "NAME"; null when there is no such child or it has no value.
SharedString dateString(const LNNode* node);
SharedString placeString(const LNNode* node);
SharedString nameString(const LNNode* node);

} // namespace kinloom
