#include "LNGedcomIndiRecord.h"

#include "LNDate.h"
#include "SystemLog.h"
#include "TextServices.h"

namespace kinloom {

namespace {

// The first level-1 line of each event the life texts read.
struct Events {
    LNNode* birt = nullptr;
    LNNode* bapt = nullptr;
    LNNode* chr = nullptr;
    LNNode* bapm = nullptr;
    LNNode* deat = nullptr;
    LNNode* buri = nullptr;
};

// One pass over the lines finds every event the four texts need.
Events eventsOf(const LNGedcomNode& root) {
    Events events;
    for (int i = 0, count = root.numChildren(); i < count; ++i) {
        LNNode* child = root.childAt(i);
        StringView tag = child->name().view();
        LNNode** event = tag == u"BIRT"   ? &events.birt
                         : tag == u"DEAT" ? &events.deat
                         : tag == u"BAPT" ? &events.bapt
                         : tag == u"CHR"  ? &events.chr
                         : tag == u"BAPM" ? &events.bapm
                         : tag == u"BURI" ? &events.buri
                                          : nullptr;
        if (event && !*event) *event = child;
    }
    return events;
}

// The year of the first of the events whose first DATE line has one.
std::optional<StringView> yearOfFirstEvent(std::initializer_list<LNNode*> events) {
    for (LNNode* event : events) {
        LNNode* date = event ? event->childWithName(u"DATE") : nullptr;
        if (!date) continue;
        if (StringView year = LNDate::yearIn(date->value().view()); !year.empty()) return year;
    }
    return std::nullopt;
}

std::optional<StringView> birthYearOf(const Events& events) {
    return yearOfFirstEvent({events.birt, events.bapt, events.chr, events.bapm});
}

std::optional<StringView> deathYearOf(const Events& events) {
    return yearOfFirstEvent({events.deat, events.buri});
}

// The most general part of the event's first place (the text after the last
// ", "), or for these two countries the province or state before it.
std::optional<StringView> shortPlace(const LNNode* event) {
    const LNNode* place = event ? event->childWithName(u"PLAC") : nullptr;
    if (!place || place->value().empty()) return std::nullopt;
    constexpr StringView separator = u", ";
    StringView text = place->value().view();
    std::size_t lastAt = text.rfind(separator);
    StringView last = lastAt == StringView::npos ? text : text.substr(lastAt + separator.size());
    if (last != u"Canada" && last != u"United States") return last;
    systemLog("Found case of location ending with " + toUtf8(last));
    if (lastAt == StringView::npos) return last;
    // ", " cannot overlap itself, so the one before ends where the last begins.
    std::size_t beforeAt =
        lastAt < separator.size() ? StringView::npos : text.rfind(separator, lastAt - separator.size());
    std::size_t regionStart = beforeAt == StringView::npos ? 0 : beforeAt + separator.size();
    StringView region = text.substr(regionStart, lastAt - regionStart);
    systemLog("found the special case and we should return " + toUtf8(region));
    return region;
}

std::optional<String> copied(std::optional<StringView> text) {
    return text ? std::optional<String>(String(*text)) : std::nullopt;
}

int compareTexts(StringView a, StringView b) {
    return localizedCaseInsensitiveCompare(a, b);
}

} // namespace

LNGedcomIndiRecord::LNGedcomIndiRecord(Ref<LNGedcomNode> root, LNGedcomErrors* errors)
    : LNGedcomRecord(std::move(root), errors), links_(*this->root(), {u"NAME", u"FAMC", u"FAMS"}) {
    sex_ = static_cast<LNGedcomNode*>(this->root()->childWithName(u"SEX"));
    if (LNGedcomNode* first = name()) gedcomName_ = std::make_unique<LNGedcomName>(first->value().view());
}

LNGedcomIndiRecord::~LNGedcomIndiRecord() = default;

std::optional<String> LNGedcomIndiRecord::birthYear() const {
    return copied(birthYearOf(eventsOf(*root())));
}

std::optional<String> LNGedcomIndiRecord::deathYear() const {
    return copied(deathYearOf(eventsOf(*root())));
}

std::optional<String> LNGedcomIndiRecord::birthPlace() const {
    return copied(shortPlace(eventsOf(*root()).birt));
}

std::optional<String> LNGedcomIndiRecord::deathPlace() const {
    return copied(shortPlace(eventsOf(*root()).deat));
}

LNGedcomIndiRecord::LifeTexts LNGedcomIndiRecord::lifeTexts() const {
    Events events = eventsOf(*root());
    LifeTexts texts;
    texts.birthYear = birthYearOf(events);
    texts.birthPlace = shortPlace(events.birt);
    texts.deathYear = deathYearOf(events);
    texts.deathPlace = shortPlace(events.deat);
    return texts;
}

std::optional<String> LNGedcomIndiRecord::nameSurnameFirst(bool surnameFirst, bool surnameUpper,
                                                           int maxLength) const {
    if (!gedcomName_) return std::nullopt;
    return gedcomName_->formatSurnameFirst(surnameFirst, surnameUpper, maxLength);
}

int LNGedcomIndiRecord::compareByName(const LNGedcomIndiRecord& other) const {
    // A person without a NAME line sorts as a name without any part.
    static const LNGedcomName noName{StringView()};
    const LNGedcomName& a = gedcomName_ ? *gedcomName_ : noName;
    const LNGedcomName& b = other.gedcomName_ ? *other.gedcomName_ : noName;

    std::optional<String> surnameA = a.surname();
    std::optional<String> surnameB = b.surname();
    if (!surnameA && surnameB) return -1;
    if (surnameA && !surnameB) return 1;
    if (surnameA) {
        if (int order = compareTexts(*surnameA, *surnameB)) return order;
    }

    std::vector<String> givenA = a.givenNames();
    std::vector<String> givenB = b.givenNames();
    std::size_t common = std::min(givenA.size(), givenB.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (int order = compareTexts(givenA[i], givenB[i])) return order;
    }
    if (givenA.size() != givenB.size()) return givenA.size() < givenB.size() ? -1 : 1;

    // Compared, not subtracted: the difference of two large numbers overflows.
    std::int32_t numberA = keyNumber(key().view());
    std::int32_t numberB = keyNumber(other.key().view());
    return (numberA > numberB) - (numberA < numberB);
}

std::int32_t keyNumber(StringView key) {
    if (key.size() < 3) return 0;
    return intValue(key.substr(2, key.size() - 3));
}

} // namespace kinloom
