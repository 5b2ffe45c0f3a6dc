#include "InternTable.h"

namespace kinloom {

SharedString InternTable::intern(StringView text) {
    if (text.size() > maxLength) return SharedString(text);
    std::uint32_t hash = 2166136261u;
    for (char16_t unit : text)
        hash = (hash ^ unit) * 16777619u;
    SharedString& cached = cache_[(hash ^ hash >> 16) & 63];
    if (cached == text) return cached;
    auto found = table_.find(text);
    if (found != table_.end()) return cached = found->second;
    SharedString copy =
        immortal_ && table_.size() < maxEntries ? SharedString::immortal(text) : SharedString(text);
    if (table_.size() < maxEntries) table_.emplace(copy.view(), copy);
    return cached = copy;
}

} // namespace kinloom
