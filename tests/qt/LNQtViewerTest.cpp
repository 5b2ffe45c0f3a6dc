// The Qt window driven through its real widgets: mouse clicks on header
// sections and cells, typing, the check box, the tool buttons and the menu
// commands, on the offscreen platform. Every model is watched by a
// QAbstractItemModelTester throughout.

#include "LNQtViewer.h"
#include "tree/LNNode.h"
#include "LNQtStrings.h"
#include "memory/LoadArena.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <memory>

using namespace kinloom;
using namespace Qt::StringLiterals;

namespace {

const std::string samplePath = "resources/sample.ged";
const QColor black = Qt::black;
const QColor orange = QColor::fromRgbF(1, 0.5f, 0);
const QColor red = Qt::red;

/// Answers each modal message box as soon as it shows, for as long as it
/// lives, keeping the last box's text: a load lets timers run.
struct AlertWatch {
    QString text;
    QTimer timer;
    AlertWatch() {
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            text = box->text();
            box->accept();
        });
        timer.start(10);
    }
};

} // namespace

class LNQtViewerTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<LNQtViewer> viewer_;
    std::unique_ptr<QAbstractItemModelTester> tableTester_;
    std::unique_ptr<QAbstractItemModelTester> outlineTester_;

    LNQtTableView& table() { return viewer_->table(); }
    LNQtOutlineView& outline() { return viewer_->outline(); }

    /// The row showing the person, by the key without at signs.
    int rowOf(const QString& key) {
        for (int row = 0; row < table().tableModel()->rowCount(); ++row)
            if (cellText(row, u"id") == key) return row;
        return -1;
    }
    QModelIndex cell(int row, StringView identifier) {
        return table().cellIndex(row, table().visualColumn(identifier));
    }
    QString cellText(int row, StringView identifier) { return cell(row, identifier).data().toString(); }
    QColor cellColor(int row, StringView identifier) {
        return cell(row, identifier).data(Qt::ForegroundRole).value<QColor>();
    }
    QString selectedKey() {
        int row = table().selectedRow();
        return row < 0 ? QString() : cellText(row, u"id");
    }

    void clickHeader(StringView identifier) {
        QHeaderView* header = table().horizontalHeader();
        int section = header->logicalIndex(table().visualColumn(identifier));
        QPoint middle(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                      header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
    }
    void clickCell(int row, StringView identifier) {
        QModelIndex index = cell(row, identifier);
        table().scrollTo(index);
        QTest::mouseClick(table().viewport(), Qt::LeftButton, {}, table().visualRect(index).center());
    }
    bool rowIsVisible(int row) {
        QRect rect = table().visualRect(cell(row, u"name"));
        return table().viewport()->rect().contains(rect.center());
    }
    // The indicator as the header shows it: the column and the direction.
    QString indicatedColumn() {
        int section = table().horizontalHeader()->sortIndicatorSection();
        LNQtTableColumn* column = table().tableModel()->column(section);
        return column ? toQString(column->identifier()) : QString();
    }
    Qt::SortOrder indicatedOrder() { return table().horizontalHeader()->sortIndicatorOrder(); }

    QVariant outlineData(int visibleRow, int role) {
        return outline().outlineModel()->indexOf(outline().itemAtRow(visibleRow)).data(role);
    }
    QString outlineText(int visibleRow) { return outlineData(visibleRow, Qt::DisplayRole).toString(); }
    QColor outlineColor(int visibleRow) {
        return outlineData(visibleRow, Qt::ForegroundRole).value<QColor>();
    }
    QStringList outlineTexts() {
        QStringList texts;
        for (int row = 0; outline().itemAtRow(row); ++row)
            texts.append(outlineText(row));
        return texts;
    }
    void openSample() { viewer_->openFiles({samplePath}); }
    void drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
        data.setUrls(urls);
        QPoint middle = viewer_->window().rect().center();
        QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&viewer_->window(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(middle, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&viewer_->window(), &dropped);
        QVERIFY(dropped.isAccepted());
    }
    static long nodesAlive() { return LNNode::numAllocated() - LNNode::numDeallocated(); }

  private Q_SLOTS:
    void init() {
        viewer_ = std::make_unique<LNQtViewer>();
        tableTester_ = std::make_unique<QAbstractItemModelTester>(
            table().tableModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        outlineTester_ = std::make_unique<QAbstractItemModelTester>(
            outline().outlineModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        viewer_->window().show();
        viewer_->window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&viewer_->window()));
    }

    void cleanup() {
        tableTester_.reset();
        outlineTester_.reset();
        viewer_.reset();
    }

    void headerClicksSortThenReverse() {
        viewer_->window().resize(1000, 420);
        openSample();
        QCOMPARE(table().tableModel()->rowCount(), 40);
        QCOMPARE(viewer_->pathLabel().text(), QString::fromStdString(samplePath) + u"  \u2014  GEDCOM 5.5"_s);
        QCOMPARE(cellText(4, u"father"), u"Lefèvre, Édouard"_s);
        QCOMPARE(table().horizontalHeader()->model()->headerData(0, Qt::Horizontal).toString(), u"ID"_s);
        QCOMPARE(indicatedColumn(), u"id"_s);
        // The desktop's request leaves the recent documents alone.
        QVERIFY(viewer_->application().sharedDocumentController().recentDocuments().empty());
        clickCell(rowOf(u"I39"_s), u"name");
        clickHeader(u"birthYear");
        QCOMPARE(indicatedOrder(), Qt::AscendingOrder);
        QCOMPARE(cellText(0, u"name"), u"Müller, Johann"_s);

        clickHeader(u"birthYear");
        QCOMPARE(indicatedOrder(), Qt::DescendingOrder);
        QCOMPARE(cellText(39, u"name"), u"Müller, Johann"_s);
        // The selected person stays selected, from the bottom to the top, in sight.
        QCOMPARE(selectedKey(), u"I39"_s);
        QCOMPARE(table().selectedRow(), 1);
        QVERIFY(rowIsVisible(1));
        QCOMPARE(outlineText(0), u"0 @I39@ INDI"_s);

        // Parent columns do not sort, and keep the indicator where it is.
        clickHeader(u"father");
        QCOMPARE(indicatedColumn(), u"birthYear"_s);
        QCOMPARE(indicatedOrder(), Qt::DescendingOrder);
        QCOMPARE(cellText(0, u"name"), u"Sørensen, Björn"_s);
    }

    void indicatorFollowsAMovedColumn() {
        openSample();
        QHeaderView* header = table().horizontalHeader();
        header->moveSection(table().visualColumn(u"birthYear"), 0);
        QCOMPARE(table().tableColumns().front()->identifier(), StringView(u"birthYear"));

        clickHeader(u"birthYear");
        QCOMPARE(indicatedColumn(), u"birthYear"_s);
        QCOMPARE(cellText(0, u"name"), u"Müller, Johann"_s);
        // Opening puts the ascending indicator on the column shown first.
        header->moveSection(table().visualColumn(u"name"), 0);
        openSample();
        QCOMPARE(indicatedColumn(), u"name"_s);
        QCOMPARE(indicatedOrder(), Qt::AscendingOrder);
        QCOMPARE(cellText(0, u"id"), u"I1"_s);
    }

    void fatherCellSelectsAndShowsTheFather() {
        // A window too low for all rows, so that some are out of sight.
        viewer_->window().resize(1000, 420);
        openSample();
        // Newest births first puts Louis (I5) far below Joseph (I22), out of sight.
        clickHeader(u"birthYear");
        clickHeader(u"birthYear");
        int joseph = rowOf(u"I22"_s);
        int louis = rowOf(u"I5"_s);
        table().scrollToTop();
        QVERIFY(!rowIsVisible(louis));

        clickCell(joseph, u"father");
        QCOMPARE(table().selectedRow(), louis);
        QCOMPARE(selectedKey(), u"I5"_s);
        QVERIFY(rowIsVisible(louis));
        QCOMPARE(outlineText(0), u"0 @I5@ INDI"_s);
        QCOMPARE(viewer_->controller().personQueue().count(), 1);

        // A click on the name shows the person itself.
        clickCell(joseph, u"name");
        QCOMPARE(selectedKey(), u"I22"_s);
        QCOMPARE(outlineText(0), u"0 @I22@ INDI"_s);
    }

    void backAndForwardWalkTheHistory() {
        openSample();
        LNQtSegmentedControl& segments = viewer_->backForwardButton();
        clickCell(rowOf(u"I1"_s), u"name");
        QVERIFY(!segments.isEnabled(0));
        clickCell(rowOf(u"I2"_s), u"name");
        clickCell(rowOf(u"I3"_s), u"name");
        QVERIFY(segments.isEnabled(0) && !segments.isEnabled(1));

        QTest::mouseClick(segments.segmentButton(0), Qt::LeftButton);
        QCOMPARE(outlineText(0), u"0 @I2@ INDI"_s);
        QTest::mouseClick(segments.segmentButton(0), Qt::LeftButton);
        QCOMPARE(selectedKey(), u"I1"_s);
        QVERIFY(!segments.isEnabled(0) && segments.isEnabled(1));
        // A disabled button takes no click.
        QTest::mouseClick(segments.segmentButton(0), Qt::LeftButton);
        QCOMPARE(selectedKey(), u"I1"_s);

        QTest::mouseClick(segments.segmentButton(1), Qt::LeftButton);
        // The shortcut does what the button does.
        QTest::keyClick(&viewer_->window(), Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(selectedKey(), u"I3"_s);
        QCOMPARE(outlineText(0), u"0 @I3@ INDI"_s);
        QCOMPARE(viewer_->controller().personQueue().count(), 3);
    }

    void typedNameAndReturnSelectsThePerson() {
        openSample();
        LNQtSearchField& field = viewer_->searchField();
        QTest::mouseClick(&field, Qt::LeftButton);
        QTest::keyClicks(&field, u"Elsa /M"_s);
        QTest::sendKeyEvent(QTest::Click, &field, Qt::Key_Udiaeresis, u"ü"_s, Qt::NoModifier);
        QTest::keyClicks(&field, u"ller/"_s);
        QCOMPARE(field.text(), u"Elsa /Müller/"_s);
        QTest::keyClick(&field, Qt::Key_Return);
        QCOMPARE(selectedKey(), u"I28"_s);
        QVERIFY(rowIsVisible(rowOf(u"I28"_s)));
        QVERIFY(table().hasFocus());
        QCOMPARE(viewer_->controller().personQueue().count(), 1);

        // Nobody by sound or by the starts of the parts: the status bar says so.
        field.clear();
        QTest::mouseClick(&field, Qt::LeftButton);
        QTest::keyClicks(&field, u"Zed /Nobody/"_s);
        QTest::keyClick(&field, Qt::Key_Return);
        QCOMPARE(viewer_->window().statusBar()->currentMessage(), u"Nobody is named “Zed /Nobody/”."_s);
        QCOMPARE(selectedKey(), u"I28"_s);
        clickCell(rowOf(u"I2"_s), u"name");
        QCOMPARE(viewer_->window().statusBar()->currentMessage(), QString());
    }

    void checkBoxSwitchesBetweenRawLinesAndLabels() {
        openSample();
        clickCell(rowOf(u"I1"_s), u"name");
        QCOMPARE(outlineTexts().mid(0, 4),
                 (QStringList{u"0 @I1@ INDI"_s, u"1 NAME Édouard /Lefèvre/"_s, u"1 SEX M"_s, u"1 BIRT"_s}));

        QTest::mouseClick(&viewer_->checkBox(), Qt::LeftButton);
        QVERIFY(!viewer_->checkBox().isChecked());
        QCOMPARE(outlineTexts().mid(0, 4),
                 (QStringList{u"Person"_s, u"Name: Édouard /Lefèvre/"_s, u"Sex: M"_s,
                              u"Birth: 3 FEB 1842, Lyon, Rhône, France"_s}));
        // Expanded, an event shows its label alone and its lines below.
        outline().expandItem(outline().itemAtRow(3));
        QCOMPARE(outlineTexts().mid(3, 4), (QStringList{u"Birth"_s, u"Date: 3 FEB 1842"_s,
                                                        u"Place: Lyon, Rhône, France"_s, u"Source: @S1@"_s}));
        // Collapsed, the person's line sums up with its name.
        outline().collapse(outline().outlineModel()->indexOf(outline().itemAtRow(0)));
        QCOMPARE(outlineTexts(), QStringList{u"Person: Édouard /Lefèvre/"_s});

        QTest::mouseClick(&viewer_->checkBox(), Qt::LeftButton);
        QCOMPARE(outlineTexts(), QStringList{u"0 @I1@ INDI"_s});
    }

    void validateColoursBothViews() {
        openSample();
        clickCell(rowOf(u"I5"_s), u"name");
        outline().expandItem(outline().itemAtRow(3));
        QCOMPARE(outlineText(6), u"2 SEX M"_s);
        QCOMPARE(outlineColor(6), black);
        QCOMPARE(cellColor(rowOf(u"I5"_s), u"name"), black);

        QTest::keyClick(&viewer_->window(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!QApplication::overrideCursor());
        // The person, and the parent cells of his children, are orange.
        QCOMPARE(cellColor(rowOf(u"I5"_s), u"name"), orange);
        QCOMPARE(cellColor(rowOf(u"I22"_s), u"father"), orange);
        QCOMPARE(cellColor(rowOf(u"I34"_s), u"mother"), orange);
        QCOMPARE(cellColor(rowOf(u"I34"_s), u"father"), black);
        // The offending line is red, the lines above it orange, the rest black.
        QCOMPARE(outlineColor(0), orange);
        QCOMPARE(outlineColor(3), orange);
        QCOMPARE(outlineColor(4), black);
        QCOMPARE(outlineColor(6), red); // still expanded after the redraw
    }

    void relativeAndProblemClicksGoThere() {
        openSample();
        QTest::keyClick(&viewer_->window(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        LNQtTableView& problems = viewer_->problems();
        QCOMPARE(problems.tableModel()->rowCount(), 3);
        const QModelIndex problem = problems.cellIndex(0, 3);
        QCOMPARE(problem.data().toString(), u"SEX is not allowed directly under BIRT"_s);
        problems.scrollTo(problem);
        QTest::mouseClick(problems.viewport(), Qt::LeftButton, {}, problems.visualRect(problem).center());
        QCOMPARE(selectedKey(), u"I5"_s);
        // The outline is open down to the line, which is selected.
        QCOMPARE(outline().currentIndex().data().toString(), u"2 SEX M"_s);

        LNQtTableView& relatives = viewer_->relatives();
        QCOMPARE(relatives.tableModel()->rowCount(), 9);
        const QModelIndex spouse = relatives.cellIndex(5, 1);
        QCOMPARE(spouse.data().toString(), u"Tremblay, Émilie"_s);
        relatives.scrollTo(spouse);
        QTest::mouseClick(relatives.viewport(), Qt::LeftButton, {}, relatives.visualRect(spouse).center());
        QCOMPARE(selectedKey(), u"I18"_s);
        QCOMPARE(outlineText(0), u"0 @I18@ INDI"_s);
        QCOMPARE(viewer_->controller().personQueue().count(), 2);
    }

    void chartBoxClickGoesThereAndExportsWriteTheChart() {
        openSample();
        clickCell(rowOf(u"I35"_s), u"name");
        viewer_->recordTabs().setCurrentIndex(1);
        const LNChartLayout* chart = viewer_->chart().chart();
        QVERIFY(chart);
        QCOMPARE(chart->boxes().size(), std::size_t{11});
        QCOMPARE(chart->boxes()[0].indi->key().view(), u"@I35@");
        const SharedString father = chart->boxes()[1].indi->key();
        QTest::mouseClick(viewer_->chart().viewport(), Qt::LeftButton, {}, viewer_->chart().boxCentre(1));
        QCOMPARE(selectedKey(), toQString(stripAts(father.view())));
        QCOMPARE(outlineText(0), u"0 "_s + toQString(father.view()) + u" INDI"_s);
        QCOMPARE(viewer_->controller().personQueue().count(), 2);
        QCOMPARE(viewer_->chart().chart()->boxes()[0].indi->key(), father);

        viewer_->chartGenerations().setValue(2);
        viewer_->chartKind().setCurrentIndex(1);
        chart = viewer_->chart().chart();
        QCOMPARE(viewer_->controller().chartKind(), LNChartKind::descendants);
        QVERIFY(chart->boxes().size() > 1);
        const QString base =
            QDir::temp().filePath(u"kinloom-chart-test-%1"_s.arg(QCoreApplication::applicationPid()));
        QVERIFY(viewer_->exportChartTo(base + u".svg"_s));
        QFile svg(base + u".svg"_s);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QByteArray text = svg.readAll();
        for (const LNChartBox& box : chart->boxes())
            QVERIFY2(text.contains(">" + toQString(box.name).toUtf8() + "<"),
                     qPrintable(toQString(box.name)));
        for (const QString& kind : {u".pdf"_s, u".PNG"_s}) {
            QVERIFY(viewer_->exportChartTo(base + kind));
            QVERIFY(QFileInfo(base + kind).size() > 100);
            QFile::remove(base + kind);
        }
        QVERIFY(!viewer_->exportChartTo(base + u".txt"_s));
        QVERIFY(!QFileInfo::exists(base + u".txt"_s));
        svg.remove();
    }

    void openCommandAsksForAFileAndRemembersIt() {
        QString path = QFileInfo(QString::fromStdString(samplePath)).absoluteFilePath();
        QString title;
        QStringList filters;
        QString folder;
        bool arrowCursor = false;
        auto answerPanel = [&](bool choose) {
            QTimer::singleShot(0, this, [&, choose] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                title = dialog->windowTitle();
                filters = dialog->nameFilters();
                folder = dialog->directory().absolutePath();
                arrowCursor = QApplication::overrideCursor() &&
                              QApplication::overrideCursor()->shape() == Qt::ArrowCursor;
                if (!choose) return dialog->reject();
                dialog->selectFile(path);
                // QFileDialog hides accept(); the dialog's own one checks the choice.
                static_cast<QDialog*>(dialog)->accept();
            });
        };

        answerPanel(false);
        viewer_->openAction()->trigger();
        QCOMPARE(title, u"Open Gedcom"_s);
        QCOMPARE(filters.front(), u"GEDCOM files (*.txt *.ged *.gedcom *.gdz)"_s);
        QVERIFY(arrowCursor);
        QCOMPARE(table().tableModel()->rowCount(), 0);
        QVERIFY(viewer_->application().sharedDocumentController().recentDocuments().empty());

        answerPanel(true);
        viewer_->openAction()->trigger();
        QCOMPARE(table().tableModel()->rowCount(), 40);
        QCOMPARE(viewer_->pathLabel().text(), path + u"  \u2014  GEDCOM 5.5"_s);
        QVERIFY(!QApplication::overrideCursor());
        QList<QAction*> recent = viewer_->recentMenu()->actions();
        QCOMPARE(recent.front()->text(), path);
        answerPanel(false);
        viewer_->openAction()->trigger();
        QCOMPARE(folder, QFileInfo(path).absolutePath()); // where the last file was

        // A file that cannot be opened: a message box, and the window stays.
        {
            AlertWatch alert;
            viewer_->openFiles({"tests/data/no-such-file.ged"});
            QCOMPARE(alert.text, u"The file tests/data/no-such-file.ged does not exist."_s);
        }
        QCOMPARE(table().tableModel()->rowCount(), 40);
        QCOMPARE(viewer_->pathLabel().text(), path + u"  \u2014  GEDCOM 5.5"_s);

        // Open Recent opens the file again, as the desktop's request does.
        clickCell(rowOf(u"I2"_s), u"name");
        recent.front()->trigger();
        QCOMPARE(viewer_->controller().personQueue().count(), 0);
        QCOMPARE(outline().outlineModel()->rowCount(), 0);
        QCOMPARE(viewer_->application().sharedDocumentController().recentDocuments().size(), std::size_t(1));

        viewer_->recentMenu()->actions().back()->trigger();
        QVERIFY(viewer_->application().sharedDocumentController().recentDocuments().empty());
        QCOMPARE(viewer_->recentMenu()->actions().size(), 2);
    }

    // The first file dropped opens as Open… opens it; the columns fit.
    void dropOpensTheFirstFileAndColumnsFitTheirTexts() {
        drop({QString::fromStdString(samplePath), u"tests/data/viewer.ged"_s});
        QTRY_COMPARE(table().tableModel()->rowCount(), 40);
        QCOMPARE(viewer_->application().sharedDocumentController().recentDocuments().size(), std::size_t(1));
        QVERIFY(viewer_->pathLabel().text().endsWith(u"resources/sample.ged  \u2014  GEDCOM 5.5"_s));

        LNQtGridDelegate* grid = table().gridDelegate();
        auto cut = [&](int row, StringView identifier) {
            QStyleOptionViewItem option;
            option.initFrom(table().viewport());
            option.font = table().font();
            option.rect = table().visualRect(cell(row, identifier));
            return grid->cutsText(option, cell(row, identifier));
        };
        for (int row = 0; row < 40; ++row) {
            QVERIFY2(!cut(row, u"id"), qPrintable(cellText(row, u"id")));
            QVERIFY2(!cut(row, u"name"), qPrintable(cellText(row, u"name")));
        }
        table().setColumnWidth(table().visualColumn(u"name"), 20);
        QVERIFY(cut(0, u"name"));
        // Hovering a cut cell shows its whole text.
        const QPoint middle = table().visualRect(cell(0, u"name")).center();
        QHelpEvent hover(QEvent::ToolTip, middle, table().viewport()->mapToGlobal(middle));
        QCoreApplication::sendEvent(table().viewport(), &hover);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), cellText(0, u"name"));
    }

    // A GEDZIP archive opens by a drop as its gedcom.ged does; one refused
    // says why in a message box and leaves the window as it was.
    void droppedArchiveOpensAndARefusedOneLeavesTheWindow() {
        openSample();
        {
            AlertWatch alert;
            drop({u"tests/data/not-a-zip.gdz"_s});
            QTRY_VERIFY(!alert.text.isEmpty());
            QVERIFY(alert.text.endsWith(u"tests/data/not-a-zip.gdz cannot be opened: it is not a zip archive."_s));
        }
        QCOMPARE(table().tableModel()->rowCount(), 40);
        QCOMPARE(viewer_->pathLabel().text(), QString::fromStdString(samplePath) + u"  \u2014  GEDCOM 5.5"_s);
        QVERIFY(viewer_->application().sharedDocumentController().recentDocuments().empty());

        drop({u"tests/data/viewer.gdz"_s});
        QTRY_COMPARE(table().tableModel()->rowCount(), 8);
        QVERIFY(viewer_->pathLabel().text().endsWith(u"tests/data/viewer.gdz  \u2014  GEDCOM 5.5"_s));
    }

    // Progress reaches the end of a normal open; a cancelled one leaves the
    // window as it was and nothing of the file it read.
    void progressReachesTheEndAndCancelLeavesTheWindow() {
        std::vector<std::pair<LNProgress::Stage, bool>> reports;
        auto stopAt = std::optional<LNProgress::Stage>();
        connect(&viewer_->progress(), &LNQtProgress::reported, this,
                [&](LNProgress::Stage stage, quint64 done, quint64 total) {
                    reports.emplace_back(stage, done == total);
                    if (stage == stopAt) viewer_->progress().cancel();
                });
        openSample();
        QVERIFY(std::is_sorted(reports.begin(), reports.end(),
                               [](auto& a, auto& b) { return a.first < b.first; }));
        QCOMPARE(reports.front().first, LNProgress::Stage::reading);
        QCOMPARE(reports.back(), std::make_pair(LNProgress::Stage::table, true));

        clickCell(rowOf(u"I2"_s), u"name");
        clickHeader(u"name");
        const QStringList outlineBefore = outlineTexts();
        const long nodes = nodesAlive();
        const long blocks = LoadArena::numBlocks();
        for (LNProgress::Stage stage :
             {LNProgress::Stage::reading, LNProgress::Stage::records, LNProgress::Stage::links}) {
            stopAt = stage;
            const std::size_t reported = reports.size();
            drop({u"tests/data/viewer.ged"_s});
            // The drop's open runs once the drop has ended.
            QTRY_VERIFY(reports.size() > reported);
            QCOMPARE(reports.back().first, stage);
            QCOMPARE(viewer_->pathLabel().text(),
                     QString::fromStdString(samplePath) + u"  \u2014  GEDCOM 5.5"_s);
            QCOMPARE(table().tableModel()->rowCount(), 40);
            QCOMPARE(selectedKey(), u"I2"_s);
            QCOMPARE(indicatedColumn(), u"name"_s);
            QCOMPARE(outlineTexts(), outlineBefore);
            QCOMPARE(viewer_->controller().personQueue().count(), 1);
            QCOMPARE(nodesAlive(), nodes);
            QCOMPARE(LoadArena::numBlocks(), blocks);
            QVERIFY(viewer_->application().sharedDocumentController().recentDocuments().empty());
        }
        // A request is forgotten with its job.
        stopAt.reset();
        drop({u"tests/data/viewer.ged"_s});
        QTRY_COMPARE(table().tableModel()->rowCount(), 8);
    }
};

QTEST_MAIN(LNQtViewerTest)
#include "LNQtViewerTest.moc"
