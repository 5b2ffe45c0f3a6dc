#pragma once

#include "memory/SharedString.h"

#include <cstdint>
#include <vector>

namespace kinloom {

/// The history of persons visited: entries oldest first and the position of
/// the current one. Entries after it are the forward history, entries before
/// it the back history. The viewer stores record keys.
class LNNavigationQueue {
  public:
    LNNavigationQueue();

    void clear();
    /// The entry at the current position, or null when the history is empty.
    SharedString currentObject() const;
    /// Discards the forward history, appends the entry and makes it current.
    void addObject(SharedString entry);
    /// The next entry, made current; null (and no change) at the end.
    SharedString forward();
    /// The previous entry, made current; null (and no change) at the start.
    SharedString back();

    int count() const { return static_cast<int>(queue_.size()); }
    /// The current position; -1 exactly when the history is empty.
    std::int32_t index() const { return index_; }
    const std::vector<SharedString>& queue() const { return queue_; }

  private:
    std::vector<SharedString> queue_;
    std::int32_t index_ = -1;
};

} // namespace kinloom
