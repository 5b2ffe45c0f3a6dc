#pragma once

#include "SharedString.h"

#include <unordered_map>

namespace kinloom {

/// Shared copies of short, frequent texts (tags, attribute keys): equal texts
/// share one allocation. The table is bounded, so hostile input cannot grow
/// it; longer or overflowing texts are simply copied.
///
/// A table and the strings it hands out belong to one thread at a time, as
/// every SharedString does: a load interns into its own arena's table (see
/// LoadArena), everything else into the process's table on the main thread.
class InternTable {
  public:
    /// An immortal table hands out strings that are never counted nor freed.
    explicit InternTable(bool immortal = false) : immortal_(immortal) {}
    SharedString intern(StringView text);

  private:
    static constexpr std::size_t maxLength = 16;
    static constexpr std::size_t maxEntries = 4096;
    std::unordered_map<StringView, SharedString> table_;
    // A small cache in front of the table: a file uses a few dozen tags
    // millions of times, and each table row stores the same dozen keys.
    SharedString cache_[64];
    bool immortal_;
};

} // namespace kinloom
