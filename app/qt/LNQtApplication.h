#pragma once

#include "LNApplication.h"
#include "LNQtDocumentController.h"
#include "LNResourceBundle.h"

namespace kinloom {

/// The application's services with Qt; the QApplication must exist first.
/// Resources are found next to the executable or under ../share/kinloom.
class LNQtApplication : public LNApplication {
  public:
    LNQtApplication();

    /// Quitting after the last window closes follows the delegate's answer.
    void setDelegate(LNApplicationDelegate* delegate);

    /// Ends the event loop.
    void terminate(LNView* sender) override;
    std::unique_ptr<LNOpenPanel> openPanel() override;
    LNQtDocumentController& sharedDocumentController() override { return documents_; }
    const LNBundle& mainBundle() const override { return bundle_; }
    /// A warning box over the active window, which the window does not wait for.
    void showMessage(StringView text) override;
    LNProgress* progress() override { return progress_; }
    /// The window's progress (not owned; null: none).
    void setProgress(LNProgress* progress) { progress_ = progress; }

    /// The desktop asks to open the document at the path (as given, in the
    /// file system's encoding); the delegate's answer.
    bool openFile(const std::optional<std::string>& path);

  private:
    LNApplicationDelegate* delegate_ = nullptr;
    LNProgress* progress_ = nullptr;
    LNQtDocumentController documents_;
    LNResourceBundle bundle_;
};

} // namespace kinloom
