#pragma once

#include "LNWindow.h"

namespace kinloom {

/// A window that remembers its title and which view has the keyboard focus.
class LNHeadlessWindow : public LNWindow {
  public:
    void setTitle(StringView title) override { title_ = String(title); }
    bool makeFirstResponder(LNView* view) override {
        firstResponder_ = view;
        return true;
    }

    const String& title() const { return title_; }
    /// The view with the keyboard focus, or null.
    LNView* firstResponder() const { return firstResponder_; }

  private:
    String title_;
    LNView* firstResponder_ = nullptr;
};

} // namespace kinloom
