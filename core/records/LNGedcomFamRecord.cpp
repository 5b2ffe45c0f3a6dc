#include "records/LNGedcomFamRecord.h"

namespace kinloom {

LNGedcomFamRecord::LNGedcomFamRecord(Ref<LNGedcomNode> root, LNGedcomErrors* errors)
    : LNGedcomRecord(std::move(root), errors), links_(*this->root(), {u"HUSB", u"WIFE", u"CHIL"}) {}

LNGedcomFamRecord::~LNGedcomFamRecord() = default;

} // namespace kinloom
