#pragma once

#include "LNKinloomController.h"
#include "LNQtApplication.h"
#include "LNQtChartView.h"
#include "LNQtCheckBox.h"
#include "LNQtOutlineView.h"
#include "LNQtProgress.h"
#include "LNQtSearchField.h"
#include "LNQtSegmentedControl.h"
#include "LNQtSplitView.h"
#include "LNQtTableView.h"
#include "LNQtTextField.h"
#include "LNQtWindow.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QSpinBox>
#include <QTabWidget>

#include <memory>
#include <string>
#include <vector>

namespace kinloom {

/// The viewer's window layout with Qt: it makes the window and its views and
/// menus, the controller, connects the outlets, data sources, delegates and
/// actions, and calls awakeFromNib. Above, the back and forward control and
/// the search field; in the middle, the person table and the record outline
/// (in a tab, beside the chart's) side by side in a split view, the
/// relatives pane under the outline and
/// the problems pane under both; below, the raw-GEDCOM check box (on: raw
/// lines) and the path of the open file. The table's columns are, in order:
/// id, name, birthYear, birthPlace, deathYear, deathPlace, father, mother.
/// Needs a QApplication.
class LNQtViewer : public QObject {
    Q_OBJECT

  public:
    LNQtViewer();
    ~LNQtViewer() override;

    LNKinloomController& controller() { return controller_; }
    LNQtApplication& application() { return application_; }
    LNQtWindow& window() { return *window_; }
    LNQtTableView& table() { return *table_; }
    LNQtOutlineView& outline() { return *outline_; }
    LNQtSearchField& searchField() { return *searchField_; }
    LNQtCheckBox& checkBox() { return *checkBox_; }
    LNQtTextField& pathLabel() { return *pathLabel_; }
    LNQtSegmentedControl& backForwardButton() { return *backForward_; }
    LNQtTableView& relatives() { return *relatives_; }
    LNQtTableView& problems() { return *problems_; }
    /// The tabs beside the table: the record outline, then the chart.
    QTabWidget& recordTabs() { return *recordTabs_; }
    LNQtChartView& chart() { return *chart_; }
    /// The chart's controls: ancestors or descendants, and generations.
    QComboBox& chartKind() { return *chartKind_; }
    QSpinBox& chartGenerations() { return *chartGenerations_; }

    // The menu commands.
    QAction* openAction() const { return openAction_; }
    QMenu* recentMenu() const { return recentMenu_; }
    QAction* quitAction() const { return quitAction_; }
    QAction* validateAction() const { return validateAction_; }
    QAction* findAction() const { return findAction_; }
    QAction* aboutAction() const { return aboutAction_; }
    QAction* exportChartAction() const { return exportChartAction_; }
    QAction* zoomInAction() const { return zoomInAction_; }
    QAction* zoomOutAction() const { return zoomOutAction_; }
    /// Export Chart… once the path is chosen: writes the shown chart there;
    /// false, with nothing written, when no chart is shown, the extension is
    /// not .svg, .pdf or .png, or the file cannot be written.
    bool exportChartTo(const QString& path);
    /// How far a long job is, with its Cancel button.
    LNQtProgress& progress() { return *progress_; }
    /// The Tools menu's grammar choices: automatic, 5.5, 5.5.1.
    QAction* grammarAction(LNGrammarChoice choice) const { return grammarActions_[static_cast<int>(choice)]; }

    /// The desktop asks to open these documents (paths as given on the
    /// command line), one after the other.
    void openFiles(const std::vector<std::string>& paths);
    /// Files dropped on the window: the first is opened as Open… opens a
    /// chosen file, once the drop has ended.
    void openDroppedFiles(const std::vector<std::string>& paths);
    /// The text of the About box: version, Qt, ICU, licence.
    static QString aboutText();

  private:
    void makeViews();
    void makeMenus();
    void makeGrammarMenu(QMenu* tools);
    QWidget* makeChartTab(QWidget* parent);
    void makeChartMenu(QMenu* file);
    void connectController();

    // What the controls and commands send: each passes it on to the controller.
    void openDocument();
    void openRecentDocument(QAction* item);
    void clearRecentDocuments();
    void quit();
    void validate();
    void tableCellClicked();
    void navigate();
    void changeMode();
    void searchEnded();
    void findPerson();
    void showRecentDocuments();
    void showAbout();
    void exportChart();

    // Declared first: the application and the controller outlive the window.
    LNQtApplication application_;
    LNKinloomController controller_;
    std::unique_ptr<LNQtWindow> window_;
    std::unique_ptr<LNQtProgress> progress_;
    LNQtTableView* table_ = nullptr;
    LNQtOutlineView* outline_ = nullptr;
    LNQtSplitView* splitView_ = nullptr;
    LNQtSearchField* searchField_ = nullptr;
    LNQtCheckBox* checkBox_ = nullptr;
    LNQtTextField* pathLabel_ = nullptr;
    LNQtSegmentedControl* backForward_ = nullptr;
    LNQtTableView* relatives_ = nullptr;
    LNQtTableView* problems_ = nullptr;
    QTabWidget* recordTabs_ = nullptr;
    LNQtChartView* chart_ = nullptr;
    QComboBox* chartKind_ = nullptr;
    QSpinBox* chartGenerations_ = nullptr;
    QAction* exportChartAction_ = nullptr;
    QAction* zoomInAction_ = nullptr;
    QAction* zoomOutAction_ = nullptr;
    QAction* grammarActions_[3] = {};
    QAction* openAction_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* quitAction_ = nullptr;
    QAction* validateAction_ = nullptr;
    QAction* findAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
};

/// The program: a QApplication with the viewer's window; the paths on the
/// command line are opened as the desktop's requests once the window shows.
/// Returns the exit status.
int applicationMain(int& argc, char** argv);

} // namespace kinloom
