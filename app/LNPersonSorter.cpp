#include "LNPersonSorter.h"

#include "recordset/LNGedcomRecordSet.h"
#include "recordset/NameRanks.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace kinloom {

namespace {

bool isTextColumn(StringView identifier) {
    return identifier == u"birthYear" || identifier == u"birthPlace" || identifier == u"deathYear" ||
           identifier == u"deathPlace";
}

// The values are read as copies, not through attributeForKey, which would
// leave a lasting copy on every person compared (see RecordAttributes).
std::int64_t idOf(const LNGedcomIndiRecord& person) {
    std::optional<AttributeValue> id = person.attributeValue(u"id");
    const std::int64_t* number = id ? std::get_if<std::int64_t>(&*id) : nullptr;
    return number ? *number : 0;
}

// The view stays valid after the copy goes: the person holds the same text.
StringView textOf(const LNGedcomIndiRecord& person, StringView identifier, bool* present) {
    std::optional<AttributeValue> value = person.attributeValue(identifier);
    const SharedString* text = value ? std::get_if<SharedString>(&*value) : nullptr;
    *present = text != nullptr;
    return text ? text->view() : StringView();
}

template <typename T> int sign(const T& a, const T& b) {
    return (a > b) - (a < b);
}

bool isYearColumn(StringView identifier) {
    return identifier == u"birthYear" || identifier == u"deathYear";
}

// The order of a text column's values: years in time order, places by code
// unit. Negative, zero or positive.
int compareValues(bool years, StringView a, StringView b) {
    if (years) return LNYear::compareTexts(a, b);
    return sign(a, b);
}

// Orders text numbers as the column orders the texts.
auto valueLess(StringView identifier, const std::vector<StringView>& texts) {
    return [years = isYearColumn(identifier), &texts](std::uint32_t a, std::uint32_t b) {
        return compareValues(years, texts[a], texts[b]) < 0;
    };
}

// Sorts the ids (row by row) by the key of each; equal keys keep their
// order. A key of 32 bits sorts with its row in one number, half the memory
// of a pair.
template <typename KeyOf> void sortByKey(std::vector<std::uint32_t>& ids, KeyOf keyOf) {
    constexpr bool narrow = sizeof(keyOf(std::uint32_t{})) == 4;
    using Keyed = std::conditional_t<narrow, std::uint64_t, std::pair<std::uint64_t, std::uint32_t>>;
    std::vector<Keyed> keyed;
    keyed.reserve(ids.size());
    for (std::uint32_t row = 0; row < ids.size(); ++row) {
        if constexpr (narrow)
            keyed.push_back(std::uint64_t(keyOf(ids[row])) << 32 | row);
        else
            keyed.emplace_back(keyOf(ids[row]), row);
    }
    std::sort(keyed.begin(), keyed.end());
    // Each row's place holds its id, then the ids go back in that order.
    for (Keyed& entry : keyed) {
        if constexpr (narrow)
            entry = entry >> 32 << 32 | ids[static_cast<std::uint32_t>(entry)];
        else
            entry.second = ids[entry.second];
    }
    for (std::size_t row = 0; row < ids.size(); ++row) {
        if constexpr (narrow)
            ids[row] = static_cast<std::uint32_t>(keyed[row]);
        else
            ids[row] = keyed[row].second;
    }
}

} // namespace

int comparePersons(const LNGedcomIndiRecord& first, const LNGedcomIndiRecord& second, StringView identifier) {
    if (identifier == u"name") return compareIndisByName(first, second);
    if (isTextColumn(identifier)) {
        bool firstHas = false, secondHas = false;
        StringView a = textOf(first, identifier, &firstHas);
        StringView b = textOf(second, identifier, &secondHas);
        if (!firstHas && !secondHas) return compareIndisByName(first, second);
        if (!secondHas) return -1;
        if (!firstHas) return 1;
        if (int order = compareValues(isYearColumn(identifier), a, b)) return order;
        return compareIndisByName(first, second);
    }
    if (identifier == u"id") return sign(idOf(first), idOf(second));
    systemLog("YIKES, WE SHOULDN'T BE HERE!");
    return 0;
}

