#include "LNGedcomRecordSet.h"
#include "GedcomTestText.h"
#include "LNGedcomSource.h"
#include "SystemLog.h"

#include <gtest/gtest.h>

using namespace kinloom;
using kinloom::test::gedcomText;

namespace {

std::vector<std::string> keysOf(const std::vector<SharedString>* keys) {
    std::vector<std::string> texts;
    if (keys)
        for (const SharedString& key : *keys)
            texts.push_back(toUtf8(key.view()));
    return texts;
}

template <typename List> std::vector<int> lineNumbers(const List& records) {
    std::vector<int> numbers;
    for (const auto& record : records)
        numbers.push_back(record->lineNumber());
    return numbers;
}

class RecordingLogger : public LNLogger {
  public:
    void addLogString(StringView text) override { texts.emplace_back(text); }
    std::vector<String> texts;
};

} // namespace

TEST(LNGedcomRecordSet, FilesRecordsByKindAndKey) {
    String text = gedcomText({"0 HEAD", "1 CHAR UTF-8", "0 @I1@ INDI", "1 NAME A /B/", "0 @I2@ INDI",
                              "0 @F1@ FAM", "1 HUSB @I1@", "0 @I3@ INDI", "0 @S1@ SOUR", "0 TRLR"});
    LNGedcomErrors errors;
    LNGedcomRecordSet set(&text, &errors);
    // Loading reports nothing; the link checks find @I2@ and @I3@ without a
    // name and @I1@ as husband without a FAMS line.
    EXPECT_EQ(errors.count(), 3);
    EXPECT_EQ(set.count(), 7);
    EXPECT_EQ(set.numIndis(), 3);
    EXPECT_EQ(set.numFams(), 1);
    EXPECT_EQ(set.numSours(), 1);
    EXPECT_EQ(set.numNodes(), 10);
    EXPECT_EQ(lineNumbers(set.indiRecords()), (std::vector<int>{3, 5, 8}));

    EXPECT_EQ(set.indiWithKey(u"@I2@")->lineNumber(), 5);
    EXPECT_EQ(set.famWithKey(u"@F1@")->lineNumber(), 6);
    EXPECT_EQ(set.sourWithKey(u"@S1@")->lineNumber(), 9);
    EXPECT_EQ(set.indiWithKey(u"@F1@"), nullptr) << "each kind has its own index";
    EXPECT_EQ(set.indiWithKey(u"I1"), nullptr) << "keys keep their at signs";
    EXPECT_EQ(set.indiWithKey(u"@i1@"), nullptr);
    int keyed = 0;
    for (const char16_t* key : {u"@I1@", u"@I2@", u"@I3@", u"@F1@", u"@S1@"})
        keyed += set.recordWithKey(key) != nullptr;
    EXPECT_EQ(keyed, 5);

    EXPECT_EQ(set.indiByIndex(0)->key(), u"@I1@");
    EXPECT_EQ(set.indiByIndex(2)->key(), u"@I3@");
    EXPECT_EQ(set.indiByIndex(-1), nullptr);
    EXPECT_EQ(set.indiByIndex(3), nullptr);
    EXPECT_EQ(set.famByIndex(1), nullptr);
    EXPECT_EQ(set.sourByIndex(0)->key(), u"@S1@");
    EXPECT_EQ((*set.records())[0]->tag(), u"HEAD");
}

TEST(LNGedcomRecordSet, KeepsTheFirstRecordOfADuplicateKey) {
    String text = gedcomText({"0 @I1@ INDI", "1 NAME First", "0 @I1@ INDI", "1 NAME Second"});
    LNGedcomErrors errors;
    LogCapture log;
    LNGedcomRecordSet set(&text, &errors);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"just added error multiplyDefinedKey at line 3 with arg INDI @I1@",
                                        "after validating INDIs there are 1 errors",
                                        "after validating FAMs there are 1 errors"}));
    EXPECT_EQ(errors.count(), 1);
    EXPECT_EQ(set.count(), 2);
    EXPECT_EQ(set.numIndis(), 1);
    EXPECT_EQ(set.indiWithKey(u"@I1@")->lineNumber(), 1);
    EXPECT_EQ(set.recordWithKey(u"@I1@")->lineNumber(), 1);
}

