#include "LNQtViewer.h"

#include "LNQtBusyCursor.h"
#include "LNQtChartExport.h"
#include "LNQtStrings.h"
#include "LNVersion.h"

#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>

namespace kinloom {

using namespace Qt::StringLiterals;

namespace {

struct Column {
    StringView identifier;
    QString title;
    int width;
    bool fitsLongest = false;
};

std::vector<std::unique_ptr<LNQtTableColumn>> makeColumns(std::initializer_list<Column> columns) {
    std::vector<std::unique_ptr<LNQtTableColumn>> made;
    for (const Column& column : columns)
        made.push_back(std::make_unique<LNQtTableColumn>(String(column.identifier), column.title,
                                                         column.width, column.fitsLongest));
    return made;
}

std::vector<std::unique_ptr<LNQtTableColumn>> personColumns() {
    return makeColumns({
        {u"id", u"ID"_s, 44, true},
        {u"name", u"Name"_s, 170},
        {u"birthYear", u"Born"_s, 44},
        {u"birthPlace", u"Birthplace"_s, 105},
        {u"deathYear", u"Died"_s, 44},
        {u"deathPlace", u"Place of death"_s, 110},
        {u"father", u"Father"_s, 165},
        {u"mother", u"Mother"_s, 160},
    });
}

std::vector<std::unique_ptr<LNQtTableColumn>> relativesColumns() {
    return makeColumns({{u"role", u"Relative"_s, 70},
                        {u"name", u"Name"_s, 170},
                        {u"birthYear", u"Born"_s, 44},
                        {u"deathYear", u"Died"_s, 44}});
}

std::vector<std::unique_ptr<LNQtTableColumn>> problemsColumns() {
    return makeColumns({{u"line", u"Line"_s, 60},
                        {u"kind", u"Kind"_s, 120},
                        {u"id", u"Record"_s, 70},
                        {u"text", u"Problem"_s, 700}});
}

} // namespace

LNQtViewer::LNQtViewer()
    : window_(std::make_unique<LNQtWindow>()), progress_(std::make_unique<LNQtProgress>(window_.get())) {
    application_.setProgress(progress_.get());
    makeViews();
    makeMenus();
    connectController();
    controller_.awakeFromNib();
}

LNQtViewer::~LNQtViewer() = default;

void LNQtViewer::makeViews() {
    auto* central = new QWidget(window_.get());
    auto* layout = new QVBoxLayout(central);

    auto* top = new QHBoxLayout();
    backForward_ = new LNQtSegmentedControl({u"Back"_s, u"Forward"_s}, central);
    searchField_ = new LNQtSearchField(central);
    searchField_->setPlaceholderText(u"Find a person: given names /surname/"_s);
    // A file dropped on the field opens, as anywhere on the window.
    searchField_->setAcceptDrops(false);
    top->addWidget(backForward_);
    top->addWidget(searchField_, 1);
    layout->addLayout(top);

    auto* panes = new LNQtSplitView(Qt::Vertical, central);
    splitView_ = new LNQtSplitView(Qt::Horizontal, panes);
    table_ = new LNQtTableView(window_.get(), personColumns(), splitView_);
    auto* right = new LNQtSplitView(Qt::Vertical, splitView_);
    recordTabs_ = new QTabWidget(right);
    outline_ = new LNQtOutlineView(recordTabs_);
    recordTabs_->addTab(outline_, u"Record"_s);
    recordTabs_->addTab(makeChartTab(recordTabs_), u"Chart"_s);
    relatives_ = new LNQtTableView(window_.get(), relativesColumns(), right);
    right->addWidget(recordTabs_);
    right->addWidget(relatives_);
    right->setSizes({330, 170});
    splitView_->addWidget(table_);
    splitView_->addWidget(right);
    splitView_->setChildrenCollapsible(false);
    splitView_->setStretchFactor(0, 3);
    splitView_->setStretchFactor(1, 2);
    splitView_->setSizes({900, 400});
    problems_ = new LNQtTableView(window_.get(), problemsColumns(), panes);
    panes->addWidget(splitView_);
    panes->addWidget(problems_);
    panes->setChildrenCollapsible(false);
    panes->setSizes({640, 150});
    layout->addWidget(panes, 1);

    auto* bottom = new QHBoxLayout();
    checkBox_ = new LNQtCheckBox(u"Raw GEDCOM"_s, true, central);
    pathLabel_ = new LNQtTextField(central);
    bottom->addWidget(checkBox_);
    bottom->addSpacing(12);
    bottom->addWidget(pathLabel_, 1);
    layout->addLayout(bottom);

    window_->setCentralWidget(central);
    window_->resize(1320, 860);
}

void LNQtViewer::makeMenus() {
    QMenuBar* bar = window_->menuBar();

    QMenu* file = bar->addMenu(u"&File"_s);
    openAction_ = file->addAction(u"&Open…"_s);
    openAction_->setShortcut(QKeySequence::Open);
    recentMenu_ = file->addMenu(u"Open &Recent"_s);
    file->addSeparator();
    makeChartMenu(file);
    quitAction_ = file->addAction(u"&Quit"_s);
    quitAction_->setShortcut(QKeySequence::Quit);
    showRecentDocuments();

    QMenu* go = bar->addMenu(u"&Go"_s);
    QAction* back = backForward_->segmentAction(0);
    QAction* forward = backForward_->segmentAction(1);
    back->setShortcut(QKeySequence::Back);
    forward->setShortcut(QKeySequence::Forward);
    go->addAction(back);
    go->addAction(forward);
    go->addSeparator();
    findAction_ = go->addAction(u"&Find Person"_s);
    findAction_->setShortcut(QKeySequence::Find);

    QMenu* tools = bar->addMenu(u"&Tools"_s);
    validateAction_ = tools->addAction(u"&Validate"_s);
    validateAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    makeGrammarMenu(tools);

    QMenu* help = bar->addMenu(u"&Help"_s);
    aboutAction_ = help->addAction(u"&About Kinloom"_s);
    aboutAction_->setMenuRole(QAction::AboutRole);

    connect(openAction_, &QAction::triggered, this, &LNQtViewer::openDocument);
    connect(recentMenu_, &QMenu::triggered, this, &LNQtViewer::openRecentDocument);
    connect(quitAction_, &QAction::triggered, this, &LNQtViewer::quit);
    connect(findAction_, &QAction::triggered, this, &LNQtViewer::findPerson);
    connect(validateAction_, &QAction::triggered, this, &LNQtViewer::validate);
    connect(aboutAction_, &QAction::triggered, this, &LNQtViewer::showAbout);
    connect(window_.get(), &LNQtWindow::filesDropped, this, &LNQtViewer::openDroppedFiles);
    connect(&application_.sharedDocumentController(), &LNQtDocumentController::recentDocumentsChanged, this,
            &LNQtViewer::showRecentDocuments);
}

void LNQtViewer::makeGrammarMenu(QMenu* tools) {
    QMenu* grammar = tools->addMenu(u"&Grammar"_s);
    auto* group = new QActionGroup(grammar);
    const QString titles[] = {u"&Automatic (the file's version)"_s, u"GEDCOM 5.&5"_s, u"GEDCOM 5.5.&1"_s};
    for (int i = 0; i < 3; ++i) {
        QAction* action = grammar->addAction(titles[i]);
        action->setCheckable(true);
        action->setChecked(static_cast<LNGrammarChoice>(i) == controller_.grammarChoice());
        group->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, i] { controller_.setGrammarChoice(static_cast<LNGrammarChoice>(i)); });
        grammarActions_[i] = action;
    }
}

