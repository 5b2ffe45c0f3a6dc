#include "GedcomTestText.h"
#include "LNGedcomRecordSet.h"
#include "SystemLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

using namespace kinloom;
using kinloom::test::GedcomLines;
using kinloom::test::gedcomText;

namespace {

using Log = std::vector<std::string>;

// The whole log of loading the lines (numbered from 1), validation included.
Log loadLog(std::initializer_list<std::string_view> lines) {
    String text = gedcomText(lines);
    LogCapture capture;
    LNGedcomErrors errors;
    LNGedcomRecordSet set(&text, &errors);
    return capture.lines();
}

// The set, with the log of loading dropped.
std::unique_ptr<LNGedcomRecordSet> loadQuietly(const String& text, LNGedcomErrors& errors) {
    LogCapture loading;
    return std::make_unique<LNGedcomRecordSet>(&text, &errors);
}

std::string error(const char* kind, int line, const std::string& arg) {
    return std::string("just added error ") + kind + " at line " + std::to_string(line) + " with arg " + arg;
}

std::string plain(const std::string& text) {
    return "DEPRECATED call to LNGedcomErrors addObject with string: " + text;
}

std::string indisDone(int count) {
    return "after validating INDIs there are " + std::to_string(count) + " errors";
}

std::string famsDone(int count) {
    return "after validating FAMs there are " + std::to_string(count) + " errors";
}

std::string missingRecord(const char* key) {
    return std::string("record with key ") + key + " does not exist";
}

std::string wrongType(const char* key) {
    return std::string("record with key ") + key + " does exist but has wrong type";
}

} // namespace

TEST(ReferenceValidation, LogsUnresolvedAndWrongTypeReferencesInFileOrderWithoutCounting) {
    String text =
        gedcomText({"0 HEAD",      "1 SUBM @U1@", "1 SUBM @U9@", "0 @U1@ SUBM", "0 @I1@ INDI", "1 NAME A /B/",
                    "1 FAMC @F1@", "1 FAMC @I2@", "1 FAMC @F9@", "1 ASSO @I2@", "1 famc @F1@", "1 NOTE @@",
                    "1 SOUR @S1@", "1 BIRT",      "2 SOUR @I2@", "2 SOUR @S9@", "0 @I2@ INDI", "1 NAME C /D/",
                    "0 @F1@ FAM",  "1 CHIL @I1@", "1 HUSB @F1@", "1 SUBM @U1@", "1 SOUR @I1@", "0 @S1@ SOUR",
                    "0 @N1@ NOTE", "1 SOUR @I1@", "1 REFN @I1@", "0 TRLR"});
    LNGedcomErrors errors;
    auto set = loadQuietly(text, errors);
    const int before = errors.count();
    LogCapture capture;
    set->validateReferences();
    // Passing: the header's SUBM, a person's FAMC to a family and SOUR to a
    // source, any level-2 line, a family's CHIL to a person, a note's REFN.
    EXPECT_EQ(capture.lines(), (Log{missingRecord("@U9@"),                    // any record: exists?
                                    wrongType("@I2@"), missingRecord("@F9@"), // FAMC to a person, to nothing
                                    wrongType("@I2@"), wrongType("@F1@"),     // other person tags, exact case
                                    missingRecord("@S9@"),                    // level 2: only existence
                                    wrongType("@F1@"), wrongType("@U1@"),     // HUSB to a family, other tags
                                    wrongType("@I1@"), wrongType("@I1@")}));  // SOUR wants a source anywhere
    EXPECT_EQ(errors.count(), before);
}

TEST(LinkValidation, RunsReferencesThenPersonsThenFamiliesAndCountsLoadingReports) {
    // The keyless NOTE is reported while loading; both counts include it.
    Log log = loadLog({"0 NOTE loose", "0 @I1@ INDI", "1 FAMS @F1@", "1 NAME A /B/", "0 @F1@ FAM",
                       "1 HUSB @I1@", "1 WIFE @I9@", "0 TRLR"});
    EXPECT_EQ(log,
              (Log{error("missingKey", 1, "NOTE record with no key"), missingRecord("@I9@"),
                   error("wrongSex", 2, "INDI @I1@ in FAM @F1@ should be male"), indisDone(2), famsDone(2)}));

    Log none = loadLog({"0 HEAD", "0 TRLR"});
    EXPECT_EQ(none, (Log{indisDone(0), famsDone(0)}));

    LogCapture capture;
    LNGedcomErrors errors;
    LNGedcomRecordSet absent(nullptr, &errors);
    EXPECT_EQ(capture.lines(), (Log{indisDone(0), famsDone(0)}));
}

