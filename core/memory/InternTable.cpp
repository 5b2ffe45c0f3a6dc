#include "memory/InternTable.h"

#include <mutex>
#include <new>
#include <unordered_map>

namespace kinloom {

alignas(SharedString) unsigned char InternTable::texts[InternTable::maxEntries * sizeof(SharedString)];

namespace {

struct Table {
    std::mutex lock;
    std::unordered_map<StringView, std::uint32_t> numbers;
};

// Never destroyed: its strings stay valid until the very end of the process
// and stay reachable for leak checkers.
Table& table() {
    static Table& made = *new Table;
    return made;
}

std::uint32_t hashOf(StringView text) {
    std::uint32_t hash = 2166136261u;
    for (char16_t unit : text)
        hash = (hash ^ unit) * 16777619u;
    return hash ^ hash >> 16;
}

} // namespace

std::uint32_t InternTable::number(StringView text) {
    if (text.size() > maxLength) return none;
    Table& shared = table();
    std::lock_guard guard(shared.lock);
    auto found = shared.numbers.find(text);
    if (found != shared.numbers.end()) return found->second;
    const auto count = static_cast<std::uint32_t>(shared.numbers.size());
    if (count >= maxEntries) return none;
    auto* slot = new (texts + count * sizeof(SharedString)) SharedString(SharedString::immortal(text));
    shared.numbers.emplace(slot->view(), count);
    return count;
}

std::uint32_t InternCache::number(StringView text) {
    if (text.size() > InternTable::maxLength) return InternTable::none;
    std::uint32_t& slot = slots_[hashOf(text) & 63];
    if (slot != InternTable::none && InternTable::text(slot) == text) return slot;
    const std::uint32_t found = InternTable::number(text);
    if (found != InternTable::none) slot = found;
    return found;
}

} // namespace kinloom