QWidget* LNQtViewer::makeChartTab(QWidget* parent) {
    auto* tab = new QWidget(parent);
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 4, 0, 0);
    auto* controls = new QHBoxLayout();
    chartKind_ = new QComboBox(tab);
    chartKind_->addItems({u"Ancestors"_s, u"Descendants"_s});
    chartGenerations_ = new QSpinBox(tab);
    chartGenerations_->setRange(LNKinloomController::minChartGenerations,
                                LNKinloomController::maxChartGenerations);
    chartGenerations_->setValue(controller_.chartGenerations());
    controls->addWidget(chartKind_);
    controls->addWidget(new QLabel(u"Generations:"_s, tab));
    controls->addWidget(chartGenerations_);
    controls->addStretch(1);
    layout->addLayout(controls);
    chart_ = new LNQtChartView(tab);
    layout->addWidget(chart_, 1);
    connect(chartKind_, &QComboBox::currentIndexChanged, this, [this](int index) {
        controller_.setChartKind(index == 1 ? LNChartKind::descendants : LNChartKind::ancestors);
    });
    connect(chartGenerations_, &QSpinBox::valueChanged, this,
            [this](int generations) { controller_.setChartGenerations(generations); });
    return tab;
}

void LNQtViewer::makeChartMenu(QMenu* file) {
    exportChartAction_ = file->addAction(u"&Export Chart…"_s);
    connect(exportChartAction_, &QAction::triggered, this, &LNQtViewer::exportChart);
    file->addSeparator();
    // Ctrl + and Ctrl - zoom the chart wherever the focus is.
    QMenu* view = window_->menuBar()->addMenu(u"&View"_s);
    zoomInAction_ = view->addAction(u"Zoom &In"_s);
    zoomInAction_->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    zoomOutAction_ = view->addAction(u"Zoom &Out"_s);
    zoomOutAction_->setShortcut(QKeySequence::ZoomOut);
    connect(zoomInAction_, &QAction::triggered, this, [this] { chart_->zoomIn(); });
    connect(zoomOutAction_, &QAction::triggered, this, [this] { chart_->zoomOut(); });
}

