#pragma once

#include "tree/LNGedcomNode.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>

namespace kinloom {

/// A record's level-1 lines of three tags, each group in file order, held in
/// one array: one allocation a record instead of three, none for a record
/// without such lines. An array and three ends take 24 bytes where a vector
/// and two ends took 32, which puts a person record and a family record
/// each in the allocator's next smaller size.
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
    std::unique_ptr<LNGedcomNode*[]> nodes_;
    std::uint32_t end0_ = 0;
    std::uint32_t end1_ = 0;
    std::uint32_t end2_ = 0;
};

static_assert(sizeof(void*) != 8 || sizeof(LNGedcomRecordLinks) == 24, "a record's links take 24 bytes");

} // namespace kinloom
