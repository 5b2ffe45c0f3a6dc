#pragma once

#include "tree/LNNode.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace kinloom {

class LNGedcomNode;

/// A record's attributes. The person table keeps eleven values on every
/// person ("id", "key", "name", "birthYear", "birthPlace", "deathYear",
/// "deathPlace", "fatherRoot", "father", "motherRoot", "mother"); each sits in
/// a slot of its usual type, eight bytes, where a map entry costs forty and a
/// table of 300,000 persons would spend 150 MB on them. Any other key, and a
/// row key given a value of another type, keeps a whole value.
///
/// Every row has an id and a key. A person with nothing else (no name, no
/// event, no parents: every other slot the none marker) whose key is its
/// record's rowKey, as the table sets it, keeps no block
/// at all: the states and the id sit in the pointer's word, and the key is
/// read from the record when asked for. Otherwise the id and key take a
/// small block of 24 bytes, and the slots of the rest come with the first of
/// them that holds a value (a file of a million bare persons spent 104 bytes
/// on each, then 32).
///
/// The owner is the record's root line, which the record passes along (see
/// LNGedcomRecord); its key is read only where a "key" value is set, read
/// or moved. A store given none never takes the key for the owner's.
///
/// A slot holds no AttributeValue to point to: the first get() of a slot
/// makes a lasting copy, which every later set() of the key updates, so the
/// pointer stays valid and current for the life of the store (the none
/// marker excepted: it is one shared value).
class RecordAttributes {
  public:
    RecordAttributes() = default;
    ~RecordAttributes();
    RecordAttributes(const RecordAttributes&) = delete;
    RecordAttributes& operator=(const RecordAttributes&) = delete;

    /// Replaces an earlier value under the key.
    void set(StringView key, AttributeValue value, const LNGedcomNode* owner = nullptr);
    /// The value under the key, or null.
    const AttributeValue* get(StringView key, const LNGedcomNode* owner = nullptr) const;
    /// A copy of the value under the key, or absent; unlike get(), it leaves
    /// no lasting copy behind, for reading many records' values once.
    std::optional<AttributeValue> copy(StringView key, const LNGedcomNode* owner = nullptr) const;
    /// The number of keys with a value.
    std::size_t size() const;
    bool empty() const { return size() == 0; }

  private:
    static constexpr int slotCount = 11;
    enum class State : std::uint32_t { absent, none, inSlot, whole };
    struct Extra;
    // The id's and the key's slots, and the states of all.
    struct Small {
        std::uint32_t states = 0; // two bits a slot
        bool full = false;
        std::int64_t id = 0;
        SharedString key;
    };
    // The other slots, and whatever is neither a slot nor the none marker.
    struct Full : Small {
        SharedString texts[7];
        Ref<LNNode> roots[2];
        // Other keys and the copies get() handed out; most records have neither.
        std::unique_ptr<Extra> extra;
    };
    // With the allocator's 8 bytes, the smallest block it hands out.
    static_assert(sizeof(void*) != 8 || sizeof(Small) == 24, "a row's small block takes 24 bytes");

    // The word without a block: bit 0 set, the states above it, the id in
    // the high half; the key's inSlot there stands for the owner's key.
    static constexpr int compactStates = 1;
    static constexpr int compactId = 32;
    bool compact() const { return word_ & 1u; }
    Small* block() const { return compact() ? nullptr : reinterpret_cast<Small*>(word_); }
    std::uint32_t states() const {
        if (compact()) return static_cast<std::uint32_t>(word_ >> compactStates) & 0x3FFFFFu;
        return word_ ? block()->states : 0;
    }
    State state(int slot) const { return static_cast<State>(states() >> (2 * slot) & 3u); }
    void setState(int slot, State state);
    /// Sets the slot in the word when the value goes there (the store has
    /// no block); false when a block is needed.
    bool setCompact(int slot, const AttributeValue& value, const LNGedcomNode* owner);
    /// The compact word's values moved into a small block.
    void leaveCompact(const LNGedcomNode* owner) const;
    /// Moves the value into its slot when it has the slot's type.
    bool fill(int slot, AttributeValue& value);
    void clearSlot(int slot);
    AttributeValue slotValue(int slot) const;
    Small& small() const;
    /// The block with every slot, made from the small one when needed.
    Full& full() const;
    Extra& extra() const;
    Extra* extraOrNull() const {
        Small* made = block();
        return made && made->full ? static_cast<Full*>(made)->extra.get() : nullptr;
    }

    // A block, the compact word, or 0 without values.
    mutable std::uintptr_t word_ = 0;
};

/// A row's "key" value: the record's key without its at signs, a slice of
/// it. A row whose key is this keeps it as a mark (see RecordAttributes).
SharedString rowKey(const SharedString& recordKey);

static_assert(sizeof(void*) != 8 ||
                  (sizeof(std::int64_t) == 8 && sizeof(SharedString) == 8 && sizeof(Ref<LNNode>) == 8),
              "a row value's slot takes eight bytes");
static_assert(sizeof(void*) != 8 || sizeof(RecordAttributes) == 8, "a record's attributes take a pointer");

} // namespace kinloom
