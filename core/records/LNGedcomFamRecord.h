#pragma once

#include "records/LNGedcomRecord.h"
#include "records/LNGedcomRecordLinks.h"

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
    std::span<LNGedcomNode* const> husbArray() const { return links_.group(0); }
    std::span<LNGedcomNode* const> wifeArray() const { return links_.group(1); }
    std::span<LNGedcomNode* const> chilArray() const { return links_.group(2); }
    /// The first line of each kind, or null.
    LNGedcomNode* husb() const { return links_.first(0); }
    LNGedcomNode* wife() const { return links_.first(1); }
    LNGedcomNode* chil() const { return links_.first(2); }

  private:
    LNGedcomRecordLinks links_;
};

} // namespace kinloom
