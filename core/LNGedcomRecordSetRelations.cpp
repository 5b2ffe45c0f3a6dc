#include "LNGedcomRecordSet.h"

namespace kinloom {

namespace {

// The record the link line names in the index, or null (no line, no value,
// no such record).
template <typename T>
std::shared_ptr<T> resolve(const RecordIndex<T>& index, const LNGedcomNode* link) {
    if (!link || !link->value()) return nullptr;
    return index.find(link->value().view());
}

// Appends the record each line names, in line order; a line naming no record
// of the kind adds nothing, since a list holds records only.
template <typename T>
void appendResolved(std::vector<std::shared_ptr<T>>& list, const RecordIndex<T>& index,
                    std::span<LNGedcomNode* const> links) {
    for (const LNGedcomNode* link : links) {
        if (auto record = resolve(index, link)) list.push_back(std::move(record));
    }
}

template <typename T>
std::vector<std::shared_ptr<T>> resolveAll(const RecordIndex<T>& index,
                                           std::span<LNGedcomNode* const> links) {
    std::vector<std::shared_ptr<T>> list;
    appendResolved(list, index, links);
    return list;
}

} // namespace

std::shared_ptr<LNGedcomIndiRecord> LNGedcomRecordSet::fatherOfIndi(const LNGedcomIndiRecord& indi) const {
    auto family = resolve(famIndex_, indi.famc());
    return family ? resolve(indiIndex_, family->husb()) : nullptr;
}

std::shared_ptr<LNGedcomIndiRecord> LNGedcomRecordSet::motherOfIndi(const LNGedcomIndiRecord& indi) const {
    auto family = resolve(famIndex_, indi.famc());
    return family ? resolve(indiIndex_, family->wife()) : nullptr;
}

std::shared_ptr<LNGedcomFamRecord>
LNGedcomRecordSet::natalFamilyOfIndi(const LNGedcomIndiRecord& indi) const {
    return resolve(famIndex_, indi.famc());
}

std::shared_ptr<LNGedcomIndiRecord> LNGedcomRecordSet::husbandOfFam(const LNGedcomFamRecord& fam) const {
    return resolve(indiIndex_, fam.husb());
}

std::shared_ptr<LNGedcomIndiRecord> LNGedcomRecordSet::wifeOfFam(const LNGedcomFamRecord& fam) const {
    return resolve(indiIndex_, fam.wife());
}

IndiList LNGedcomRecordSet::husbandsOfFam(const LNGedcomFamRecord& fam) const {
    return resolveAll(indiIndex_, fam.husbArray());
}

IndiList LNGedcomRecordSet::wivesOfFam(const LNGedcomFamRecord& fam) const {
    return resolveAll(indiIndex_, fam.wifeArray());
}

IndiList LNGedcomRecordSet::childrenOfFam(const LNGedcomFamRecord& fam) const {
    return resolveAll(indiIndex_, fam.chilArray());
}

FamList LNGedcomRecordSet::natalFamiliesOfIndi(const LNGedcomIndiRecord& indi) const {
    return resolveAll(famIndex_, indi.famcArray());
}

FamList LNGedcomRecordSet::spousalFamiliesOfIndi(const LNGedcomIndiRecord& indi) const {
    return resolveAll(famIndex_, indi.famsArray());
}

IndiList LNGedcomRecordSet::spousesOfIndi(const LNGedcomIndiRecord& indi) const {
    IndiList list;
    // The spouse's role follows from the person's sex alone, not from the
    // person's own role in the family.
    int sex = sexValue(indi.sex());
    if (sex == 0) return list;
    for (const LNGedcomNode* link : indi.famsArray()) {
        auto family = resolve(famIndex_, link);
        if (!family) continue;
        appendResolved(list, indiIndex_, sex == 1 ? family->wifeArray() : family->husbArray());
    }
    return list;
}

IndiList LNGedcomRecordSet::childrenOfIndi(const LNGedcomIndiRecord& indi) const {
    IndiList list;
    for (const LNGedcomNode* link : indi.famsArray()) {
        if (auto family = resolve(famIndex_, link)) appendResolved(list, indiIndex_, family->chilArray());
    }
    return list;
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
