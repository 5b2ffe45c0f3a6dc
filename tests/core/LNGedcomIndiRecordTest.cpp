#include "LNGedcomIndiRecord.h"
#include "GedcomTestText.h"
#include "LNGedcomFamRecord.h"
#include "SystemLog.h"

#include <gtest/gtest.h>

using namespace kinloom;
using kinloom::test::GedcomLines;

namespace {

// Every level-0 line of the lines starts a record; the persons are returned.
std::vector<std::shared_ptr<LNGedcomIndiRecord>> persons(const GedcomLines& lines) {
    std::vector<std::shared_ptr<LNGedcomIndiRecord>> result;
    auto records = LNGedcomRecord::gedcomRecordsFromStrings(lines.views, nullptr);
    for (const auto& record : *records)
        if (auto person = std::dynamic_pointer_cast<LNGedcomIndiRecord>(record)) result.push_back(person);
    return result;
}

std::shared_ptr<LNGedcomIndiRecord> person(std::initializer_list<std::string_view> lines) {
    return persons(GedcomLines(lines)).at(0);
}

std::vector<int> lineNumbers(std::span<LNGedcomNode* const> nodes) {
    std::vector<int> numbers;
    for (const LNGedcomNode* node : nodes)
        numbers.push_back(node->lineNumber());
    return numbers;
}

std::string text(const std::optional<String>& value) {
    return value ? toUtf8(*value) : "(absent)";
}

} // namespace

TEST(LNGedcomIndiRecord, CollectsLevelOneLinksByExactTagInFileOrder) {
    auto p =
        person({"0 @I1@ INDI", "1 FAMS @F3@", "1 NAME John /Smith/", "1 SEX M", "1 FAMC @F1@", "2 FAMC @F9@",
                "1 NAME Jack /Smith/", "1 FAMS @F4@", "1 SEX F", "1 famc @F5@", "1 FAMC @F2@"});
    EXPECT_EQ(lineNumbers(p->nameArray()), (std::vector<int>{3, 7}));
    EXPECT_EQ(lineNumbers(p->famcArray()), (std::vector<int>{5, 11}));
    EXPECT_EQ(lineNumbers(p->famsArray()), (std::vector<int>{2, 8}));
    EXPECT_EQ(p->name()->lineNumber(), 3);
    EXPECT_EQ(p->famc()->lineNumber(), 5);
    EXPECT_EQ(p->fams()->lineNumber(), 2);
    EXPECT_EQ(p->sex()->lineNumber(), 4) << "the first SEX line counts";
    ASSERT_NE(p->gedcomName(), nullptr);
    EXPECT_EQ(p->gedcomName()->original(), u"John /Smith/");

    auto bare = person({"0 @I2@ INDI", "1 SEX"});
    EXPECT_TRUE(bare->nameArray().empty());
    EXPECT_EQ(bare->name(), nullptr);
    EXPECT_EQ(bare->famc(), nullptr);
    EXPECT_EQ(bare->fams(), nullptr);
    EXPECT_EQ(bare->gedcomName(), nullptr);
    EXPECT_EQ(bare->nameSurnameFirst(true, true, 0), std::nullopt);
    EXPECT_TRUE(bare->sex()->value().isNull());
}

TEST(LNGedcomFamRecord, CollectsHusbandsWivesAndChildrenInFileOrder) {
    GedcomLines lines{"0 @F1@ FAM",  "1 CHIL @I3@", "1 HUSB @I1@", "1 WIFE @I2@", "1 CHIL @I4@",
                      "1 HUSB @I5@", "1 MARR",      "2 HUSB",      "1 Husb @I6@"};
    auto records = LNGedcomRecord::gedcomRecordsFromStrings(lines.views, nullptr);
    auto fam = std::dynamic_pointer_cast<LNGedcomFamRecord>((*records)[0]);
    ASSERT_NE(fam, nullptr);
    EXPECT_EQ(lineNumbers(fam->husbArray()), (std::vector<int>{3, 6}));
    EXPECT_EQ(lineNumbers(fam->wifeArray()), std::vector<int>{4});
    EXPECT_EQ(lineNumbers(fam->chilArray()), (std::vector<int>{2, 5}));
    EXPECT_EQ(fam->husb()->value(), u"@I1@");
    EXPECT_EQ(fam->wife()->value(), u"@I2@");
    EXPECT_EQ(fam->chil()->value(), u"@I3@");

    GedcomLines empty{"0 @F2@ FAM"};
    auto bare = std::dynamic_pointer_cast<LNGedcomFamRecord>(
        (*LNGedcomRecord::gedcomRecordsFromStrings(empty.views, nullptr))[0]);
    EXPECT_EQ(bare->husb(), nullptr);
    EXPECT_EQ(bare->wife(), nullptr);
    EXPECT_TRUE(bare->chilArray().empty());
}

TEST(LNGedcomIndiRecord, FallsBackThroughBaptismAndBurialForYears) {
    auto baptised = person({"0 @I1@ INDI", "1 BIRT", "2 PLAC Here", "1 BAPT", "2 DATE ABT 1850"});
    EXPECT_EQ(text(baptised->birthYear()), "1850");

    auto secondBirth = person({"0 @I1@ INDI", "1 BIRT", "2 DATE ABT", "1 BIRT", "2 DATE 1849", "1 CHR",
                               "2 DATE 1851", "1 BAPM", "2 DATE 1852"});
    EXPECT_EQ(text(secondBirth->birthYear()), "1851") << "only the first BIRT is looked at";

    auto lastResort = person({"0 @I1@ INDI", "1 BAPM", "2 DATE 3 MAR 1853"});
    EXPECT_EQ(text(lastResort->birthYear()), "1853");

    auto buried = person(
        {"0 @I1@ INDI", "1 DEAT", "2 DATE BEF MAR", "1 BURI", "2 DATE 12 JAN 1901", "1 BURI", "2 DATE 1902"});
    EXPECT_EQ(text(buried->deathYear()), "1901");

    auto noYears = person({"0 @I1@ INDI", "1 BIRT", "2 DATE", "1 DEAT Y", "1 BURI", "2 PLAC There"});
    EXPECT_EQ(noYears->birthYear(), std::nullopt);
    EXPECT_EQ(noYears->deathYear(), std::nullopt);

    auto deathFirst = person({"0 @I1@ INDI", "1 DEAT", "2 DATE 1900", "1 BURI", "2 DATE 1901"});
    EXPECT_EQ(text(deathFirst->deathYear()), "1900");
}

