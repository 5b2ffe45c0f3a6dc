#include "LNQtWindow.h"

#include "LNQtStrings.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

namespace kinloom {

namespace {

std::vector<std::string> localPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data) return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return paths;
}

} // namespace

LNQtWindow::LNQtWindow(QWidget* parent) : QMainWindow(parent) {
    setAcceptDrops(true);
    // Made now, so that the first message does not move the panes.
    statusBar();
    // A cut cell's tooltip shows also before the window is first clicked,
    // as where no window manager makes it active.
    setAttribute(Qt::WA_AlwaysShowToolTips);
}

void LNQtWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!localPaths(event->mimeData()).empty()) event->acceptProposedAction();
}

void LNQtWindow::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths = localPaths(event->mimeData());
    if (paths.empty()) return;
    event->acceptProposedAction();
    Q_EMIT filesDropped(paths);
}

void LNQtWindow::setTitle(StringView title) {
    setWindowTitle(toQString(title));
}

void LNQtWindow::runAlert(StringView message) {
    QMessageBox box(QMessageBox::Warning, windowTitle(), toQString(message), QMessageBox::Ok, this);
    // The ordinary cursor over the box, whatever the caller has set.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
}

void LNQtWindow::setStatusMessage(StringView message) {
    statusBar()->showMessage(toQString(message));
}

bool LNQtWindow::makeFirstResponder(LNView* view) {
    // Every Qt view of the toolkit is a widget as well.
    auto* widget = dynamic_cast<QWidget*>(view);
    if (!widget || widget->focusPolicy() == Qt::NoFocus || !isAncestorOf(widget)) return false;
    widget->setFocus(Qt::OtherFocusReason);
    return true;
}

} // namespace kinloom
