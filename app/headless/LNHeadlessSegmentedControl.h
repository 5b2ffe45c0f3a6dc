#pragma once

#include "LNHeadlessAction.h"
#include "LNSegmentedControl.h"

#include <optional>
#include <vector>

namespace kinloom {

/// Segments that remember whether they are enabled and their images. All
/// start disabled.
class LNHeadlessSegmentedControl : public LNSegmentedControl, public LNHeadlessAction {
  public:
    explicit LNHeadlessSegmentedControl(int segmentCount)
        : segments_(static_cast<std::size_t>(segmentCount)) {}

    int selectedSegment() const override { return selected_; }
    void setEnabled(bool enabled, int segment) override {
        if (valid(segment)) segments_[static_cast<std::size_t>(segment)].enabled = enabled;
    }
    void setImage(const LNImage& image, int segment) override {
        if (valid(segment)) segments_[static_cast<std::size_t>(segment)].image = image;
    }

    bool isEnabled(int segment) const {
        return valid(segment) && segments_[static_cast<std::size_t>(segment)].enabled;
    }
    std::optional<LNImage> image(int segment) const {
        return valid(segment) ? segments_[static_cast<std::size_t>(segment)].image : std::nullopt;
    }

    /// A click on the segment: selects it and sends the action. A disabled
    /// segment takes no clicks: false, and nothing happens.
    bool click(int segment) {
        if (!isEnabled(segment)) return false;
        selected_ = segment;
        send(this);
        return true;
    }

  private:
    struct Segment {
        bool enabled = false;
        std::optional<LNImage> image;
    };
    bool valid(int segment) const { return segment >= 0 && segment < static_cast<int>(segments_.size()); }

    std::vector<Segment> segments_;
    int selected_ = -1;
};

} // namespace kinloom
