#pragma once

#include "LNView.h"

#include <functional>

namespace kinloom {

/// What a control sends when the user works it: bound by the window layout
/// to an operation of the controller. Sending with nothing bound does nothing.
class LNHeadlessAction {
  public:
    void setAction(std::function<void(LNView*)> action) { action_ = std::move(action); }
    void send(LNView* sender) const {
        if (action_) action_(sender);
    }

  private:
    std::function<void(LNView*)> action_;
};

} // namespace kinloom
