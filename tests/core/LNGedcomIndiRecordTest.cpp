#include "LNGedcomIndiRecord.h"
#include "GedcomTestText.h"
#include "LNDate.h"
#include "LNGedcomFamRecord.h"
#include "SystemLog.h"
#include "TextServices.h"

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

namespace {

// The place and year rules written the plain way, with the lines they log.
std::optional<String> plainShortPlace(const std::optional<String>& place, std::vector<std::string>& log) {
    if (!place || place->empty()) return std::nullopt;
    std::vector<StringView> pieces = splitByString(*place, u", ");
    StringView last = pieces.back();
    if (last != u"Canada" && last != u"United States") return String(last);
    log.push_back("Found case of location ending with " + toUtf8(last));
    if (pieces.size() == 1) return String(last);
    log.push_back("found the special case and we should return " + toUtf8(pieces[pieces.size() - 2]));
    return String(pieces[pieces.size() - 2]);
}

std::optional<String> plainYear(StringView date) {
    auto parsed = LNDate::initFromString(date);
    return parsed ? parsed->yearString() : std::nullopt;
}

std::optional<String> copy(std::optional<StringView> text) {
    return text ? std::optional<String>(String(*text)) : std::nullopt;
}

std::optional<String> copy(std::optional<LNYear> year) {
    return year ? std::optional<String>(year->text()) : std::nullopt;
}

// The value of the first event's first line with the tag, or absent.
std::optional<String> detail(const LNGedcomIndiRecord& person, StringView event, StringView tag) {
    const LNNode* line = person.root()->childWithName(event);
    line = line ? line->childWithName(tag) : nullptr;
    return line && line->value() ? std::optional<String>(line->value().str()) : std::nullopt;
}

} // namespace

TEST(LNGedcomIndiRecord, FindsLifeTextsInOnePassAsThePlainRulesDo) {
    const std::vector<std::optional<std::string>> places = {std::nullopt,
                                                            "",
                                                            ", ",
                                                            "United States",
                                                            ", United States",
                                                            ", , Canada",
                                                            "a,, Canada",
                                                            "a, , b, United States",
                                                            "Canada, United States",
                                                            "United States, Canada",
                                                            "Lyon,  United States",
                                                            "x, y, z, United States, ",
                                                            "Ontario, Canada, ",
                                                            "Ohio , United States",
                                                            "Toronto, Ontario, Canada",
                                                            "Göteborg, Västra Götaland, Sverige"};
    const std::vector<std::optional<std::string>> dates = {
        std::nullopt, "", "ABT", "1850", "BET 1850 AND 1860", " 1 JAN 1901 ", "18500", "ABT 1032 B.C."};
    for (const auto& birthPlace : places)
        for (const auto& date : dates) {
            const auto& deathPlace = places[(&birthPlace - places.data() + 5) % places.size()];
            std::vector<std::string> lines = {"0 @I1@ INDI", "1 NAME A /B/", "1 BIRT"};
            if (date) lines.push_back("2 DATE " + *date);
            if (birthPlace) lines.push_back("2 PLAC " + *birthPlace);
            lines.push_back("1 BURI");
            if (date) lines.push_back("2 DATE " + *date);
            lines.push_back("1 DEAT");
            if (deathPlace) lines.push_back("2 PLAC " + *deathPlace);
            lines.push_back("1 CHR");
            lines.push_back("2 DATE 1777");
            std::vector<String> lineTexts;
            for (const std::string& line : lines)
                lineTexts.push_back(fromUtf8(line));
            std::vector<StringView> views(lineTexts.begin(), lineTexts.end());
            auto records = LNGedcomRecord::gedcomRecordsFromStrings(views, nullptr);
            auto p = std::dynamic_pointer_cast<LNGedcomIndiRecord>(records->at(0));
            ASSERT_NE(p, nullptr);
            std::string where = birthPlace.value_or("(none)") + " / " + date.value_or("(none)");

            std::vector<std::string> expectedLog;
            std::optional<String> birthDate = detail(*p, u"BIRT", u"DATE");
            std::optional<String> birthYear = birthDate ? plainYear(*birthDate) : std::nullopt;
            if (!birthYear) birthYear = u"1777";
            std::optional<String> deathDate = detail(*p, u"BURI", u"DATE");
            std::optional<String> deathYear = deathDate ? plainYear(*deathDate) : std::nullopt;
            std::optional<String> shownBirth = plainShortPlace(detail(*p, u"BIRT", u"PLAC"), expectedLog);
            std::optional<String> shownDeath = plainShortPlace(detail(*p, u"DEAT", u"PLAC"), expectedLog);

            LogCapture log;
            LNGedcomIndiRecord::LifeTexts texts = p->lifeTexts();
            EXPECT_EQ(copy(texts.birthYear), birthYear) << where;
            EXPECT_EQ(copy(texts.birthPlace), shownBirth) << where;
            EXPECT_EQ(copy(texts.deathYear), deathYear) << where;
            EXPECT_EQ(copy(texts.deathPlace), shownDeath) << where;
            EXPECT_EQ(log.lines(), expectedLog) << where;
            log.clear();
            EXPECT_EQ(p->birthYear(), birthYear) << where;
            EXPECT_EQ(p->birthPlace(), shownBirth) << where;
            EXPECT_EQ(p->deathYear(), deathYear) << where;
            EXPECT_EQ(p->deathPlace(), shownDeath) << where;
            EXPECT_EQ(log.lines(), expectedLog) << where;
        }
}
