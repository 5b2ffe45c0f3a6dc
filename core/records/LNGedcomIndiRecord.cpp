#include "records/LNGedcomIndiRecord.h"

#include "records/LNDate.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

namespace kinloom {

namespace {

// The first level-1 line of each event the life texts read. The lines are
// looked at only as far as needed: once the first BIRT and DEAT are found,
// the rest is read only for a year they lack, as a person's lines are
// seldom in the cache and each costs a trip to memory.
class LifeEvents {
  public:
    LifeEvents(const LNGedcomNode& root, GedcomStandard standard)
        : root_(root), count_(root.numChildren()), standard_(standard) {}

    LNNode* birth() {
        scan(false);
        return birt_;
    }
    LNNode* death() {
        scan(false);
        return deat_;
    }
    std::optional<LNYear> birthYear() {
        if (auto year = yearOf(birth())) return year;
        scan(true);
        for (LNNode* event : {bapt_, chr_, bapm_})
            if (auto year = yearOf(event)) return year;
        return std::nullopt;
    }
    std::optional<LNYear> deathYear() {
        if (auto year = yearOf(death())) return year;
        scan(true);
        return yearOf(buri_);
    }

  private:
    // The year of the event's first DATE line, if it has one.
    std::optional<LNYear> yearOf(const LNNode* event) const {
        const LNNode* date = event ? event->childWithName(u"DATE") : nullptr;
        if (!date) return std::nullopt;
        return LNDate::yearIn(date->value().view(), standard_);
    }

    // Reads further lines, to the end or (unless all) until both the first
    // BIRT and the first DEAT are known.
    void scan(bool all) {
        for (; scanned_ < count_ && (all || !birt_ || !deat_); ++scanned_) {
            LNNode* child = root_.childAt(scanned_);
            StringView tag = child->name().view();
            LNNode** event = tag == u"BIRT"   ? &birt_
                             : tag == u"DEAT" ? &deat_
                             : tag == u"BAPT" ? &bapt_
                             : tag == u"CHR"  ? &chr_
                             : tag == u"BAPM" ? &bapm_
                             : tag == u"BURI" ? &buri_
                                              : nullptr;
            if (event && !*event) *event = child;
        }
    }

    const LNGedcomNode& root_;
    const int count_;
    const GedcomStandard standard_;
    int scanned_ = 0;
    LNNode* birt_ = nullptr;
    LNNode* deat_ = nullptr;
    LNNode* bapt_ = nullptr;
    LNNode* chr_ = nullptr;
    LNNode* bapm_ = nullptr;
    LNNode* buri_ = nullptr;
};

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

std::optional<String> textOf(std::optional<LNYear> year) {
    return year ? std::optional<String>(year->text()) : std::nullopt;
}

int compareTexts(StringView a, StringView b) {
    return localizedCaseInsensitiveCompare(a, b);
}

} // namespace

LNGedcomIndiRecord::LNGedcomIndiRecord(Ref<LNGedcomNode> root, LNGedcomErrors* errors)
    : LNGedcomRecord(std::move(root), errors), links_(*this->root(), {u"NAME", u"FAMC", u"FAMS"}) {
    sex_ = static_cast<LNGedcomNode*>(this->root()->childWithName(u"SEX"));
    if (LNGedcomNode* first = name()) gedcomName_ = std::make_unique<LNGedcomName>(first->value());
}

LNGedcomIndiRecord::~LNGedcomIndiRecord() = default;

std::optional<String> LNGedcomIndiRecord::birthYear(GedcomStandard standard) const {
    return textOf(LifeEvents(*root(), standard).birthYear());
}

std::optional<String> LNGedcomIndiRecord::deathYear(GedcomStandard standard) const {
    return textOf(LifeEvents(*root(), standard).deathYear());
}

// Places do not depend on the standard.
std::optional<String> LNGedcomIndiRecord::birthPlace() const {
    return copied(shortPlace(LifeEvents(*root(), GedcomStandard::Gedcom55).birth()));
}

std::optional<String> LNGedcomIndiRecord::deathPlace() const {
    return copied(shortPlace(LifeEvents(*root(), GedcomStandard::Gedcom55).death()));
}

LNGedcomIndiRecord::LifeTexts LNGedcomIndiRecord::lifeTexts(GedcomStandard standard) const {
    LifeEvents events(*root(), standard);
    LifeTexts texts;
    texts.birthYear = events.birthYear();
    texts.birthPlace = shortPlace(events.birth());
    texts.deathYear = events.deathYear();
    texts.deathPlace = shortPlace(events.death());
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
