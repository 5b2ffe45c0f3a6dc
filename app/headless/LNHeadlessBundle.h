#pragma once

#include "LNResourceBundle.h"

#include <map>
#include <string>
#include <utility>

namespace kinloom {

/// Resources next to the executable, as the installed program finds them,
/// unless the caller points a resource at a file of its own.
class LNHeadlessBundle : public LNBundle {
  public:
    LNHeadlessBundle() : folders_(LNResourceBundle::nextToExecutable()) {}

    std::optional<std::string> pathForResource(StringView name, StringView type) const override;

    /// From now on the resource "name.type" is the file at the path (UTF-8),
    /// whether or not it exists.
    void setPathForResource(StringView name, StringView type, std::string path);
    /// Looks for resources in these folders instead.
    void setDirectories(std::vector<std::string> directories) {
        folders_ = LNResourceBundle(std::move(directories));
    }

  private:
    LNResourceBundle folders_;
    std::map<std::pair<String, String>, std::string> paths_;
};

} // namespace kinloom
