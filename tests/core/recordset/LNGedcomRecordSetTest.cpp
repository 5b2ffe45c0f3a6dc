// The record set's queries: records by kind and key, duplicate keys across
// kinds, the name index and search, and the family relations.

#include "recordset/LNGedcomRecordSet.h"
#include "GedcomTestText.h"

#include <gtest/gtest.h>

using namespace kinloom;
using kinloom::test::LoadedText;

namespace {

template <typename List> std::string keysOf(const List& records) {
    std::string keys;
    for (const auto& record : records)
        keys += (keys.empty() ? "" : " ") + (record ? toUtf8(record->key().view()) : "-");
    return keys;
}

std::string keysOf(const LNGedcomRecordSet& set, const std::vector<std::uint32_t>* positions) {
    std::string text;
    for (std::uint32_t position : positions ? *positions : std::vector<std::uint32_t>())
        text += (text.empty() ? "" : " ") + toUtf8(set.indiByIndex(static_cast<int>(position))->key().view());
    return text;
}

class RecordingLogger : public LNLogger {
  public:
    void addLogString(StringView text) override { texts.emplace_back(text); }
    std::vector<String> texts;
};

} // namespace

TEST(LNGedcomRecordSet, FilesTheFirstRecordOfEachKeyAndKindAndReportsRepeats) {
    LoadedText loaded(
        u"0 HEAD\n0 @X1@ FAM\n0 @X1@ INDI\n1 NAME A /B/\n0 @X1@ FAM\n0 @X1@ NOTE text\n0 @I1@ INDI\n"
        u"1 NAME First\n0 @I1@ INDI\n1 NAME Second\n0 SUBN\n0 INDI\n0 @S1@ SOUR\n0 @T1@ TRLR\n0 TRLR\n");
    EXPECT_EQ(loaded.log,
              (std::vector<std::string>{
                  "just added error multiplyDefinedKey at line 3 with arg INDI @X1@",
                  "just added error multiplyDefinedKey at line 5 with arg FAM @X1@",
                  "just added error multiplyDefinedKey at line 6 with arg NOTE @X1@",
                  "just added error multiplyDefinedKey at line 9 with arg INDI @I1@",
                  "just added error missingKey at line 11 with arg SUBN record with no key",
                  "just added error missingKey at line 12 with arg INDI record with no key",
                  "after validating INDIs there are 6 errors", "after validating FAMs there are 6 errors"}));
    EXPECT_EQ(loaded.errors.count(), 6);
    EXPECT_EQ(loaded.set.count(), 12);
    EXPECT_EQ(loaded.set.numNodes(), 15);
    EXPECT_EQ(keysOf(loaded.set.indiRecords()) + "|" + keysOf(loaded.set.famRecords()) + "|" +
                  keysOf(loaded.set.sourRecords()),
              "@X1@ @I1@|@X1@|@S1@");
    EXPECT_EQ(loaded.set.recordWithKey(u"@X1@")->lineNumber(), 2);
    EXPECT_EQ(loaded.set.indiWithKey(u"@X1@")->lineNumber(), 3);
    EXPECT_EQ(loaded.set.famWithKey(u"@X1@")->lineNumber(), 2);
    EXPECT_EQ(loaded.set.indiWithKey(u"@I1@")->lineNumber(), 7);
    EXPECT_EQ(loaded.set.recordWithKey(u"@T1@")->tag(), u"TRLR");
    EXPECT_EQ(loaded.set.sourWithKey(u"@S1@")->lineNumber(), 13);
    for (const char16_t* key : {u"I1", u"@i1@", u"@I1", u"", u"@S1@x"})
        EXPECT_EQ(loaded.set.recordWithKey(key), nullptr) << toUtf8(key);
    EXPECT_EQ(loaded.set.indiWithKey(u"@S1@"), nullptr);
    EXPECT_EQ(
        keysOf(std::vector{loaded.set.indiByIndex(-1), loaded.set.indiByIndex(1), loaded.set.indiByIndex(2)}),
        "- @I1@ -");
}

TEST(LNGedcomRecordSet, TellsEmptyAndAbsentTextsApartAndLogsTheRecordCount) {
    RecordingLogger logger;
    LogCapture log;
    String empty;
    EXPECT_TRUE(LNGedcomRecordSet(&empty, nullptr, &logger).records()->empty());
    LNGedcomRecordSet absent(nullptr, nullptr, &logger);
    EXPECT_EQ(absent.records(), nullptr);
    EXPECT_EQ(absent.recordWithKey(u"@I1@"), nullptr);
    EXPECT_EQ(absent.indiWithKey(u"@I1@"), nullptr);
    LoadedText three(u"0 HEAD\n0 @N1@ NOTE\n0 TRLR\n");
    LNGedcomRecordSet set(&three.text, nullptr, &logger);
    EXPECT_EQ(logger.texts,
              (std::vector<String>{u"Number of Gedcom records is 0\n", u"Number of Gedcom records is 0\n",
                                   u"Number of Gedcom records is 3\n"}));
}

