#include "tree/AttributeMap.h"

// A value may hold a node, which its copies and assignments count.
#include "tree/LNNode.h"

#include <algorithm>

namespace kinloom {

void AttributeMap::set(StringView key, AttributeValue value) {
    for (auto& entry : entries_) {
        if (entry.first == key) {
            entry.second = std::move(value);
            return;
        }
    }
    // Most maps hold one entry (a line's mark); a table row's holds about a
    // dozen. Growing by fours to 16 keeps the latter from doubling to 16
    // entries where 12 serve.
    std::size_t size = entries_.size();
    if (size == entries_.capacity() && size > 0)
        entries_.reserve(size < 16 ? (size / 4 + 1) * 4 : size * 3 / 2);
    entries_.emplace_back(SharedString::interned(key), std::move(value));
}

void AttributeMap::remove(StringView key) {
    auto found = std::find_if(entries_.begin(), entries_.end(),
                              [key](const auto& entry) { return entry.first == key; });
    if (found != entries_.end()) entries_.erase(found);
}

const AttributeValue* AttributeMap::get(StringView key) const {
    for (const auto& entry : entries_) {
        if (entry.first == key) return &entry.second;
    }
    return nullptr;
}

} // namespace kinloom
