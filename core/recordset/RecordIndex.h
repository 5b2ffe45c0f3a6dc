#pragma once

#include "memory/SharedString.h"
#include "memory/TableAllocator.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <forward_list>
#include <type_traits>
#include <vector>

namespace kinloom {

/// The hash of a record key, mixed so that its high bits serve too.
std::uint64_t recordKeyHash(StringView key);

/// Record keys filed with a 32-bit number each (such as the record's position
/// in a list), in one open-addressed table of 16-byte slots, at most half
/// full after reserve. A usual key, at signs around at most eight ASCII
/// characters (@I123456@), is held in its slot itself, so a lookup of it
/// reads one slot and nothing else; loading files hundreds of thousands of
/// records and looks up every cross-reference. Other keys are held by their
/// text's address: that text must stay as it is while the index is used (a
/// record's own key does).
class RecordIndex {
  public:
    static constexpr std::uint32_t none = 0xFFFFFFFFu;

    RecordIndex() = default;
    // A copy's slots would point at the other's views of huge keys.
    RecordIndex(RecordIndex&&) = default;
    RecordIndex& operator=(RecordIndex&&) = default;

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
        const Slot probe = probeFor(key, fullHash);
        Slot& slot = slots_[slotFor(shortHash(fullHash), probe, key)];
        if (slot.number != none) return slot.number;
        slot = probe;
        slot.number = number;
        if (heldUnits(slot) == hugeLength) {
            hugeKeys_.push_front(key);
            slot.payload = reinterpret_cast<std::uintptr_t>(&hugeKeys_.front());
        }
        ++size_;
        return number;
    }

    /// The number filed under the key, or none.
    std::uint32_t find(StringView key) const { return find(key, recordKeyHash(key)); }
    /// The same with the key's recordKeyHash computed already.
    std::uint32_t find(StringView key, std::uint64_t hash) const {
        if (size_ == 0) return none;
        return slots_[slotFor(shortHash(hash), probeFor(key, hash), key)].number;
    }
    /// Calls visit(i, key, hash) for i from 0 to count - 1 in order, with key
    /// the text of keyAt(i) (a reference to a SharedString, say, that stays
    /// put during the pass) and hash its recordKeyHash, for visit to find or
    /// file the key with. A lookup mostly waits for memory, so each key is
    /// worked on ahead of its visit in three steps, each asking for what the
    /// next one reads: holderAt(i), the address of what keyAt(i) is read
    /// from (such as the record that holds the key), is asked for; then the
    /// key's text; then the key is hashed and its slot asked for. Several
    /// waits overlap. Where the holder lies one more step away (a record's
    /// key is in its root line), holderAt reads it from what it asked for a
    /// few calls before. visit may file keys as long as the table does not
    /// grow (see reserve).
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
    // A key held in its slot: at signs around up to eight ASCII units.
    static constexpr std::size_t inlineUnits = 10;
    // The bits of four ASCII units in a word.
    static constexpr std::uint64_t asciiBits = 0x007F007F007F007Full;
    // Keys of this many units or more are held through a view the index
    // keeps, since their length does not fit the slot.
    static constexpr std::uint32_t hugeLength = 0xFFFF;
    static constexpr std::uint32_t byAddress = 0x80000000u;
    // How many visits ahead forEachAhead works on a key per step, and its
    // ring of keys and hashes (a power of two above 2 * ahead).
    static constexpr std::size_t ahead = 4, ring = 16;
    struct Slot {
        std::uint32_t number = none;
        // For a key held in the slot, the count of units between its at
        // signs. Else byAddress, the length (at most hugeLength) and 15 bits
        // of the hash, so that keys held by address are mostly told apart
        // without reading their text.
        std::uint32_t form = 0;
        // A held key's units between the at signs (see heldBits); else the
        // address of the key's text (of its kept view for a huge key).
        std::uint64_t payload = 0;
    };
    static_assert(sizeof(Slot) == 16);