TEST(LNGedcomRecordSet, IndexesNameKeysAndFindsPartialNamesInNameOrder) {
    setCollationLocale("en");
    LoadedText loaded(
        u"0 @I3@ INDI\n1 NAME John /Smith/\n1 NAME Jack /Smith/\n1 NAME\n1 NAME Mary /Brown/\n"
        u"0 @I1@ INDI\n1 NAME Jane /Smith/\n0 @I2@ INDI\n1 NAME Johann /Smyth/\n0 @I4@ INDI\n"
        u"1 NAME /Smith/\n0 @I5@ INDI\n1 NAME John Paul /Smith/\n0 @I10@ INDI\n1 NAME Jane /Smith/\n"
        u"0 @I6@ INDI\n1 NAME John\n");
    EXPECT_EQ(keysOf(loaded.set, loaded.set.indisWithNameKey(u"JS530")), "@I3@ @I1@ @I2@ @I5@ @I10@");
    EXPECT_EQ(keysOf(loaded.set, loaded.set.indisWithNameKey(u"MB650")), "@I3@");
    EXPECT_EQ(loaded.set.indisWithNameKey(u"js530"), nullptr);
    const std::pair<const char16_t*, const char*> searches[] = {
        {u"J /Smith/", "@I1@ @I10@ @I3@ @I5@"},      // Jane, Jane (by key number), John, John Paul
        {u"Jn /Smth/", "@I1@ @I10@ @I3@ @I5@ @I2@"}, // letters may be left out
        {u"J /Smith/ P", "@I5@"},                    // through a name's words in order
        {u"Johann /Smyth/", "@I2@"},
        {u"/Smith/", "@I4@"}, // only names without given names share its key
        {u"John", ""},
        {u"", ""},
        {u"Q /Smith/", ""}};
    for (const auto& [typed, keys] : searches)
        EXPECT_EQ(keysOf(loaded.set.indisWithName(typed)), keys) << toUtf8(typed);
}

TEST(LNGedcomRecordSet, FollowsFamilyLinksInLineOrderSkippingWhatNamesNoRecordOfTheKind) {
    // @F1@ with two husbands, a wife and a child named twice; @F2@ whose
    // lines name nobody that exists; @F3@ with a wife only.
    LoadedText loaded(
        u"0 @I1@ INDI\n1 SEX M\n1 FAMS @F1@\n1 FAMS @F9@\n1 FAMS @F2@\n1 FAMS @F1@\n0 @I2@ INDI\n"
        u"1 SEX f\n1 FAMS @F1@\n1 FAMS @F3@\n0 @I3@ INDI\n1 FAMC @F1@\n1 FAMC @F3@\n0 @I4@ INDI\n"
        u"1 FAMC @F9@\n1 FAMC @F1@\n0 @I5@ INDI\n1 SEX male\n1 FAMS @F1@\n1 FAMC @F3@\n0 @I6@ INDI\n"
        u"1 FAMC @f1@\n0 @F1@ FAM\n1 HUSB @I1@\n1 HUSB @I5@\n1 WIFE @I2@\n1 CHIL @I3@\n1 CHIL @I9@\n"
        u"1 CHIL @I3@\n0 @F2@ FAM\n1 HUSB @I8@\n1 WIFE @F1@\n1 CHIL @I7@\n0 @F3@ FAM\n1 WIFE @I2@\n"
        u"1 CHIL @I5@\n1 HUSB\n");
    const LNGedcomRecordSet& set = loaded.set;
    auto indi = [&](const char16_t* key) -> const LNGedcomIndiRecord& { return *set.indiWithKey(key); };
    auto fam = [&](const char16_t* key) -> const LNGedcomFamRecord& { return *set.famWithKey(key); };
    // Parents through the first FAMC line only.
    std::string parents;
    for (const auto& person : set.indiRecords())
        parents += keysOf(std::vector{set.fatherOfIndi(*person), set.motherOfIndi(*person)}) + "|";
    EXPECT_EQ(parents, "- -|- -|@I1@ @I2@|- -|- @I2@|- -|");
    for (std::size_t i = 0; i < set.indiRecords().size(); ++i) {
        auto [father, mother] = set.parentsOfIndiAt(i);
        EXPECT_EQ(father, set.fatherOfIndi(*set.indiRecords()[i]).get()) << i;
        EXPECT_EQ(mother, set.motherOfIndi(*set.indiRecords()[i]).get()) << i;
    }
    EXPECT_EQ(keysOf(set.husbandsOfFam(fam(u"@F1@"))), "@I1@ @I5@");
    EXPECT_EQ(keysOf(set.wivesOfFam(fam(u"@F1@"))), "@I2@");
    EXPECT_EQ(keysOf(set.childrenOfFam(fam(u"@F1@"))), "@I3@ @I3@");
    EXPECT_EQ(keysOf(set.husbandsOfFam(fam(u"@F2@"))) + keysOf(set.wivesOfFam(fam(u"@F2@"))) +
                  keysOf(set.childrenOfFam(fam(u"@F2@"))) + keysOf(set.husbandsOfFam(fam(u"@F3@"))),
              "");
    EXPECT_EQ(keysOf(std::vector{set.husbandOfFam(fam(u"@F3@")), set.wifeOfFam(fam(u"@F3@"))}), "- @I2@");
    EXPECT_EQ(keysOf(set.natalFamiliesOfIndi(indi(u"@I3@"))), "@F1@ @F3@");
    EXPECT_EQ(keysOf(std::vector{set.natalFamilyOfIndi(indi(u"@I4@")), set.natalFamilyOfIndi(indi(u"@I6@"))}),
              "- -");
    EXPECT_EQ(keysOf(set.spousalFamiliesOfIndi(indi(u"@I1@"))), "@F1@ @F2@ @F1@");
    // Spouses by sex alone ("male" is none); children of every spousal family.
    EXPECT_EQ(keysOf(set.spousesOfIndi(indi(u"@I1@"))), "@I2@ @I2@");
    EXPECT_EQ(keysOf(set.spousesOfIndi(indi(u"@I2@"))), "@I1@ @I5@");
    EXPECT_EQ(keysOf(set.spousesOfIndi(indi(u"@I5@"))), "");
    EXPECT_EQ(keysOf(set.childrenOfIndi(indi(u"@I1@"))), "@I3@ @I3@ @I3@ @I3@");
    EXPECT_EQ(keysOf(set.childrenOfIndi(indi(u"@I2@"))), "@I3@ @I3@ @I5@");
}

