#include "LNProgress.h"

namespace kinloom {

namespace {
thread_local LNProgress* currentSink = nullptr;
} // namespace

LNProgress::Scope::Scope(LNProgress* sink) : previous_(currentSink) {
    currentSink = sink;
}

LNProgress::Scope::~Scope() {
    currentSink = previous_;
}

void LNProgress::tell(Stage stage, std::uint64_t done, std::uint64_t total) {
    if (!currentSink) return;
    const bool canStop = stage < Stage::table;
    if (currentSink->progressed(stage, done, total, canStop) && canStop) throw Cancelled();
}

} // namespace kinloom
