#include "LNGedcomRecordSet.h"

#include <algorithm>

namespace kinloom {

IndiList LNGedcomRecordSet::indisWithName(StringView typedName) const {
    IndiList found;
    LNGedcomName partial(typedName);
    const std::vector<SharedString>* candidates = indisWithNameKey(partial.key());
    if (!candidates) return found;
    for (const SharedString& key : *candidates) {
        const auto& indi = indiWithKey(key.view());
        if (!indi) continue;
        // Any of the candidate's names may match, not only the one that made
        // it a candidate.
        for (const LNGedcomNode* line : indi->nameArray()) {
            if (LNGedcomName::containPartial(partial, LNGedcomName(line->value().view()))) {
                found.push_back(indi);
                break;
            }
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return compareIndisByName(*a, *b) < 0; });
    return found;
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
