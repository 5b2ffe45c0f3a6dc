#pragma once

#include "LNView.h"

namespace kinloom {

/// A button in check-box style; a click flips its state and then sends its action.
class LNButton : public LNView {
  public:
    static constexpr int offState = 0;
    static constexpr int onState = 1;
    virtual int state() const = 0;
};

} // namespace kinloom
