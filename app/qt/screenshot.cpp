// kinloom-screenshot: renders the viewer's window into a PNG, as a user sees
// it after opening a file, clicking a person and running the validate
// command. Run it on the offscreen platform: QT_QPA_PLATFORM=offscreen.
//
//   kinloom-screenshot GEDCOM-FILE PERSON-KEY PNG-FILE
//
// PERSON-KEY without its at signs, such as I28.

#include "LNQtViewer.h"
#include "support/TextServices.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: kinloom-screenshot GEDCOM-FILE PERSON-KEY PNG-FILE\n");
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
    viewer.validateAction()->trigger();
    viewer.outline().expandAll();
    QApplication::processEvents();

    if (!viewer.window().grab().save(QString::fromLocal8Bit(argv[3]))) {
        std::fprintf(stderr, "kinloom-screenshot: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
