#include "records/PointerKinds.h"

#include <iterator>

namespace kinloom {

namespace {

struct Row {
    StringView superTag; // empty: under any line
    StringView tag;
    StringView record; // empty: no pointer here
};

// 5.5 and 5.5.1 say the same of every pointer but ASSO: 5.5.1's names a
// person, 5.5's the kind its TYPE line names. HUSB and WIFE are pointers
// only directly in a family; under its events they hold an AGE.
constexpr Row rows55[] = {
    {u"", u"NOTE", u"NOTE"}, {u"", u"OBJE", u"OBJE"}, {u"", u"ALIA", u"INDI"},    {u"", u"SUBM", u"SUBM"},
    {u"", u"ANCI", u"SUBM"}, {u"", u"DESI", u"SUBM"}, {u"", u"REPO", u"REPO"},    {u"", u"SOUR", u"SOUR"},
    {u"", u"FAMC", u"FAM"},  {u"", u"FAMS", u"FAM"},  {u"FAM", u"HUSB", u"INDI"}, {u"FAM", u"WIFE", u"INDI"},
    {u"", u"CHIL", u"INDI"}, {u"", u"ASSO", u"INDI"},
};

constexpr Row rows7[] = {
#include "records/PointerKinds7.inc"
};

template <std::size_t N> StringView recordOf(const Row (&rows)[N], StringView superTag, StringView tag) {
    for (const Row& row : rows)
        if (row.tag == tag && (row.superTag.empty() || row.superTag == superTag)) return row.record;
    return {};
}

} // namespace

PointerKinds expectedKinds(GedcomStandard standard, StringView superTag, StringView tag) {
    if (standard == GedcomStandard::Gedcom7) return {recordOf(rows7, superTag, tag)};
    return {recordOf(rows55, superTag, tag), standard == GedcomStandard::Gedcom55 && tag == u"ASSO"};
}

StringView expectedRecordTag(GedcomStandard standard, const LNGedcomNode& line) {
    const LNNode* super = line.parent();
    const PointerKinds kinds =
        expectedKinds(standard, super ? super->name().view() : StringView(), line.tag().view());
    if (!kinds.namedByType) return kinds.record;
    const LNNode* type = line.childWithName(u"TYPE");
    return type && type->value() ? type->value().view() : kinds.record;
}

} // namespace kinloom
