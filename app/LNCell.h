#pragma once

#include "LNColor.h"

namespace kinloom {

/// The cell about to be drawn, handed to a view's delegate so that it can
/// choose the text colour. The toolkit reads the colour back afterwards.
class LNCell {
  public:
    void setTextColor(const LNColor& color) { textColor_ = color; }
    const LNColor& textColor() const { return textColor_; }

  private:
    LNColor textColor_ = LNColor::blackColor();
};

} // namespace kinloom
