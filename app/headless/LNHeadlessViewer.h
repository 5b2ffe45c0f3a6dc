#pragma once

#include "LNHeadlessApplication.h"
#include "LNHeadlessButton.h"
#include "LNHeadlessOutlineView.h"
#include "LNHeadlessSearchField.h"
#include "LNHeadlessSegmentedControl.h"
#include "LNHeadlessTableView.h"
#include "LNHeadlessTextField.h"
#include "LNHeadlessWindow.h"
#include "LNKinloomController.h"

namespace kinloom {

/// The viewer's window in memory: what the window layout of a real toolkit
/// makes. It creates the application, the window and its views, the
/// controller, connects the outlets, data sources, delegates and actions,
/// and calls awakeFromNib. The person table's columns are, in order: id,
/// name, birthYear, birthPlace, deathYear, deathPlace, father, mother. The
/// check box starts on (raw lines), both segments disabled.
class LNHeadlessViewer {
  public:
    LNHeadlessViewer();
    LNHeadlessViewer(const LNHeadlessViewer&) = delete;
    LNHeadlessViewer& operator=(const LNHeadlessViewer&) = delete;

    LNKinloomController& controller() { return controller_; }
    LNHeadlessApplication& application() { return application_; }
    LNHeadlessWindow& window() { return window_; }
    LNHeadlessTableView& table() { return table_; }
    LNHeadlessOutlineView& outline() { return outline_; }
    LNHeadlessSearchField& searchField() { return searchField_; }
    LNHeadlessButton& checkBox() { return checkBox_; }
    LNHeadlessTextField& pathLabel() { return pathLabel_; }
    LNHeadlessSegmentedControl& backForwardButton() { return backForwardButton_; }
    LNHeadlessTableView& relatives() { return relatives_; }
    LNHeadlessTableView& problems() { return problems_; }

    // The menu commands.
    void openDocument() { controller_.openDocument(nullptr); }
    void validate() { controller_.validate(nullptr); }
    void quit() { controller_.quit(nullptr); }

    /// The layout's column identifiers, in order.
    static const std::vector<String>& columnIdentifiers();
    /// The relatives and problems panes' column identifiers, in order.
    static const std::vector<String>& relativesColumnIdentifiers();
    static const std::vector<String>& problemsColumnIdentifiers();

  private:
    // Declared first: the application must outlive everything that may reach it.
    LNHeadlessApplication application_;
    LNHeadlessWindow window_;
    LNHeadlessTableView table_;
    LNHeadlessOutlineView outline_;
    LNView splitView_;
    LNHeadlessSearchField searchField_;
    LNHeadlessButton checkBox_;
    LNHeadlessTextField pathLabel_;
    LNHeadlessSegmentedControl backForwardButton_;
    LNHeadlessTableView relatives_;
    LNHeadlessTableView problems_;
    LNKinloomController controller_;
};

} // namespace kinloom
