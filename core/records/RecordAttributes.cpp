#include "records/RecordAttributes.h"

#include "tree/LNGedcomNode.h"

#include <bit>
#include <cassert>

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

SharedString rowKey(const SharedString& recordKey) {
    return SharedString::borrowedPart(recordKey, strippedAts(recordKey.view()));
}

RecordAttributes::~RecordAttributes() {
    Small* made = block();
    if (made && made->full)
        delete static_cast<Full*>(made);
    else
        delete made;
}

RecordAttributes::Small& RecordAttributes::small() const {
    // The compact word is left first, where the owner's key is at hand.
    assert(!compact());
    if (!word_) word_ = reinterpret_cast<std::uintptr_t>(new Small);
    return *block();
}

RecordAttributes::Full& RecordAttributes::full() const {
    Small* old = &small();
    if (old->full) return static_cast<Full&>(*old);
    auto* made = new Full;
    made->full = true;
    made->states = old->states;
    made->id = old->id;
    made->key = std::move(old->key);
    delete old;
    word_ = reinterpret_cast<std::uintptr_t>(made);
    return *made;
}

void RecordAttributes::setState(int slot, State state) {
    std::uint32_t& states = small().states;
    states = (states & ~(3u << (2 * slot))) | static_cast<std::uint32_t>(state) << (2 * slot);
}

bool RecordAttributes::setCompact(int slot, const AttributeValue& value, const LNGedcomNode* owner) {
    if constexpr (sizeof(std::uintptr_t) < 8) return false;
    if (word_ && !compact()) return false;
    State state = State::none;
    std::uint64_t id = compact() ? word_ >> compactId : 0;
    if (std::holds_alternative<NoneMarker>(value)) {
        if (slot == 0) id = 0;
    } else if (slot == 0) {
        const auto* number = std::get_if<std::int64_t>(&value);
        if (!number || *number < 0 || *number > std::int64_t{UINT32_MAX}) return false;
        id = static_cast<std::uint64_t>(*number);
        state = State::inSlot;
    } else if (slot == firstText) {
        const auto* text = std::get_if<SharedString>(&value);
        if (!owner || !owner->key() || !text || !*text || text->view() != strippedAts(owner->key().view()))
            return false;
        state = State::inSlot;
    } else {
        return false;
    }
    std::uint32_t states = this->states();
    states = (states & ~(3u << (2 * slot))) | static_cast<std::uint32_t>(state) << (2 * slot);
    word_ = id << compactId | std::uint64_t{states} << compactStates | 1u;
    return true;
}

void RecordAttributes::leaveCompact(const LNGedcomNode* owner) const {
    auto* made = new Small;
    made->states = states();
    made->id = static_cast<std::int64_t>(word_ >> compactId);
    if (static_cast<State>(made->states >> (2 * firstText) & 3u) == State::inSlot) {
        if (owner && owner->key())
            made->key = rowKey(owner->key());
        else
            made->states &= ~(3u << (2 * firstText));
    }
    word_ = reinterpret_cast<std::uintptr_t>(made);
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
        block()->id = 0;
    else if (slot == firstText)
        block()->key = SharedString();
    else if (slot < firstRoot)
        full().texts[slot - firstText - 1] = SharedString();
    else
        full().roots[slot - firstRoot] = nullptr;
}

AttributeValue RecordAttributes::slotValue(int slot) const {
    if (slot < firstText) return block()->id;
    if (slot == firstText) return block()->key;
    if (slot < firstRoot) return full().texts[slot - firstText - 1];
    return full().roots[slot - firstRoot];
}

void RecordAttributes::set(StringView key, AttributeValue value, const LNGedcomNode* owner) {
    int slot = slotOf(key);
    if (slot >= 0 && setCompact(slot, value, owner)) return;
    if (compact()) leaveCompact(owner);
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

const AttributeValue* RecordAttributes::get(StringView key, const LNGedcomNode* owner) const {
    int slot = slotOf(key);
    if (compact()) {
        const State current = slot < 0 ? State::absent : state(slot);
        if (current == State::absent) return nullptr;
        if (current == State::none) return &noneValue();
        // A lasting copy needs the block it is kept in.
        leaveCompact(owner);
    }
    if (slot < 0) {
        Extra* existing = extraOrNull();
        return existing ? existing->others.get(key) : nullptr;
    }
    State current = state(slot);
    if (current == State::absent) return nullptr;
    if (Extra* existing = extraOrNull(); existing && existing->copies[slot])
        return existing->copies[slot].get();
    if (current == State::none) return &noneValue();
    std::unique_ptr<AttributeValue>& copy = extra().copies[slot];
    copy = std::make_unique<AttributeValue>(slotValue(slot));
    return copy.get();
}

std::optional<AttributeValue> RecordAttributes::copy(StringView key, const LNGedcomNode* owner) const {
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
        if (!compact()) return slotValue(slot);
        if (slot == 0) return static_cast<std::int64_t>(word_ >> compactId);
        if (!owner || !owner->key()) return std::nullopt;
        return rowKey(owner->key());
    case State::whole:
        break;
    }
    return *extraOrNull()->copies[slot];
}

std::size_t RecordAttributes::size() const {
    // A slot counts when either of its two state bits is set.
    const std::uint32_t states = this->states();
    std::uint32_t used = (states | states >> 1) & 0x55555555u;
    Extra* existing = extraOrNull();
    return static_cast<std::size_t>(std::popcount(used)) + (existing ? existing->others.size() : 0);
}

} // namespace kinloom
