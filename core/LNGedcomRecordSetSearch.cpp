#include "LNGedcomRecordSet.h"

#include "NameRanks.h"

#include <algorithm>
#include <numeric>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace kinloom {

namespace {

// The persons in the name order, stably.
IndiList sortedByName(IndiList persons) {
    NameRanks names(persons);
    const std::vector<std::uint32_t>& ranks = names.ranks();
    std::vector<std::uint32_t> order(persons.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return ranks[a] < ranks[b]; });
    IndiList sorted;
    sorted.reserve(persons.size());
    for (std::uint32_t position : order)
        sorted.push_back(std::move(persons[position]));
    return sorted;
}

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
    return sortedByName(std::move(found));
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
        if (int order = yearA->compare(*yearB)) return order < 0 ? -1 : 1;
    }
    return compareIndisByName(a, b);
}

} // namespace kinloom
