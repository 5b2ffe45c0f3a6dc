#pragma once

#include "LNTextField.h"

#include <QLineEdit>

namespace kinloom {

/// A line edit for typing a search. Editing ends, and editingEnded() is
/// emitted, when the user presses Return or the field loses the focus; not
/// again while an end is being handled (handling it may move the focus away).
class LNQtSearchField : public QLineEdit, public LNSearchField {
    Q_OBJECT

  public:
    explicit LNQtSearchField(QWidget* parent = nullptr);

    std::optional<String> stringValue() const override;
    void setStringValue(StringView text) override;

  Q_SIGNALS:
    void editingEnded();

  private:
    void endEditing();

    bool ending_ = false;
};

} // namespace kinloom
