#pragma once

#include "memory/SharedString.h"

#include <optional>
#include <string>

namespace kinloom {

/// Where the application finds the files it ships with.
class LNBundle {
  public:
    virtual ~LNBundle() = default;
    /// The path (UTF-8) of the resource file "name.type", or absent when
    /// there is none.
    virtual std::optional<std::string> pathForResource(StringView name, StringView type) const = 0;
};

} // namespace kinloom
