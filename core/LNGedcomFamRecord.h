#pragma once

#include "LNGedcomRecord.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kinloom {

/// A family (FAM) record with its level-1 HUSB, WIFE and CHIL lines.
class LNGedcomFamRecord : public LNGedcomRecord {
  public:
    LNGedcomFamRecord(Ref<LNGedcomNode> root, LNGedcomErrors* errors);
    ~LNGedcomFamRecord() override;

    /// The level-1 lines of each kind, in file order.
    std::span<LNGedcomNode* const> husbArray() const { return links(0); }
    std::span<LNGedcomNode* const> wifeArray() const { return links(1); }
    std::span<LNGedcomNode* const> chilArray() const { return links(2); }
    /// The first line of each kind, or null.
    LNGedcomNode* husb() const { return first(husbArray()); }
    LNGedcomNode* wife() const { return first(wifeArray()); }
    LNGedcomNode* chil() const { return first(chilArray()); }

  private:
    static LNGedcomNode* first(std::span<LNGedcomNode* const> nodes) {
        return nodes.empty() ? nullptr : nodes[0];
    }
    std::span<LNGedcomNode* const> links(int kind) const;

    // HUSB, WIFE and CHIL lines in one vector, grouped by kind.
    std::vector<LNGedcomNode*> links_;
    std::uint32_t numHusbs_ = 0;
    std::uint32_t numWives_ = 0;
};

} // namespace kinloom
