#include "LNPersonSorter.h"

#include "LNGedcomRecordSet.h"
#include "SystemLog.h"
#include "TextServices.h"

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

// Ranks texts in the order less gives: equal texts share a rank.
template <typename Less>
std::vector<std::uint32_t> rankTexts(const std::vector<StringView>& texts, Less less) {
    std::vector<std::uint32_t> byOrder(texts.size());
    std::iota(byOrder.begin(), byOrder.end(), 0);
    std::sort(byOrder.begin(), byOrder.end(), less);
    std::vector<std::uint32_t> rank(texts.size());
    std::uint32_t current = 0;
    for (std::size_t i = 0; i < byOrder.size(); ++i) {
        if (i > 0 && less(byOrder[i - 1], byOrder[i])) ++current;
        rank[byOrder[i]] = current;
    }
    return rank;
}

// Collects distinct texts, numbering them in order of first appearance. The
// views must outlive the collection.
class DistinctTexts {
  public:
    std::uint32_t add(StringView text) {
        auto [entry, added] = indices_.try_emplace(text, static_cast<std::uint32_t>(texts_.size()));
        if (added) texts_.push_back(text);
        return entry->second;
    }
    const std::vector<StringView>& texts() const { return texts_; }

  private:
    std::unordered_map<StringView, std::uint32_t> indices_;
    std::vector<StringView> texts_;
};

// The rank of each person in the name order of compareIndisByName; persons
// it finds equal share a rank. Every distinct surname and given name is
// collated once and replaced by its rank, so that names compare as numbers.
class NameRanks {
  public:
    explicit NameRanks(const IndiList& persons);
    const std::vector<std::uint32_t>& ranks() const { return ranks_; }

  private:
    int compare(std::size_t a, std::size_t b) const;

    std::vector<std::uint32_t> surname_; // 0 without surname, else 1 + rank
    std::vector<std::uint32_t> givenStart_;
    std::vector<std::uint32_t> given_; // ranks, person after person
    std::vector<std::int32_t> number_;
    std::vector<std::uint32_t> ranks_;
};

NameRanks::NameRanks(const IndiList& persons) {
    DistinctTexts texts;
    surname_.reserve(persons.size());
    number_.reserve(persons.size());
    givenStart_.reserve(persons.size() + 1);
    givenStart_.push_back(0);
    for (const auto& person : persons) {
        const LNGedcomName* name = person->gedcomName();
        const std::vector<StringView> parts = name ? name->partViews() : std::vector<StringView>();
        std::int32_t surnameIndex = name ? name->surnameIndex() : -1;
        surname_.push_back(surnameIndex >= 0 ? 1 + texts.add(parts[static_cast<std::size_t>(surnameIndex)]) : 0);
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (static_cast<std::int32_t>(i) != surnameIndex) given_.push_back(texts.add(parts[i]));
        }
        givenStart_.push_back(static_cast<std::uint32_t>(given_.size()));
        number_.push_back(keyNumber(person->key().view()));
    }

    std::vector<std::string> keys;
    keys.reserve(texts.texts().size());
    for (StringView text : texts.texts())
        keys.push_back(collationKey(text));
    std::vector<std::uint32_t> textRank =
        rankTexts(texts.texts(), [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    for (std::uint32_t& surname : surname_) {
        if (surname) surname = 1 + textRank[surname - 1];
    }
    for (std::uint32_t& given : given_)
        given = textRank[given];

    // Surname and first given name as one number decide most comparisons
    // without reaching for the rest of the name.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> byName;
    byName.reserve(persons.size());
    for (std::uint32_t i = 0; i < persons.size(); ++i) {
        std::uint64_t first =
            givenStart_[i] < givenStart_[i + 1] ? 1 + std::uint64_t(given_[givenStart_[i]]) : 0;
        byName.emplace_back(std::uint64_t(surname_[i]) << 32 | first, i);
    }
    std::sort(byName.begin(), byName.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return compare(a.second, b.second) < 0;
    });
    ranks_.resize(persons.size());
    std::uint32_t current = 0;
    for (std::size_t i = 0; i < byName.size(); ++i) {
        if (i > 0 && compare(byName[i - 1].second, byName[i].second) != 0) ++current;
        ranks_[byName[i].second] = current;
    }
}

int NameRanks::compare(std::size_t a, std::size_t b) const {
    if (int order = sign(surname_[a], surname_[b])) return order;
    auto givenA = given_.begin() + givenStart_[a], endA = given_.begin() + givenStart_[a + 1];
    auto givenB = given_.begin() + givenStart_[b], endB = given_.begin() + givenStart_[b + 1];
    // Pair by pair, then fewer names first.
    if (auto order = std::lexicographical_compare_three_way(givenA, endA, givenB, endB); order != 0)
        return order < 0 ? -1 : 1;
    return sign(number_[a], number_[b]);
}

