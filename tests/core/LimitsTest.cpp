// Hostile files at the limits: each is loaded, looked at and released, and
// every node made for it must be gone afterwards.

#include "LNAnsel.h"
#include "LNGedcomFile.h"
#include "LNGedcomRecordSet.h"
#include "SystemLog.h"
#include "TextServices.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace kinloom;
using namespace std::string_literals;

namespace {

long liveNodes() {
    return LNNode::numAllocated() - LNNode::numDeallocated();
}

/// Fails the test when a scope leaves nodes behind.
class NodeBalance {
  public:
    NodeBalance() : before_(liveNodes()) {}
    ~NodeBalance() { EXPECT_EQ(liveNodes(), before_) << "nodes left alive"; }

  private:
    long before_;
};

/// A fresh directory under the system's temporary one, removed with all it holds.
class ScratchDirectory {
  public:
    ScratchDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kinloom-limits-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    /// Writes the bytes to a file of that name and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const {
        std::string path = path_ + "/" + name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) return path;
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return path;
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

/// A record set over the text with its own error list and a captured log.
struct LoadedText {
    explicit LoadedText(const String& text) : set(&text, &errors) {}
    LogCapture log;
    LNGedcomErrors errors;
    LNGedcomRecordSet set;
};

/// "0 @I1@ INDI" and one "AB" line for each further level, each below the last.
std::string chainOfLevels(int lines) {
    std::string text = "0 @I1@ INDI\n";
    text.reserve(static_cast<std::size_t>(lines) * 10);
    for (int level = 1; level < lines; ++level)
        text += std::to_string(level) + " AB\n";
    return text;
}

void expectChain(const LNGedcomRecordSet& set, int lines) {
    ASSERT_EQ(set.numIndis(), 1);
    const auto& indi = set.indiByIndex(0);
    EXPECT_EQ(indi->numNodes(), lines);
    EXPECT_EQ(indi->root()->treeSize(), lines);
    EXPECT_EQ(indi->getNodesWithTag(u"AB").size(), static_cast<std::size_t>(lines - 1));
    Ref<LNNode> copy = indi->root()->copy();
    EXPECT_EQ(copy->treeSize(), lines);
}

} // namespace

TEST(Limits, LoadsAndReleasesARecordAMillionLevelsDeep) {
    constexpr int lines = 1'000'000;
    std::string bytes = chainOfLevels(lines);
    {
        NodeBalance balance;
        LoadedText loaded(fromUtf8(bytes));
        expectChain(loaded.set, lines);
    }
    ScratchDirectory dir;
    NodeBalance balance;
    LogCapture log;
    LNGedcomFile file(dir.write("deep.ged", bytes));
    ASSERT_NE(file.recordSet(), nullptr);
    expectChain(*file.recordSet(), lines);
}

TEST(Limits, KeepsALineOfFiftyMegabytes) {
    constexpr std::size_t length = 50'000'000;
    std::string bytes = "0 @I1@ INDI\n1 NAME A /B/\n1 NOTE " + std::string(length - 7, 'x') + "\n0 TRLR\n";
    ScratchDirectory dir;
    NodeBalance balance;
    LogCapture log;
    LNGedcomFile file(dir.write("long.ged", bytes));
    ASSERT_NE(file.recordSet(), nullptr);
    const auto& indi = file.recordSet()->indiWithKey(u"@I1@");
    ASSERT_TRUE(indi);
    const LNNode* note = indi->root()->childWithName(u"NOTE");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->value().view().size(), length - 7);
    EXPECT_EQ(file.recordSet()->count(), 2);
}

