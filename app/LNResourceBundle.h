#pragma once

#include "LNBundle.h"

#include <string>
#include <vector>

namespace kinloom {

/// Resources looked up in a list of folders, the first holding the file wins.
class LNResourceBundle : public LNBundle {
  public:
    explicit LNResourceBundle(std::vector<std::string> directories) : directories_(std::move(directories)) {}
    /// The folder of the running executable (the build tree keeps resources
    /// there), then ../share/kinloom beside it (where an installation keeps them).
    static LNResourceBundle nextToExecutable();

    std::optional<std::string> pathForResource(StringView name, StringView type) const override;
    const std::vector<std::string>& directories() const { return directories_; }

  private:
    std::vector<std::string> directories_;
};

} // namespace kinloom
