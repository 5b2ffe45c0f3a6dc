#include "recordset/LNRelationWalk.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace kinloom {

namespace {

using FirstMet = std::unordered_map<const LNGedcomIndiRecord*, int>;

// Adds the entry, marked as a repeat when the person was met before; true
// when it is new, so that the walk goes on from it.
bool addEntry(std::vector<LNWalkEntry>& entries, FirstMet& met, LNWalkEntry entry) {
    auto [first, isNew] = met.try_emplace(entry.indi, static_cast<int>(entries.size()));
    if (!isNew) entry.repeatOf = first->second;
    entries.push_back(entry);
    return isNew;
}

// Lists the person walked from; the generations to walk, clamped, or 0 for none.
int startWalk(std::vector<LNWalkEntry>& entries, FirstMet& met, const LNGedcomIndiRecord& indi,
              std::uint64_t number, int generations) {
    if (generations < 1) return 0;
    addEntry(entries, met, {&indi, number, -1, 1});
    return std::min(generations, maxWalkGenerations);
}

// A descendant walk's place: the person's entry, its families, and how far
// through them (family, child within it, children numbered so far).
struct Frame {
    int entry;
    FamList families = {};
    std::size_t family = 0;
    IndiList children = {};
    std::size_t child = 0;
    std::uint64_t ordinal = 0;
};

} // namespace

std::vector<LNWalkEntry> ancestorsOfIndi(const LNGedcomRecordSet& records, const LNGedcomIndiRecord& indi,
                                         int generations) {
    std::vector<LNWalkEntry> entries;
    FirstMet met;
    generations = startWalk(entries, met, indi, 1, generations);
    if (generations == 0) return entries;
    // Breadth first: the entries are taken in Sosa order, and each adds its
    // father (2n) and mother (2n + 1) after everything added so far, so the
    // list stays in ascending order and a person is first met at its
    // smallest number.
    for (std::size_t next = 0; next < entries.size(); ++next) {
        const LNWalkEntry at = entries[next];
        if (at.repeatOf >= 0 || at.generation >= generations) continue;
        const int from = static_cast<int>(next);
        if (auto father = records.fatherOfIndi(*at.indi))
            addEntry(entries, met, {father.get(), 2 * at.number, from, at.generation + 1});
        if (auto mother = records.motherOfIndi(*at.indi))
            addEntry(entries, met, {mother.get(), 2 * at.number + 1, from, at.generation + 1});
    }
    return entries;
}

std::vector<LNWalkEntry> descendantsOfIndi(const LNGedcomRecordSet& records, const LNGedcomIndiRecord& indi,
                                           int generations) {
    std::vector<LNWalkEntry> entries;
    FirstMet met;
    generations = startWalk(entries, met, indi, 0, generations);
    if (generations == 0) return entries;
    std::unordered_set<const LNGedcomFamRecord*> walkedFamilies;
    // Depth first on a stack of its own, at most one frame per generation.
    std::vector<Frame> stack;
    stack.push_back({0, records.spousalFamiliesOfIndi(indi)});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const LNWalkEntry person = entries[static_cast<std::size_t>(frame.entry)];
        if (frame.child < frame.children.size() && person.generation < generations) {
            const LNGedcomIndiRecord* child = frame.children[frame.child++].get();
            const int entry = static_cast<int>(entries.size());
            if (addEntry(entries, met, {child, ++frame.ordinal, frame.entry, person.generation + 1}))
                stack.push_back({entry, records.spousalFamiliesOfIndi(*child)});
            continue;
        }
        if (frame.family == frame.families.size()) {
            stack.pop_back();
            continue;
        }
        const LNGedcomFamRecord& family = *frame.families[frame.family++];
        // Once: every further partner's walk of it would repeat its partners
        // and children, which a family of many partners makes quadratic.
        if (!walkedFamilies.insert(&family).second) continue;
        for (const auto& partner : records.partnersOfFam(family))
            if (partner.get() != person.indi)
                entries.push_back({partner.get(), 0, frame.entry, person.generation, -1, true});
        frame.children = records.childrenOfFam(family);
        frame.child = 0;
    }
    return entries;
}

std::string dAbovilleNumber(const std::vector<LNWalkEntry>& entries, int index) {
    const bool partner = entries[static_cast<std::size_t>(index)].partner;
    if (partner) index = entries[static_cast<std::size_t>(index)].from;
    std::vector<std::uint64_t> path;
    for (; index >= 0 && entries[static_cast<std::size_t>(index)].from >= 0;
         index = entries[static_cast<std::size_t>(index)].from)
        path.push_back(entries[static_cast<std::size_t>(index)].number);
    std::string text = "1";
    for (auto step = path.rbegin(); step != path.rend(); ++step)
        text += "." + std::to_string(*step);
    return partner ? text + "+" : text;
}

std::vector<LNWalkEntry> walkOfIndi(LNWalkKind kind, const LNGedcomRecordSet& records,
                                    const LNGedcomIndiRecord& indi, int generations) {
    return kind == LNWalkKind::ancestors ? ancestorsOfIndi(records, indi, generations)
                                         : descendantsOfIndi(records, indi, generations);
}

std::string walkNumber(LNWalkKind kind, const std::vector<LNWalkEntry>& entries, int index) {
    return kind == LNWalkKind::ancestors ? std::to_string(entries[static_cast<std::size_t>(index)].number)
                                         : dAbovilleNumber(entries, index);
}

} // namespace kinloom