TEST(LNGedcomIndiRecord, ShortensPlacesToTheRegionOrStateForCanadaAndUnitedStates) {
    struct Case {
        const char* place;
        const char* shown;
        std::vector<std::string> log;
    };
    const std::vector<Case> cases = {
        {"Springfield, Sangamon, Illinois, United States",
         "Illinois",
         {"Found case of location ending with United States",
          "found the special case and we should return Illinois"}},
        {"Toronto, Ontario, Canada",
         "Ontario",
         {"Found case of location ending with Canada",
          "found the special case and we should return Ontario"}},
        {"United States", "United States", {"Found case of location ending with United States"}},
        {"Québec, Canada",
         "Québec",
         {"Found case of location ending with Canada", "found the special case and we should return Québec"}},
        {"Paris, France", "France", {}},
        {"Boston,Massachusetts", "Boston,Massachusetts", {}},
        {"Boston, united states", "united states", {}},
        {"Ottawa,Canada", "Ottawa,Canada", {}},
        {", Canada",
         "",
         {"Found case of location ending with Canada", "found the special case and we should return "}},
    };
    for (const Case& c : cases) {
        auto p = person({"0 @I1@ INDI", "1 BIRT", "2 DATE 1900", std::string("2 PLAC ") + c.place, "1 DEAT",
                         std::string("2 PLAC ") + c.place});
        LogCapture log;
        EXPECT_EQ(text(p->birthPlace()), c.shown) << c.place;
        EXPECT_EQ(log.lines(), c.log) << c.place;
        log.clear();
        EXPECT_EQ(text(p->deathPlace()), c.shown) << c.place;
        EXPECT_EQ(log.lines(), c.log) << c.place;
    }

    auto none = person({"0 @I1@ INDI", "1 BIRT", "2 DATE 1900", "1 BIRT", "2 PLAC Paris, France", "1 DEAT",
                        "2 PLAC", "1 CHR", "2 PLAC Rome, Italy"});
    EXPECT_EQ(none->birthPlace(), std::nullopt) << "only the first BIRT, and no other event";
    EXPECT_EQ(none->deathPlace(), std::nullopt);
}

TEST(LNGedcomIndiRecord, OrdersByNameThenByKeyNumber) {
    setCollationLocale("en");
    auto list =
        persons(GedcomLines{"0 @I1@ INDI", "1 NAME John /smith/", "0 @I2@ INDI", "1 NAME John /Smith/",
                            "0 @I3@ INDI", "1 NAME Adam /Taylor/", "0 @I4@ INDI", "1 NAME Zoe", "0 @I5@ INDI",
                            "0 @I6@ INDI", "1 NAME John Paul /Smith/", "0 @I10@ INDI", "1 NAME John /Smith/",
                            "0 @I9@ INDI", "1 NAME John /Smith/"});
    auto byKey = [&](const char* key) {
        for (const auto& p : list)
            if (p->key().view() == fromUtf8(key)) return p;
        return std::shared_ptr<LNGedcomIndiRecord>();
    };
    auto order = [&](const char* a, const char* b) { return byKey(a)->compareByName(*byKey(b)); };

    EXPECT_LT(order("@I4@", "@I1@"), 0) << "no surname sorts first";
    EXPECT_GT(order("@I1@", "@I5@"), 0);
    EXPECT_LT(order("@I5@", "@I4@"), 0) << "then by given names: none before Zoe";
    EXPECT_LT(order("@I1@", "@I3@"), 0) << "Smith before Taylor";
    EXPECT_LT(order("@I1@", "@I2@"), 0) << "case is ignored, key numbers decide";
    EXPECT_LT(order("@I2@", "@I6@"), 0) << "fewer given names first";
    EXPECT_LT(order("@I9@", "@I10@"), 0) << "numbers, not texts";
    EXPECT_GT(order("@I10@", "@I9@"), 0);
    EXPECT_EQ(order("@I9@", "@I9@"), 0);
}

TEST(LNGedcomIndiRecord, ComparesLargeKeyNumbersWithoutOverflow) {
    auto list = persons(GedcomLines{"0 @I2000000000@ INDI", "1 NAME A /B/", "0 @I-2000000000@ INDI",
                                    "1 NAME A /B/", "0 @I99999999999@ INDI", "1 NAME A /B/"});
    EXPECT_GT(list[0]->compareByName(*list[1]), 0);
    EXPECT_LT(list[1]->compareByName(*list[0]), 0);
    EXPECT_GT(list[2]->compareByName(*list[1]), 0);

    EXPECT_EQ(keyNumber(u"@I12@"), 12);
    EXPECT_EQ(keyNumber(u"@F007X@"), 7);
    EXPECT_EQ(keyNumber(u"@ABC@"), 0);
    EXPECT_EQ(keyNumber(u"@I@"), 0);
    EXPECT_EQ(keyNumber(u""), 0);
}
