#pragma once

#include "LNView.h"
#include "memory/SharedString.h"

namespace kinloom {

/// The window holding the views.
class LNWindow {
  public:
    virtual ~LNWindow() = default;
    virtual void setTitle(StringView title) = 0;
    /// Gives the keyboard focus to the view; false when it cannot take it.
    virtual bool makeFirstResponder(LNView* view) = 0;
    /// Tells the user something in a message box over the window and waits
    /// until it is dismissed.
    virtual void runAlert(StringView message) = 0;
    /// The line of the status bar under the window; empty: none.
    virtual void setStatusMessage(StringView message) = 0;
};

} // namespace kinloom
