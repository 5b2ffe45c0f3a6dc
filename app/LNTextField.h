#pragma once

#include "LNView.h"
#include "memory/SharedString.h"

#include <optional>

namespace kinloom {

/// A line of text, editable or a label.
class LNTextField : public LNView {
  public:
    /// The text; absent when the field holds none.
    virtual std::optional<String> stringValue() const = 0;
    virtual void setStringValue(StringView text) = 0;
};

/// A text field made for typing a search.
class LNSearchField : public LNTextField {};

/// What the toolkit sends about a control: the control concerned.
struct LNNotification {
    LNView* object = nullptr;
};

/// Told when editing in a text field ends (Return, or the focus leaves it).
class LNTextFieldDelegate {
  public:
    virtual ~LNTextFieldDelegate() = default;
    virtual void controlTextDidEndEditing(const LNNotification& notification) = 0;
};

} // namespace kinloom