void LNPersonSorter::sort(const IndiList& persons, std::vector<std::uint32_t>& ids, StringView identifier) {
    if (identifier == u"id") {
        sortByKey(ids, [](std::uint32_t id) { return id; });
    } else if (identifier == u"name" || isTextColumn(identifier)) {
        const std::vector<std::uint32_t>& names = nameRanks(persons);
        const std::vector<std::uint32_t>* texts =
            isTextColumn(identifier) ? &textRanks(persons, identifier) : nullptr;
        // A column without texts is in the name order.
        if (!texts || texts->empty())
            sortByKey(ids, [&](std::uint32_t id) { return names[id]; });
        else
            sortByKey(ids, [&](std::uint32_t id) { return std::uint64_t((*texts)[id]) << 32 | names[id]; });
    } else {
        std::stable_sort(ids.begin(), ids.end(), [&](std::uint32_t a, std::uint32_t b) {
            return comparePersons(*persons[a], *persons[b], identifier) < 0;
        });
    }
}

void LNPersonSorter::forget() {
    nameRanks_.clear();
    textRanks_.clear();
    texts_.clear();
    textNumbers_.clear();
    rankOfText_.clear();
    rankOfYearText_.clear();
}

void LNPersonSorter::setTexts(std::vector<SharedString> texts,
                              std::unordered_map<String, std::vector<std::uint32_t>> numbersById) {
    texts_ = std::move(texts);
    textNumbers_ = std::move(numbersById);
    rankOfText_.clear();
    rankOfYearText_.clear();
}

const std::vector<std::uint32_t>& LNPersonSorter::nameRanks(const IndiList& persons) {
    if (nameRanks_.size() != persons.size()) nameRanks_ = NameRanks(persons).ranks();
    return nameRanks_;
}

// Persons with a value first, in the column's order of values; those without last.
const std::vector<std::uint32_t>& LNPersonSorter::textRanks(const IndiList& persons, StringView identifier) {
    auto [entry, added] = textRanks_.try_emplace(String(identifier));
    std::vector<std::uint32_t>& ranks = entry->second;
    if (!added) return ranks;
    auto noted = textNumbers_.find(String(identifier));
    if (noted != textNumbers_.end() && noted->second.size() == persons.size()) {
        std::vector<std::uint32_t>& rankOfText = isYearColumn(identifier) ? rankOfYearText_ : rankOfText_;
        if (rankOfText.size() != texts_.size()) {
            std::vector<StringView> views(texts_.begin(), texts_.end());
            rankOfText = rankInOrder(views.size(), valueLess(identifier, views));
        }
        ranks.resize(persons.size());
        for (std::size_t id = 0; id < persons.size(); ++id) {
            std::uint32_t number = noted->second[id];
            ranks[id] = number == noText ? noText : rankOfText[number];
        }
        return ranks;
    }
    if (noted != textNumbers_.end() && noted->second.empty()) return ranks;
    DistinctTexts texts;
    std::vector<std::uint32_t> textIndex(persons.size(), noText);
    for (std::size_t id = 0; id < persons.size(); ++id) {
        bool present = false;
        StringView text = textOf(*persons[id], identifier, &present);
        if (present) textIndex[id] = texts.add(text);
    }
    if (texts.texts().empty()) return ranks;
    std::vector<std::uint32_t> rankOfText =
        rankInOrder(texts.texts().size(), valueLess(identifier, texts.texts()));
    ranks.assign(persons.size(), noText);
    for (std::size_t id = 0; id < persons.size(); ++id) {
        if (textIndex[id] != noText) ranks[id] = rankOfText[textIndex[id]];
    }
    return ranks;
}

} // namespace kinloom
