#include "GedcomTestText.h"
#include "LNGedcomRecordSet.h"

#include <gtest/gtest.h>

using namespace kinloom;
using kinloom::test::gedcomText;

namespace {

template <typename List> std::vector<std::string> keysOf(const List& records) {
    std::vector<std::string> keys;
    for (const auto& record : records)
        keys.push_back(toUtf8(record->key().view()));
    return keys;
}

std::string keyOf(const std::shared_ptr<LNGedcomRecord>& record) {
    return record ? toUtf8(record->key().view()) : "(null)";
}

// A family @F1@ with two husbands, a wife and a child named twice; @F2@ whose
// lines name nobody that exists; @F3@ with a wife only.
const std::initializer_list<std::string_view> familyLines = {
    "0 @I1@ INDI", "1 SEX M",     "1 FAMS @F1@", "1 FAMS @F9@", "1 FAMS @F2@", "1 FAMS @F1@", "0 @I2@ INDI",
    "1 SEX f",     "1 FAMS @F1@", "1 FAMS @F3@", "0 @I3@ INDI", "1 FAMC @F1@", "1 FAMC @F3@", "0 @I4@ INDI",
    "1 FAMC @F9@", "1 FAMC @F1@", "0 @I5@ INDI", "1 SEX male",  "1 FAMS @F1@", "1 FAMC @F3@", "0 @I6@ INDI",
    "1 FAMC @f1@", "1 FAMC",      "0 @F1@ FAM",  "1 HUSB @I1@", "1 HUSB @I5@", "1 WIFE @I2@", "1 CHIL @I3@",
    "1 CHIL @I9@", "1 CHIL @I3@", "0 @F2@ FAM",  "1 HUSB @I8@", "1 WIFE @F1@", "1 CHIL @I7@", "0 @F3@ FAM",
    "1 WIFE @I2@", "1 CHIL @I5@", "1 HUSB"};

class LNGedcomRecordSetRelations : public ::testing::Test {
  protected:
    LNGedcomRecordSetRelations() : text_(gedcomText(familyLines)), set_(&text_, &errors_) {}
    const LNGedcomIndiRecord& indi(const char16_t* key) { return *set_.indiWithKey(key); }
    const LNGedcomFamRecord& fam(const char16_t* key) { return *set_.famWithKey(key); }

    String text_;
    LNGedcomErrors errors_;
    LNGedcomRecordSet set_;
};

} // namespace

TEST_F(LNGedcomRecordSetRelations, FollowsOnlyTheFirstLinkForParents) {
    EXPECT_EQ(keyOf(set_.fatherOfIndi(indi(u"@I3@"))), "@I1@");
    EXPECT_EQ(keyOf(set_.motherOfIndi(indi(u"@I3@"))), "@I2@");
    EXPECT_EQ(keyOf(set_.natalFamilyOfIndi(indi(u"@I3@"))), "@F1@");

    // The first FAMC names no family, though the second does.
    EXPECT_EQ(set_.fatherOfIndi(indi(u"@I4@")), nullptr);
    EXPECT_EQ(set_.motherOfIndi(indi(u"@I4@")), nullptr);
    EXPECT_EQ(set_.natalFamilyOfIndi(indi(u"@I4@")), nullptr);

    // A family with a wife and no HUSB line with a value.
    EXPECT_EQ(set_.fatherOfIndi(indi(u"@I5@")), nullptr);
    EXPECT_EQ(keyOf(set_.motherOfIndi(indi(u"@I5@"))), "@I2@");

    // No FAMC line at all; and keys are compared with case.
    EXPECT_EQ(set_.fatherOfIndi(indi(u"@I1@")), nullptr);
    EXPECT_EQ(set_.natalFamilyOfIndi(indi(u"@I6@")), nullptr);
    EXPECT_TRUE(set_.natalFamiliesOfIndi(indi(u"@I1@")).empty());
}

