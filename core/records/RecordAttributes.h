#pragma once

#include "tree/LNNode.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace kinloom {

/// A record's attributes. The person table keeps eleven values on every
/// person ("id", "key", "name", "birthYear", "birthPlace", "deathYear",
/// "deathPlace", "fatherRoot", "father", "motherRoot", "mother"); each sits in
/// a slot of its usual type, eight bytes, where a map entry costs forty and a
/// table of 300,000 persons would spend 150 MB on them. Any other key, and a
/// row key given a value of another type, keeps a whole value.
///
/// A slot holds no AttributeValue to point to: the first get() of a slot
/// makes a lasting copy, which every later set() of the key updates, so the
/// pointer stays valid and current for the life of the store (the none
/// marker excepted: it is one shared value).
class RecordAttributes {
  public:
    RecordAttributes();
    ~RecordAttributes();
    RecordAttributes(const RecordAttributes&) = delete;
    RecordAttributes& operator=(const RecordAttributes&) = delete;

    /// Replaces an earlier value under the key.
    void set(StringView key, AttributeValue value);
    /// The value under the key, or null.
    const AttributeValue* get(StringView key) const;
    /// A copy of the value under the key, or absent; unlike get(), it leaves
    /// no lasting copy behind, for reading many records' values once.
    std::optional<AttributeValue> copy(StringView key) const;
    /// The number of keys with a value.
    std::size_t size() const;
    bool empty() const { return size() == 0; }

  private:
    static constexpr int slotCount = 11;
    enum class State : std::uint32_t { absent, none, inSlot, whole };
    struct Extra;

    State state(int slot) const { return static_cast<State>(states_ >> (2 * slot) & 3u); }
    void setState(int slot, State state);
    /// Moves the value into its slot when it has the slot's type.
    bool fill(int slot, AttributeValue& value);
    void clearSlot(int slot);
    AttributeValue slotValue(int slot) const;
    Extra& extra() const;

    std::int64_t id_ = 0;
    SharedString texts_[8];
    Ref<LNNode> roots_[2];
    std::uint32_t states_ = 0; // two bits a slot
    // Other keys and the copies get() handed out; most records have neither.
    mutable std::unique_ptr<Extra> extra_;
};

static_assert(sizeof(void*) != 8 ||
                  (sizeof(std::int64_t) == 8 && sizeof(SharedString) == 8 && sizeof(Ref<LNNode>) == 8),
              "a row value's slot takes eight bytes");

} // namespace kinloom