TEST(LNGedcomRecordSet, FilesAPersonWhoseKeyAFamilyHoldsAlready) {
    String text = gedcomText({"0 @X1@ FAM", "0 @X1@ INDI", "0 @X1@ FAM", "0 @X1@ NOTE text"});
    LNGedcomErrors errors;
    LogCapture log;
    LNGedcomRecordSet set(&text, &errors);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"just added error multiplyDefinedKey at line 2 with arg INDI @X1@",
                                        "just added error multiplyDefinedKey at line 3 with arg FAM @X1@",
                                        "just added error multiplyDefinedKey at line 4 with arg NOTE @X1@",
                                        "just added error illegalName at line 0 with arg INDI @X1@",
                                        "after validating INDIs there are 4 errors",
                                        "after validating FAMs there are 4 errors"}));
    EXPECT_EQ(set.recordWithKey(u"@X1@")->tag(), u"FAM");
    EXPECT_EQ(set.indiWithKey(u"@X1@")->lineNumber(), 2);
    EXPECT_EQ(set.famWithKey(u"@X1@")->lineNumber(), 1);
    EXPECT_EQ(set.numIndis(), 1);
    EXPECT_EQ(set.numFams(), 1);
    EXPECT_EQ(set.count(), 4);
}

TEST(LNGedcomRecordSet, ReportsRecordsWithoutKeyButHeaderAndTrailer) {
    String text = gedcomText({"0 HEAD", "0 SUBN", "0 INDI", "1 NAME A /B/", "0 @T1@ TRLR", "0 TRLR"});
    LNGedcomErrors errors;
    LogCapture log;
    LNGedcomRecordSet set(&text, &errors);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "just added error missingKey at line 2 with arg SUBN record with no key",
                  "just added error missingKey at line 3 with arg INDI record with no key",
                  "after validating INDIs there are 2 errors", "after validating FAMs there are 2 errors"}));
    EXPECT_EQ(set.count(), 5);
    EXPECT_EQ(set.numIndis(), 0);
    EXPECT_EQ(set.indisWithNameKey(u"AB000"), nullptr);
    EXPECT_EQ(set.recordWithKey(u"@T1@")->tag(), u"TRLR");
}

TEST(LNGedcomRecordSet, IndexesNameKeysWithoutRepeatsInFileOrder) {
    String text = gedcomText({"0 @I3@ INDI", "1 NAME John /Smith/", "1 NAME Jack /Smith/", "1 NAME",
                              "1 NAME Mary /Brown/", "1 NAME Jim /Smyth/", "0 @I1@ INDI",
                              "1 NAME Jane /Smith/", "0 @I2@ INDI", "1 NAME Mary /Brown/", "0 @I3@ INDI",
                              "1 NAME Jo /Smith/", "0 @I4@ INDI", "1 NAME /Smith/"});
    LNGedcomErrors errors;
    LNGedcomRecordSet set(&text, &errors);
    EXPECT_EQ(keysOf(set.indisWithNameKey(u"JS530")), (std::vector<std::string>{"@I3@", "@I1@"}));
    EXPECT_EQ(keysOf(set.indisWithNameKey(u"MB650")), (std::vector<std::string>{"@I3@", "@I2@"}));
    EXPECT_EQ(keysOf(set.indisWithNameKey(u"0S530")), std::vector<std::string>{"@I4@"});
    EXPECT_EQ(set.indisWithNameKey(u"js530"), nullptr);
    EXPECT_EQ(set.indisWithNameKey(u""), nullptr);
}

TEST(LNGedcomRecordSet, NumbersCrLfLinesOneThreeFive) {
    String text = gedcomText({"0 HEAD", "0 @I1@ INDI", "1 NAME A /B/", "3 NOTE jump", "0 SUBN"}, "\r\n");
    LNGedcomErrors errors;
    LogCapture log;
    LNGedcomRecordSet set(&text, &errors);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"error: illegal level", "just added error illegalLevel at line 7",
                                        "just added error missingKey at line 9 with arg SUBN record "
                                        "with no key",
                                        "after validating INDIs there are 2 errors",
                                        "after validating FAMs there are 2 errors"}));
    EXPECT_EQ(set.indiWithKey(u"@I1@")->lineNumber(), 3);

    // Every other line-break character ends a line of its own.
    String mixed = u"0 HEAD\u000b0 @I1@ INDI\u000c0 @I2@ INDI\u00850 @I3@ INDI\u20280 @I4@ INDI\u20290 @I5@ "
                   u"INDI\r0 TRLR";
    LNGedcomRecordSet split(&mixed, &errors);
    EXPECT_EQ(split.count(), 7);
    EXPECT_EQ(split.indiWithKey(u"@I5@")->lineNumber(), 6);
}

