#pragma once

#include "LNTextField.h"
#include "LNWindow.h"

namespace kinloom {

/// A search field that the caller types into and leaves.
class LNHeadlessSearchField : public LNSearchField {
  public:
    explicit LNHeadlessSearchField(LNWindow* window) : window_(window) {}
    void setDelegate(LNTextFieldDelegate* delegate) { delegate_ = delegate; }

    std::optional<String> stringValue() const override { return text_; }
    void setStringValue(StringView text) override { text_ = String(text); }

    /// Takes the keyboard focus and replaces the text, as typing does.
    void type(StringView text) {
        if (window_) window_->makeFirstResponder(this);
        text_ = String(text);
    }
    /// Return, or the focus leaving: the delegate is told.
    void endEditing() {
        if (delegate_) delegate_->controlTextDidEndEditing(LNNotification{this});
    }

  private:
    LNWindow* window_;
    LNTextFieldDelegate* delegate_ = nullptr;
    std::optional<String> text_;
};

} // namespace kinloom
