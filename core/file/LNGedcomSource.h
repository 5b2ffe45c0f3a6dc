#pragma once

#include "support/LNGedcomErrors.h"
#include "recordset/LNGedcomRecordSet.h"

#include <memory>

namespace kinloom {

/// Owns the record set made from one source and the error list its loading
/// and validation report into. Subclasses (LNGedcomFile) make the record set.
class LNGedcomSource {
  public:
    LNGedcomSource();
    virtual ~LNGedcomSource();
    LNGedcomSource(const LNGedcomSource&) = delete;
    LNGedcomSource& operator=(const LNGedcomSource&) = delete;

    /// The record set, or null when none was made.
    LNGedcomRecordSet* recordSet() const { return recordSet_.get(); }
    LNGedcomErrors* errors() const { return errors_.get(); }

  protected:
    void setRecordSet(std::unique_ptr<LNGedcomRecordSet> recordSet) { recordSet_ = std::move(recordSet); }

  private:
    std::unique_ptr<LNGedcomRecordSet> recordSet_;
    std::unique_ptr<LNGedcomErrors> errors_;
};

} // namespace kinloom