TEST(LNGedcomRecordSet, TreatsEmptyAndAbsentTextsApart) {
    LNGedcomErrors errors;
    String empty;
    LNGedcomRecordSet emptySet(&empty, &errors);
    ASSERT_NE(emptySet.records(), nullptr);
    EXPECT_TRUE(emptySet.records()->empty());
    EXPECT_EQ(emptySet.count(), 0);

    LNGedcomRecordSet absent(nullptr, &errors);
    EXPECT_EQ(absent.records(), nullptr);
    EXPECT_EQ(absent.count(), 0);
    EXPECT_EQ(absent.numIndis(), 0);
    EXPECT_EQ(absent.numNodes(), 0);
    EXPECT_EQ(absent.indiWithKey(u"@I1@"), nullptr);
    EXPECT_EQ(absent.recordWithKey(u"@I1@"), nullptr);
    EXPECT_EQ(absent.indiByIndex(0), nullptr);
    EXPECT_EQ(errors.count(), 0);
}

TEST(LNGedcomRecordSet, KeepsAnsweringWithTheRecordsItFiledAfterSetRecords) {
    String text = gedcomText({"0 @I1@ INDI", "1 FAMC @F1@", "0 @I2@ INDI", "1 FAMS @F1@", "0 @F1@ FAM",
                              "1 HUSB @I2@", "1 CHIL @I1@"});
    LNGedcomErrors errors;
    LogCapture quiet;
    LNGedcomRecordSet set(&text, &errors);
    const LNGedcomRecord* second = set.recordWithKey(u"@I2@").get();
    const LNGedcomRecord* family = set.recordWithKey(u"@F1@").get();
    for (std::size_t size : {0, 1}) {
        auto replacement = std::make_unique<RecordList>();
        if (size == 1) replacement->push_back(set.indiByIndex(0));
        set.setRecords(std::move(replacement));
        EXPECT_EQ(set.count(), static_cast<int>(size));
        EXPECT_EQ(set.recordWithKey(u"@I2@").get(), second);
        EXPECT_EQ(set.recordWithKey(u"@F1@").get(), family);
        EXPECT_EQ(set.indiWithKey(u"@I2@").get(), second);
        EXPECT_EQ(set.parentsOfIndiAt(0).first, second);
        EXPECT_EQ(set.fatherOfIndi(*set.indiByIndex(0)).get(), second);
        int husb = 0;
        EXPECT_EQ(set.checkIndi(u"@I2@", set.indiByIndex(1)->fams(), &husb, nullptr, nullptr), 1);
        EXPECT_EQ(husb, 1);
    }
    // The checks, too, go over the filed records: the two persons without a
    // name and the husband without a sex again.
    EXPECT_EQ(errors.count(), 3);
    set.validate();
    EXPECT_EQ(errors.count(), 6);
}

TEST(LNGedcomRecordSet, SendsTheRecordCountToItsLogger) {
    String text = gedcomText({"0 HEAD", "0 @I1@ INDI", "0 TRLR"});
    RecordingLogger logger;
    LNGedcomRecordSet set(&text, nullptr, &logger);
    EXPECT_EQ(logger.texts, std::vector<String>{u"Number of Gedcom records is 3\n"});
    EXPECT_EQ(set.logger(), &logger);

    RecordingLogger absentLogger;
    LNGedcomRecordSet absent(nullptr, nullptr, &absentLogger);
    EXPECT_EQ(absentLogger.texts, std::vector<String>{u"Number of Gedcom records is 0\n"});
}

namespace {

class TextSource : public LNGedcomSource {
  public:
    explicit TextSource(const String* text) {
        setRecordSet(std::make_unique<LNGedcomRecordSet>(text, errors()));
    }
};

} // namespace

TEST(LNGedcomSource, OwnsTheRecordSetAndTheErrorListItReportsTo) {
    LNGedcomSource plain;
    EXPECT_EQ(plain.recordSet(), nullptr);
    ASSERT_NE(plain.errors(), nullptr);
    EXPECT_EQ(plain.errors()->count(), 0);

    long liveBefore = LNNode::numAllocated() - LNNode::numDeallocated();
    {
        String text = gedcomText({"0 @I1@ INDI", "1 NAME A /B/", "0 @I1@ INDI"});
        LogCapture log;
        TextSource source(&text);
        ASSERT_NE(source.recordSet(), nullptr);
        EXPECT_EQ(source.recordSet()->errors(), source.errors());
        EXPECT_EQ(source.errors()->count(), 1);
    }
    EXPECT_EQ(LNNode::numAllocated() - LNNode::numDeallocated(), liveBefore);
}
