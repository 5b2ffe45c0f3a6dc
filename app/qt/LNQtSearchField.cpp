#include "LNQtSearchField.h"

#include "LNQtStrings.h"

#include <QScopedValueRollback>

namespace kinloom {

LNQtSearchField::LNQtSearchField(QWidget* parent) : QLineEdit(parent) {
    setClearButtonEnabled(true);
    connect(this, &QLineEdit::editingFinished, this, &LNQtSearchField::endEditing);
}

std::optional<String> LNQtSearchField::stringValue() const {
    return fromQString(text());
}

void LNQtSearchField::setStringValue(StringView text) {
    setText(toQString(text));
}

void LNQtSearchField::endEditing() {
    if (ending_) return;
    QScopedValueRollback<bool> ending(ending_, true);
    Q_EMIT editingEnded();
}

} // namespace kinloom
