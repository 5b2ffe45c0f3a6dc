#pragma once

namespace kinloom {

/// The points where one stage of loading ends, for benchmarks to time and
/// for this thread's LNProgress, if any, to hear. Nothing observes them unless
/// a benchmark sets an observer; then each stage's end costs one call.
class LoadStages {
  public:
    using Observer = void (*)(const char* stage, void* context);

    /// Replaces the observer (null: none).
    static void setObserver(Observer observer, void* context);
    /// Tells the observer, if any, that the named stage has just ended.
    static void ended(const char* stage);
};

} // namespace kinloom
