#include "recordset/RecordIndex.h"

#include <cstring>

namespace kinloom {

std::uint64_t recordKeyHash(StringView key) {
    // Four code units a step: keys are short, and a step per unit made the
    // hash a good part of a lookup.
    constexpr std::uint64_t multiplier = 0x9e3779b97f4a7c15ULL;
    std::uint64_t hash = key.size() * multiplier;
    const char16_t* units = key.data();
    std::size_t left = key.size();
    for (; left >= 4; left -= 4, units += 4) {
        std::uint64_t word;
        std::memcpy(&word, units, sizeof word);
        hash = (hash ^ word) * multiplier;
        hash ^= hash >> 29;
    }
    if (left > 0) {
        std::uint64_t word = 0;
        std::memcpy(&word, units, left * sizeof(char16_t));
        hash = (hash ^ word) * multiplier;
    }
    hash ^= hash >> 30;
    hash *= 0xbf58476d1ce4e5b9ULL;
    hash ^= hash >> 27;
    hash *= 0x94d049bb133111ebULL;
    return hash ^ (hash >> 31);
}

} // namespace kinloom