void LNQtViewer::connectController() {
    controller_.setPersonTable(table_);
    controller_.setPersonOutline(outline_);
    controller_.setSplitView(splitView_);
    controller_.setSearchField(searchField_);
    controller_.setCheckBox(checkBox_);
    controller_.setPathLabel(pathLabel_);
    controller_.setBackForwardButton(backForward_);
    controller_.setRelativesTable(relatives_);
    controller_.setProblemsTable(problems_);

    controller_.setChartView(chart_);
    chart_->setDataSource(&controller_);
    connect(chart_, &LNQtChartView::action, this, [this] { controller_.chartClicked(chart_); });

    application_.setDelegate(&controller_);
    for (LNQtTableView* pane : {relatives_, problems_}) {
        pane->setDataSource(&controller_);
        pane->setDelegate(&controller_);
    }
    connect(relatives_, &LNQtTableView::action, this, [this] { controller_.relativeClicked(relatives_); });
    connect(problems_, &LNQtTableView::action, this, [this] { controller_.problemClicked(problems_); });
    table_->setDataSource(&controller_);
    table_->setDelegate(&controller_);
    outline_->setDataSource(&controller_);
    outline_->setDelegate(&controller_);

    connect(table_, &LNQtTableView::action, this, &LNQtViewer::tableCellClicked);
    connect(backForward_, &LNQtSegmentedControl::action, this, &LNQtViewer::navigate);
    connect(checkBox_, &QCheckBox::clicked, this, &LNQtViewer::changeMode);
    connect(searchField_, &LNQtSearchField::editingEnded, this, &LNQtViewer::searchEnded);
}

void LNQtViewer::openFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        LNQtBusyCursor busy(progress_.get());
        application_.openFile(path);
    }
}

void LNQtViewer::openDroppedFiles(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    // Not inside the drop: the source of the drag waits for its end.
    QTimer::singleShot(0, this, [this, path = paths.front()] {
        LNQtBusyCursor busy(progress_.get());
        controller_.openChosenDocument(path);
    });
}