TEST(PersonLinkValidation, PassesConsistentLinksSilently) {
    Log log = loadLog({"0 @I1@ INDI", "1 NAME A /B/", "1 SEX M", "1 FAMC @F1@", "1 FAMS @F2@",
                       "1 SOUR free text", "0 @I2@ INDI", "1 NAME C /B/", "1 SEX F", "1 FAMS @F1@",
                       "0 @F1@ FAM", "1 WIFE @I2@", "1 CHIL @I1@", "0 @F2@ FAM", "1 HUSB @I1@"});
    EXPECT_EQ(log, (Log{indisDone(0), famsDone(0)}));
}

TEST(PersonLinkValidation, ReportsMissingNaturalFamilyTwiceThenTheMissingLink) {
    Log log = loadLog({"0 @I1@ INDI", "1 NAME A /B/", "1 FAMC @F9@", "1 FAMS @F8@"});
    EXPECT_EQ(log, (Log{missingRecord("@F9@"), missingRecord("@F8@"), error("undefinedKey", 3, "FAM @F9@"),
                        error("undefinedKey", 3, "FAM @F9@"),
                        error("missingLink", 1, "INDI @I1@ not in FAM @F9@ as CHIL"),
                        error("undefinedKey", 4, "FAM @F8@"), indisDone(4), famsDone(4)}));
}

TEST(PersonLinkValidation, ReportsWrongRolesInNaturalFamilyAtPersonThenFamilyLine) {
    Log husband =
        loadLog({"0 @I1@ INDI", "1 NAME A /B/", "1 SEX M", "1 FAMC @F1@", "0 @F1@ FAM", "1 HUSB @I1@"});
    EXPECT_EQ(husband, (Log{error("wrongRole", 1, "INDI @I1@ in FAM @F1@ as HUSB not CHILD"),
                            error("missingLink", 1, "INDI @I1@ not in FAM @F1@ as CHIL"),
                            error("wrongRole", 6, "INDI @I1@ in FAM @F1@ as HUSB not CHILD"), indisDone(3),
                            plain("FAM @F1@ is FAMC in INDI @I1@ but should be FAMS one"),
                            plain("FAM @F1@ should be FAMS in INDI @I1@ but isn't two"), famsDone(5)}));

    Log both =
        loadLog({"0 @I1@ INDI", "1 NAME A /B/", "1 FAMC @F1@", "0 @F1@ FAM", "1 CHIL @I1@", "1 HUSB @I1@"});
    EXPECT_EQ(both, (Log{error("wrongRole", 1, "INDI @I1@ in FAM @F1@ as HUSB not CHILD"),
                         error("multipleRoles", 1, "INDI @I1@ in FAM @F1@ multiple roles"),
                         error("wrongRole", 6, "INDI @I1@ in FAM @F1@ as HUSB not CHILD"), indisDone(3),
                         plain("FAM @F1@ is FAMC in INDI @I1@ but should be FAMS one"),
                         plain("FAM @F1@ should be FAMS in INDI @I1@ but isn't two"), famsDone(5)}));

    Log wife = loadLog({"0 @I1@ INDI", "1 NAME A /B/", "1 SEX F", "1 FAMC @F1@", "0 @F1@ FAM", "1 WIFE @I1@",
                        "1 WIFE @I1@"});
    EXPECT_EQ(wife, (Log{error("wrongRole", 1, "INDI @I1@ in FAM @F1@ as WIFE not CHILD"),
                         error("missingLink", 1, "INDI @I1@ not in FAM @F1@ as CHIL"),
                         error("multipleRoles", 1, "INDI @I1@ in FAM @F1@ multiple roles"),
                         error("wrongRole", 6, "INDI @I1@ in FAM @F1@ as WIFE not CHILD"), indisDone(4),
                         plain("FAM @F1@ is FAMC in INDI @I1@ but should be FAMS three"),
                         plain("FAM @F1@ is FAMC in INDI @I1@ but should be FAMS three"), famsDone(6)}));
}

