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
            rankOfText = rankInOrder(views.size(), valueLess(identifier, views));
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
    std::vector<std::uint32_t> rankOfText =
        rankInOrder(texts.texts().size(), valueLess(identifier, texts.texts()));
    ranks.assign(rows.size(), noValue);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (textIndex[i] != noValue) ranks[ids[i]] = rankOfText[textIndex[i]];
    }
    return ranks;
}

} // namespace kinloom
