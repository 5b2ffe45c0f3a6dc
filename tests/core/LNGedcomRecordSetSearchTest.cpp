#include "GedcomTestText.h"
#include "LNGedcomRecordSet.h"
#include "NameRanks.h"

#include <gtest/gtest.h>

using namespace kinloom;
using kinloom::test::gedcomText;

namespace {

std::vector<std::string> keysOf(const IndiList& persons) {
    std::vector<std::string> keys;
    for (const auto& person : persons)
        keys.push_back(toUtf8(person->key().view()));
    return keys;
}

class LNGedcomRecordSetSearch : public ::testing::Test {
  protected:
    LNGedcomRecordSetSearch()
        : text_(gedcomText({"0 @I1@ INDI", "1 NAME John /Smith/", "0 @I2@ INDI", "1 NAME Johann /Smyth/",
                            "0 @I3@ INDI", "1 NAME Jane /Smith/", "0 @I4@ INDI", "1 NAME /Smith/",
                            "0 @I5@ INDI", "1 NAME Jack /Smith/", "1 NAME John Paul /Smith/", "0 @I10@ INDI",
                            "1 NAME Jane /Smith/", "0 @I6@ INDI", "1 NAME John"})),
          set_(&text_, &errors_) {
        setCollationLocale("en");
    }
    std::vector<std::string> find(const char16_t* typed) { return keysOf(set_.indisWithName(typed)); }

    String text_;
    LNGedcomErrors errors_;
    LNGedcomRecordSet set_;
};

} // namespace

TEST_F(LNGedcomRecordSetSearch, FindsCandidatesByKeyAndKeepsThoseThatContainTheName) {
    EXPECT_EQ(find(u"J /Smith/"), (std::vector<std::string>{"@I5@", "@I3@", "@I10@", "@I1@"}))
        << "Jack John Paul, Jane, Jane, John; Smyth is no match";
    EXPECT_EQ(find(u"Jn /Smth/"), (std::vector<std::string>{"@I5@", "@I3@", "@I10@", "@I1@", "@I2@"}))
        << "letters may be left out: Jane and Smyth match too";
    EXPECT_EQ(find(u"Jon /Smith/"), (std::vector<std::string>{"@I5@", "@I1@"}));
    EXPECT_EQ(find(u"Johann /Smyth/"), std::vector<std::string>{"@I2@"});
}

TEST_F(LNGedcomRecordSetSearch, MatchesAnyNameOfACandidateOnce) {
    EXPECT_EQ(find(u"J /Smith/ P"), std::vector<std::string>{"@I5@"})
        << "through the second name, listed once";
    EXPECT_EQ(find(u"Jack /Smith/"), std::vector<std::string>{"@I5@"});
}

TEST_F(LNGedcomRecordSetSearch, NeedsTheTypedNamesKey) {
    EXPECT_EQ(find(u"/Smith/"), std::vector<std::string>{"@I4@"}) << "only names without given names";
    EXPECT_TRUE(find(u"John").empty()) << "no surname";
    EXPECT_TRUE(find(u"").empty());
    EXPECT_TRUE(find(u"Q /Smith/").empty());
}

TEST_F(LNGedcomRecordSetSearch, OrdersEqualNamesByKeyNumber) {
    EXPECT_EQ(find(u"Jane /Smith/"), (std::vector<std::string>{"@I3@", "@I10@"}));
    const auto& i3 = *set_.indiWithKey(u"@I3@");
    const auto& i10 = *set_.indiWithKey(u"@I10@");
    EXPECT_LT(compareIndisByName(i3, i10), 0);
    EXPECT_GT(compareIndisByName(i10, i3), 0);
}

TEST(NameRanks, RankEveryPairAsCompareByNameOrdersIt) {
    setCollationLocale("en");
    // Case, missing surnames and given names, no NAME line, equal names told
    // apart by the key number only, and keys of the same number.
    String text = gedcomText({"0 @I1@ INDI",
                              "1 NAME john /smith/",
                              "0 @I2@ INDI",
                              "1 NAME John /Smith/",
                              "0 @I9@ INDI",
                              "1 NAME John /Smith/",
                              "0 @I10@ INDI",
                              "1 NAME John /Smith/",
                              "0 @X9@ INDI",
                              "1 NAME John /Smith/",
                              "0 @I3@ INDI",
                              "1 NAME /Smith/",
                              "0 @I4@ INDI",
                              "1 NAME John",
                              "0 @I5@ INDI",
                              "0 @I6@ INDI",
                              "1 NAME Ann /Ä/",
                              "0 @I7@ INDI",
                              "1 NAME John Paul /Smith/",
                              "0 @I8@ INDI",
                              "1 NAME Jöhn /Smith/",
                              "0 @Z@ INDI",
                              "1 NAME /Smith/"});
    LNGedcomErrors errors;
    LNGedcomRecordSet set(&text, &errors);
    const IndiList& persons = set.indiRecords();
    ASSERT_EQ(persons.size(), 12u);
    NameRanks names(persons);
    const std::vector<std::uint32_t>& ranks = names.ranks();
    for (std::size_t a = 0; a < persons.size(); ++a) {
        for (std::size_t b = 0; b < persons.size(); ++b) {
            int order = persons[a]->compareByName(*persons[b]);
            EXPECT_EQ((ranks[a] > ranks[b]) - (ranks[a] < ranks[b]), (order > 0) - (order < 0))
                << toUtf8(persons[a]->key().view()) << " " << toUtf8(persons[b]->key().view());
        }
    }
}

TEST(CompareIndisByBirthYear, PutsKnownYearsFirstThenNames) {
    setCollationLocale("en");
    String text = gedcomText({"0 @I1@ INDI", "1 NAME B /Z/", "1 BIRT", "2 DATE 1900", "0 @I2@ INDI",
                              "1 NAME A /Z/", "1 CHR", "2 DATE 1900", "0 @I3@ INDI", "1 NAME C /A/", "1 BIRT",
                              "2 DATE 1899", "0 @I4@ INDI", "1 NAME A /A/", "0 @I5@ INDI", "1 NAME B /A/"});
    LNGedcomRecordSet set(&text, nullptr);
    auto order = [&](const char16_t* a, const char16_t* b) {
        return compareIndisByBirthYear(*set.indiWithKey(a), *set.indiWithKey(b), nullptr);
    };
    EXPECT_LT(order(u"@I3@", u"@I1@"), 0) << "1899 before 1900";
    EXPECT_GT(order(u"@I1@", u"@I2@"), 0) << "same year: by name";
    EXPECT_LT(order(u"@I1@", u"@I4@"), 0) << "a year before none";
    EXPECT_GT(order(u"@I4@", u"@I1@"), 0);
    EXPECT_LT(order(u"@I4@", u"@I5@"), 0) << "no years: by name";
    EXPECT_EQ(order(u"@I5@", u"@I5@"), 0);
}