TEST(PersonLinkValidation, ReportsChildInSeveralFamiliesAsPlainText) {
    Log twiceInOne =
        loadLog({"0 @I1@ INDI", "1 NAME A /B/", "1 FAMC @F1@", "0 @F1@ FAM", "1 CHIL @I1@", "1 CHIL @I1@"});
    EXPECT_EQ(twiceInOne, (Log{error("multipleRoles", 1, "INDI @I1@ in FAM @F1@ multiple roles"),
                               plain("INDI @I1@ is CHIL in multiple FAMs"), indisDone(2), famsDone(2)}));

    Log onceInTwo = loadLog({"0 @I1@ INDI", "1 NAME A /B/", "1 FAMC @F1@", "1 FAMC @F2@", "0 @F1@ FAM",
                             "1 CHIL @I1@", "0 @F2@ FAM", "1 CHIL @I1@"});
    EXPECT_EQ(onceInTwo, (Log{plain("INDI @I1@ is CHIL in multiple FAMs"), indisDone(1), famsDone(1)}));
}

TEST(PersonLinkValidation, JudgesSpousalRolesBySex) {
    auto spouse = [](const char* sex, const char* role) {
        std::vector<std::string> lines{"0 @I1@ INDI", "1 NAME A /B/", "1 FAMS @F1@", "0 @F1@ FAM"};
        if (*sex) lines.insert(lines.begin() + 2, sex);
        lines.push_back(role);
        String text;
        for (const auto& line : lines)
            text += fromUtf8(line + "\n");
        LogCapture capture;
        LNGedcomErrors errors;
        LNGedcomRecordSet set(&text, &errors);
        return capture.lines().at(0);
    };
    EXPECT_EQ(spouse("", "1 HUSB @I1@"), error("wrongSex", 1, "INDI @I1@ in FAM @F1@ should be male"));
    EXPECT_EQ(spouse("1 SEX F", "1 HUSB @I1@"), error("wrongSex", 1, "INDI @I1@ in FAM @F1@ should be male"));
    EXPECT_EQ(spouse("1 SEX M", "1 WIFE @I1@"),
              error("wrongSex", 1, "INDI @I1@ in FAM @F1@ should be female"));
    EXPECT_EQ(spouse("1 SEX m", "1 HUSB @I1@"), indisDone(0));

    Log childToo = loadLog({"0 @I1@ INDI", "1 NAME A /B/", "1 SEX M", "1 FAMS @F1@", "0 @F1@ FAM",
                            "1 HUSB @I1@", "1 CHIL @I1@"});
    EXPECT_EQ(childToo, (Log{error("wrongRole", 1, "INDI @I1@ in FAM @F1@ should be spouse"),
                             error("multipleRoles", 1, "INDI @I1@ in FAM @F1@ multiple roles"), indisDone(2),
                             plain("FAM @F1@ is FAMS in INDI @I1@ but should be FAMC four"), famsDone(3)}));

    // A spousal family that does not list the person raises nothing.
    Log unlisted = loadLog({"0 @I1@ INDI", "1 NAME A /B/", "1 FAMS @F1@", "0 @F1@ FAM"});
    EXPECT_EQ(unlisted, (Log{indisDone(0), famsDone(0)}));
}

TEST(PersonLinkValidation, ReportsUnusableNamesAndMissingSources) {
    Log log = loadLog({"0 @I1@ INDI", "0 @I2@ INDI", "1 NAME", "1 NAME C /D/", "1 SOUR @S1@", "1 SOUR a book",
                       "1 BIRT", "2 SOUR @S9@", "3 PAGE 4", "1 DEAT", "2 SOUR @I1@", "0 @S1@ SOUR"});
    EXPECT_EQ(log,
              (Log{missingRecord("@S9@"), error("illegalName", 0, "INDI @I1@"),
                   error("illegalName", 3, "INDI @I2@"), error("undefinedKey", 8, "SOUR @S9@ does not exist"),
                   error("undefinedKey", 11, "SOUR @I1@ does not exist"), indisDone(4), famsDone(4)}));
}