// Puts the rows and their ids into the order of the positions.
void permute(IndiList& rows, std::vector<std::uint32_t>& ids, const std::vector<std::uint32_t>& order) {
    IndiList sortedRows;
    std::vector<std::uint32_t> sortedIds;
    sortedRows.reserve(rows.size());
    sortedIds.reserve(rows.size());
    for (std::uint32_t position : order) {
        sortedRows.push_back(std::move(rows[position]));
        sortedIds.push_back(ids[position]);
    }
    rows = std::move(sortedRows);
    ids = std::move(sortedIds);
}

// The positions in the order of one number each; equal numbers keep their order.
std::vector<std::uint32_t> orderByKeys(const std::vector<std::uint64_t>& keys) {
    std::vector<std::pair<std::uint64_t, std::uint32_t>> pairs;
    pairs.reserve(keys.size());
    for (std::uint32_t i = 0; i < keys.size(); ++i)
        pairs.emplace_back(keys[i], i);
    std::sort(pairs.begin(), pairs.end());
    std::vector<std::uint32_t> order;
    order.reserve(keys.size());
    for (const auto& pair : pairs)
        order.push_back(pair.second);
    return order;
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

void LNPersonSorter::sort(IndiList& rows, std::vector<std::uint32_t>& ids, StringView identifier) {
    std::vector<std::uint32_t> order;
    if (identifier == u"id" || identifier == u"name" || isTextColumn(identifier)) {
        std::vector<std::uint64_t> keys(rows.size());
        const std::vector<std::uint32_t>* names = identifier == u"id" ? nullptr : &nameRanks(rows, ids);
        const std::vector<std::uint32_t>* texts =
            isTextColumn(identifier) ? &textRanks(rows, ids, identifier) : nullptr;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            std::uint32_t id = ids[i];
            if (!names)
                keys[i] = id;
            else if (!texts)
                keys[i] = (*names)[id];
            else
                keys[i] = std::uint64_t((*texts)[id]) << 32 | (*names)[id];
        }
        order = orderByKeys(keys);
    } else {
        order.resize(rows.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return comparePersons(*rows[a], *rows[b], identifier) < 0;
        });
    }
    permute(rows, ids, order);
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

const std::vector<std::uint32_t>& LNPersonSorter::nameRanks(const IndiList& rows,
                                                            const std::vector<std::uint32_t>& ids) {
    if (nameRanks_.size() == rows.size()) return nameRanks_;
    NameRanks names(rows);
    nameRanks_.assign(rows.size(), 0);
    for (std::size_t i = 0; i < rows.size(); ++i)
        nameRanks_[ids[i]] = names.ranks()[i];
    return nameRanks_;
}

// Persons with a value first, in the column's order of values; those without last.
const std::vector<std::uint32_t>& LNPersonSorter::textRanks(const IndiList& rows,
                                                            const std::vector<std::uint32_t>& ids,
                                                            StringView identifier) {
    std::vector<std::uint32_t>& ranks = textRanks_[String(identifier)];
    if (ranks.size() == rows.size()) return ranks;
    auto noted = textNumbers_.find(String(identifier));
    if (noted != textNumbers_.end() && noted->second.size() == rows.size()) {
        std::vector<std::uint32_t>& rankOfText = isYearColumn(identifier) ? rankOfYearText_ : rankOfText_;
        if (rankOfText.size() != texts_.size()) {
            std::vector<StringView> views(texts_.begin(), texts_.end());
            rankOfText = rankTexts(views, valueLess(identifier, views));
        }
        ranks.resize(rows.size());
        for (std::size_t id = 0; id < rows.size(); ++id) {
            std::uint32_t number = noted->second[id];
            ranks[id] = number == noText ? noText : rankOfText[number];
        }
        return ranks;
    }
    constexpr std::uint32_t noValue = noText;
    DistinctTexts texts;
    std::vector<std::uint32_t> textIndex(rows.size(), noValue);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        bool present = false;
        StringView text = textOf(*rows[i], identifier, &present);
        if (present) textIndex[i] = texts.add(text);
    }
    std::vector<std::uint32_t> rankOfText = rankTexts(texts.texts(), valueLess(identifier, texts.texts()));
    ranks.assign(rows.size(), noValue);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (textIndex[i] != noValue) ranks[ids[i]] = rankOfText[textIndex[i]];
    }
    return ranks;
}

} // namespace kinloom
