#include "recordset/NameRanks.h"

#include "recordset/RecordWalk.h"
#include "support/TextServices.h"

#include <bit>
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
    rankPersons(texts.texts().size());
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

namespace {

// Sorts the persons by name: by the head of each entry (surname and first
// given name), then by compare, which only ever sees persons of one head;
// persons of one head that compare finds equal share a rank.
template <typename Entry, typename Head, typename Position, typename Compare>
void rankInNameOrder(std::vector<Entry>& byName, Head head, Position position, Compare compare,
                     std::vector<std::uint32_t>& ranks) {
    std::sort(byName.begin(), byName.end(), [&](const Entry& a, const Entry& b) {
        if (head(a) != head(b)) return head(a) < head(b);
        return compare(position(a), position(b)) < 0;
    });
    ranks.resize(byName.size());
    std::uint32_t current = 0;
    for (std::size_t i = 0; i < byName.size(); ++i) {
        if (i > 0 && (head(byName[i - 1]) != head(byName[i]) ||
                      compare(position(byName[i - 1]), position(byName[i])) != 0))
            ++current;
        ranks[position(byName[i])] = current;
    }
}

} // namespace

void NameRanks::rankPersons(std::size_t parts) {
    // Surname and first given name as one number decide most comparisons
    // without reaching for the rest of the name.
    const std::size_t count = surname_.size();
    auto first = [&](std::uint32_t i) -> std::uint64_t {
        return givenStart_[i] < givenStart_[i + 1] ? 1 + std::uint64_t(given_[givenStart_[i]]) : 0;
    };
    auto compareAt = [this](std::size_t a, std::size_t b) { return compare(a, b); };
    // Where surname, first given name (each at most parts) and position fit
    // in 64 bits, as in nearly every file, a person is one number: half the
    // memory of a pair.
    const int partBits = std::bit_width(parts);
    const int positionBits = std::bit_width(count);
    if (2 * partBits + positionBits <= 64) {
        std::vector<std::uint64_t> byName;
        byName.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i)
            byName.push_back(((std::uint64_t(surname_[i]) << partBits | first(i)) << positionBits) | i);
        surname_ = std::vector<std::uint32_t>();
        const std::uint64_t positionMask = (std::uint64_t{1} << positionBits) - 1;
        rankInNameOrder(
            byName, [&](std::uint64_t entry) { return entry >> positionBits; },
            [&](std::uint64_t entry) { return static_cast<std::uint32_t>(entry & positionMask); }, compareAt,
            ranks_);
        return;
    }
    std::vector<std::pair<std::uint64_t, std::uint32_t>> byName;
    byName.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        byName.emplace_back(std::uint64_t(surname_[i]) << 32 | first(i), i);
    surname_ = std::vector<std::uint32_t>();
    rankInNameOrder(
        byName, [](const auto& entry) { return entry.first; }, [](const auto& entry) { return entry.second; },
        compareAt, ranks_);
}

int NameRanks::compare(std::size_t a, std::size_t b) const {
    auto givenA = given_.begin() + givenStart_[a], endA = given_.begin() + givenStart_[a + 1];
    auto givenB = given_.begin() + givenStart_[b], endB = given_.begin() + givenStart_[b + 1];
    // Pair by pair, then fewer names first.
    if (auto order = std::lexicographical_compare_three_way(givenA, endA, givenB, endB); order != 0)
        return order < 0 ? -1 : 1;
    return sign(number_[a], number_[b]);
}

} // namespace kinloom
