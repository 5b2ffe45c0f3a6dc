#include "recordset/LNGedcomRecordSet.h"

#include "recordset/NameRanks.h"

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
    const std::vector<std::uint32_t>* candidates = indisWithNameKey(partial.key());
    if (!candidates) return found;
    for (std::uint32_t position : *candidates) {
        const auto& indi = indiRecords_[position];
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
        if (int order = LNYear::compareTexts(*yearA, *yearB)) return order;
    }
    return compareIndisByName(a, b);
}

} // namespace kinloom
