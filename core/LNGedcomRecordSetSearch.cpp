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
    keyIndex_.forEachAhead(
        candidates->size(), [&](std::size_t c) -> const SharedString& { return (*candidates)[c]; },
        [&](std::size_t, StringView key, std::uint64_t hash) {
            const auto& indi = atPosition(indiRecords_, positionOf(kindIndi, key, hash));
            if (!indi) return;
            // Any of the candidate's names may match, not only the one that
            // made it a candidate. The first is parsed already.
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
        });
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
        if (int order = yearA->compare(*yearB)) return order < 0 ? -1 : 1;
    }
    return compareIndisByName(a, b);
}

} // namespace kinloom
