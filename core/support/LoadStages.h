#pragma once

#include "support/LNProgress.h"

#include <cstdint>
#include <string_view>

namespace kinloom {

/// The steps of loading, for benchmarks to time and for this thread's
/// LNProgress, if any, to hear: the points where a step ends, and a meter
/// for the long loop of each. Nothing observes the points unless a benchmark
/// sets an observer; then each point costs one call.
class LoadStages {
  public:
    using Observer = void (*)(const char* stage, void* context);

    /// Replaces the observer (null: none).
    static void setObserver(Observer observer, void* context);
    /// Tells the observer, if any, that the named stage has just ended.
    static void ended(const char* stage);

    /// The meter of a step of loading over `total` units, at the step's place
    /// in a window's progress. The steps, in the order they run: "read",
    /// "histogram", "UTF-8 check", "decode", "assemble", "index", "name
    /// index", "references", "persons", "families". Another name gives an
    /// empty meter.
    static LNProgress::Meter meter(std::string_view step, std::uint64_t total);
};

} // namespace kinloom
