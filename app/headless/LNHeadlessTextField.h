#pragma once

#include "LNTextField.h"

namespace kinloom {

/// A label or a text field; it holds no text until given one.
class LNHeadlessTextField : public LNTextField {
  public:
    std::optional<String> stringValue() const override { return text_; }
    void setStringValue(StringView text) override { text_ = String(text); }

  private:
    std::optional<String> text_;
};

} // namespace kinloom
