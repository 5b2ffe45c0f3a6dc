#pragma once

#include "memory/SharedString.h"

namespace kinloom {

/// Receives progress texts from a record set. Nothing in Kinloom installs one;
/// callers that want the texts supply their own.
class LNLogger {
  public:
    virtual ~LNLogger() = default;
    virtual void addLogString(StringView text) = 0;
};

} // namespace kinloom
