#include "LNGedcomRecordSet.h"

#include "TextServices.h"

#include <algorithm>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace kinloom {

namespace {

// A person's place in the name order (see compareByName) with every name
// part turned into its collation key once: sorting the found persons then
// compares bytes instead of collating text in every comparison.
struct NameOrder {
    bool hasSurname = false;
    std::string surname;
    std::vector<std::string> givenNames;
    std::int32_t number = 0;

    explicit NameOrder(const LNGedcomIndiRecord& indi) : number(keyNumber(indi.key().view())) {
        const LNGedcomName* name = indi.gedcomName();
        if (!name) return;
        if (std::optional<String> part = name->surname()) {
            hasSurname = true;
            surname = collationKey(*part);
        }
        for (const String& given : name->givenNames())
            givenNames.push_back(collationKey(given));
    }

    bool operator<(const NameOrder& other) const {
        if (hasSurname != other.hasSurname) return !hasSurname;
        if (int order = surname.compare(other.surname)) return order < 0;
        std::size_t common = std::min(givenNames.size(), other.givenNames.size());
        for (std::size_t i = 0; i < common; ++i) {
            if (int order = givenNames[i].compare(other.givenNames[i])) return order < 0;
        }
        if (givenNames.size() != other.givenNames.size()) return givenNames.size() < other.givenNames.size();
        return number < other.number;
    }
};

} // namespace

IndiList LNGedcomRecordSet::indisWithName(StringView typedName) const {
    IndiList found;
    LNGedcomName partial(typedName);
    const std::vector<SharedString>* candidates = indisWithNameKey(partial.key());
    if (!candidates) return found;
    // The candidates' keys, slots and records lie scattered in memory: their
    // hashes are taken first and each slot is asked for some candidates
    // ahead, so that the waits overlap.
    const std::size_t count = candidates->size();
    std::vector<std::uint64_t> hashes(count);
    for (std::size_t i = 0; i < count; ++i)
        hashes[i] = recordKeyHash((*candidates)[i].view());
    constexpr std::size_t ahead = 8;
    for (std::size_t i = 0; i < std::min(ahead, count); ++i)
        keyIndex_.prefetch(hashes[i]);
    for (std::size_t c = 0; c < count; ++c) {
        if (c + ahead < count) keyIndex_.prefetch(hashes[c + ahead]);
        const auto& indi = atPosition(indiRecords_, positionOf(kindIndi, (*candidates)[c].view(), hashes[c]));
        if (!indi) continue;
        // Any of the candidate's names may match, not only the one that made
        // it a candidate. The first is parsed already.
        std::span<LNGedcomNode* const> names = indi->nameArray();
        for (std::size_t i = 0; i < names.size(); ++i) {
            bool matches =
                i == 0 ? LNGedcomName::containPartial(partial, *indi->gedcomName())
                       : LNGedcomName::containPartial(partial, LNGedcomName(names[i]->value().view()));
            if (matches) {
                found.push_back(indi);
                break;
            }
        }
    }
    std::vector<std::pair<NameOrder, std::size_t>> orders;
    orders.reserve(found.size());
    for (std::size_t i = 0; i < found.size(); ++i)
        orders.emplace_back(NameOrder(*found[i]), i);
    std::stable_sort(orders.begin(), orders.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    IndiList sorted;
    sorted.reserve(found.size());
    for (const auto& order : orders)
        sorted.push_back(std::move(found[order.second]));
    return sorted;
}

int compareIndisByName(const LNGedcomIndiRecord& a, const LNGedcomIndiRecord& b) {
    return a.compareByName(b);
}

int compareIndisByBirthYear(const LNGedcomIndiRecord& a, const LNGedcomIndiRecord& b, void*) {
    std::optional<String> yearA = a.birthYear();
    std::optional<String> yearB = b.birthYear();
    if (yearA && !yearB) return -1;
    if (!yearA && yearB) return 1;
    if (yearA) {
        if (int order = LNYear::compareTexts(*yearA, *yearB)) return order;
    }
    return compareIndisByName(a, b);
}

} // namespace kinloom
