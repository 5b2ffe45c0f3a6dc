#include "LNGedcomIndiRecord.h"

#include "LNDate.h"
#include "SystemLog.h"
#include "TextServices.h"

namespace kinloom {

namespace {

// The first DATE or PLAC line of the first event with the tag.
LNNode* eventDetail(const LNGedcomNode& root, StringView event, StringView detail) {
    LNNode* node = root.childWithName(event);
    return node ? node->childWithName(detail) : nullptr;
}

std::optional<String> yearOfFirstEvent(const LNGedcomNode& root, std::initializer_list<StringView> events) {
    for (StringView event : events) {
        LNNode* date = eventDetail(root, event, u"DATE");
        if (!date) continue;
        auto parsed = LNDate::initFromString(date->value().view());
        if (parsed && parsed->yearString()) return parsed->yearString();
    }
    return std::nullopt;
}

// The most general part of the place, or for these two countries the
// province or state before it.
std::optional<String> shortPlace(const LNGedcomNode& root, StringView event) {
    LNNode* place = eventDetail(root, event, u"PLAC");
    if (!place || place->value().empty()) return std::nullopt;
    std::vector<StringView> pieces = splitByString(place->value().view(), u", ");
    StringView last = pieces.back();
    if (last != u"Canada" && last != u"United States") return String(last);
    systemLog("Found case of location ending with " + toUtf8(last));
    if (pieces.size() == 1) return String(last);
    StringView region = pieces[pieces.size() - 2];
    systemLog("found the special case and we should return " + toUtf8(region));
    return String(region);
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

std::optional<String> LNGedcomIndiRecord::birthYear() const {
    return yearOfFirstEvent(*root(), {u"BIRT", u"BAPT", u"CHR", u"BAPM"});
}

std::optional<String> LNGedcomIndiRecord::deathYear() const {
    return yearOfFirstEvent(*root(), {u"DEAT", u"BURI"});
}

std::optional<String> LNGedcomIndiRecord::birthPlace() const {
    return shortPlace(*root(), u"BIRT");
}

std::optional<String> LNGedcomIndiRecord::deathPlace() const {
    return shortPlace(*root(), u"DEAT");
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
