#include "records/LNGedcomRecordLinks.h"

namespace kinloom {

LNGedcomRecordLinks::LNGedcomRecordLinks(const LNGedcomNode& root, const std::array<StringView, 3>& tags) {
    const auto* children = root.children();
    if (!children) return;
    std::uint32_t counts[3] = {0, 0, 0};
    for (const auto& child : *children) {
        for (int i = 0; i < 3; ++i) {
            if (child->name() == tags[i]) {
                ++counts[i];
                break;
            }
        }
    }
    end0_ = counts[0];
    end1_ = end0_ + counts[1];
    end2_ = end1_ + counts[2];
    if (end2_ == 0) return;
    nodes_ = std::make_unique_for_overwrite<LNGedcomNode*[]>(end2_);
    std::uint32_t next[3] = {0, end0_, end1_};
    for (const auto& child : *children) {
        for (int i = 0; i < 3; ++i) {
            if (child->name() == tags[i]) {
                nodes_[next[i]++] = static_cast<LNGedcomNode*>(child.get());
                break;
            }
        }
    }
}

std::span<LNGedcomNode* const> LNGedcomRecordLinks::group(int index) const {
    std::span<LNGedcomNode* const> all(nodes_.get(), end2_);
    switch (index) {
    case 0:
        return all.first(end0_);
    case 1:
        return all.subspan(end0_, end1_ - end0_);
    default:
        return all.subspan(end1_);
    }
}

} // namespace kinloom
