#include "records/LNGedcomRecordLinks.h"

#include <cstring>

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
    const Ends ends{{counts[0], counts[0] + counts[1], counts[0] + counts[1] + counts[2]}};
    if (ends.end[2] == 0) return;
    nodes_ = std::make_unique_for_overwrite<LNGedcomNode*[]>(endSlots + ends.end[2]);
    std::memcpy(nodes_.get(), &ends, sizeof ends);
    std::size_t next[3] = {endSlots, endSlots + ends.end[0], endSlots + ends.end[1]};
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
    if (!nodes_) return {};
    Ends ends;
    std::memcpy(&ends, nodes_.get(), sizeof ends);
    const std::uint32_t start = index == 0 ? 0 : ends.end[index - 1];
    return {nodes_.get() + endSlots + start, ends.end[index] - start};
}

} // namespace kinloom
