#pragma once

#include "LNOpenPanel.h"

#include <optional>
#include <string>
#include <vector>

namespace kinloom {

/// An open panel that answers as the caller decided beforehand and writes
/// down how it was set up.
class LNHeadlessOpenPanel : public LNOpenPanel {
  public:
    /// How the panel was set up, and how often it ran.
    struct Record {
        bool canChooseDirectories = true;
        bool canChooseFiles = false;
        bool canCreateDirectories = true;
        bool allowsMultipleSelection = true;
        double alphaValue = 1;
        String title;
        std::string directory;
        std::vector<String> allowedFileTypes;
        int runs = 0;
    };

    /// The answer: the chosen paths, or absent for Cancel. The record is
    /// the caller's and must outlive the panel.
    LNHeadlessOpenPanel(std::optional<std::vector<std::string>> answer, Record& record)
        : answer_(std::move(answer)), record_(record) {
        int runs = record_.runs;
        record_ = Record();
        record_.runs = runs;
    }

    void setCanChooseDirectories(bool can) override { record_.canChooseDirectories = can; }
    void setCanChooseFiles(bool can) override { record_.canChooseFiles = can; }
    void setCanCreateDirectories(bool can) override { record_.canCreateDirectories = can; }
    void setAllowsMultipleSelection(bool allows) override { record_.allowsMultipleSelection = allows; }
    void setAlphaValue(double alpha) override { record_.alphaValue = alpha; }
    void setTitle(StringView title) override { record_.title = String(title); }
    void setDirectory(const std::string& path) override { record_.directory = path; }
    void setAllowedFileTypes(const std::vector<String>& types) override { record_.allowedFileTypes = types; }
    int runModal() override {
        ++record_.runs;
        return answer_ ? okButton : cancelButton;
    }
    std::vector<std::string> filenames() const override {
        return answer_.value_or(std::vector<std::string>());
    }

  private:
    std::optional<std::vector<std::string>> answer_;
    Record& record_;
};

} // namespace kinloom
