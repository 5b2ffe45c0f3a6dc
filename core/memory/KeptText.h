#pragma once

#include "memory/SharedString.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

namespace kinloom {

/// A file's decoded text, which the lines made from it point into for their
/// values instead of copying them (a quarter of a loaded file's memory).
///
/// It lives as long as its owner or any block of a LoadArena given it holds
/// it: a line made in such an arena never outlives its block, so a value
/// that points into the text never outlives the text. The holds are atomic,
/// as the arenas of a load's two threads, and a release on another thread,
/// take and drop them.
class KeptText {
  public:
    /// A text with one hold, the caller's.
    static KeptText* make(std::optional<String> text) { return new KeptText(std::move(text)); }
    KeptText(const KeptText&) = delete;
    KeptText& operator=(const KeptText&) = delete;

    /// Absent when the file could not be read.
    const std::optional<String>& text() const { return text_; }
    /// Whether the view lies within the text.
    bool contains(StringView part) const {
        if (!text_) return false;
        // As addresses: pointers into different arrays do not compare.
        const auto begin = reinterpret_cast<std::uintptr_t>(text_->data());
        const auto at = reinterpret_cast<std::uintptr_t>(part.data());
        return at >= begin && at - begin + part.size() * sizeof(char16_t) <= text_->size() * sizeof(char16_t);
    }

    /// Drops the hold of a unique_ptr's owner.
    struct Release {
        void operator()(KeptText* text) const { text->release(); }
    };
    using Hold = std::unique_ptr<KeptText, Release>;

    void retain() { holds_.fetch_add(1, std::memory_order_relaxed); }
    void release() {
        if (holds_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }

  private:
    explicit KeptText(std::optional<String> text) : text_(std::move(text)) {}
    ~KeptText() = default;

    std::atomic<long> holds_{1};
    std::optional<String> text_;
};

} // namespace kinloom
