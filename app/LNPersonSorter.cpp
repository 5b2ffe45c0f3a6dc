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

std::int64_t idOf(const LNGedcomIndiRecord& person) {
    const AttributeValue* id = person.attributeForKey(u"id");
    const std::int64_t* number = id ? std::get_if<std::int64_t>(id) : nullptr;
    return number ? *number : 0;
}

StringView textOf(const LNGedcomIndiRecord& person, StringView identifier, bool* present) {
    const SharedString* text = attributeString(person.attributeForKey(identifier));
    *present = text != nullptr;
    return text ? text->view() : StringView();
}

template <typename T> int sign(const T& a, const T& b) {
    return (a > b) - (a < b);
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
        const auto* parts = name && name->parts() ? &*name->parts() : nullptr;
        std::int32_t surnameIndex = parts ? name->surnameIndex() : -1;
        surname_.push_back(surnameIndex >= 0 ? 1 + texts.add((*parts)[surnameIndex]) : 0);
        for (std::size_t i = 0; parts && i < parts->size(); ++i) {
            if (static_cast<std::int32_t>(i) != surnameIndex) given_.push_back(texts.add((*parts)[i]));
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

    std::vector<std::uint32_t> byName(persons.size());
    std::iota(byName.begin(), byName.end(), 0);
    std::sort(byName.begin(), byName.end(),
              [&](std::uint32_t a, std::uint32_t b) { return compare(a, b) < 0; });
    ranks_.resize(persons.size());
    std::uint32_t current = 0;
    for (std::size_t i = 0; i < byName.size(); ++i) {
        if (i > 0 && compare(byName[i - 1], byName[i]) != 0) ++current;
        ranks_[byName[i]] = current;
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

// Sorts the persons by one number each; equal numbers keep their order.
void sortByKeys(IndiList& persons, const std::vector<std::uint64_t>& keys) {
    std::vector<std::pair<std::uint64_t, std::uint32_t>> order;
    order.reserve(persons.size());
    for (std::uint32_t i = 0; i < persons.size(); ++i)
        order.emplace_back(keys[i], i);
    std::sort(order.begin(), order.end());
    IndiList sorted;
    sorted.reserve(persons.size());
    for (const auto& [key, position] : order)
        sorted.push_back(std::move(persons[position]));
    persons = std::move(sorted);
}

// The sort numbers of a text column: persons with a value first, by text,
// then by name; persons without by name.
std::vector<std::uint64_t> textColumnKeys(const IndiList& persons, StringView identifier,
                                          const std::vector<std::uint32_t>& nameRank) {
    constexpr std::uint32_t noValue = UINT32_MAX;
    DistinctTexts texts;
    std::vector<std::uint32_t> textIndex(persons.size(), noValue);
    for (std::size_t i = 0; i < persons.size(); ++i) {
        bool present = false;
        StringView text = textOf(*persons[i], identifier, &present);
        if (present) textIndex[i] = texts.add(text);
    }
    std::vector<std::uint32_t> textRank = rankTexts(
        texts.texts(), [&](std::uint32_t a, std::uint32_t b) { return texts.texts()[a] < texts.texts()[b]; });
    std::vector<std::uint64_t> keys(persons.size());
    for (std::size_t i = 0; i < persons.size(); ++i) {
        std::uint64_t group = textIndex[i] == noValue ? noValue : textRank[textIndex[i]];
        keys[i] = group << 32 | nameRank[i];
    }
    return keys;
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
        if (int order = a.compare(b)) return order < 0 ? -1 : 1;
        return compareIndisByName(first, second);
    }
    if (identifier == u"id") return sign(idOf(first), idOf(second));
    systemLog("YIKES, WE SHOULDN'T BE HERE!");
    return 0;
}

void LNPersonSorter::sort(IndiList& rows, StringView identifier) {
    std::vector<std::uint64_t> keys;
    if (identifier == u"id") {
        keys.reserve(rows.size());
        for (const auto& person : rows)
            keys.push_back(static_cast<std::uint64_t>(idOf(*person)));
    } else if (identifier == u"name") {
        const std::vector<std::uint32_t>& ranks = nameRanks(rows);
        keys.assign(ranks.begin(), ranks.end());
    } else if (isTextColumn(identifier)) {
        keys = textColumnKeys(rows, identifier, nameRanks(rows));
    } else {
        std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
            return comparePersons(*a, *b, identifier) < 0;
        });
        return;
    }
    sortByKeys(rows, keys);
}

// The name ranks of the rows in their current order, from the ranks kept by id.
const std::vector<std::uint32_t>& LNPersonSorter::nameRanks(const IndiList& rows) {
    std::vector<std::size_t> slots(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::int64_t id = idOf(*rows[i]);
        if (id < 1 || id > static_cast<std::int64_t>(rows.size())) {
            // Rows this sorter cannot keep ranks for.
            nameRankById_.clear();
            nameRankByRow_ = NameRanks(rows).ranks();
            return nameRankByRow_;
        }
        slots[i] = static_cast<std::size_t>(id - 1);
    }
    if (nameRankById_.size() != rows.size()) {
        nameRankByRow_ = NameRanks(rows).ranks();
        nameRankById_.assign(rows.size(), 0);
        for (std::size_t i = 0; i < rows.size(); ++i)
            nameRankById_[slots[i]] = nameRankByRow_[i];
        return nameRankByRow_;
    }
    nameRankByRow_.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        nameRankByRow_[i] = nameRankById_[slots[i]];
    return nameRankByRow_;
}

} // namespace kinloom
