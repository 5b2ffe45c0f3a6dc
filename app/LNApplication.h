#pragma once

#include "LNBundle.h"
#include "LNDocumentController.h"
#include "LNOpenPanel.h"
#include "support/LNProgress.h"
#include "LNView.h"
#include "memory/SharedString.h"

#include <memory>
#include <optional>
#include <string>

namespace kinloom {

class LNApplication;

/// What the application asks and tells its delegate.
class LNApplicationDelegate {
  public:
    virtual ~LNApplicationDelegate() = default;
    /// The desktop asks to open the document at the path (UTF-8; absent when
    /// it named none). True when it was opened.
    virtual bool openFile(LNApplication* application, const std::optional<std::string>& path) = 0;
    virtual bool applicationShouldTerminateAfterLastWindowClosed(LNApplication* application) = 0;
};

/// The running application and the platform services it hands out. A
/// toolkit makes exactly one while it runs; the logic reaches it through
/// sharedApplication().
class LNApplication {
  public:
    LNApplication();
    virtual ~LNApplication();
    LNApplication(const LNApplication&) = delete;
    LNApplication& operator=(const LNApplication&) = delete;

    /// The application made last and still alive, or null.
    static LNApplication* sharedApplication();

    /// Ends the event loop and so the program.
    virtual void terminate(LNView* sender) = 0;
    /// A fresh open panel.
    virtual std::unique_ptr<LNOpenPanel> openPanel() = 0;
    virtual LNDocumentController& sharedDocumentController() = 0;
    virtual const LNBundle& mainBundle() const = 0;
    /// Tells the user something that went wrong, in a message box that does
    /// not wait for its answer.
    virtual void showMessage(StringView text) = 0;
    /// Where long jobs (opening a file, the validate command) report how far
    /// they are and learn whether to stop; null (the default): nowhere, and
    /// nothing stops them.
    virtual LNProgress* progress() { return nullptr; }
};

} // namespace kinloom
