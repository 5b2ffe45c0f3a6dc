// The years and places the person table shows, with the lines those log.

#include "records/LNGedcomIndiRecord.h"
#include "GedcomTestText.h"

#include <gtest/gtest.h>

using namespace kinloom;
using kinloom::test::LoadedText;

namespace {

std::string text(const std::optional<String>& value) {
    return value ? toUtf8(*value) : "-";
}

} // namespace

TEST(LNGedcomIndiRecord, FindsYearsThroughBaptismAndBurialInTheFirstEventOfEachKind) {
    const std::pair<const char*, const char*> cases[] = {
        {"1 BIRT\n2 PLAC Here\n1 BAPT\n2 DATE ABT 1850", "1850 -"},
        {"1 BIRT\n2 DATE ABT\n1 BIRT\n2 DATE 1849\n1 CHR\n2 DATE 1851\n1 BAPM\n2 DATE 1852", "1851 -"},
        {"1 BAPM\n2 DATE 3 MAR 1853", "1853 -"},
        {"1 DEAT\n2 DATE BEF MAR\n1 BURI\n2 DATE 12 JAN 1901\n1 BURI\n2 DATE 1902", "- 1901"},
        {"1 DEAT\n2 DATE 1900\n1 BURI\n2 DATE 1901", "- 1900"},
        {"1 BIRT\n2 DATE\n1 DEAT Y\n1 BURI\n2 PLAC There", "- -"},
        {"1 BIRT\n2 DATE BET 1850 AND 1860\n1 DEAT\n2 DATE 1850/51", "1860 1850"},
        {"1 BIRT\n2 DATE (c.1850)\n1 DEAT\n2 DATE 18500", "1850 -"}};
    for (const auto& [lines, years] : cases) {
        LoadedText loaded(fromUtf8(std::string("0 @I1@ INDI\n") + lines));
        const auto& p = *loaded.set.indiByIndex(0);
        EXPECT_EQ(text(p.birthYear()) + " " + text(p.deathYear()), years) << lines;
    }
}

TEST(LNGedcomIndiRecord, ShortensPlacesToTheRegionOrStateForCanadaAndUnitedStates) {
    struct Case {
        const char* place;
        const char* shown;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"Springfield, Sangamon, Illinois, United States",
         "Illinois",
         {"Found case of location ending with United States",
          "found the special case and we should return Illinois"}},
        {"Québec, Canada",
         "Québec",
         {"Found case of location ending with Canada", "found the special case and we should return Québec"}},
        {"United States", "United States", {"Found case of location ending with United States"}},
        {", Canada",
         "",
         {"Found case of location ending with Canada", "found the special case and we should return "}},
        {"Paris, France", "France", {}},
        {"Boston,Massachusetts", "Boston,Massachusetts", {}},
        {"Boston, united states", "united states", {}},
    };
    for (const Case& c : cases) {
        LoadedText loaded(fromUtf8(std::string("0 @I1@ INDI\n1 BIRT\n2 DATE 1900\n2 PLAC ") + c.place +
                                   "\n1 DEAT\n2 PLAC " + c.place + "\n1 BIRT\n2 PLAC Rome, Italy\n"));
        const auto& p = *loaded.set.indiByIndex(0);
        LogCapture log;
        EXPECT_EQ(text(p.birthPlace()), c.shown) << c.place;
        EXPECT_EQ(log.lines(), c.log) << c.place;
        log.clear();
        const LNGedcomIndiRecord::LifeTexts texts = p.lifeTexts();
        EXPECT_EQ(toUtf8(texts.deathPlace.value_or(u"-")), c.shown) << c.place;
        std::vector<std::string> twice = c.log;
        twice.insert(twice.end(), c.log.begin(), c.log.end());
        EXPECT_EQ(log.lines(), twice) << c.place;
    }
}

TEST(RecordAttributes, KeepsRowValuesFromTheFirstAlikeWhenTheRestArriveLater) {
    RecordAttributes row;
    row.set(u"id", std::int64_t{7});
    row.set(u"key", SharedString(u"I7"));
    row.set(u"name", NoneMarker());
    EXPECT_EQ(row.size(), 3u);
    EXPECT_TRUE(std::holds_alternative<NoneMarker>(*row.copy(u"name")));
    EXPECT_EQ(row.get(u"birthYear"), nullptr);
    row.set(u"father", SharedString(u"Smith, John")); // the first of the rest's slots
    EXPECT_EQ(std::get<std::int64_t>(*row.copy(u"id")), 7);
    EXPECT_EQ(std::get<SharedString>(*row.copy(u"key")), u"I7");
    const AttributeValue* id = row.get(u"id");
    row.set(u"id", std::int64_t{8});
    row.set(u"fatherRoot", std::int64_t{1}); // not the slot's type: kept whole
    row.set(u"other", SharedString(u"x"));
    EXPECT_EQ(std::get<std::int64_t>(*id), 8);
    EXPECT_EQ(std::get<std::int64_t>(*row.get(u"fatherRoot")), 1);
    EXPECT_EQ(std::get<SharedString>(*row.copy(u"father")), u"Smith, John");
    EXPECT_EQ(row.size(), 6u);
}

TEST(RecordAttributes, KeepsABareRowsIdAndOwnKeyWithoutLosingThemOnAnyLaterValue) {
    std::optional<ErrorKind> error;
    const Ref<LNGedcomNode> line = LNGedcomNode::initFromString(u"0 @I7@ INDI", &error);
    const LNGedcomNode* owner = line.get();
    auto bare = [&](RecordAttributes& row, std::int64_t id, const char16_t* key) {
        row.set(u"id", id, owner);
        row.set(u"key", SharedString(key), owner);
        row.set(u"name", NoneMarker(), owner);
    };
    auto expectIdKey = [&](const RecordAttributes& row, std::int64_t id, const char16_t* key) {
        EXPECT_EQ(std::get<std::int64_t>(*row.copy(u"id", owner)), id);
        EXPECT_EQ(std::get<SharedString>(*row.copy(u"key", owner)), key);
        EXPECT_EQ(row.size(), 3u);
    };
    RecordAttributes own, other, large, later;
    bare(own, 1, u"I7");
    bare(other, 2, u"I8");                     // not the owner's key
    bare(large, std::int64_t{1} << 32, u"I7"); // beyond the word's id
    bare(later, 4294967295, u"I7");
    for (auto [row, id, key] : {std::tuple{&own, 1l, u"I7"},
                                {&other, 2l, u"I8"},
                                {&large, std::int64_t{1} << 32, u"I7"},
                                {&later, 4294967295l, u"I7"}})
        expectIdKey(*row, id, key);
    EXPECT_TRUE(std::holds_alternative<NoneMarker>(*own.get(u"name", owner)));
    EXPECT_EQ(own.get(u"birthYear", owner), nullptr);
    const AttributeValue* key = own.get(u"key", owner); // a lasting copy from here on
    own.set(u"key", SharedString(u"I9"), owner);
    EXPECT_EQ(std::get<SharedString>(*key), u"I9");
    later.set(u"birthYear", SharedString(u"1900"), owner);
    EXPECT_EQ(std::get<std::int64_t>(*later.copy(u"id", owner)), 4294967295);
    EXPECT_EQ(std::get<SharedString>(*later.copy(u"key", owner)), u"I7");
    EXPECT_EQ(later.size(), 4u);
}
