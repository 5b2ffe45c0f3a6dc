#include "LNQtWindow.h"

#include "LNQtStrings.h"

namespace kinloom {

void LNQtWindow::setTitle(StringView title) {
    setWindowTitle(toQString(title));
}

bool LNQtWindow::makeFirstResponder(LNView* view) {
    // Every Qt view of the toolkit is a widget as well.
    auto* widget = dynamic_cast<QWidget*>(view);
    if (!widget || widget->focusPolicy() == Qt::NoFocus || !isAncestorOf(widget)) return false;
    widget->setFocus(Qt::OtherFocusReason);
    return true;
}

} // namespace kinloom
