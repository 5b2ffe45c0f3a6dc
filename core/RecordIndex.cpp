#include "RecordIndex.h"

namespace kinloom {

std::uint64_t recordKeyHash(StringView key) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (char16_t unit : key) {
        hash ^= unit;
        hash *= 0x100000001b3ULL;
    }
    // FNV mixes its high bits, which choose the slot, poorly for short keys.
    hash ^= hash >> 30;
    hash *= 0xbf58476d1ce4e5b9ULL;
    hash ^= hash >> 27;
    hash *= 0x94d049bb133111ebULL;
    return hash ^ (hash >> 31);
}

} // namespace kinloom
