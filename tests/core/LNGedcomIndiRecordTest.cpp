// What a person record tells of itself: its link lines, and the years and
// places the person table shows, with the lines those log.

#include "LNGedcomIndiRecord.h"
#include "GedcomTestText.h"

#include <gtest/gtest.h>

using namespace kinloom;
using kinloom::test::LoadedText;

namespace {

std::string lineNumbers(std::span<LNGedcomNode* const> nodes) {
    std::string numbers;
    for (const LNGedcomNode* node : nodes)
        numbers += std::to_string(node->lineNumber()) + " ";
    return numbers;
}

std::string text(const std::optional<String>& value) {
    return value ? toUtf8(*value) : "-";
}

} // namespace

TEST(LNGedcomIndiRecord, CollectsLevelOneLinksByExactTagInFileOrder) {
    LoadedText loaded{"0 @I1@ INDI",
                      "1 FAMS @F3@",
                      "1 NAME John /Smith/",
                      "1 SEX M",
                      "1 FAMC @F1@",
                      "2 FAMC @F9@",
                      "1 NAME Jack /Smith/",
                      "1 FAMS @F4@",
                      "1 SEX F",
                      "1 famc @F5@",
                      "1 FAMC @F2@",
                      "0 @F1@ FAM",
                      "1 CHIL @I3@",
                      "1 HUSB @I1@",
                      "1 WIFE @I2@",
                      "1 CHIL @I4@",
                      "1 HUSB @I5@",
                      "1 MARR",
                      "2 HUSB",
                      "1 Husb @I6@"};
    const auto& p = *loaded.set.indiByIndex(0);
    EXPECT_EQ(lineNumbers(p.nameArray()) + "| " + lineNumbers(p.famcArray()) + "| " +
                  lineNumbers(p.famsArray()),
              "3 7 | 5 11 | 2 8 ");
    EXPECT_EQ(p.sex()->lineNumber(), 4) << "the first SEX line counts";
    EXPECT_EQ(p.gedcomName()->original(), u"John /Smith/");
    const auto& fam = *loaded.set.famByIndex(0);
    EXPECT_EQ(lineNumbers(fam.husbArray()) + "| " + lineNumbers(fam.wifeArray()) + "| " +
                  lineNumbers(fam.chilArray()),
              "14 17 | 15 | 13 16 ");
}

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
