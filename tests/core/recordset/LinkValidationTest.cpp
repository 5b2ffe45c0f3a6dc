// Link validation, the last step of loading: the whole log of loading small
// files, in order. The fuzz target gedcom_file checks the same against a
// plain version on damaged files.

#include "GedcomTestText.h"
#include "SharedTestData.h"
#include "file/LNGedcomFile.h"
#include "recordset/LNGedcomRecordSet.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace kinloom;

namespace {

using Log = std::vector<std::string>;

std::string error(const char* kind, int line, const std::string& arg) {
    return std::string("just added error ") + kind + " at line " + std::to_string(line) + " with arg " + arg;
}

std::string plain(const std::string& text) {
    return "DEPRECATED call to LNGedcomErrors addObject with string: " + text;
}

std::string done(int persons, int families) {
    return "after validating INDIs there are " + std::to_string(persons) +
           " errors\nafter validating FAMs there are " + std::to_string(families) + " errors";
}

std::string missing(const char* key) {
    return std::string("record with key ") + key + " does not exist";
}

std::string wrongType(const char* key) {
    return std::string("record with key ") + key + " does exist but has wrong type";
}

/// The two count lines as one entry, where they end the log.
Log joined(Log log) {
    if (log.size() >= 2 && log[log.size() - 2].starts_with("after validating INDIs")) {
        log[log.size() - 2] += "\n" + log.back();
        log.pop_back();
    }
    return log;
}

} // namespace