TEST_F(LNGedcomRecordSetRelations, ListsEveryResolvedLinkInLineOrder) {
    EXPECT_EQ(keyOf(set_.husbandOfFam(fam(u"@F1@"))), "@I1@");
    EXPECT_EQ(keysOf(set_.husbandsOfFam(fam(u"@F1@"))), (std::vector<std::string>{"@I1@", "@I5@"}));
    EXPECT_EQ(keyOf(set_.wifeOfFam(fam(u"@F1@"))), "@I2@");
    EXPECT_EQ(keysOf(set_.wivesOfFam(fam(u"@F1@"))), std::vector<std::string>{"@I2@"});
    EXPECT_EQ(keysOf(set_.childrenOfFam(fam(u"@F1@"))), (std::vector<std::string>{"@I3@", "@I3@"}))
        << "an undefined child is skipped, a repeated one listed twice";

    // Lines naming no record of the target kind: a missing person, a family.
    EXPECT_EQ(set_.husbandOfFam(fam(u"@F2@")), nullptr);
    EXPECT_EQ(set_.wifeOfFam(fam(u"@F2@")), nullptr);
    EXPECT_TRUE(set_.husbandsOfFam(fam(u"@F2@")).empty());
    EXPECT_TRUE(set_.wivesOfFam(fam(u"@F2@")).empty());
    EXPECT_TRUE(set_.childrenOfFam(fam(u"@F2@")).empty());
    EXPECT_EQ(set_.husbandOfFam(fam(u"@F3@")), nullptr);
    EXPECT_TRUE(set_.husbandsOfFam(fam(u"@F3@")).empty());

    EXPECT_EQ(keysOf(set_.natalFamiliesOfIndi(indi(u"@I3@"))), (std::vector<std::string>{"@F1@", "@F3@"}));
    EXPECT_EQ(keysOf(set_.natalFamiliesOfIndi(indi(u"@I4@"))), std::vector<std::string>{"@F1@"});
    EXPECT_TRUE(set_.natalFamiliesOfIndi(indi(u"@I6@")).empty());
    EXPECT_EQ(keysOf(set_.spousalFamiliesOfIndi(indi(u"@I1@"))),
              (std::vector<std::string>{"@F1@", "@F2@", "@F1@"}));
}

TEST_F(LNGedcomRecordSetRelations, ChoosesSpousesBySexAlone) {
    // Male: the wives of @F1@, nobody existing in @F2@, @F1@ again; @F9@ does not exist.
    EXPECT_EQ(keysOf(set_.spousesOfIndi(indi(u"@I1@"))), (std::vector<std::string>{"@I2@", "@I2@"}));
    // Female: the husbands of @F1@ in order, none in @F3@.
    EXPECT_EQ(keysOf(set_.spousesOfIndi(indi(u"@I2@"))), (std::vector<std::string>{"@I1@", "@I5@"}));
    // "male" is no sex value, whatever the spousal families.
    EXPECT_TRUE(set_.spousesOfIndi(indi(u"@I5@")).empty());
    EXPECT_TRUE(set_.spousesOfIndi(indi(u"@I3@")).empty());
}

TEST_F(LNGedcomRecordSetRelations, ListsChildrenOfEverySpousalFamily) {
    EXPECT_EQ(keysOf(set_.childrenOfIndi(indi(u"@I1@"))),
              (std::vector<std::string>{"@I3@", "@I3@", "@I3@", "@I3@"}));
    EXPECT_EQ(keysOf(set_.childrenOfIndi(indi(u"@I2@"))), (std::vector<std::string>{"@I3@", "@I3@", "@I5@"}));
    EXPECT_EQ(keysOf(set_.childrenOfIndi(indi(u"@I5@"))), (std::vector<std::string>{"@I3@", "@I3@"}))
        << "no sex test for children";
    EXPECT_TRUE(set_.childrenOfIndi(indi(u"@I3@")).empty());
}

