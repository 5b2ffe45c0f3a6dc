// The one table of what a pointer must name, per standard.

#include "records/PointerKinds.h"
#include "support/TextServices.h"

#include <gtest/gtest.h>

using namespace kinloom;

TEST(PointerKinds, NameTheRecordKindWhereTheStandardDoes) {
    using enum GedcomStandard;
    struct Case {
        GedcomStandard standard;
        StringView superTag, tag, record;
        bool byType;
    };
    const Case cases[] = {
        {Gedcom55, u"INDI", u"NOTE", u"NOTE", false},   {Gedcom551, u"INDI", u"ASSO", u"INDI", false},
        {Gedcom55, u"INDI", u"ASSO", u"INDI", true},    {Gedcom551, u"FAM", u"HUSB", u"INDI", false},
        {Gedcom551, u"MARR", u"HUSB", u"", false},      {Gedcom55, u"BIRT", u"FAMC", u"FAM", false},
        {Gedcom551, u"INDI", u"_LINK", u"", false},     {Gedcom7, u"INDI", u"NOTE", u"", false},
        {Gedcom7, u"INDI", u"SNOTE", u"SNOTE", false},  {Gedcom7, u"HEAD", u"SOUR", u"", false},
        {Gedcom7, u"DEAT", u"SOUR", u"SOUR", false},    {Gedcom7, u"FAM", u"WIFE", u"INDI", false},
        {Gedcom7, u"MARR", u"WIFE", u"", false},        {Gedcom7, u"ADOP", u"FAMC", u"FAM", false},
        {Gedcom7, u"HEAD", u"SUBM", u"SUBM", false},    {Gedcom7, u"INDI", u"ASSO", u"INDI", false},
        {Gedcom7, u"SOUR", u"REPO", u"REPO", false},    {Gedcom7, u"INDI", u"_CREATOR", u"", false},
    };
    for (const Case& c : cases) {
        const PointerKinds kinds = expectedKinds(c.standard, c.superTag, c.tag);
        EXPECT_EQ(kinds.record, c.record) << toUtf8(c.superTag) << "." << toUtf8(c.tag);
        EXPECT_EQ(kinds.namedByType, c.byType) << toUtf8(c.superTag) << "." << toUtf8(c.tag);
    }
}
