#pragma once

#include "LNOpenPanel.h"

#include <QFileDialog>

namespace kinloom {

/// The open panel as a modal QFileDialog over the active window. While it
/// runs, the cursor is the ordinary arrow, whatever the caller has set.
class LNQtOpenPanel : public LNOpenPanel {
  public:
    LNQtOpenPanel();

    void setCanChooseDirectories(bool can) override;
    void setCanChooseFiles(bool can) override;
    void setCanCreateDirectories(bool can) override;
    void setAllowsMultipleSelection(bool allows) override;
    void setAlphaValue(double alpha) override;
    void setTitle(StringView title) override;
    void setDirectory(const std::string& path) override;
    void setAllowedFileTypes(const std::vector<String>& types) override;
    int runModal() override;
    std::vector<std::string> filenames() const override;

  private:
    void updateFileMode();

    QFileDialog dialog_;
    bool canChooseDirectories_ = false;
    bool allowsMultipleSelection_ = false;
};

} // namespace kinloom