TEST(SexValue, ReadsMAndFInEitherCase) {
    auto line = [](const char16_t* value) {
        return makeRef<LNGedcomNode>(1, SharedString(u"SEX"), value ? SharedString(value) : SharedString());
    };
    EXPECT_EQ(sexValue(nullptr), 0);
    EXPECT_EQ(sexValue(line(nullptr).get()), 0);
    EXPECT_EQ(sexValue(line(u"M").get()), 1);
    EXPECT_EQ(sexValue(line(u"m").get()), 1);
    EXPECT_EQ(sexValue(line(u"F").get()), 2);
    EXPECT_EQ(sexValue(line(u"f").get()), 2);
    for (const char16_t* other : {u"", u"U", u"male", u"MF", u"\uff2d", u"M "})
        EXPECT_EQ(sexValue(line(other).get()), 0);
}

TEST_F(LNGedcomRecordSetRelations, GivesEveryPersonsParentsByPositionAsByLookup) {
    // Duplicate keys across kinds, a FAMC naming a person, a family whose
    // HUSB names a family, and the families of the fixture.
    String odd = gedcomText({"0 @X1@ INDI", "1 FAMC @X1@", "0 @X1@ FAM", "1 HUSB @X1@", "1 WIFE @X2@",
                             "0 @X2@ INDI", "1 FAMC @X2@", "1 FAMC @X1@", "0 @X3@ INDI", "1 FAMC @X4@",
                             "0 @X4@ FAM", "1 HUSB @X4@", "1 WIFE", "1 HUSB @X3@"});
    LNGedcomErrors errors;
    LNGedcomRecordSet oddSet(&odd, &errors);
    for (const LNGedcomRecordSet* set : {&set_, &oddSet}) {
        const IndiList& persons = set->indiRecords();
        ASSERT_FALSE(persons.empty());
        for (std::size_t i = 0; i < persons.size(); ++i) {
            auto [father, mother] = set->parentsOfIndiAt(i);
            EXPECT_EQ(father, set->fatherOfIndi(*persons[i]).get()) << keyOf(persons[i]);
            EXPECT_EQ(mother, set->motherOfIndi(*persons[i]).get()) << keyOf(persons[i]);
        }
    }
    EXPECT_EQ(set_.parentsOfIndiAt(2).first, set_.indiWithKey(u"@I1@").get());
    EXPECT_EQ(oddSet.parentsOfIndiAt(0).second, oddSet.indiWithKey(u"@X2@").get());
}

TEST(LNGedcomRecordSetRelatives, ListsParentsSiblingsThenEachSpousalFamilyUnmerged) {
    // @I1@ has no SEX line, a missing and a repeated spousal family, and
    // names itself as a sibling and as a partner.
    const String text =
        gedcomText({"0 @I1@ INDI", "1 FAMC @F1@", "1 FAMS @F2@", "1 FAMS @F9@", "1 FAMS @F2@", "0 @F1@ FAM",
                    "1 CHIL @I4@", "1 WIFE @I3@", "1 HUSB @I2@", "1 CHIL @I1@", "1 CHIL @I8@", "1 CHIL @I4@",
                    "0 @F2@ FAM",  "1 WIFE @I5@", "1 HUSB @I1@", "1 HUSB @I6@", "1 CHIL @I7@", "0 @I2@ INDI",
                    "0 @I3@ INDI", "0 @I4@ INDI", "0 @I5@ INDI", "0 @I6@ INDI", "0 @I7@ INDI"});
    LNGedcomErrors errors;
    LNGedcomRecordSet set(&text, &errors);
    std::vector<std::string> listed;
    for (const LNGedcomRelative& relative : set.relativesOfIndi(*set.indiWithKey(u"@I1@")))
        listed.push_back(std::string(relativeRoleName(relative.role)) + " " +
                         toUtf8(relative.indi->key().view()));
    EXPECT_EQ(listed, (std::vector<std::string>{"father @I2@", "mother @I3@", "sibling @I4@", "sibling @I4@",
                                                "spouse @I5@", "spouse @I6@", "child @I7@", "spouse @I5@",
                                                "spouse @I6@", "child @I7@"}));
    // Relatives follow the person's own links only: @I7@ names no family.
    EXPECT_TRUE(set.relativesOfIndi(*set.indiWithKey(u"@I7@")).empty());
}
