#pragma once

#include "LNTableColumn.h"

namespace kinloom {

class LNHeadlessTableColumn : public LNTableColumn {
  public:
    explicit LNHeadlessTableColumn(String identifier) : identifier_(std::move(identifier)) {}
    StringView identifier() const override { return identifier_; }

  private:
    String identifier_;
};

} // namespace kinloom
