// Hostile files at the limits: each is loaded, looked at and released, and
// every node made for it must be gone afterwards. A record a million levels
// deep goes through the viewer (tests/app/LimitsTest.cpp).

#include "file/LNAnsel.h"
#include "file/LNGedcomFile.h"
#include "recordset/LNGedcomRecordSet.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace kinloom;
using namespace std::string_literals;

namespace {

long liveNodes() {
    return LNNode::numAllocated() - LNNode::numDeallocated();
}

/// Fails the test when a scope leaves nodes behind.
class NodeBalance {
  public:
    ~NodeBalance() { EXPECT_EQ(liveNodes(), before_) << "nodes left alive"; }

  private:
    long before_ = liveNodes();
};

/// The bytes as a file of that name in the system's temporary folder, loaded.
struct LoadedFile {
    LoadedFile(const std::string& name, const std::string& bytes)
        : path((std::filesystem::temp_directory_path() / ("kinloom-" + std::to_string(getpid()) + "-" + name))
                   .string()) {
        std::FILE* out = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
        file = std::make_unique<LNGedcomFile>(path);
    }
    ~LoadedFile() { std::filesystem::remove(path); }
    const LNGedcomRecordSet& set() const { return *file->recordSet(); }
    std::string path;
    LogCapture log;
    std::unique_ptr<LNGedcomFile> file;
};

/// A record set over the text with its own error list and a captured log.
struct LoadedText {
    explicit LoadedText(const String& text) : set(&text, &errors) {}
    LogCapture log;
    LNGedcomErrors errors;
    LNGedcomRecordSet set;
};

} // namespace

TEST(Limits, KeepsALineOfFiftyMegabytesAndAKeyOfAHundredThousandCharacters) {
    constexpr std::size_t length = 50'000'000;
    const std::string key = "@" + std::string(100'000, 'K') + "@";
    NodeBalance balance;
    LoadedFile loaded("long.ged", "0 " + key + " INDI\n1 NAME A /B/\n1 SEX M\n1 FAMS @F1@\n1 NOTE " +
                                      std::string(length, 'x') + "\n0 @F1@ FAM\n1 HUSB " + key + "\n");
    const auto& indi = loaded.set().indiWithKey(fromUtf8(key));
    ASSERT_TRUE(indi);
    EXPECT_EQ(indi->root()->childWithName(u"NOTE")->value().view().size(), length);
    EXPECT_EQ(loaded.set().husbandOfFam(*loaded.set().famByIndex(0)), indi);
    EXPECT_EQ(loaded.file->errors()->count(), 0);
}

TEST(Limits, KeepsEighteenOfAHundredThousandDiacritics) {
    const std::string run(100'000, '\xE2'); // acute accents
    const String expected = u"\u00E9" + String(17, u'\u0301');
    EXPECT_EQ(LNAnsel::stringFromData(run), u"");
    NodeBalance balance;
    LoadedFile loaded("accents.ged", "0 HEAD\n1 CHAR ANSEL\n0 @I1@ INDI\n1 NAME " + run + "e /X/\n");
    EXPECT_TRUE(loaded.log.contains("isAscii:0 isAnsel:1 isUtf8:0"));
    EXPECT_EQ(loaded.set().indiWithKey(u"@I1@")->name()->value().view(), expected + u" /X/");
}

TEST(Limits, KeepsNulCharactersInsideKeysTagsAndValues) {
    NodeBalance balance;
    LoadedText loaded(u"0 @I\0@ INDI\n1 NAME J\0n /Sm\0th/\n1 SEX M\n1 N\0TE a\0\0b\n1 FAMS @F\0@\n"
                      u"0 @F\0@ FAM\n1 HUSB @I\0@\n"s);
    const auto& indi = loaded.set.indiWithKey(u"@I\0@"s);
    ASSERT_TRUE(indi);
    EXPECT_EQ(indi->name()->value().view(), u"J\0n /Sm\0th/"s);
    EXPECT_NE(indi->root()->childWithName(u"N\0TE"s), nullptr);
    EXPECT_EQ(loaded.set.husbandOfFam(*loaded.set.famByIndex(0)), indi);
    EXPECT_EQ(loaded.errors.count(), 0);
    EXPECT_EQ(loaded.set.indisWithName(u"J /Sm\0th/"s).size(), 1u);
}

TEST(Limits, EndsALineAtEveryLineBreakAndCountsEachBreak) {
    for (StringView end :
         {u"\r", u"\n", u"\r\n", u"\n\r", u"\u000b", u"\u000c", u"\u0085", u"\u2028", u"\u2029"}) {
        NodeBalance balance;
        String text;
        for (StringView line : {u"0 @I1@ INDI", u"1 NAME A /B/", u"0 @I2@ INDI", u"1 NAME C /D/"})
            text.append(line).append(end);
        LoadedText loaded(text);
        ASSERT_EQ(loaded.set.numIndis(), 2);
        EXPECT_EQ(loaded.set.indiByIndex(1)->lineNumber(), 1 + 2 * static_cast<int>(end.size()));
        EXPECT_EQ(loaded.set.indiByIndex(1)->name()->value().view(), u"C /D/");
        EXPECT_EQ(loaded.errors.count(), 0);
    }
    NodeBalance balance;
    LoadedText mixed(u"0 @I1@ INDI\r1 NAME A /B/\n\r0 @I2@ INDI\r\n1 NAME C /D/\n\n\r\r0 TRLR");
    EXPECT_EQ(mixed.set.indiByIndex(1)->lineNumber(), 4);
    EXPECT_EQ(mixed.set.records()->back()->lineNumber(), 10);
    std::string breaks;
    for (int i = 0; i < 250'000; ++i)
        breaks += "\n\r\r\n";
    LoadedFile onlyBreaks("breaks.ged", breaks);
    EXPECT_EQ(onlyBreaks.set().count(), 0);
    EXPECT_EQ(onlyBreaks.file->errors()->count(), 0);
}
