#pragma once

#include "memory/SharedString.h"
#include "memory/TableAllocator.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace kinloom {

/// The hash of a record key, mixed so that its high bits serve too.
std::uint64_t recordKeyHash(StringView key);

/// Record keys filed with a 32-bit number each (such as the record's position
/// in a list), in one open-addressed table of 32-byte slots. A slot holds the
/// key's hash, length and, for keys of up to ten code units, the key itself,
/// so a lookup of a usual key reads one slot and nothing else; loading files
/// hundreds of thousands of records and looks up every cross-reference.
/// Longer keys are held by their text's address: that text must stay as it is
/// while the index is used (a record's own key does).
class RecordIndex {
  public:
    static constexpr std::uint32_t none = 0xFFFFFFFFu;

    /// Makes room for count keys without growing.
    void reserve(std::size_t count) {
        if (tooFull(count)) rehash(2 * count);
    }

    /// Files the number under the key unless the key is filed already;
    /// returns the number filed under the key, the given one when new.
    std::uint32_t tryFile(StringView key, std::uint32_t number) {
        return tryFile(key, recordKeyHash(key), number);
    }
    /// The same with the key's recordKeyHash computed already.
    std::uint32_t tryFile(StringView key, std::uint64_t fullHash, std::uint32_t number) {
        if (tooFull(size_ + 1)) rehash(std::max<std::size_t>(16, 2 * slots_.size()));
        const std::uint32_t hash = shortHash(fullHash);
        Slot& slot = slots_[slotFor(hash, key)];
        if (slot.number != none) return slot.number;
        slot.number = number;
        slot.hash = hash;
        slot.length = static_cast<std::uint32_t>(key.size());
        if (key.size() <= inlineUnits) {
            std::memcpy(slot.text, key.data(), key.size() * sizeof(char16_t));
        } else {
            const char16_t* text = key.data();
            std::memcpy(slot.text, &text, sizeof text);
        }
        ++size_;
        return number;
    }

    /// The number filed under the key, or none.
    std::uint32_t find(StringView key) const { return find(key, recordKeyHash(key)); }
    /// The same with the key's recordKeyHash computed already.
    std::uint32_t find(StringView key, std::uint64_t hash) const {
        if (size_ == 0) return none;
        return slots_[slotFor(shortHash(hash), key)].number;
    }
    /// Calls visit(i, key, hash) for i from 0 to count - 1 in order, with key
    /// the text of keyAt(i) (a reference to a SharedString, say, that stays
    /// put during the pass) and hash its recordKeyHash, for visit to find or
    /// file the key with. A lookup mostly waits for memory, so each key is
    /// worked on ahead of its visit in three steps, each asking for what the
    /// next one reads: holderAt(i), the address of what keyAt(i) is read
    /// from (such as the record that holds the key), is asked for; then the
    /// key's text; then the key is hashed and its slot asked for. Several
    /// waits overlap. visit may file keys as long as the table does not grow
    /// (see reserve).
    template <typename HolderAt, typename KeyAt, typename Visit>
    void forEachAhead(std::size_t count, HolderAt&& holderAt, KeyAt&& keyAt, Visit&& visit) const {
        static_assert(std::is_lvalue_reference_v<decltype(keyAt(count))>);
        using Key = std::remove_reference_t<decltype(keyAt(count))>;
        const Key* keys[ring];
        std::uint64_t hashes[ring];
        // Taking a key's address reads its holder only; its text is asked
        // for without reading it. Prefetches are unconditional: GCC drops one
        // under a condition, and one of a null address does no harm.
        auto take = [&](std::size_t i) {
            keys[i % ring] = &keyAt(i);
            __builtin_prefetch(StringView(*keys[i % ring]).data());
        };
        auto hash = [&](std::size_t i) {
            hashes[i % ring] = recordKeyHash(StringView(*keys[i % ring]));
            __builtin_prefetch(slots_.data() + home(shortHash(hashes[i % ring])));
        };
        for (std::size_t i = 0; i < std::min(3 * ahead, count); ++i)
            __builtin_prefetch(holderAt(i));
        for (std::size_t i = 0; i < std::min(2 * ahead, count); ++i)
            take(i);
        for (std::size_t i = 0; i < std::min(ahead, count); ++i)
            hash(i);
        for (std::size_t i = 0; i < count; ++i) {
            const StringView key = *keys[i % ring];
            const std::uint64_t keyHash = hashes[i % ring];
            if (i + 3 * ahead < count) __builtin_prefetch(holderAt(i + 3 * ahead));
            if (i + 2 * ahead < count) take(i + 2 * ahead);
            if (i + ahead < count) hash(i + ahead);
            visit(i, key, keyHash);
        }
    }
    /// The same where the keys' holders are near at hand already.
    template <typename KeyAt, typename Visit>
    void forEachAhead(std::size_t count, KeyAt&& keyAt, Visit&& visit) const {
        forEachAhead(
            count, [](std::size_t) { return static_cast<const void*>(nullptr); }, keyAt, visit);
    }

    std::size_t size() const { return size_; }

  private:
    static constexpr std::size_t inlineUnits = 10;
    // How many visits ahead forEachAhead works on a key per step, and its
    // ring of keys and hashes (a power of two above 2 * ahead).
    static constexpr std::size_t ahead = 4, ring = 16;
    struct Slot {
        std::uint32_t number = none;
        std::uint32_t hash = 0;
        std::uint32_t length = 0;
        // The key's code units, or the address of a longer key's text.
        char16_t text[inlineUnits];
    };
    static_assert(sizeof(Slot) == 32);

    static std::uint32_t shortHash(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

    static bool holds(const Slot& slot, std::uint32_t hash, StringView key) {
        if (slot.hash != hash || slot.length != key.size()) return false;
        if (key.size() <= inlineUnits)
            return std::memcmp(slot.text, key.data(), key.size() * sizeof(char16_t)) == 0;
        const char16_t* text;
        std::memcpy(&text, slot.text, sizeof text);
        return StringView(text, key.size()) == key;
    }

    // Beyond two thirds full, probes grow long.
    bool tooFull(std::size_t count) const { return count * 3 > slots_.size() * 2; }

    // The slot holding the key, or the empty slot where it would go.
    std::size_t slotFor(std::uint32_t hash, StringView key) const {
        std::size_t at = home(hash);
        while (slots_[at].number != none && !holds(slots_[at], hash, key)) {
            if (++at == slots_.size()) at = 0;
        }
        return at;
    }

    // Scales the hash onto the table without a division.
    std::size_t home(std::uint32_t hash) const {
        return static_cast<std::size_t>((static_cast<std::uint64_t>(hash) * slots_.size()) >> 32);
    }

    void rehash(std::size_t capacity) {
        std::vector<Slot, TableAllocator<Slot>> old = std::move(slots_);
        slots_.assign(capacity, Slot());
        for (const Slot& slot : old) {
            if (slot.number == none) continue;
            std::size_t at = home(slot.hash);
            while (slots_[at].number != none)
                if (++at == slots_.size()) at = 0;
            slots_[at] = slot;
        }
    }

    std::vector<Slot, TableAllocator<Slot>> slots_;
    std::size_t size_ = 0;
};

} // namespace kinloom
