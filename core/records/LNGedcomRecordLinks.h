#pragma once

#include "tree/LNGedcomNode.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>

namespace kinloom {

/// A record's level-1 lines of three tags, each group in file order, held in
/// one array: one allocation a record instead of three, none for a record
/// without such lines. The groups' ends lead the array, so the record keeps
/// a pointer and nothing else (a million bare persons, 16 bytes each).
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
    // The three groups' ends, then the lines.
    struct Ends {
        std::uint32_t end[3];
    };
    static constexpr std::size_t endSlots = (sizeof(Ends) + sizeof(void*) - 1) / sizeof(void*);

    std::unique_ptr<LNGedcomNode*[]> nodes_;
};

static_assert(sizeof(LNGedcomRecordLinks) == sizeof(void*), "a record's links take a pointer");

} // namespace kinloom
