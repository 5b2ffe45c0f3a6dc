#pragma once

namespace kinloom {

/// Shows the busy cursor over the whole application for as long as it lives:
/// the window is blocked while a file loads or is validated.
class LNQtBusyCursor {
  public:
    LNQtBusyCursor();
    ~LNQtBusyCursor();
    LNQtBusyCursor(const LNQtBusyCursor&) = delete;
    LNQtBusyCursor& operator=(const LNQtBusyCursor&) = delete;
};

} // namespace kinloom