TEST(FamilyLinkValidation, ReportsHusbandsByLineNumbersAndOthersByCounts) {
    Log undefined = loadLog({"0 @F1@ FAM", "1 HUSB @I9@", "1 WIFE @I8@", "1 CHIL @I7@"});
    EXPECT_EQ(undefined, (Log{missingRecord("@I9@"), missingRecord("@I8@"), missingRecord("@I7@"),
                              indisDone(0), error("undefinedKey", 2, "INDI @I9@ undefined"), famsDone(1)}));

    Log unlinked = loadLog({"0 @I1@ INDI", "1 NAME A /B/", "0 @I2@ INDI", "1 NAME C /B/", "0 @I3@ INDI",
                            "1 NAME E /B/", "0 @F1@ FAM", "1 HUSB @I1@", "1 WIFE @I2@", "1 CHIL @I3@"});
    EXPECT_EQ(unlinked,
              (Log{indisDone(0), plain("FAM @F1@ should be FAMS in INDI @I1@ but isn't two"), famsDone(1)}));

    Log twice = loadLog({"0 @I1@ INDI", "1 NAME A /B/", "1 SEX M", "1 FAMS @F1@", "1 FAMS @F1@", "0 @F1@ FAM",
                         "1 HUSB @I1@"});
    EXPECT_EQ(twice, (Log{indisDone(0), plain("FAM @F1@ in INDI @I1@ in multiple roles"), famsDone(1)}));
}

TEST(FamilyLinkValidation, ReportsMembersLinkedTheWrongWayAndMissingSources) {
    Log log = loadLog({"0 @I2@ INDI", "1 NAME C /B/", "1 SEX F", "1 FAMC @F1@", "0 @I3@ INDI", "1 NAME E /B/",
                       "1 FAMS @F1@", "0 @F1@ FAM", "1 WIFE @I2@", "1 CHIL @I3@", "1 SOUR @S9@"});
    EXPECT_EQ(log,
              (Log{missingRecord("@S9@"), error("wrongRole", 1, "INDI @I2@ in FAM @F1@ as WIFE not CHILD"),
                   error("missingLink", 1, "INDI @I2@ not in FAM @F1@ as CHIL"),
                   error("wrongRole", 9, "INDI @I2@ in FAM @F1@ as WIFE not CHILD"),
                   error("wrongRole", 5, "INDI @I3@ in FAM @F1@ should be spouse"), indisDone(4),
                   plain("FAM @F1@ is FAMC in INDI @I2@ but should be FAMS three"),
                   plain("FAM @F1@ is FAMS in INDI @I3@ but should be FAMC four"),
                   plain("INDI @F1@ has SOUR @S9@ that does not exist"), famsDone(7)}));
}

TEST(LinkValidation, FillsLinksWithoutValueWithNull) {
    Log log = loadLog(
        {"0 @I1@ INDI", "1 NAME A /B/", "1 FAMC", "1 FAMS", "0 @F1@ FAM", "1 HUSB", "1 WIFE", "1 CHIL"});
    EXPECT_EQ(log, (Log{error("undefinedKey", 3, "FAM (null)"), error("undefinedKey", 3, "FAM (null)"),
                        error("missingLink", 1, "INDI @I1@ not in FAM (null) as CHIL"),
                        error("undefinedKey", 4, "FAM (null)"), indisDone(4),
                        error("undefinedKey", 6, "INDI (null) undefined"), famsDone(5)}));
}

