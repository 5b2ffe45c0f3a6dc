#include "SharedString.h"

#include "LoadArena.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_map>

namespace kinloom {

// No terminator: the text is always read with its length.
std::size_t SharedString::repSize(std::size_t length) {
    return offsetof(Rep, data) + std::max<std::size_t>(length, 1) * sizeof(char16_t);
}

SharedString::Rep* SharedString::makeRep(void* memory, StringView text) {
    auto* rep = static_cast<Rep*>(memory);
    rep->refs = 1;
    rep->length = static_cast<std::uint32_t>(text.size());
    if (!text.empty()) std::memcpy(rep->data, text.data(), text.size() * sizeof(char16_t));
    return rep;
}

SharedString::SharedString(StringView text) {
    void* memory = std::malloc(repSize(text.size()));
    if (!memory) throw std::bad_alloc();
    rep_ = makeRep(memory, text);
}

SharedString SharedString::inArena(StringView text, LoadArena& arena) {
    void* memory = arena.allocate(repSize(text.size()));
    if (!memory) return SharedString(text);
    SharedString made;
    made.rep_ = makeRep(memory, text);
    made.rep_->refs |= arenaFlag;
    return made;
}

void SharedString::release() {
    if (rep_ && (--rep_->refs & ~arenaFlag) == 0) {
        if (rep_->refs & arenaFlag) {
            LoadArena::free(rep_);
        } else {
            std::free(rep_);
        }
    }
    rep_ = nullptr;
}

SharedString SharedString::interned(StringView text) {
    // Tags are few and short; longer or overflowing texts are simply copied.
    constexpr std::size_t maxLength = 16;
    constexpr std::size_t maxEntries = 4096;
    static thread_local std::unordered_map<StringView, SharedString> table;
    if (text.size() > maxLength) return SharedString(text);
    // A small cache in front of the table: a file uses a few dozen tags
    // millions of times, and each table row stores the same dozen keys.
    static thread_local SharedString cache[64];
    std::uint32_t hash = 2166136261u;
    for (char16_t unit : text)
        hash = (hash ^ unit) * 16777619u;
    SharedString& cached = cache[(hash ^ hash >> 16) & 63];
    if (cached == text) return cached;
    auto found = table.find(text);
    if (found != table.end()) return cached = found->second;
    SharedString copy(text);
    if (table.size() < maxEntries) table.emplace(copy.view(), copy);
    return cached = copy;
}

} // namespace kinloom
