#pragma once

#include "memory/SharedString.h"

namespace kinloom {

/// A column of a table; the logic knows columns only by their identifiers.
class LNTableColumn {
  public:
    virtual ~LNTableColumn() = default;
    virtual StringView identifier() const = 0;
};

} // namespace kinloom
