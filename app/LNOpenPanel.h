#pragma once

#include "memory/SharedString.h"

#include <string>
#include <vector>

namespace kinloom {

/// The platform's dialog for choosing files to open.
class LNOpenPanel {
  public:
    static constexpr int okButton = 1;
    static constexpr int cancelButton = 0;

    virtual ~LNOpenPanel() = default;
    virtual void setCanChooseDirectories(bool can) = 0;
    virtual void setCanChooseFiles(bool can) = 0;
    virtual void setCanCreateDirectories(bool can) = 0;
    virtual void setAllowsMultipleSelection(bool allows) = 0;
    virtual void setAlphaValue(double alpha) = 0;
    virtual void setTitle(StringView title) = 0;
    /// The folder the panel shows first (UTF-8 path).
    virtual void setDirectory(const std::string& path) = 0;
    /// File name extensions without the dot.
    virtual void setAllowedFileTypes(const std::vector<String>& types) = 0;
    /// Shows the dialog until the user closes it: okButton when a choice was made.
    virtual int runModal() = 0;
    /// The chosen paths (UTF-8).
    virtual std::vector<std::string> filenames() const = 0;
};

} // namespace kinloom
