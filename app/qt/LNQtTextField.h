#pragma once

#include "LNTextField.h"

#include <QLabel>

namespace kinloom {

/// A label that the user can select text in, such as the path of the open
/// file. It holds no text until given one, and never asks for more width
/// than the window gives it.
class LNQtTextField : public QLabel, public LNTextField {
    Q_OBJECT

  public:
    explicit LNQtTextField(QWidget* parent = nullptr);

    std::optional<String> stringValue() const override { return text_; }
    void setStringValue(StringView text) override;

  private:
    std::optional<String> text_;
};

} // namespace kinloom
