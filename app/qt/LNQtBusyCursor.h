#pragma once

namespace kinloom {

class LNQtProgress;

/// Shows the busy cursor over the whole application for as long as a long
/// job (opening a file, validating) lives, and ends the job's progress, if
/// given, when it ends.
class LNQtBusyCursor {
  public:
    explicit LNQtBusyCursor(LNQtProgress* progress = nullptr);
    ~LNQtBusyCursor();
    LNQtBusyCursor(const LNQtBusyCursor&) = delete;
    LNQtBusyCursor& operator=(const LNQtBusyCursor&) = delete;

  private:
    LNQtProgress* progress_;
};

} // namespace kinloom
