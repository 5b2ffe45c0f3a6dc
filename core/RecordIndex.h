#pragma once

#include "SharedString.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace kinloom {

/// Memory for large lookup tables, in huge pages where the system allows:
/// lookups land anywhere in the table, and with small pages nearly each one
/// also misses the address translation cache.
void* allocateTable(std::size_t bytes);
void freeTable(void* memory, std::size_t bytes);

template <typename T> struct SlotAllocator {
    using value_type = T;
    SlotAllocator() = default;
    template <typename U> SlotAllocator(const SlotAllocator<U>&) {}
    T* allocate(std::size_t count) { return static_cast<T*>(allocateTable(count * sizeof(T))); }
    void deallocate(T* memory, std::size_t count) { freeTable(memory, count * sizeof(T)); }
    friend bool operator==(const SlotAllocator&, const SlotAllocator&) { return true; }
};

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
    /// Asks the processor to load the slot where a lookup of the hash starts,
    /// so that several lookups can wait for memory at once.
    void prefetch(std::uint64_t hash) const {
        // Unconditional: GCC drops a prefetch under a condition, and one of
        // an empty table's null address does no harm.
        __builtin_prefetch(slots_.data() + home(shortHash(hash)));
    }

    std::size_t size() const { return size_; }

  private:
    static constexpr std::size_t inlineUnits = 10;
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
        std::vector<Slot, SlotAllocator<Slot>> old = std::move(slots_);
        slots_.assign(capacity, Slot());
        for (const Slot& slot : old) {
            if (slot.number == none) continue;
            std::size_t at = home(slot.hash);
            while (slots_[at].number != none)
                if (++at == slots_.size()) at = 0;
            slots_[at] = slot;
        }
    }

    std::vector<Slot, SlotAllocator<Slot>> slots_;
    std::size_t size_ = 0;
};

} // namespace kinloom
