#pragma once

#include "LNButton.h"
#include "LNHeadlessAction.h"

namespace kinloom {

/// A check box.
class LNHeadlessButton : public LNButton, public LNHeadlessAction {
  public:
    explicit LNHeadlessButton(int state) : state_(state) {}
    int state() const override { return state_; }

    /// Flips the state, then sends the action.
    void click() {
        state_ = state_ == offState ? onState : offState;
        send(this);
    }

  private:
    int state_;
};

} // namespace kinloom
