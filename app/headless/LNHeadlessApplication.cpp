#include "LNHeadlessApplication.h"

namespace kinloom {

std::unique_ptr<LNOpenPanel> LNHeadlessApplication::openPanel() {
    return std::make_unique<LNHeadlessOpenPanel>(answer_, panelRecord_);
}

bool LNHeadlessApplication::openFile(const std::optional<std::string>& path) {
    return delegate_ && delegate_->openFile(this, path);
}

void LNHeadlessApplication::closeLastWindow() {
    if (delegate_ && delegate_->applicationShouldTerminateAfterLastWindowClosed(this)) terminate(nullptr);
}

} // namespace kinloom
