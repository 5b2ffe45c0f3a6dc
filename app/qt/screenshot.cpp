// kinloom-screenshot: renders the viewer's window into a PNG, as a user sees
// it after opening a file, clicking a person and running the validate
// command. Run it on the offscreen platform: QT_QPA_PLATFORM=offscreen.
//
//   kinloom-screenshot GEDCOM-FILE PERSON-KEY PNG-FILE [--chart]
//
// PERSON-KEY without its at signs, such as I28. With --chart the window shows
// the person's ancestor chart instead of the validated record.

#include "LNQtViewer.h"
#include "support/TextServices.h"

#include <QApplication>
#include <QSplitter>
#include <QTest>

#include <cstdio>
#include <string_view>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const bool chart = argc == 5 && std::string_view(argv[4]) == "--chart";
    if (argc != 4 && !chart) {
        std::fprintf(stderr, "usage: kinloom-screenshot GEDCOM-FILE PERSON-KEY PNG-FILE [--chart]\n");
        return 2;
    }
    kinloom::LNQtViewer viewer;
    viewer.window().show();
    if (!QTest::qWaitForWindowExposed(&viewer.window())) return 1;
    viewer.openFiles({argv[1]});

    // A real click on the person's name cell.
    kinloom::LNQtTableView& table = viewer.table();
    kinloom::String key = u"@" + kinloom::fromUtf8(argv[2]) + u"@";
    int row = viewer.controller().rowOfKey(key);
    if (row < 0) {
        std::fprintf(stderr, "kinloom-screenshot: no person %s\n", argv[2]);
        return 1;
    }
    QModelIndex cell = table.cellIndex(row, table.visualColumn(u"name"));
    table.scrollTo(cell);
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, table.visualRect(cell).center());
    if (chart) {
        // Room for four generations beside the table.
        if (auto* split = qobject_cast<QSplitter*>(viewer.recordTabs().parentWidget()->parentWidget()))
            split->setSizes({520, 780});
        viewer.recordTabs().setCurrentIndex(1);
    } else {
        viewer.validateAction()->trigger();
        viewer.outline().expandAll();
    }
    QApplication::processEvents();

    if (!viewer.window().grab().save(QString::fromLocal8Bit(argv[3]))) {
        std::fprintf(stderr, "kinloom-screenshot: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
