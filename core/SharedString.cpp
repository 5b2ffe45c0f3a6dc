#include "SharedString.h"

#include <cstddef>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>

namespace kinloom {

SharedString::SharedString(StringView text) {
    // No terminator: the text is always read with its length.
    const std::size_t bytes = offsetof(SharedString::Rep, data) + std::max<std::size_t>(text.size(), 1) * sizeof(char16_t);
    auto* rep = static_cast<Rep*>(std::malloc(bytes));
    if (!rep) throw std::bad_alloc();
    rep->refs = 1;
    rep->length = static_cast<std::uint32_t>(text.size());
    if (!text.empty()) std::memcpy(rep->data, text.data(), text.size() * sizeof(char16_t));
    rep_ = rep;
}

void SharedString::release() {
    if (rep_ && --rep_->refs == 0) std::free(rep_);
    rep_ = nullptr;
}

SharedString SharedString::interned(StringView text) {
    // Tags are few and short; longer or overflowing texts are simply copied.
    constexpr std::size_t maxLength = 16;
    constexpr std::size_t maxEntries = 4096;
    static thread_local std::unordered_map<StringView, SharedString> table;
    if (text.size() > maxLength) return SharedString(text);
    auto found = table.find(text);
    if (found != table.end()) return found->second;
    SharedString copy(text);
    if (table.size() < maxEntries) table.emplace(copy.view(), copy);
    return copy;
}

} // namespace kinloom