TEST(LNGedcomRecordSet, OrdersPersonsByNameThenKeyNumberAndByBirthYear) {
    setCollationLocale("en");
    LoadedText loaded(
        u"0 @I1@ INDI\n1 NAME John /smith/\n0 @I2@ INDI\n1 NAME John /Smith/\n0 @I3@ INDI\n"
        u"1 NAME Adam /Taylor/\n1 BIRT\n2 DATE 1899\n0 @I4@ INDI\n1 NAME Zoe\n1 CHR\n2 DATE 1900\n"
        u"0 @I5@ INDI\n0 @I6@ INDI\n1 NAME John Paul /Smith/\n0 @I10@ INDI\n1 NAME John /Smith/\n"
        u"1 BIRT\n2 DATE 1900\n0 @I9@ INDI\n1 NAME John /Smith/\n0 @I99999999999@ INDI\n"
        u"1 NAME John /Smith/\n0 @I-2000000000@ INDI\n1 NAME John /Smith/\n");
    // No surname first; given names: none before any; case ignored; fewer
    // given names first; key numbers as numbers, without overflow.
    IndiList byName = loaded.set.indiRecords();
    std::ranges::stable_sort(byName,
                             [](const auto& a, const auto& b) { return compareIndisByName(*a, *b) < 0; });
    EXPECT_EQ(keysOf(byName), "@I5@ @I4@ @I-2000000000@ @I1@ @I2@ @I9@ @I10@ @I99999999999@ @I6@ @I3@");
    // Known years first, by year; then by name.
    IndiList byYear = loaded.set.indiRecords();
    std::ranges::stable_sort(
        byYear, [](const auto& a, const auto& b) { return compareIndisByBirthYear(*a, *b, nullptr) < 0; });
    EXPECT_EQ(keysOf(byYear), "@I3@ @I4@ @I10@ @I5@ @I-2000000000@ @I1@ @I2@ @I9@ @I99999999999@ @I6@");
    EXPECT_EQ(compareIndisByName(*loaded.set.indiByIndex(0), *loaded.set.indiByIndex(0)), 0);
}

// Lookups after the list is replaced never read past it: the indexes go on
// answering with the records they filed.
TEST(LNGedcomRecordSet, KeepsAnsweringWithTheRecordsItFiledAfterSetRecords) {
    LoadedText loaded(
        u"0 @I1@ INDI\n1 FAMC @F1@\n0 @I2@ INDI\n1 FAMS @F1@\n0 @F1@ FAM\n1 HUSB @I2@\n1 CHIL @I1@\n");
    LNGedcomRecordSet& set = loaded.set;
    const LNGedcomRecord* second = set.recordWithKey(u"@I2@").get();
    const LNGedcomRecord* family = set.recordWithKey(u"@F1@").get();
    for (std::size_t size : {0, 1}) {
        auto replacement = std::make_unique<RecordList>();
        if (size == 1) replacement->push_back(set.indiByIndex(0));
        set.setRecords(std::move(replacement));
        EXPECT_EQ(set.count(), static_cast<int>(size));
        EXPECT_EQ(set.recordWithKey(u"@I2@").get(), second);
        EXPECT_EQ(set.recordWithKey(u"@F1@").get(), family);
        EXPECT_EQ(set.parentsOfIndiAt(0).first, second);
        EXPECT_EQ(set.fatherOfIndi(*set.indiByIndex(0)).get(), second);
    }
    // Validating again goes over the filed records: the two persons without a
    // name and the husband without a sex again.
    const int errors = loaded.errors.count();
    set.validate();
    EXPECT_EQ(loaded.errors.count(), errors + 3);
}

