#pragma once

#include "records/LNGedcomRecord.h"

namespace kinloom {

/// A source (SOUR) record; it adds nothing to the base record.
class LNGedcomSourRecord : public LNGedcomRecord {
  public:
    LNGedcomSourRecord(Ref<LNGedcomNode> root, LNGedcomErrors* errors)
        : LNGedcomRecord(std::move(root), errors) {}
};

} // namespace kinloom
