#include "support/LNProgress.h"

#include <atomic>
#include <thread>

namespace kinloom {

namespace {
// One job reports at a time, on the thread that installed the sink; a
// helper thread of the job finds another thread id and reports nothing.
std::atomic<LNProgress*> currentSink{nullptr};
std::thread::id sinkThread;
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
    LNProgress* sink = currentSink.load(std::memory_order_relaxed);
    if (!sink || std::this_thread::get_id() != sinkThread) return;
    const bool canStop = stage < Stage::table;
    if (sink->progressed(stage, done, total, canStop) && canStop) throw Cancelled();
}

} // namespace kinloom
