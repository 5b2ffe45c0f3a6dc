#pragma once

#include "LNApplication.h"
#include "LNHeadlessBundle.h"
#include "LNHeadlessDocumentController.h"
#include "LNHeadlessOpenPanel.h"

#include <optional>
#include <string>
#include <vector>

namespace kinloom {

/// The application without an event loop: the caller plays the desktop and
/// the user of the open panel.
class LNHeadlessApplication : public LNApplication {
  public:
    void setDelegate(LNApplicationDelegate* delegate) { delegate_ = delegate; }

    void terminate(LNView*) override { terminated_ = true; }
    std::unique_ptr<LNOpenPanel> openPanel() override;
    LNDocumentController& sharedDocumentController() override { return documents_; }
    const LNBundle& mainBundle() const override { return bundle_; }
    void showMessage(StringView text) override { messages_.emplace_back(text); }

    // What the caller does.

    /// The desktop asks to open a document; the delegate's answer.
    bool openFile(const std::optional<std::string>& path);
    /// The window closes: ends the program when the delegate agrees.
    void closeLastWindow();
    /// The next open panels choose these paths (UTF-8).
    void answerOpenPanels(std::vector<std::string> paths) { answer_ = std::move(paths); }
    /// The next open panels are cancelled (the default).
    void cancelOpenPanels() { answer_.reset(); }
    LNHeadlessBundle& bundle() { return bundle_; }

    // What it remembers.

    bool isTerminated() const { return terminated_; }
    const std::vector<std::string>& recentDocuments() const { return documents_.recentDocuments(); }
    /// How the last open panel was set up.
    const LNHeadlessOpenPanel::Record& lastOpenPanel() const { return panelRecord_; }
    /// The message boxes shown, oldest first.
    const std::vector<String>& messages() const { return messages_; }

  private:
    LNApplicationDelegate* delegate_ = nullptr;
    bool terminated_ = false;
    std::optional<std::vector<std::string>> answer_;
    LNHeadlessOpenPanel::Record panelRecord_;
    std::vector<String> messages_;
    LNHeadlessDocumentController documents_;
    LNHeadlessBundle bundle_;
};

} // namespace kinloom
