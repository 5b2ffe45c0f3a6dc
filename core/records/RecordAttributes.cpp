#include "records/RecordAttributes.h"

#include <bit>

namespace kinloom {

namespace {

// Slot 0 holds a number, 1 to 8 texts, 9 and 10 nodes.
constexpr StringView slotKeys[] = {u"id",         u"key",        u"name",       u"birthYear",
                                   u"birthPlace", u"deathYear",  u"deathPlace", u"father",
                                   u"mother",     u"fatherRoot", u"motherRoot"};
constexpr int firstText = 1;
constexpr int firstRoot = 9;

int slotOf(StringView key) {
    // By length first: most lengths leave one key to compare.
    auto either = [&](int a, int b) { return slotKeys[a] == key ? a : slotKeys[b] == key ? b : -1; };
    switch (key.size()) {
    case 2:
        return key == slotKeys[0] ? 0 : -1;
    case 3:
        return key == slotKeys[1] ? 1 : -1;
    case 4:
        return key == slotKeys[2] ? 2 : -1;
    case 6:
        return either(7, 8);
    case 9:
        return either(3, 5);
    case 10:
        if (int slot = either(4, 6); slot >= 0) return slot;
        return either(9, 10);
    default:
        return -1;
    }
}

const AttributeValue& noneValue() {
    static const AttributeValue none{NoneMarker()};
    return none;
}

} // namespace

struct RecordAttributes::Extra {
    AttributeMap others;
    std::unique_ptr<AttributeValue> copies[slotCount];
};

static_assert(std::size(slotKeys) == 11);

RecordAttributes::~RecordAttributes() {
    if (block_ && block_->full)
        delete static_cast<Full*>(block_);
    else
        delete block_;
}

RecordAttributes::Small& RecordAttributes::small() const {
    if (!block_) block_ = new Small;
    return *block_;
}

RecordAttributes::Full& RecordAttributes::full() const {
    if (block_ && block_->full) return static_cast<Full&>(*block_);
    auto* made = new Full;
    made->full = true;
    if (block_) {
        made->states = block_->states;
        made->id = block_->id;
        made->key = std::move(block_->key);
        delete block_;
    }
    block_ = made;
    return *made;
}

void RecordAttributes::setState(int slot, State state) {
    std::uint32_t& states = small().states;
    states = (states & ~(3u << (2 * slot))) | static_cast<std::uint32_t>(state) << (2 * slot);
}

RecordAttributes::Extra& RecordAttributes::extra() const {
    std::unique_ptr<Extra>& made = full().extra;
    if (!made) made = std::make_unique<Extra>();
    return *made;
}

bool RecordAttributes::fill(int slot, AttributeValue& value) {
    if (slot < firstText) {
        if (const auto* number = std::get_if<std::int64_t>(&value)) {
            small().id = *number;
            return true;
        }
    } else if (slot < firstRoot) {
        if (auto* text = std::get_if<SharedString>(&value)) {
            (slot == firstText ? small().key : full().texts[slot - firstText - 1]) = std::move(*text);
            return true;
        }
    } else if (auto* node = std::get_if<Ref<LNNode>>(&value)) {
        full().roots[slot - firstRoot] = std::move(*node);
        return true;
    }
    return false;
}

void RecordAttributes::clearSlot(int slot) {
    if (state(slot) != State::inSlot) return;
    if (slot < firstText)
        block_->id = 0;
    else if (slot == firstText)
        block_->key = SharedString();
    else if (slot < firstRoot)
        full().texts[slot - firstText - 1] = SharedString();
    else
        full().roots[slot - firstRoot] = nullptr;
}

AttributeValue RecordAttributes::slotValue(int slot) const {
    if (slot < firstText) return block_->id;
    if (slot == firstText) return block_->key;
    if (slot < firstRoot) return full().texts[slot - firstText - 1];
    return full().roots[slot - firstRoot];
}

void RecordAttributes::set(StringView key, AttributeValue value) {
    int slot = slotOf(key);
    if (slot < 0) {
        extra().others.set(key, std::move(value));
        return;
    }
    Extra* existing = extraOrNull();
    std::unique_ptr<AttributeValue>* copy = existing ? &existing->copies[slot] : nullptr;
    if (copy && *copy) **copy = value;
    clearSlot(slot);
    if (std::holds_alternative<NoneMarker>(value)) {
        setState(slot, State::none);
    } else if (fill(slot, value)) {
        setState(slot, State::inSlot);
    } else {
        setState(slot, State::whole);
        if (!copy || !*copy) extra().copies[slot] = std::make_unique<AttributeValue>(std::move(value));
    }
}

const AttributeValue* RecordAttributes::get(StringView key) const {
    int slot = slotOf(key);
    if (slot < 0) {
        Extra* existing = extraOrNull();
        return existing ? existing->others.get(key) : nullptr;
    }
    State current = state(slot);
    if (current == State::absent) return nullptr;
    if (Extra* existing = extraOrNull(); existing && existing->copies[slot]) return existing->copies[slot].get();
    if (current == State::none) return &noneValue();
    std::unique_ptr<AttributeValue>& copy = extra().copies[slot];
    copy = std::make_unique<AttributeValue>(slotValue(slot));
    return copy.get();
}

std::optional<AttributeValue> RecordAttributes::copy(StringView key) const {
    int slot = slotOf(key);
    if (slot < 0) {
        Extra* existing = extraOrNull();
        const AttributeValue* value = existing ? existing->others.get(key) : nullptr;
        return value ? std::optional<AttributeValue>(*value) : std::nullopt;
    }
    switch (state(slot)) {
    case State::absent:
        return std::nullopt;
    case State::none:
        return noneValue();
    case State::inSlot:
        return slotValue(slot);
    case State::whole:
        break;
    }
    return *extraOrNull()->copies[slot];
}

std::size_t RecordAttributes::size() const {
    if (!block_) return 0;
    // A slot counts when either of its two state bits is set.
    const std::uint32_t states = block_->states;
    std::uint32_t used = (states | states >> 1) & 0x55555555u;
    Extra* existing = extraOrNull();
    return static_cast<std::size_t>(std::popcount(used)) + (existing ? existing->others.size() : 0);
}

} // namespace kinloom
