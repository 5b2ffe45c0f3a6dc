#include "LNQtBusyCursor.h"

#include "LNQtProgress.h"

#include <QApplication>

namespace kinloom {

LNQtBusyCursor::LNQtBusyCursor(LNQtProgress* progress) : progress_(progress) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

LNQtBusyCursor::~LNQtBusyCursor() {
    if (progress_) progress_->finish();
    QApplication::restoreOverrideCursor();
}

} // namespace kinloom