TEST(Limits, KeepsEighteenOfAHundredThousandDiacritics) {
    std::string run(100'000, '\xE2'); // acute accents
    String expected = u"\u00E9" + String(17, u'\u0301');
    EXPECT_EQ(LNAnsel::stringFromData(run + "e"), expected);
    EXPECT_EQ(LNAnsel::stringFromData(run), u"");

    ScratchDirectory dir;
    NodeBalance balance;
    LogCapture log;
    LNGedcomFile file(
        dir.write("accents.ged", "0 HEAD\n1 CHAR ANSEL\n0 @I1@ INDI\n1 NAME " + run + "e /X/\n"));
    EXPECT_TRUE(log.contains("isAscii:0 isAnsel:1 isUtf8:0"));
    ASSERT_NE(file.recordSet(), nullptr);
    const auto& indi = file.recordSet()->indiWithKey(u"@I1@");
    ASSERT_TRUE(indi && indi->name());
    EXPECT_EQ(indi->name()->value().view(), expected + u" /X/");
}

TEST(Limits, KeepsNulCharactersInsideKeysTagsAndValues) {
    NodeBalance balance;
    String text = u"0 @I\0@ INDI\n1 NAME J\0n /Sm\0th/\n1 SEX M\n1 N\0TE a\0\0b\n1 FAMS @F\0@\n"
                  u"0 @F\0@ FAM\n1 HUSB @I\0@\n"s;
    LoadedText loaded(text);
    const auto& indi = loaded.set.indiWithKey(u"@I\0@"s);
    ASSERT_TRUE(indi);
    EXPECT_EQ(indi->name()->value().view(), u"J\0n /Sm\0th/"s);
    EXPECT_NE(indi->root()->childWithName(u"N\0TE"s), nullptr);
    EXPECT_EQ(loaded.set.husbandOfFam(*loaded.set.famByIndex(0)), indi);
    EXPECT_EQ(loaded.errors.count(), 0);
    EXPECT_EQ(loaded.set.indisWithName(u"J /Sm\0th/"s).size(), 1u);
}

TEST(Limits, SplitsLinesAtEveryCrLfAndLfCrAlike) {
    // Each record ends at a different kind of line end; a pair counts as two breaks.
    for (StringView end : {u"\r", u"\n", u"\r\n", u"\n\r"}) {
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
    ASSERT_EQ(mixed.set.count(), 3);
    EXPECT_EQ(mixed.set.indiByIndex(1)->lineNumber(), 4);
    EXPECT_EQ(mixed.set.records()->back()->lineNumber(), 10);
    EXPECT_EQ(mixed.errors.count(), 0);
}

TEST(Limits, AFileOfLineBreaksHoldsNoRecords) {
    ScratchDirectory dir;
    std::string breaks;
    for (int i = 0; i < 250'000; ++i)
        breaks += "\n\r\r\n";
    NodeBalance balance;
    LogCapture log;
    LNGedcomFile file(dir.write("breaks.ged", breaks));
    ASSERT_NE(file.recordSet(), nullptr);
    EXPECT_EQ(file.recordSet()->count(), 0);
    EXPECT_EQ(file.errors()->count(), 0);
}

TEST(Limits, FindsAndLinksAKeyOfAHundredThousandCharacters) {
    NodeBalance balance;
    String key = u"@" + String(100'000, u'K') + u"@";
    String text =
        u"0 " + key + u" INDI\n1 NAME A /B/\n1 SEX M\n1 FAMS @F1@\n0 @F1@ FAM\n1 HUSB " + key + u"\n";
    LoadedText loaded(text);
    const auto& indi = loaded.set.indiWithKey(key);
    ASSERT_TRUE(indi);
    EXPECT_EQ(loaded.set.husbandOfFam(*loaded.set.famByIndex(0)), indi);
    EXPECT_EQ(stripAts(key).size(), 100'000u);
    EXPECT_EQ(loaded.errors.count(), 0);
}

TEST(Limits, NeverReadsADirectoryAFifoOrAnUnreadableFile) {
    ScratchDirectory dir;
    std::string fifo = dir.path() + "/fifo.ged";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string secret = dir.write("secret.ged", "0 @I1@ INDI\n");
    ASSERT_EQ(chmod(secret.c_str(), 0), 0);
    // Root reads files without permission bits; an ordinary user does not.
    std::vector<std::string> paths{dir.path(), fifo};
    if (geteuid() != 0) paths.push_back(secret);
    for (const std::string& path : paths) {
        NodeBalance balance;
        LogCapture log;
        LNGedcomFile file(path);
        EXPECT_EQ(file.recordSet(), nullptr) << path;
        EXPECT_EQ(file.errors()->count(), 1) << path;
        EXPECT_TRUE(log.contains("just added error cantReadSource at line 0")) << path;
    }
}