void LNQtViewer::openDocument() {
    // The open panel shows the ordinary cursor while it runs.
    LNQtBusyCursor busy(progress_.get());
    controller_.openDocument(nullptr);
}

void LNQtViewer::openRecentDocument(QAction* item) {
    QVariant path = item->data();
    if (!path.isValid()) return;
    openFiles({path.toByteArray().toStdString()});
}

void LNQtViewer::clearRecentDocuments() {
    application_.sharedDocumentController().clearRecentDocuments();
}

void LNQtViewer::quit() {
    controller_.quit(nullptr);
}

void LNQtViewer::validate() {
    LNQtBusyCursor busy(progress_.get());
    controller_.validate(nullptr);
}

void LNQtViewer::tableCellClicked() {
    controller_.tableCellClicked(table_);
}

void LNQtViewer::navigate() {
    controller_.navigate(backForward_);
}

void LNQtViewer::changeMode() {
    controller_.changeMode(checkBox_);
}

void LNQtViewer::searchEnded() {
    controller_.controlTextDidEndEditing(LNNotification{searchField_});
}

void LNQtViewer::findPerson() {
    searchField_->setFocus(Qt::ShortcutFocusReason);
    searchField_->selectAll();
}

void LNQtViewer::showRecentDocuments() {
    recentMenu_->clear();
    const std::vector<std::string>& paths = application_.sharedDocumentController().recentDocuments();
    for (const std::string& path : paths) {
        QAction* item = recentMenu_->addAction(QFile::decodeName(QByteArray::fromStdString(path)));
        item->setData(QByteArray::fromStdString(path));
    }
    recentMenu_->addSeparator();
    QAction* clear = recentMenu_->addAction(u"Clear Menu"_s);
    clear->setEnabled(!paths.empty());
    connect(clear, &QAction::triggered, this, &LNQtViewer::clearRecentDocuments);
}

bool LNQtViewer::exportChartTo(const QString& path) {
    const LNChartLayout* chart = controller_.chartForView(chart_);
    return chart && kinloom::exportChart(*chart, path);
}

void LNQtViewer::exportChart() {
    if (!controller_.chartForView(chart_)) {
        QMessageBox::information(window_.get(), u"Export Chart"_s, u"Select a person to chart first."_s);
        return;
    }
    const QString path = QFileDialog::getSaveFileName(window_.get(), u"Export Chart"_s, QString(),
                                                      u"SVG (*.svg);;PDF (*.pdf);;PNG (*.png)"_s);
    if (path.isEmpty() || exportChartTo(path)) return;
    QMessageBox::warning(window_.get(), u"Export Chart"_s,
                         u"Could not write %1. The name must end in .svg, .pdf or .png."_s.arg(path));
}

QString LNQtViewer::aboutText() {
    std::string text = versionText("Qt " + std::string(qVersion()));
    return QString::fromStdString(text).trimmed();
}

void LNQtViewer::showAbout() {
    QMessageBox::about(window_.get(), u"About Kinloom"_s,
                       u"A viewer for GEDCOM 5.5 genealogy files.\n\n"_s + aboutText());
}

int applicationMain(int& argc, char** argv) {
    QApplication qtApplication(argc, argv);
    QApplication::setApplicationName(u"Kinloom"_s);
    QApplication::setApplicationVersion(u"0.2"_s);
    QGuiApplication::setDesktopFileName(u"kinloom"_s);
    QApplication::setWindowIcon(QIcon::fromTheme(u"kinloom"_s));

    LNQtViewer viewer;
    viewer.window().show();
    // Qt has taken its own options out of argv; what is left are paths.
    std::vector<std::string> paths(argv + 1, argv + argc);
    QTimer::singleShot(0, &viewer, [&viewer, paths] { viewer.openFiles(paths); });
    return QApplication::exec();
}

} // namespace kinloom
