#pragma once

#include "LNWindow.h"

#include <vector>

namespace kinloom {

/// A window that remembers its title and which view has the keyboard focus.
class LNHeadlessWindow : public LNWindow {
  public:
    void setTitle(StringView title) override { title_ = String(title); }
    bool makeFirstResponder(LNView* view) override {
        firstResponder_ = view;
        return true;
    }
    void runAlert(StringView message) override { alerts_.emplace_back(message); }
    void setStatusMessage(StringView message) override { statusMessage_ = String(message); }

    const String& title() const { return title_; }
    /// The view with the keyboard focus, or null.
    LNView* firstResponder() const { return firstResponder_; }
    /// The message boxes shown so far, oldest first.
    const std::vector<String>& alerts() const { return alerts_; }
    const String& statusMessage() const { return statusMessage_; }

  private:
    String title_;
    LNView* firstResponder_ = nullptr;
    std::vector<String> alerts_;
    String statusMessage_;
};

} // namespace kinloom