TEST(LinkValidation, LogsEveryFindingOfLoadingInOrder) {
    struct Case {
        const char* what;
        std::initializer_list<std::string_view> lines;
        Log log;
    };
    const Case cases[] = {
        {"nothing to find", {"0 HEAD", "0 TRLR"}, {done(0, 0)}},
        {"consistent links",
         {"0 @I1@ INDI", "1 NAME A /B/", "1 SEX M", "1 FAMC @F1@", "1 FAMS @F2@", "1 SOUR free text",
          "0 @I2@ INDI", "1 NAME C /B/", "1 SEX F", "1 FAMS @F1@", "0 @F1@ FAM", "1 WIFE @I2@", "1 CHIL @I1@",
          "0 @F2@ FAM", "1 HUSB @I1@"},
         {done(0, 0)}},
        {"references: any record exists, persons name families, families persons, SOUR a source, at level 1",
         {"0 HEAD",      "1 SUBM @U1@", "1 SUBM @U9@", "0 @U1@ SUBM", "0 @I1@ INDI",  "1 NAME A /B/",
          "1 FAMC @F1@", "1 FAMC @I2@", "1 ASSO @I2@", "1 famc @F1@", "1 NOTE @@",    "1 SOUR @S1@",
          "1 BIRT",      "2 SOUR @I2@", "2 SOUR @S9@", "0 @I2@ INDI", "1 NAME C /D/", "0 @F1@ FAM",
          "1 CHIL @I1@", "1 HUSB @F1@", "1 SUBM @U1@", "1 SOUR @I1@", "0 @S1@ SOUR",  "0 @N1@ NOTE",
          "1 SOUR @I1@", "1 REFN @I1@", "0 TRLR"},
         {missing("@U9@"), wrongType("@I2@"), wrongType("@I2@"), wrongType("@F1@"), missing("@S9@"),
          wrongType("@F1@"), wrongType("@U1@"), wrongType("@I1@"), wrongType("@I1@"),
          error("undefinedKey", 8, "FAM @I2@"), error("undefinedKey", 8, "FAM @I2@"),
          error("missingLink", 5, "INDI @I1@ not in FAM @I2@ as CHIL"),
          error("undefinedKey", 14, "SOUR @I2@ does not exist"),
          error("undefinedKey", 15, "SOUR @S9@ does not exist"), "after validating INDIs there are 5 errors",
          error("undefinedKey", 20, "INDI @F1@ undefined"),
          plain("INDI @F1@ has SOUR @I1@ that does not exist"), "after validating FAMs there are 7 errors"}},
        {"loading reports count too",
         {"0 NOTE loose", "0 @I1@ INDI", "1 FAMS @F1@", "1 NAME A /B/", "0 @F1@ FAM", "1 HUSB @I1@",
          "1 WIFE @I9@", "0 TRLR"},
         {error("missingKey", 1, "NOTE record with no key"), missing("@I9@"),
          error("wrongSex", 2, "INDI @I1@ in FAM @F1@ should be male"), done(2, 2)}},
        {"missing families: the natural one twice, then the missing link",
         {"0 @I1@ INDI", "1 NAME A /B/", "1 FAMC @F9@", "1 FAMS @F8@"},
         {missing("@F9@"), missing("@F8@"), error("undefinedKey", 3, "FAM @F9@"),
          error("undefinedKey", 3, "FAM @F9@"), error("missingLink", 1, "INDI @I1@ not in FAM @F9@ as CHIL"),
          error("undefinedKey", 4, "FAM @F8@"), done(4, 4)}},
        {"husband of the natural family: at the person's line, then the family's",
         {"0 @I1@ INDI", "1 NAME A /B/", "1 SEX M", "1 FAMC @F1@", "0 @F1@ FAM", "1 HUSB @I1@"},
         {error("wrongRole", 1, "INDI @I1@ in FAM @F1@ as HUSB not CHILD"),
          error("missingLink", 1, "INDI @I1@ not in FAM @F1@ as CHIL"),
          error("wrongRole", 6, "INDI @I1@ in FAM @F1@ as HUSB not CHILD"),
          "after validating INDIs there are 3 errors",
          plain("FAM @F1@ is FAMC in INDI @I1@ but should be FAMS one"),
          plain("FAM @F1@ should be FAMS in INDI @I1@ but isn't two"),
          "after validating FAMs there are 5 errors"}},
        {"wife twice in the natural family",
         {"0 @I1@ INDI", "1 NAME A /B/", "1 SEX F", "1 FAMC @F1@", "0 @F1@ FAM", "1 WIFE @I1@",
          "1 WIFE @I1@"},
         {error("wrongRole", 1, "INDI @I1@ in FAM @F1@ as WIFE not CHILD"),
          error("missingLink", 1, "INDI @I1@ not in FAM @F1@ as CHIL"),
          error("multipleRoles", 1, "INDI @I1@ in FAM @F1@ multiple roles"),
          error("wrongRole", 6, "INDI @I1@ in FAM @F1@ as WIFE not CHILD"),
          "after validating INDIs there are 4 errors",
          plain("FAM @F1@ is FAMC in INDI @I1@ but should be FAMS three"),
          plain("FAM @F1@ is FAMC in INDI @I1@ but should be FAMS three"),
          "after validating FAMs there are 6 errors"}},
        {"child twice in one family, and once in each of two",
         {"0 @I1@ INDI", "1 NAME A /B/", "1 FAMC @F1@", "0 @F1@ FAM", "1 CHIL @I1@", "1 CHIL @I1@",
          "0 @I2@ INDI", "1 NAME C /D/", "1 FAMC @F2@", "1 FAMC @F3@", "0 @F2@ FAM", "1 CHIL @I2@",
          "0 @F3@ FAM", "1 CHIL @I2@"},
         {error("multipleRoles", 1, "INDI @I1@ in FAM @F1@ multiple roles"),
          plain("INDI @I1@ is CHIL in multiple FAMs"), plain("INDI @I2@ is CHIL in multiple FAMs"),
          done(3, 3)}},
        {"spouses by sex, and a spouse who is a child too",
         {"0 @I1@ INDI", "1 NAME A /B/", "1 FAMS @F1@", "0 @I2@ INDI", "1 NAME C /D/", "1 SEX M",
          "1 FAMS @F1@", "0 @I3@ INDI", "1 NAME E /F/", "1 SEX m", "1 FAMS @F2@", "0 @F1@ FAM", "1 HUSB @I1@",
          "1 WIFE @I2@", "0 @F2@ FAM", "1 HUSB @I3@", "1 CHIL @I3@"},
         {error("wrongSex", 1, "INDI @I1@ in FAM @F1@ should be male"),
          error("wrongSex", 4, "INDI @I2@ in FAM @F1@ should be female"),
          error("wrongRole", 8, "INDI @I3@ in FAM @F2@ should be spouse"),
          error("multipleRoles", 8, "INDI @I3@ in FAM @F2@ multiple roles"),
          "after validating INDIs there are 4 errors",
          plain("FAM @F2@ is FAMS in INDI @I3@ but should be FAMC four"),
          "after validating FAMs there are 5 errors"}},
        {"unusable names and missing sources at any level",
         {"0 @I1@ INDI", "0 @I2@ INDI", "1 NAME", "1 NAME C /D/", "1 SOUR @S1@", "1 SOUR a book", "1 BIRT",
          "2 SOUR @S9@", "3 PAGE 4", "1 DEAT", "2 SOUR @I1@", "0 @S1@ SOUR"},
         {missing("@S9@"), error("illegalName", 0, "INDI @I1@"), error("illegalName", 3, "INDI @I2@"),
          error("undefinedKey", 8, "SOUR @S9@ does not exist"),
          error("undefinedKey", 11, "SOUR @I1@ does not exist"), done(4, 4)}},
        {"members that do not exist or link back the wrong way",
         {"0 @I2@ INDI", "1 NAME C /B/", "1 SEX F", "1 FAMC @F1@", "1 FAMS @F2@", "1 FAMS @F2@",
          "0 @I3@ INDI", "1 NAME E /B/", "1 FAMS @F1@", "0 @F1@ FAM", "1 HUSB @I9@", "1 WIFE @I2@",
          "1 CHIL @I3@", "1 CHIL @I7@", "1 SOUR @S9@", "0 @F2@ FAM", "1 HUSB @I2@"},
         {missing("@I9@"), missing("@I7@"), missing("@S9@"),
          error("wrongRole", 1, "INDI @I2@ in FAM @F1@ as WIFE not CHILD"),
          error("missingLink", 1, "INDI @I2@ not in FAM @F1@ as CHIL"),
          error("wrongRole", 12, "INDI @I2@ in FAM @F1@ as WIFE not CHILD"),
          error("wrongSex", 1, "INDI @I2@ in FAM @F2@ should be male"),
          error("wrongSex", 1, "INDI @I2@ in FAM @F2@ should be male"),
          error("wrongRole", 7, "INDI @I3@ in FAM @F1@ should be spouse"),
          "after validating INDIs there are 6 errors", error("undefinedKey", 11, "INDI @I9@ undefined"),
          plain("FAM @F1@ is FAMC in INDI @I2@ but should be FAMS three"),
          plain("FAM @F1@ is FAMS in INDI @I3@ but should be FAMC four"),
          plain("INDI @F1@ has SOUR @S9@ that does not exist"),
          plain("FAM @F2@ in INDI @I2@ in multiple roles"), "after validating FAMs there are 11 errors"}},
        {"links without value",
         {"0 @I1@ INDI", "1 NAME A /B/", "1 FAMC", "1 FAMS", "0 @F1@ FAM", "1 HUSB", "1 WIFE", "1 CHIL"},
         {error("undefinedKey", 3, "FAM (null)"), error("undefinedKey", 3, "FAM (null)"),
          error("missingLink", 1, "INDI @I1@ not in FAM (null) as CHIL"),
          error("undefinedKey", 4, "FAM (null)"), "after validating INDIs there are 4 errors",
          error("undefinedKey", 6, "INDI (null) undefined"), "after validating FAMs there are 5 errors"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(joined(test::LoadedText(c.lines).log), c.log) << c.what;
}

TEST(LinkValidation, FindsWhatPublicFilesAreKnownToHold) {
    REQUIRE_SHARED_TESTDATA();
    auto logOf = [](const std::string& path) {
        LogCapture capture;
        LNGedcomFile file(test::sharedTestData + path);
        return capture.lines();
    };
    auto missingRecords = [](const Log& log) {
        return std::ranges::count_if(
            log, [](const std::string& line) { return line.ends_with(" does not exist"); });
    };
    // One person of unknown sex, husband and wife of one family (CR LF lines).
    const Log self = logOf("findmypast/permutations/Self_Marriage.ged");
    EXPECT_EQ(joined(Log(self.end() - 5, self.end())),
              (Log{error("wrongSex", 41, "INDI @I1@ in FAM @F1@ should be male"),
                   error("wrongSex", 41, "INDI @I1@ in FAM @F1@ should be female"),
                   error("multipleRoles", 41, "INDI @I1@ in FAM @F1@ multiple roles"), done(3, 3)}));
    // CHIL lines naming persons not in the file are logged by the reference
    // check, and nothing from the family check, which ignores such children.
    const Log windows = logOf("findmypast/Microsoft_Windows_DOS_OS2.ged");
    EXPECT_EQ(missingRecords(windows), 14);
    EXPECT_TRUE(windows.at(windows.size() - 2).starts_with("after validating INDIs"));
    EXPECT_EQ(missingRecords(logOf("findmypast/Queen.ged")), 622);
}

// A GEDCOM 7 file: @VOID@ in every pointer place, persons without names or
// keys, partners of one sex and a child fostered and adopted by one family
// are no finding; a pointer is wrong only where 7.0 names the record kind.
TEST(LinkValidation, GedcomSevenFindsOnlyWhatItsStandardForbids) {
    const test::LoadedText seven{"0 HEAD",         "1 GEDC",
                                 "2 VERS 7.0",     "1 SUBM @VOID@",
                                 "1 SCHMA",        "2 TAG _USER https://gedcom.io/terms/v7/record-SUBM",
                                 "0 @I1@ INDI",    "1 SEX F",
                                 "1 FAMS @F1@",    "1 FAMC @F2@",
                                 "2 PEDI FOSTER",  "1 FAMC @F2@",
                                 "2 PEDI ADOPTED", "1 FAMC @VOID@",
                                 "1 FAMS @VOID@",  "1 ALIA @VOID@",
                                 "1 ASSO @VOID@",  "2 ROLE FRIEND",
                                 "1 SUBM @VOID@",  "1 ANCI @VOID@",
                                 "1 DESI @VOID@",  "1 SNOTE @VOID@",
                                 "1 OBJE @VOID@",  "1 SOUR @VOID@",
                                 "1 BIRT",         "2 FAMC @VOID@",
                                 "2 SOUR @VOID@",  "3 OBJE @VOID@",
                                 "0 @I2@ INDI",    "1 SEX F",
                                 "1 FAMS @F1@",    "1 SUBM @U1@",
                                 "1 SNOTE @N1@",   "1 ASSO @I1@",
                                 "2 ROLE FRIEND",  "0 @F1@ FAM",
                                 "1 HUSB @I1@",    "1 WIFE @I2@",
                                 "1 HUSB @VOID@",  "1 CHIL @VOID@",
                                 "0 @F2@ FAM",     "1 CHIL @I1@",
                                 "0 @U1@ _USER",   "0 @N1@ SNOTE text",
                                 "0 INDI",         "0 @S1@ SOUR",
                                 "1 REPO @VOID@",  "0 TRLR"};
    EXPECT_EQ(joined(seven.log), Log{done(0, 0)});
    EXPECT_TRUE(seven.errors.problems().empty());

    const test::LoadedText wrong{"0 HEAD",      "1 GEDC",      "2 VERS 7.0",   "0 @I1@ INDI", "1 SNOTE @S1@",
                                 "1 ASSO @F1@", "1 NOTE @N1@", "1 _LINK @S1@", "1 FAMC @X9@", "2 CONC more",
                                 "0 @F1@ FAM",  "1 CHIL @I1@", "0 @S1@ SOUR",  "0 @N1@ SNOTE"};
    EXPECT_EQ(joined(wrong.log),
              (Log{"line 10: 2 CONC more: GEDCOM 7 has no CONC", wrongType("@S1@"), wrongType("@F1@"),
                   missing("@X9@"), error("undefinedKey", 9, "FAM @X9@"),
                   error("undefinedKey", 9, "FAM @X9@"),
                   error("missingLink", 4, "INDI @I1@ not in FAM @X9@ as CHIL"), done(3, 3)}));
    EXPECT_EQ(toUtf8(wrong.errors.problems().front().text), "2 CONC more");
}

// The problems list holds a "wrong type" of a 5.5 or 5.5.1 file only where
// its standard names the kind the pointer must name; the log keeps them all.
TEST(LinkValidation, ListsOnlyPointersToAnotherKindThanTheStandardNames) {
    struct Case {
        const char* version;
        std::initializer_list<std::string_view> person;
        std::vector<std::string> listed;
    };
    const Case cases[] = {
        {"5.5",
         {"1 NOTE @N1@", "1 OBJE @O1@", "1 ALIA @I1@", "1 SUBM @U1@", "1 ANCI @U1@", "1 DESI @U1@"},
         {}},
        {"5.5", {"1 ASSO @I1@", "1 ASSO @F1@", "2 TYPE FAM", "1 ASSO @N1@", "2 TYPE SUBM"}, {"@N1@"}},
        {"5.5.1", {"1 ASSO @I1@", "1 ASSO @F1@", "2 TYPE FAM"}, {"@F1@"}},
        {"5.5.1",
         {"1 NOTE @I1@", "1 OBJE @N1@", "1 ALIA @F1@", "1 ANCI @I1@", "1 _X @N1@", "1 SOUR @N1@"},
         {"@I1@", "@N1@", "@F1@", "@I1@", "@N1@"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string_view> lines{"0 HEAD", "1 GEDC"};
        const std::string vers = std::string("2 VERS ") + c.version;
        lines.push_back(vers);
        lines.push_back("0 @I1@ INDI");
        lines.insert(lines.end(), c.person);
        for (std::string_view record : {"0 @F1@ FAM", "0 @N1@ NOTE", "0 @O1@ OBJE", "0 @U1@ SUBM"})
            lines.push_back(record);
        std::string text;
        for (std::string_view line : lines)
            text.append(line).append("\n");
        const test::LoadedText loaded(fromUtf8(text));
        std::vector<std::string> listed;
        for (const LNGedcomProblem& problem : loaded.errors.problems())
            if (problem.kind == LNGedcomProblemReference)
                listed.push_back(toUtf8(problem.text).substr(16, toUtf8(problem.text).find(' ', 16) - 16));
        EXPECT_EQ(listed, c.listed) << c.version << " " << *c.person.begin();
    }
}

namespace {

/// A person with k lines of personRole naming one family with k lines of
/// familyRole naming the person; with persons, k persons with one such line
/// each instead.
String namedOften(int k, const char* personRole, const char* familyRole, bool persons = false) {
    std::string text = "0 HEAD\n";
    auto key = [&](int i) { return persons ? "@I" + std::to_string(i) + "@" : std::string("@I@"); };
    for (int i = 0; i < k; ++i) {
        if (i == 0 || persons) text += "0 " + key(i) + " INDI\n1 NAME A /B/\n";
        text += std::string("1 ") + personRole + " @F@\n";
    }
    text += "0 @F@ FAM\n";
    for (int i = 0; i < k; ++i)
        text += std::string("1 ") + familyRole + " " + key(i) + "\n";
    return fromUtf8(text + "0 TRLR\n");
}

} // namespace

TEST(LinkValidation, CountsAChildTotalBeyondTwoThousandMillion) {
    // 46,341 squared is the first such total an int cannot hold.
    const test::LoadedText loaded(namedOften(46341, "FAMC", "CHIL"));
    EXPECT_EQ(loaded.errors.count(), 2 * 46341 + 1);
    EXPECT_EQ(std::ranges::count(loaded.log, plain("INDI @I@ is CHIL in multiple FAMs")), 1);
}

TEST(LinkValidation, ReadsEachRecordsLinksAboutOnceHoweverOftenTheyNameEachOther) {
    struct Case {
        const char* personRole;
        const char* familyRole;
        bool persons;
    };
    const Case cases[] = {{"FAMC", "CHIL", false}, {"FAMS", "HUSB", false}, {"FAMS", "WIFE", false},
                          {"FAMC", "HUSB", false}, {"FAMS", "CHIL", false}, {"FAMC", "CHIL", true},
                          {"FAMS", "HUSB", true}};
    for (const Case& c : cases) {
        auto visited = [&](int k) {
            return test::LoadedText(namedOften(k, c.personRole, c.familyRole, c.persons))
                .set.linkLinesVisited();
        };
        const std::uint64_t small = visited(1000), large = visited(4000);
        EXPECT_GE(large, 4 * 1000u) << c.personRole << " " << c.familyRole << " " << c.persons;
        // Reading a record's links once for each line naming it would read 16 times as many.
        EXPECT_LE(large, 5 * small) << c.personRole << " " << c.familyRole << " " << c.persons;
    }
}
