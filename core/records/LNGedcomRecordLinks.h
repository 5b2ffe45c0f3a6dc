#pragma once

#include "tree/LNGedcomNode.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace kinloom {

/// A record's level-1 lines of three tags, each group in file order, held in
/// one vector: one allocation a record instead of three.
class LNGedcomRecordLinks {
  public:
    LNGedcomRecordLinks() = default;
    /// Collects the root's children whose tags equal one of the three (exactly).
    LNGedcomRecordLinks(const LNGedcomNode& root, const std::array<StringView, 3>& tags);

    /// The lines of the tag at that index (0, 1 or 2).
    std::span<LNGedcomNode* const> group(int index) const;
    /// The first line of the group, or null.
    LNGedcomNode* first(int index) const {
        auto lines = group(index);
        return lines.empty() ? nullptr : lines.front();
    }

  private:
    std::vector<LNGedcomNode*> nodes_;
    std::uint32_t end0_ = 0;
    std::uint32_t end1_ = 0;
};

} // namespace kinloom
