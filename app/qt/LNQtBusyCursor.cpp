#include "LNQtBusyCursor.h"

#include <QApplication>

namespace kinloom {

LNQtBusyCursor::LNQtBusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

LNQtBusyCursor::~LNQtBusyCursor() {
    QApplication::restoreOverrideCursor();
}

} // namespace kinloom
