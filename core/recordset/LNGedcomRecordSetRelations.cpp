#include "recordset/LNGedcomRecordSet.h"

#include <algorithm>
#include <unordered_set>

namespace kinloom {

Ref<LNGedcomIndiRecord> LNGedcomRecordSet::fatherOfIndi(const LNGedcomIndiRecord& indi) const {
    const std::uint32_t family = positionOf(kindFam, indi.famc());
    if (family == RecordIndex::none) return nullptr;
    return atPosition(indiRecords_, positionOf(kindIndi, famRecords_[family]->husb()));
}

Ref<LNGedcomIndiRecord> LNGedcomRecordSet::motherOfIndi(const LNGedcomIndiRecord& indi) const {
    const std::uint32_t family = positionOf(kindFam, indi.famc());
    if (family == RecordIndex::none) return nullptr;
    return atPosition(indiRecords_, positionOf(kindIndi, famRecords_[family]->wife()));
}

namespace {

// The position plus one of the record the first resolved link of the role
// names; 0 when there is no such line or it names none.
std::uint32_t firstOfRole(std::span<const std::uint32_t> links, int role) {
    for (std::uint32_t link : links)
        if (ResolvedLinks::roleOf(link) == role) return ResolvedLinks::targetOf(link);
    return 0;
}

} // namespace

std::pair<LNGedcomIndiRecord*, LNGedcomIndiRecord*>
LNGedcomRecordSet::parentsOfIndiAt(std::size_t position) const {
    if (links_.indis.size() != indiRecords_.size() || links_.fams.size() != famRecords_.size()) {
        const LNGedcomIndiRecord& indi = *indiRecords_[position];
        return {fatherOfIndi(indi).get(), motherOfIndi(indi).get()};
    }
    // FAMC is a person's first role, HUSB and WIFE a family's first two.
    const std::uint32_t family = firstOfRole(links_.indis.of(position), 1);
    if (family == 0) return {nullptr, nullptr};
    const std::span<const std::uint32_t> links = links_.fams.of(family - 1);
    const std::uint32_t father = firstOfRole(links, 1), mother = firstOfRole(links, 2);
    return {father ? indiRecords_[father - 1].get() : nullptr,
            mother ? indiRecords_[mother - 1].get() : nullptr};
}

Ref<LNGedcomFamRecord>
LNGedcomRecordSet::natalFamilyOfIndi(const LNGedcomIndiRecord& indi) const {
    return atPosition(famRecords_, positionOf(kindFam, indi.famc()));
}

Ref<LNGedcomIndiRecord> LNGedcomRecordSet::husbandOfFam(const LNGedcomFamRecord& fam) const {
    return atPosition(indiRecords_, positionOf(kindIndi, fam.husb()));
}

Ref<LNGedcomIndiRecord> LNGedcomRecordSet::wifeOfFam(const LNGedcomFamRecord& fam) const {
    return atPosition(indiRecords_, positionOf(kindIndi, fam.wife()));
}

// Appends the record each line names, in line order; a line naming no record
// of the kind adds nothing, since a list holds records only.
template <typename T>
void LNGedcomRecordSet::appendNamed(std::vector<Ref<T>>& list, RecordKind kind,
                                    const std::vector<Ref<T>>& records,
                                    std::span<LNGedcomNode* const> links) const {
    for (const LNGedcomNode* link : links) {
        const std::uint32_t position = positionOf(kind, link);
        if (position != RecordIndex::none) list.push_back(records[position]);
    }
}

IndiList LNGedcomRecordSet::husbandsOfFam(const LNGedcomFamRecord& fam) const {
    IndiList list;
    appendNamed(list, kindIndi, indiRecords_, fam.husbArray());
    return list;
}

IndiList LNGedcomRecordSet::wivesOfFam(const LNGedcomFamRecord& fam) const {
    IndiList list;
    appendNamed(list, kindIndi, indiRecords_, fam.wifeArray());
    return list;
}

IndiList LNGedcomRecordSet::childrenOfFam(const LNGedcomFamRecord& fam) const {
    IndiList list;
    appendNamed(list, kindIndi, indiRecords_, fam.chilArray());
    return list;
}

FamList LNGedcomRecordSet::natalFamiliesOfIndi(const LNGedcomIndiRecord& indi) const {
    FamList list;
    appendNamed(list, kindFam, famRecords_, indi.famcArray());
    return list;
}

FamList LNGedcomRecordSet::spousalFamiliesOfIndi(const LNGedcomIndiRecord& indi) const {
    FamList list;
    appendNamed(list, kindFam, famRecords_, indi.famsArray());
    return list;
}

IndiList LNGedcomRecordSet::spousesOfIndi(const LNGedcomIndiRecord& indi) const {
    IndiList list;
    // The spouse's role follows from the person's sex alone, not from the
    // person's own role in the family.
    int sex = sexValue(indi.sex());
    if (sex == 0) return list;
    for (const LNGedcomNode* link : indi.famsArray()) {
        const std::uint32_t family = positionOf(kindFam, link);
        if (family == RecordIndex::none) continue;
        const LNGedcomFamRecord& fam = *famRecords_[family];
        appendNamed(list, kindIndi, indiRecords_, sex == 1 ? fam.wifeArray() : fam.husbArray());
    }
    return list;
}

IndiList LNGedcomRecordSet::childrenOfIndi(const LNGedcomIndiRecord& indi) const {
    IndiList list;
    for (const LNGedcomNode* link : indi.famsArray()) {
        const std::uint32_t family = positionOf(kindFam, link);
        if (family != RecordIndex::none)
            appendNamed(list, kindIndi, indiRecords_, famRecords_[family]->chilArray());
    }
    return list;
}

IndiList LNGedcomRecordSet::partnersOfFam(const LNGedcomFamRecord& fam) const {
    std::vector<LNGedcomNode*> lines(fam.husbArray().size() + fam.wifeArray().size());
    auto byLine = [](const LNGedcomNode* a, const LNGedcomNode* b) {
        return a->lineNumber() < b->lineNumber();
    };
    std::merge(fam.husbArray().begin(), fam.husbArray().end(), fam.wifeArray().begin(), fam.wifeArray().end(),
               lines.begin(), byLine);
    IndiList list;
    appendNamed(list, kindIndi, indiRecords_, lines);
    return list;
}

std::vector<LNGedcomRelative> LNGedcomRecordSet::relativesOfIndi(const LNGedcomIndiRecord& indi) const {
    std::vector<LNGedcomRelative> relatives;
    auto add = [&](LNRelativeRole role, const IndiList& persons,
                   const Ref<LNGedcomFamRecord>& family) {
        for (const auto& person : persons)
            if (role == LNRelativeRole::child || person.get() != &indi)
                relatives.push_back({role, person, family});
    };
    if (auto father = fatherOfIndi(indi))
        relatives.push_back({LNRelativeRole::father, std::move(father), nullptr});
    if (auto mother = motherOfIndi(indi))
        relatives.push_back({LNRelativeRole::mother, std::move(mother), nullptr});
    if (auto natal = natalFamilyOfIndi(indi)) add(LNRelativeRole::sibling, childrenOfFam(*natal), natal);
    // A family named again by the person's FAMS lines (a reported problem
    // already) is listed once: each naming would repeat all its members.
    std::unordered_set<const LNGedcomFamRecord*> listed;
    for (const auto& family : spousalFamiliesOfIndi(indi)) {
        if (!listed.insert(family.get()).second) continue;
        add(LNRelativeRole::spouse, partnersOfFam(*family), family);
        add(LNRelativeRole::child, childrenOfFam(*family), family);
    }
    return relatives;
}

std::string_view relativeRoleName(LNRelativeRole role) {
    static constexpr std::string_view names[] = {"father", "mother", "sibling", "spouse", "child"};
    return names[static_cast<int>(role)];
}

int sexValue(const LNGedcomNode* sex) {
    if (!sex || !sex->value()) return 0;
    // Only "M" and "F" lower-case to exactly "m" and "f", so no case mapping
    // is needed.
    StringView value = sex->value().view();
    if (value == u"m" || value == u"M") return 1;
    if (value == u"f" || value == u"F") return 2;
    return 0;
}

} // namespace kinloom
