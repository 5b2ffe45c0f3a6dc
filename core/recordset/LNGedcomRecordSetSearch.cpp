#include "recordset/LNGedcomRecordSet.h"

#include "recordset/NameRanks.h"
#include "support/TextServices.h"

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

int compareIndisByBirthYear(const LNGedcomIndiRecord& a, const LNGedcomIndiRecord& b, void* context) {
    const GedcomStandard standard =
        context ? *static_cast<const GedcomStandard*>(context) : GedcomStandard::Gedcom55;
    std::optional<String> yearA = a.birthYear(standard);
    std::optional<String> yearB = b.birthYear(standard);
    if (yearA && !yearB) return -1;
    if (!yearA && yearB) return 1;
    if (yearA) {
        if (int order = LNYear::compareTexts(*yearA, *yearB)) return order;
    }
    return compareIndisByName(a, b);
}

namespace {

// A name's parts as the start search compares them.
struct FoldedName {
    std::vector<String> given;
    std::optional<String> surname;
};

FoldedName foldedName(const LNGedcomName& name) {
    FoldedName folded;
    const std::vector<StringView> parts = name.partViews();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (static_cast<std::int32_t>(i) == name.surnameIndex())
            folded.surname = foldForSearch(parts[i]);
        else
            folded.given.push_back(foldForSearch(parts[i]));
    }
    return folded;
}

bool startsWith(StringView text, StringView start) {
    return text.substr(0, start.size()) == start;
}

bool startsLike(const FoldedName& typed, const LNGedcomName& name) {
    const std::vector<StringView> parts = name.partViews();
    const std::int32_t surname = name.surnameIndex();
    if (typed.surname &&
        (surname < 0 || !startsWith(foldForSearch(parts[static_cast<std::size_t>(surname)]), *typed.surname)))
        return false;
    std::size_t next = 0;
    for (std::size_t i = 0; i < parts.size() && next < typed.given.size(); ++i)
        if (static_cast<std::int32_t>(i) != surname && startsWith(foldForSearch(parts[i]), typed.given[next]))
            ++next;
    return next == typed.given.size();
}

} // namespace

IndiList LNGedcomRecordSet::indisWithNameStart(StringView typedName) const {
    const FoldedName typed = foldedName(LNGedcomName(typedName));
    IndiList found;
    if (typed.given.empty() && !typed.surname) return found;
    for (const auto& indi : indiRecords_) {
        std::span<LNGedcomNode* const> names = indi->nameArray();
        for (std::size_t i = 0; i < names.size(); ++i) {
            const bool matches = i == 0 ? indi->gedcomName() && startsLike(typed, *indi->gedcomName())
                                        : startsLike(typed, LNGedcomName(names[i]->value().view()));
            if (matches) {
                found.push_back(indi);
                break;
            }
        }
    }
    return sortedByName(std::move(found));
}

IndiList LNGedcomRecordSet::indisMatchingName(StringView typedName) const {
    IndiList found = indisWithName(typedName);
    return found.empty() ? indisWithNameStart(typedName) : found;
}

} // namespace kinloom
