#pragma once

#include "memory/SharedString.h"

#include <cstdint>

namespace kinloom {

/// The process's short, frequent texts (tags, attribute keys), each numbered
/// once: a node keeps its name as a 4-byte number instead of an 8-byte
/// string, and a file has a few dozen tags met millions of times. The table
/// is bounded, so hostile input cannot grow it: a longer text, or one met
/// once the table is full, has no number. Its strings are never counted nor
/// freed, so they may be copied and dropped on any thread.
class InternTable {
  public:
    static constexpr std::uint32_t none = UINT32_MAX;
    static constexpr std::size_t maxLength = 16;
    static constexpr std::size_t maxEntries = 4096;

    /// The text's number, or none. Safe on any thread.
    static std::uint32_t number(StringView text);
    /// The text of a number that number() gave; it never moves nor ends.
    static const SharedString& text(std::uint32_t number) {
        return reinterpret_cast<const SharedString*>(texts)[number];
    }

  private:
    // Raw room, written under the table's lock before a number is handed
    // out: no destructor ever ends the strings, which stay reachable for
    // leak checkers, and reading one is a load, as node names are read
    // millions of times.
    alignas(SharedString) static unsigned char texts[];
};

/// A cache in front of the InternTable for one thread at a time (a load's
/// arena has one): it answers the tags it has met without taking the
/// table's lock.
class InternCache {
  public:
    InternCache() {
        for (std::uint32_t& slot : slots_)
            slot = InternTable::none;
    }
    std::uint32_t number(StringView text);

  private:
    std::uint32_t slots_[64];
};

} // namespace kinloom
