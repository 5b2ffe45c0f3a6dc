#pragma once

#include "SharedString.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace kinloom {

/// The hash of a record key: FNV-1a over its code units.
std::uint64_t recordKeyHash(StringView key);

/// Records filed by their keys in one open-addressed table: each slot holds
/// the key's hash and the record, so a lookup reads one slot, compares
/// hashes, and only then the record's key. A node-based map would add a
/// bucket, a node and an allocation per record; loading files hundreds of
/// thousands of records and looks up every link line.
template <typename T> class RecordIndex {
  public:
    /// Makes room for count records without growing.
    void reserve(std::size_t count) {
        if (tooFull(count)) rehash(2 * count);
    }

    /// Files the record under its own key unless that key is filed already;
    /// returns whether it was filed. The record must have a key.
    bool tryFile(const std::shared_ptr<T>& record) {
        if (tooFull(size_ + 1)) rehash(std::max<std::size_t>(16, 2 * slots_.size()));
        StringView key = record->key().view();
        std::uint64_t hash = recordKeyHash(key);
        std::size_t at = slotFor(hash, key);
        if (slots_[at].record) return false;
        slots_[at] = Slot{hash, record};
        ++size_;
        return true;
    }

    /// The record filed under the key, or null.
    const std::shared_ptr<T>& find(StringView key) const {
        static const std::shared_ptr<T> none;
        if (slots_.empty()) return none;
        return slots_[slotFor(recordKeyHash(key), key)].record;
    }

    std::size_t size() const { return size_; }

  private:
    struct Slot {
        std::uint64_t hash = 0;
        std::shared_ptr<T> record;
    };

    // Beyond two thirds full, probes grow long.
    bool tooFull(std::size_t count) const { return count * 3 > slots_.size() * 2; }

    // The slot holding the key, or the empty slot where it would go.
    std::size_t slotFor(std::uint64_t hash, StringView key) const {
        std::size_t at = home(hash);
        while (slots_[at].record && !(slots_[at].hash == hash && slots_[at].record->key().view() == key)) {
            if (++at == slots_.size()) at = 0;
        }
        return at;
    }

    // Scales the hash onto the table without a division.
    std::size_t home(std::uint64_t hash) const {
        return static_cast<std::size_t>((static_cast<unsigned __int128>(hash) * slots_.size()) >> 64);
    }

    void rehash(std::size_t capacity) {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(capacity, Slot());
        for (Slot& slot : old) {
            if (!slot.record) continue;
            std::size_t at = home(slot.hash);
            while (slots_[at].record)
                if (++at == slots_.size()) at = 0;
            slots_[at] = std::move(slot);
        }
    }

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
};

} // namespace kinloom
