#include "memory/SharedString.h"

#include "memory/InternTable.h"
#include "memory/KeptText.h"
#include "memory/LoadArena.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

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

SharedString SharedString::slice(StringView text) {
    SharedString made;
    if constexpr (sizeof(std::uintptr_t) == 8) {
        const auto address = reinterpret_cast<std::uintptr_t>(text.data());
        if ((address >> sliceLengthShift) != 0 || (address & sliceTag) != 0 ||
            text.size() >= (std::size_t{1} << (64 - sliceLengthShift)))
            return made;
        made.rep_ = reinterpret_cast<Rep*>(address | sliceTag |
                                           static_cast<std::uintptr_t>(text.size()) << sliceLengthShift);
    }
    return made;
}

SharedString SharedString::borrowedPart(const SharedString& other, StringView part) {
    if (other.isSlice())
        if (SharedString made = slice(part)) return made;
    return SharedString(part);
}

SharedString SharedString::inArena(StringView text, LoadArena& arena) {
    if (const KeptText* kept = arena.keptText(); kept && !text.empty() && kept->contains(text))
        if (SharedString made = slice(text)) return made;
    void* memory = arena.allocate(repSize(text.size()));
    if (!memory) return SharedString(text);
    SharedString made;
    made.rep_ = makeRep(memory, text);
    made.rep_->refs |= arenaFlag;
    return made;
}

SharedString SharedString::immortal(StringView text) {
    SharedString made(text);
    made.rep_->refs = immortalFlag;
    return made;
}

void SharedString::release() {
    if (isSlice() || (rep_ && rep_->refs & immortalFlag)) {
        rep_ = nullptr;
        return;
    }
    assert(!rep_ || (rep_->refs & countMask) > 0);
    if (rep_ && (--rep_->refs & countMask) == 0) {
        if (rep_->refs & arenaFlag) {
            LoadArena::free(rep_);
        } else {
            std::free(rep_);
        }
    }
    rep_ = nullptr;
}

SharedString SharedString::interned(StringView text) {
    const std::uint32_t number = InternTable::number(text);
    return number == InternTable::none ? SharedString(text) : InternTable::text(number);
}

} // namespace kinloom