TEST(LNGedcomRecordSet, ListsRelativesParentsSiblingsThenEachSpousalFamilyOnce) {
    // @I1@ has no SEX line, a missing and a repeated spousal family (listed
    // once), and names itself as a sibling and as a partner; a child named
    // twice by its family is listed twice.
    LoadedText loaded({"0 @I1@ INDI", "1 FAMC @F1@", "1 FAMS @F2@", "1 FAMS @F9@", "1 FAMS @F2@",
                       "0 @F1@ FAM",  "1 CHIL @I4@", "1 WIFE @I3@", "1 HUSB @I2@", "1 CHIL @I1@",
                       "1 CHIL @I8@", "1 CHIL @I4@", "0 @F2@ FAM",  "1 WIFE @I5@", "1 HUSB @I1@",
                       "1 HUSB @I6@", "1 CHIL @I7@", "1 CHIL @I7@", "0 @I2@ INDI", "0 @I3@ INDI",
                       "0 @I4@ INDI", "0 @I5@ INDI", "0 @I6@ INDI", "0 @I7@ INDI"});
    const LNGedcomRecordSet& set = loaded.set;
    std::vector<std::string> listed;
    for (const LNGedcomRelative& relative : set.relativesOfIndi(*set.indiWithKey(u"@I1@")))
        listed.push_back(std::string(relativeRoleName(relative.role)) + " " +
                         toUtf8(relative.indi->key().view()));
    EXPECT_EQ(listed, (std::vector<std::string>{"father @I2@", "mother @I3@", "sibling @I4@", "sibling @I4@",
                                                "spouse @I5@", "spouse @I6@", "child @I7@", "child @I7@"}));
    // Relatives follow the person's own links only: @I7@ names no family.
    EXPECT_TRUE(set.relativesOfIndi(*set.indiWithKey(u"@I7@")).empty());
}

// A slot holds at signs around up to eight ASCII units itself; every other
// key is held by address. Under one forced hash the keys share one run of
// slots, so each is told apart by its form and text alone.
TEST(RecordIndex, TellsApartKeysOfEveryFormUnderOneHash) {
    std::vector<String> keys = {
        u"@12345678@",     u"@123456789@", u"@1234567@", u"@1234567@@", u"@12345678",
        u"12345678@",      u"@@",          u"@",         u"",           u"@@@",
        u"@\x7f@",         u"@\x80@",      u"@\xe9@",    u"@\xd800@",   u"@12345678\xe9@",
        u"@12345678\xe8@", u"@1234\xe9@",  u"@1234i@"};
    const String huge(70000, u'@');
    keys.insert(keys.end(), {String(u"@\0@", 3), huge, huge + u"@", huge.substr(1) + u"x"});
    RecordIndex index;
    index.reserve(keys.size());
    for (std::uint32_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(index.tryFile(keys[i], 42, i), i) << i;
    for (std::uint32_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(index.find(keys[i], 42), i) << i;
        EXPECT_EQ(index.tryFile(keys[i], 42, 99), i) << i;
    }
    EXPECT_EQ(index.find(u"@1234567@x", 42), RecordIndex::none);
    EXPECT_EQ(index.find(u"@123456@", 42), RecordIndex::none);
    EXPECT_EQ(index.size(), keys.size());
}

// Growing files every key again where its hash leads, rebuilt where the slot
// held it.
TEST(RecordIndex, KeepsEveryNumberThroughGrowth) {
    std::vector<String> keys;
    for (int i = 0; i < 3000; ++i) {
        const String number = fromUtf8(std::to_string(i));
        keys.push_back(i % 3 == 0   ? u"@I" + number + u"@"
                       : i % 3 == 1 ? u"@LONGER" + number + u"@"
                                    : u"@\xe9" + number + u"@");
    }
    keys.push_back(String(70000, u'x'));
    RecordIndex index;
    for (std::uint32_t i = 0; i < keys.size(); ++i)
        index.tryFile(keys[i], i);
    for (std::uint32_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(index.find(keys[i]), i) << i;
    EXPECT_EQ(index.size(), keys.size());
}