    static std::uint32_t shortHash(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

    // The slot that would hold the key, but for its number.
    static Slot probeFor(StringView key, std::uint64_t hash) {
        const std::size_t length = key.size();
        std::uint64_t bits;
        if (length - 2 <= inlineUnits - 2 && key.front() == u'@' && key.back() == u'@' &&
            heldBits(key.data() + 1, length - 2, bits))
            return {none, static_cast<std::uint32_t>(length - 2), bits};
        const auto units = static_cast<std::uint32_t>(std::min<std::size_t>(length, hugeLength));
        return {none, byAddress | units << 15 | static_cast<std::uint32_t>(hash & 0x7FFF),
                reinterpret_cast<std::uintptr_t>(key.data())};
    }

    // Sets bits to the count (at most 8) units if all are ASCII, 7 bits
    // each. Four or more are read as two words, the first four units and the
    // last four, whose bits interleave; count tells the overlap. A loop over
    // the units measured twice the instructions a lookup takes this way.
    static bool heldBits(const char16_t* units, std::size_t count, std::uint64_t& bits) {
        if (count < 4) {
            bits = 0;
            for (std::size_t i = 0; i < count; ++i) {
                if (units[i] > 0x7F) return false;
                bits |= static_cast<std::uint64_t>(units[i]) << 7 * i;
            }
            return true;
        }
        std::uint64_t first, last;
        std::memcpy(&first, units, sizeof first);
        std::memcpy(&last, units + count - 4, sizeof last);
        if (((first | last) & ~asciiBits) != 0) return false;
        bits = first | last << 7;
        return true;
    }

    // The length of a key held by address, 0 for one held in the slot.
    static std::uint32_t heldUnits(const Slot& slot) { return slot.form >> 15 & hugeLength; }

    // The key of a slot that holds it by address.
    static StringView heldKey(const Slot& slot) {
        const std::uint32_t units = heldUnits(slot);
        if (units == hugeLength) return *reinterpret_cast<const StringView*>(slot.payload);
        return StringView(reinterpret_cast<const char16_t*>(slot.payload), units);
    }

    // The key of any slot, rebuilt in units where the slot holds it.
    static StringView keyOf(const Slot& slot, char16_t (&units)[inlineUnits]) {
        if (slot.form & byAddress) return heldKey(slot);
        const std::size_t count = slot.form;
        units[0] = u'@';
        if (count < 4) {
            for (std::size_t i = 0; i < count; ++i)
                units[1 + i] = static_cast<char16_t>(slot.payload >> 7 * i & 0x7F);
        } else {
            const std::uint64_t first = slot.payload & asciiBits, last = slot.payload >> 7 & asciiBits;
            std::memcpy(units + 1, &first, sizeof first);
            std::memcpy(units + count - 3, &last, sizeof last);
        }
        units[count + 1] = u'@';
        return StringView(units, count + 2);
    }

    static bool holds(const Slot& slot, const Slot& probe, StringView key) {
        if (slot.form != probe.form) return false;
        if (!(probe.form & byAddress)) return slot.payload == probe.payload;
        return heldKey(slot) == key;
    }

    // Beyond two thirds full, probes grow long.
    bool tooFull(std::size_t count) const { return count * 3 > slots_.size() * 2; }

    // The slot holding the key, or the empty slot where it would go.
    std::size_t slotFor(std::uint32_t hash, const Slot& probe, StringView key) const {
        std::size_t at = home(hash);
        while (slots_[at].number != none && !holds(slots_[at], probe, key)) {
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
            char16_t units[inlineUnits];
            std::size_t at = home(shortHash(recordKeyHash(keyOf(slot, units))));
            while (slots_[at].number != none)
                if (++at == slots_.size()) at = 0;
            slots_[at] = slot;
        }
    }

    std::vector<Slot, TableAllocator<Slot>> slots_;
    std::size_t size_ = 0;
    std::forward_list<StringView> hugeKeys_;
};

} // namespace kinloom
