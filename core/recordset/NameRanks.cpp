#include "recordset/NameRanks.h"

#include "recordset/RecordWalk.h"
#include "support/TextServices.h"

#include <compare>
#include <string>
#include <utility>

namespace kinloom {

namespace {

template <typename T> int sign(const T& a, const T& b) {
    return (a > b) - (a < b);
}

} // namespace

NameRanks::NameRanks(std::span<const Ref<LNGedcomIndiRecord>> persons) {
    DistinctTexts texts;
    surname_.reserve(persons.size());
    number_.reserve(persons.size());
    givenStart_.reserve(persons.size() + 1);
    givenStart_.push_back(0);
    // Asked for ahead: a person's name and key lie in other lines of memory.
    forEachRecordAhead<PersonAhead>(persons, [&](const LNGedcomIndiRecord& person, std::size_t) {
        const LNGedcomName* name = person.gedcomName();
        const std::vector<StringView> parts = name ? name->partViews() : std::vector<StringView>();
        std::int32_t surnameIndex = name ? name->surnameIndex() : -1;
        surname_.push_back(surnameIndex >= 0 ? 1 + texts.add(parts[static_cast<std::size_t>(surnameIndex)])
                                             : 0);
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (static_cast<std::int32_t>(i) != surnameIndex) given_.push_back(texts.add(parts[i]));
        }
        givenStart_.push_back(static_cast<std::uint32_t>(given_.size()));
        number_.push_back(keyNumber(person.key().view()));
    });
    rankParts(texts.texts());
    rankPersons();
}

// Replaces every part by its rank in the collation order.
void NameRanks::rankParts(const std::vector<StringView>& texts) {
    std::vector<std::string> keys;
    keys.reserve(texts.size());
    for (StringView text : texts)
        keys.push_back(collationKey(text));
    std::vector<std::uint32_t> textRank =
        rankInOrder(keys.size(), [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    for (std::uint32_t& surname : surname_) {
        if (surname) surname = 1 + textRank[surname - 1];
    }
    for (std::uint32_t& given : given_)
        given = textRank[given];
}

void NameRanks::rankPersons() {
    // Surname and first given name as one number decide most comparisons
    // without reaching for the rest of the name.
    const std::size_t count = surname_.size();
    std::vector<std::pair<std::uint64_t, std::uint32_t>> byName;
    byName.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint64_t first =
            givenStart_[i] < givenStart_[i + 1] ? 1 + std::uint64_t(given_[givenStart_[i]]) : 0;
        byName.emplace_back(std::uint64_t(surname_[i]) << 32 | first, i);
    }
    std::sort(byName.begin(), byName.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return compare(a.second, b.second) < 0;
    });
    ranks_.resize(count);
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

} // namespace kinloom
