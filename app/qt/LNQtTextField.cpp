#include "LNQtTextField.h"

#include "LNQtStrings.h"

namespace kinloom {

LNQtTextField::LNQtTextField(QWidget* parent) : QLabel(parent) {
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void LNQtTextField::setStringValue(StringView text) {
    text_ = String(text);
    setText(toQString(text));
    setToolTip(text.empty() ? QString() : toQString(text));
}

} // namespace kinloom
