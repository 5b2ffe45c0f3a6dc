#pragma once

#include "LNImage.h"
#include "LNView.h"

namespace kinloom {

/// A row of segments, each clickable while enabled; a click selects the
/// segment and then sends the control's action.
class LNSegmentedControl : public LNView {
  public:
    /// The segment of the last click, or -1.
    virtual int selectedSegment() const = 0;
    virtual void setEnabled(bool enabled, int segment) = 0;
    virtual void setImage(const LNImage& image, int segment) = 0;
};

} // namespace kinloom
