#include "support/LNProgress.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace kinloom {

namespace {
// One job reports at a time, on the thread that installed the sink; a
// helper thread of the job finds another thread id and reports nothing.
std::atomic<LNProgress*> currentSink{nullptr};
std::thread::id sinkThread;

using Clock = std::chrono::steady_clock;
// Read and written on the sink's thread only. Every 50 ms is as often as a
// window paints the progress.
Clock::time_point lastReport;
std::chrono::nanoseconds meterInterval = std::chrono::milliseconds(50);
// How many times a meter looks at the clock over its loop at most.
constexpr std::uint64_t looksPerLoop = 1024;

LNProgress* sinkOfThisThread() {
    LNProgress* sink = currentSink.load(std::memory_order_relaxed);
    return sink && std::this_thread::get_id() == sinkThread ? sink : nullptr;
}
} // namespace

LNProgress::Scope::Scope(LNProgress* sink) : previous_(currentSink.load()), previousThread_(sinkThread) {
    sinkThread = std::this_thread::get_id();
    currentSink = sink;
}

LNProgress::Scope::~Scope() {
    currentSink = previous_;
    sinkThread = previousThread_;
}

void LNProgress::tell(Stage stage, std::uint64_t done, std::uint64_t total) {
    LNProgress* sink = sinkOfThisThread();
    if (!sink) return;
    const bool canStop = stage < Stage::table;
    const bool stop = sink->progressed(stage, done, total, canStop);
    // From the report's end: a sink that paints takes its time.
    lastReport = Clock::now();
    if (stop && canStop) throw Cancelled();
}

LNProgress::Meter::Meter(Stage stage, std::uint64_t total, int part, int parts)
    : stage_(stage), total_(total), before_(total * static_cast<std::uint64_t>(part)),
      stageTotal_(total * static_cast<std::uint64_t>(parts)) {
    if (total == 0 || !sinkOfThisThread()) return;
    step_ = std::max<std::uint64_t>(1, total / looksPerLoop);
    next_ = step_;
    if (part == 0) tell(stage_, 0, stageTotal_);
}

void LNProgress::Meter::check(std::uint64_t done) {
    next_ = done + step_;
    if (Clock::now() - lastReport < meterInterval) return;
    tell(stage_, before_ + std::min(done, total_), stageTotal_);
}

void LNProgress::Meter::setInterval(std::chrono::nanoseconds interval) {
    meterInterval = interval;
}

} // namespace kinloom