TEST(LinkValidation, CheckFunctionsCountAndCollectRolesInLineOrder) {
    String text = gedcomText({"0 @I1@ INDI", "1 FAMC @F1@", "1 FAMS @F1@", "1 FAMC @F1@", "1 FAMS @F2@",
                              "0 @F1@ FAM", "1 CHIL @I1@", "1 HUSB @I1@", "1 CHIL @I1@", "1 WIFE @I2@"});
    LNGedcomErrors errors;
    auto set = loadQuietly(text, errors);
    const LNGedcomIndiRecord& indi = *set->indiWithKey(u"@I1@");
    const LNGedcomFamRecord& fam = *set->famWithKey(u"@F1@");
    const LNGedcomNode* famc = indi.famc();

    int husb = -1, wife = -1, chil = -1;
    EXPECT_EQ(set->checkIndi(u"@I1@", famc, &husb, &wife, &chil), 3);
    EXPECT_EQ((std::vector<int>{husb, wife, chil}), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(set->checkIndi(u"@I1@", famc, nullptr, nullptr, nullptr), 3);

    std::vector<int> husbLines{99}, wifeLines{99}, chilLines{99};
    EXPECT_EQ(set->checkIndiNew(u"@I1@", famc, husbLines, wifeLines, chilLines), 3);
    EXPECT_EQ(husbLines, std::vector<int>{8});
    EXPECT_TRUE(wifeLines.empty());
    EXPECT_EQ(chilLines, (std::vector<int>{7, 9}));

    int famcCount = -1, famsCount = -1;
    EXPECT_EQ(set->checkFam(u"@F1@", fam.chil(), &famcCount, &famsCount), 3);
    EXPECT_EQ(famcCount, 2);
    EXPECT_EQ(famsCount, 1);
    std::vector<int> famcLines{99}, famsLines{99};
    EXPECT_EQ(set->checkFamNew(u"@F1@", fam.chil(), famcLines, famsLines), 3);
    EXPECT_EQ(famcLines, (std::vector<int>{2, 4}));
    EXPECT_EQ(famsLines, std::vector<int>{3});

    // A person who does not exist: counts and lists emptied, nothing reported.
    const int before = errors.count();
    LogCapture capture;
    EXPECT_EQ(set->checkFam(u"@F1@", fam.wife(), &famcCount, &famsCount), 0);
    EXPECT_EQ(famcCount + famsCount, 0);
    famcLines = {99};
    EXPECT_EQ(set->checkFamNew(u"@F1@", fam.wife(), famcLines, famsLines), 0);
    EXPECT_TRUE(famcLines.empty() && famsLines.empty());
    EXPECT_TRUE(capture.lines().empty());
    EXPECT_EQ(errors.count(), before);

    // A family that does not exist: the lists are emptied all the same.
    const LNGedcomNode* missing = indi.famsArray()[1];
    husbLines = {99};
    EXPECT_EQ(set->checkIndiNew(u"@I1@", missing, husbLines, wifeLines, chilLines), 0);
    EXPECT_TRUE(husbLines.empty() && wifeLines.empty() && chilLines.empty());
    EXPECT_EQ(set->checkIndi(u"@I1@", missing, &husb, &wife, &chil), 0);
    EXPECT_EQ(husb + wife + chil, 0);
    EXPECT_EQ(capture.lines(),
              (Log{error("undefinedKey", 5, "FAM @F2@"), error("undefinedKey", 5, "FAM @F2@")}));
}

TEST(LinkValidation, WalksDeeplyNestedRecordsWithoutRecursion) {
    constexpr int depth = 200000;
    std::string text = "0 @I1@ INDI\n1 NAME A /B/\n";
    for (int level = 1; level <= depth; ++level)
        text += std::to_string(level) + " NOTE\n";
    text += std::to_string(depth + 1) + " SOUR @S9@\n";
    String utf16 = fromUtf8(text);
    LogCapture capture;
    LNGedcomErrors errors;
    LNGedcomRecordSet set(&utf16, &errors);
    EXPECT_TRUE(capture.contains(error("undefinedKey", depth + 3, "SOUR @S9@ does not exist")));
    EXPECT_EQ(errors.count(), 1);
}

namespace {

// The log of loading a public UTF-8 or ASCII test file, or nullopt when the
// folder is absent. The byte-order mark is dropped here, as the file loader would.
std::optional<Log> publicFileLog(const std::string& path) {
    std::ifstream file("../shared/testdata/" + path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    String text = fromUtf8(bytes);
    LogCapture capture;
    LNGedcomErrors errors;
    LNGedcomRecordSet set(&text, &errors);
    return capture.lines();
}

long countMissingRecords(const Log& log) {
    return std::count_if(log.begin(), log.end(), [](const std::string& line) {
        return line.starts_with("record with key ") && line.ends_with(" does not exist");
    });
}

} // namespace

TEST(LinkValidation, FindsWhatPublicFilesAreKnownToHold) {
    // One person of unknown sex, husband and wife of one family (CR LF lines).
    auto self = publicFileLog("findmypast/permutations/Self_Marriage.ged");
    if (!self) GTEST_SKIP() << "public test files absent";
    EXPECT_EQ(*self, (Log{error("wrongSex", 41, "INDI @I1@ in FAM @F1@ should be male"),
                          error("wrongSex", 41, "INDI @I1@ in FAM @F1@ should be female"),
                          error("multipleRoles", 41, "INDI @I1@ in FAM @F1@ multiple roles"), indisDone(3),
                          famsDone(3)}));

    // 14 CHIL lines name persons not in the file: logged by the reference
    // check, and nothing from the family check, which ignores such children.
    auto windows = publicFileLog("findmypast/Microsoft_Windows_DOS_OS2.ged");
    ASSERT_TRUE(windows);
    EXPECT_EQ(countMissingRecords(*windows), 14);
    ASSERT_GE(windows->size(), 2u);
    EXPECT_TRUE((*windows)[windows->size() - 2].starts_with("after validating INDIs"));

    auto queen = publicFileLog("findmypast/Queen.ged");
    ASSERT_TRUE(queen);
    EXPECT_EQ(countMissingRecords(*queen), 622);
}
