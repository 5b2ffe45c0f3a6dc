#include "LNGedcomFile.h"
#include "LNGedcomRecordSet.h"
#include "SystemLog.h"
#include "TextServices.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace kinloom;

namespace {

struct Loaded {
    std::unique_ptr<LNGedcomFile> file;
    std::vector<std::string> log;
};

Loaded load(const std::string& path) {
    LogCapture capture;
    Loaded loaded;
    loaded.file = std::make_unique<LNGedcomFile>(path);
    loaded.log = capture.lines();
    return loaded;
}

Loaded loadData(const std::string& name) {
    return load("tests/data/" + name);
}

bool logged(const Loaded& loaded, const std::string& line) {
    return std::find(loaded.log.begin(), loaded.log.end(), line) != loaded.log.end();
}

/// The NAME values of the persons in file order.
std::vector<String> names(const LNGedcomFile& file) {
    std::vector<String> result;
    if (!file.recordSet()) return result;
    for (const auto& indi : file.recordSet()->indiRecords())
        for (const LNGedcomNode* name : indi->nameArray())
            result.push_back(name->value().str());
    return result;
}

std::string checkLog(const std::string& data, bool& ascii, bool& ansel, bool& utf8,
                     std::vector<std::string>* lines) {
    LogCapture capture;
    LNGedcomFile::checkData(data, ascii, ansel, utf8);
    if (lines) *lines = capture.lines();
    auto stats = std::find_if(capture.lines().begin(), capture.lines().end(),
                              [](const std::string& line) { return line.rfind("total:", 0) == 0; });
    return stats == capture.lines().end() ? std::string() : *stats;
}

/// ASCII text of the given length whose first bytes are the given ones.
std::string padded(std::string head, std::size_t size) {
    head.resize(size, 'x');
    return head;
}

const std::string decodingLine = "isAscii:0 isAnsel:0 isUtf8:1";

/// Exactly one "cantReadSource" at line 0, nothing else read.
void expectUnreadable(const std::string& path) {
    Loaded loaded = load(path);
    EXPECT_EQ(loaded.file->errors()->count(), 1) << path;
    EXPECT_EQ(loaded.log, std::vector<std::string>{"just added error cantReadSource at line 0"}) << path;
    EXPECT_EQ(loaded.file->recordSet(), nullptr) << path;
    EXPECT_FALSE(loaded.file->path()) << path;
    EXPECT_FALSE(loaded.file->string()) << path;
}

class TemporaryDirectory {
  public:
    TemporaryDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kinloom-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TemporaryDirectory() {
        if (!path_.empty()) std::filesystem::remove_all(path_);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

} // namespace

TEST(LNGedcomFileStatistics, LogsHistogramAndCountsExactly) {
    bool ascii, ansel, utf8;
    std::vector<std::string> lines;
    // CR LF advances the line number by two; 0x80 is counted but not listed.
    // E9 80 is a three-byte sequence that the LF breaks off.
    checkLog(std::string("a\r\n\xE9\x80\n\t\x00", 8), ascii, ansel, utf8, &lines);
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "Histogram -- analyzeFile",
                  "char with value 233(e9) on line 3",
                  "counter[ 0] = 1 " + std::string(1, '\0'),
                  "counter[ 9] = 1 \t",
                  "counter[10] = 2 \n",
                  "counter[13] = 1 \r",
                  "counter[97] = 1 a",
                  "counter[128] = 1 \xC2\x80",
                  "counter[233] = 1 \xC3\xA9",
                  "bad UTF-8 type one: 10",
                  "bad UTF-8 type two: 9",
                  "bad UTF-8 type two: 0",
                  "total:8  zeros:1  goodAscii:4  badAscii:4  goodAnsel:5  badAnsel:3  goodUtf8:5  badUtf8:3",
              }));
    EXPECT_FALSE(ascii);
    EXPECT_FALSE(ansel);
    EXPECT_FALSE(utf8);
}

TEST(LNGedcomFileStatistics, CountsUtf8SequencesAsTheLooseCheckDoes) {
    bool ascii, ansel, utf8;
    std::vector<std::string> lines;
    // A lead byte followed by an ASCII letter: the letter is the bad byte and
    // is not counted again.
    EXPECT_EQ(checkLog("\xE2"
                       "A",
                       ascii, ansel, utf8, &lines),
              "total:2  zeros:0  goodAscii:1  badAscii:1  goodAnsel:2  badAnsel:0  goodUtf8:1  badUtf8:1");
    EXPECT_TRUE(std::count(lines.begin(), lines.end(), "bad UTF-8 type one: 65") == 1);

    // A four-byte lead and each of its continuations are "type two".
    checkLog("\xF0\x9F\x98\x80", ascii, ansel, utf8, &lines);
    for (const char* line : {"bad UTF-8 type two: 240", "bad UTF-8 type two: 159", "bad UTF-8 type two: 152",
                             "bad UTF-8 type two: 128"})
        EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line;

    // Overlong leads are accepted and an unfinished sequence at the end is not bad.
    checkLog("\xC0\x80\xE2\x82", ascii, ansel, utf8, nullptr);
    EXPECT_TRUE(utf8);

    // Pure ASCII fits all three; an empty buffer too.
    checkLog("0 HEAD\r\n\x0B", ascii, ansel, utf8, nullptr);
    EXPECT_TRUE(ascii && ansel && utf8);
    checkLog("", ascii, ansel, utf8, &lines);
    EXPECT_TRUE(ascii && ansel && utf8);
    EXPECT_EQ(lines.back(), "total:0  zeros:0  goodAscii:0  badAscii:0  goodAnsel:0  badAnsel:0  goodUtf8:0  "
                            "badUtf8:0");
}

TEST(LNGedcomFileStatistics, ForcesAsciiAboveNinetyNinePercent) {
    bool ascii, ansel, utf8;
    std::vector<std::string> lines;
    // 1000 bytes with 10 bad UTF-8 bytes: (990 + 1) / 1001 > 0.99.
    checkLog(padded(std::string(10, '\x85'), 1000), ascii, ansel, utf8, &lines);
    EXPECT_TRUE(ascii);
    EXPECT_FALSE(ansel);
    EXPECT_FALSE(utf8);
    EXPECT_EQ(lines.back(), "Performing magic transformation to ASCII");
    // With 11, (989 + 1) / 1001 is below.
    checkLog(padded(std::string(11, '\x85'), 1000), ascii, ansel, utf8, &lines);
    EXPECT_FALSE(ascii);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Performing magic transformation to ASCII"), 0);

    // 50 bytes with one ANSEL diacritic before a letter: ANSEL stays.
    checkLog(padded("\xE1"
                    "a",
                    50),
             ascii, ansel, utf8, nullptr);
    EXPECT_FALSE(ascii);
    EXPECT_TRUE(ansel);
    EXPECT_FALSE(utf8);
    // 10,000 bytes with 50 such pairs and no header saying ANSEL: forced.
    std::string pairs;
    for (int i = 0; i < 50; ++i)
        pairs += "\xE1"
                 "a ";
    checkLog(padded(pairs, 10000), ascii, ansel, utf8, nullptr);
    EXPECT_TRUE(ascii);
}

TEST(LNGedcomFileStatistics, AnselHeaderKeepsSparseDiacritics) {
    bool ascii, ansel, utf8;
    std::vector<std::string> lines;
    std::string pairs;
    for (int i = 0; i < 50; ++i)
        pairs += "1 NOTE \xE1"
                 "a\n";
    for (const char* charLine : {"1 CHAR ANSEL\n", "1 CHAR ansel\n", "1  CHAR   ANSEL  \n"}) {
        checkLog(padded("0 HEAD\n" + std::string(charLine) + "0 @N1@ NOTE\n" + pairs, 10000), ascii, ansel,
                 utf8, &lines);
        EXPECT_FALSE(ascii) << charLine;
        EXPECT_TRUE(ansel);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "Performing magic transformation to ASCII"), 0);
    }
    // Any other value, no CHAR line, or a first record that is not the header:
    // the rule stands.
    for (const std::string head :
         {"0 HEAD\n1 CHAR ASCII\n", "0 HEAD\n", "0 @I1@ INDI\n1 CHAR ANSEL\n",
          "0 HEAD\n1 SOUR X\n2 CHAR ANSEL\n", "0 HEAD\n0 @I1@ INDI\n1 CHAR ANSEL\n"}) {
        checkLog(padded(head + "0 @N1@ NOTE\n" + pairs, 10000), ascii, ansel, utf8, &lines);
        EXPECT_TRUE(ascii) << head;
        EXPECT_EQ(lines.back(), "Performing magic transformation to ASCII");
    }
    // The header only decides when the bytes fit ANSEL.
    checkLog(padded("0 HEAD\n1 CHAR ANSEL\n\x85\x85" + pairs, 10000), ascii, ansel, utf8, nullptr);
    EXPECT_TRUE(ascii);
}

TEST(LNGedcomFileStatistics, FindsTheHeaderEndBeyondTheFirstBlock) {
    // A header longer than the first block that is looked at, with CHAR at its end.
    std::string header = "0 HEAD\n";
    while (header.size() < 20000)
        header += "1 NOTE padding padding padding padding\n";
    header += "1 CHAR ANSEL\n";
    bool ascii, ansel, utf8;
    checkLog(header + "0 @I1@ INDI\n1 NAME Jos\xE2"
                      "e\n",
             ascii, ansel, utf8, nullptr);
    EXPECT_FALSE(ascii);
    // A CHAR line after the header ends belongs to another record.
    checkLog(header.substr(0, 19990) + "\n0 @I1@ INDI\n1 CHAR ANSEL\n1 NAME Jos\xE2"
                                       "e\n",
             ascii, ansel, utf8, nullptr);
    EXPECT_TRUE(ascii);
}

TEST(LNGedcomFileDecoding, Utf8KeepsWellFormedSequencesAndReplacesEveryOtherByte) {
    EXPECT_EQ(LNGedcomFile::stringFromUtf8Data("plain\t\x01"), u"plain\t\x01");
    EXPECT_EQ(LNGedcomFile::stringFromUtf8Data("Ren\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80"),
              u"Ren\u00E9 \u2014 \U0001F600");
    EXPECT_EQ(LNGedcomFile::stringFromUtf8Data("a\x85"
                                               "b\xFF"),
              u"a\uFFFDb\uFFFD");
    // Overlong forms, surrogates and code points above U+10FFFF are not well formed.
    EXPECT_EQ(LNGedcomFile::stringFromUtf8Data("\xC0\x80\xC1\xBF"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(LNGedcomFile::stringFromUtf8Data("\xE0\x9F\xBF"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(LNGedcomFile::stringFromUtf8Data("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(LNGedcomFile::stringFromUtf8Data("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(LNGedcomFile::stringFromUtf8Data("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
    // A broken sequence costs only its own bytes: the letter after it survives.
    EXPECT_EQ(LNGedcomFile::stringFromUtf8Data("\xE2\x82"
                                               "A"),
              u"\uFFFD\uFFFDA");
    EXPECT_EQ(LNGedcomFile::stringFromUtf8Data("end\xF0\x9F\x98"), u"end\uFFFD\uFFFD\uFFFD");
}

TEST(LNGedcomFileDecoding, Utf16OnlyWithByteOrderMarkOrZeroPattern) {
    using namespace std::string_literals;
    EXPECT_EQ(LNGedcomFile::stringFromUnicodeData("\xFE\xFF\x00\x30\x04\x10"s), u"\uFEFF0\u0410");
    EXPECT_EQ(LNGedcomFile::stringFromUnicodeData("\xFF\xFE\x30\x00\x10\x04"s), u"\uFEFF0\u0410");
    EXPECT_EQ(LNGedcomFile::stringFromUnicodeData("0\x00 \x00H\x00"s), u"0 H");
    EXPECT_EQ(LNGedcomFile::stringFromUnicodeData("\x00"
                                                  "0\x00 \x00H"s),
              u"0 H");
    // An odd last byte keeps every whole unit.
    EXPECT_EQ(LNGedcomFile::stringFromUnicodeData("\xFF\xFE\x30\x00\x41"s), u"\uFEFF0\uFFFD");
    // A tab, a four-byte character or a stray zero is no UTF-16.
    EXPECT_EQ(LNGedcomFile::stringFromUnicodeData("1 NAME Ann\t/Lee/"), u"1 NAME Ann\t/Lee/");
    EXPECT_EQ(LNGedcomFile::stringFromUnicodeData("1 NAME \xF0\x9F\x98\x80"), u"1 NAME \U0001F600");
    EXPECT_EQ(LNGedcomFile::stringFromUnicodeData("1 NOTE a\x00"
                                                  "b and more text"s),
              String(u"1 NOTE a\0b and more text", 24));
    // Zeros on both sides alike show no byte order.
    EXPECT_EQ(LNGedcomFile::stringFromUnicodeData("\x00\x00\x00\x00"s), String(4, u'\0'));
    EXPECT_EQ(LNGedcomFile::stringFromUnicodeData(""), u"");
}

TEST(LNGedcomFile, DecodesEachRowOfTheTable) {
    Loaded ascii = loadData("charset-ascii.ged");
    EXPECT_TRUE(logged(ascii, "isAscii:1 isAnsel:1 isUtf8:1"));
    EXPECT_EQ(names(*ascii.file), (std::vector<String>{u"John /Smith/", u"Mary /Jones/"}));
    EXPECT_EQ(ascii.file->recordSet()->count(), 4);
    EXPECT_EQ(ascii.file->path(), "tests/data/charset-ascii.ged");

    Loaded utf8 = loadData("charset-utf8.ged");
    EXPECT_TRUE(logged(utf8, decodingLine));
    EXPECT_TRUE(logged(utf8, "THINK THIS IS THE BAD CASE::: string length is 103"));
    EXPECT_EQ(utf8.file->string()->size(), 103u);
    EXPECT_EQ(names(*utf8.file),
              (std::vector<String>{u"Jos\u00E9 /N\u00FA\u00F1ez/", u"\u011E\u00FCl /Ayd\u0131n/"}));

    Loaded ansel = loadData("charset-ansel.ged");
    EXPECT_TRUE(logged(ansel, "isAscii:0 isAnsel:1 isUtf8:0"));
    EXPECT_EQ(names(*ansel.file),
              (std::vector<String>{u"Jos\u00E9 /N\u00FA\u00F1ez/", u"\u00C6sa /\u022Bber/"}));

    const std::vector<String> unicodeNames = {
        u"Jos\u00E9 /N\u00FA\u00F1ez/",
        u"\u0410\u043D\u043D\u0430 /\u041F\u0435\u0442\u0440\u043E\u0432\u0430/"};
    for (const char* name : {"charset-utf16le-bom.ged", "charset-utf16be-bom.ged", "charset-utf16le.ged",
                             "charset-utf16be.ged"}) {
        Loaded utf16 = loadData(name);
        EXPECT_TRUE(logged(utf16, "isAscii:0 isAnsel:0 isUtf8:0")) << name;
        EXPECT_EQ(names(*utf16.file), unicodeNames) << name;
        // The byte-order mark is gone, so the header is the first record.
        EXPECT_EQ(utf16.file->string()->front(), u'0') << name;
        EXPECT_EQ(utf16.file->recordSet()->records()->front()->tag(), u"HEAD") << name;
        EXPECT_EQ(utf16.file->errors()->count(), 0) << name;
    }
    Loaded odd = loadData("charset-utf16le-odd.ged");
    EXPECT_EQ(odd.file->string()->back(), u'\uFFFD');
    EXPECT_EQ(odd.file->string()->substr(0, odd.file->string()->size() - 1),
              *loadData("charset-utf16le-bom.ged").file->string());
    EXPECT_EQ(names(*odd.file), unicodeNames);
}

TEST(LNGedcomFile, HeaderDecidesBetweenAnselAndUtf8) {
    for (const char* name :
         {"charset-both-unicode.ged", "charset-both-utf8.ged", "charset-both-utf8-lower.ged"}) {
        Loaded both = loadData(name);
        EXPECT_TRUE(logged(both, "isAscii:0 isAnsel:1 isUtf8:1")) << name;
        EXPECT_EQ(names(*both.file), std::vector<String>{u"Ren\u00E9 /Dupr\u00E9/"}) << name;
    }
    for (const char* name : {"charset-both-ansel.ged", "charset-both-nochar.ged"}) {
        Loaded both = loadData(name);
        EXPECT_EQ(names(*both.file), std::vector<String>{u"Ren\u00A9\u266D /Dupr\u00A9\u266D/"}) << name;
    }
    // The header's problems are reported when it is read here and again by the record set.
    Loaded badLine = loadData("charset-both-utf8-badline.ged");
    EXPECT_EQ(names(*badLine.file), std::vector<String>{u"Ren\u00E9 /Dupr\u00E9/"});
    EXPECT_EQ(std::count(badLine.log.begin(), badLine.log.end(), "just added error lineSyntax at line 3"), 2);
    EXPECT_EQ(badLine.file->errors()->count(), 2);
}

TEST(LNGedcomFile, SparseAnselWithAnselHeaderStaysAnsel) {
    Loaded sparse = loadData("charset-ansel-sparse.ged");
    EXPECT_TRUE(logged(sparse, "isAscii:0 isAnsel:1 isUtf8:0"));
    EXPECT_FALSE(logged(sparse, "Performing magic transformation to ASCII"));
    EXPECT_EQ(names(*sparse.file).front(), u"Jos\u00E9 /Smith/");
    EXPECT_EQ(names(*sparse.file).size(), 9u);
    // The header was read without reporting: only the record set reports its bad line.
    EXPECT_EQ(sparse.file->errors()->count(), 1);
    EXPECT_EQ(std::count(sparse.log.begin(), sparse.log.end(), "just added error lineSyntax at line 3"), 1);

    for (const char* name : {"charset-ansel-sparse-ascii.ged", "charset-ansel-sparse-nohead.ged"}) {
        Loaded forced = loadData(name);
        EXPECT_TRUE(logged(forced, "Performing magic transformation to ASCII")) << name;
        EXPECT_TRUE(logged(forced, "isAscii:1 isAnsel:1 isUtf8:0")) << name;
        EXPECT_EQ(names(*forced.file).front(), u"Jos\uFFFDe /Smith/") << name;
    }
}

TEST(LNGedcomFile, ForcedAsciiKeepsTheUtf8AroundStrayBytes) {
    Loaded stray = loadData("charset-utf8-stray.ged");
    EXPECT_TRUE(logged(stray, "Performing magic transformation to ASCII"));
    EXPECT_TRUE(logged(stray, "isAscii:1 isAnsel:0 isUtf8:0"));
    std::vector<String> found = names(*stray.file);
    ASSERT_EQ(found.size(), 42u);
    EXPECT_EQ(found[0], u"Ren\u00E9 /Dupr\u00E9/");
    EXPECT_EQ(found[1], u"Smile \U0001F600 /Face/");
    EXPECT_EQ(found[2], u"Person0\uFFFD /Family0/");
    EXPECT_EQ(found[3], u"Person1 /Family1/");
}

TEST(LNGedcomFile, ShortFilesThatFitNoByteSetAreNotUtf16) {
    Loaded tab = loadData("charset-tab.ged");
    EXPECT_TRUE(logged(tab, "isAscii:0 isAnsel:0 isUtf8:0"));
    EXPECT_EQ(names(*tab.file), std::vector<String>{u"Ann\t/Lee/"});

    Loaded emoji = loadData("charset-emoji.ged");
    EXPECT_TRUE(logged(emoji, "isAscii:0 isAnsel:0 isUtf8:0"));
    EXPECT_EQ(names(*emoji.file), std::vector<String>{u"Smile \U0001F600 /Face/"});

    Loaded nul = loadData("charset-nul.ged");
    EXPECT_EQ(names(*nul.file), std::vector<String>{u"Ann /Lee/"});
    EXPECT_EQ(nul.file->recordSet()->count(), 3);
}

TEST(LNGedcomFile, RemovesUtf8ByteOrderMark) {
    Loaded bom = loadData("charset-utf8-bom.ged");
    EXPECT_TRUE(logged(bom, decodingLine));
    EXPECT_TRUE(logged(bom, "THINK THIS IS THE BAD CASE::: string length is 59"));
    EXPECT_EQ(bom.file->string()->substr(0, 6), u"0 HEAD");
    EXPECT_EQ(bom.file->recordSet()->records()->front()->tag(), u"HEAD");
    EXPECT_EQ(bom.file->errors()->count(), 0);
}

TEST(LNGedcomFile, EmptyFileGivesEmptyRecordSet) {
    TemporaryDirectory dir;
    std::string path = dir.path() + "/empty.ged";
    std::fclose(std::fopen(path.c_str(), "w"));
    Loaded empty = load(path);
    EXPECT_TRUE(logged(empty, "isAscii:1 isAnsel:1 isUtf8:1"));
    ASSERT_TRUE(empty.file->recordSet());
    EXPECT_EQ(empty.file->recordSet()->count(), 0);
    EXPECT_EQ(empty.file->string(), u"");
    EXPECT_EQ(empty.file->errors()->count(), 0);
}

TEST(LNGedcomFile, UnreadablePathGivesOneReportAndNoRecordSet) {
    TemporaryDirectory dir;
    ASSERT_FALSE(dir.path().empty());
    expectUnreadable(dir.path() + "/missing.ged");
    expectUnreadable(dir.path());
    expectUnreadable("");
    expectUnreadable(std::string("tests/data/charset-ascii.ged\0x", 30));

    // A FIFO without a writer would block an ordinary open and read.
    std::string fifo = dir.path() + "/fifo.ged";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    expectUnreadable(fifo);

    // The same through the UTF-16 path.
    {
        LogCapture capture;
        LNGedcomFile file(StringView(u"tests/data/no-such-file.ged"));
        EXPECT_EQ(file.errors()->count(), 1);
        EXPECT_EQ(file.recordSet(), nullptr);
    }
}

TEST(LNGedcomFile, FileWithoutReadPermissionGivesOneReport) {
    TemporaryDirectory dir;
    std::string path = dir.path() + "/secret.ged";
    std::filesystem::copy_file("tests/data/charset-ascii.ged", path);
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    if (geteuid() != 0) {
        expectUnreadable(path);
        return;
    }
    // Root reads anything; as an ordinary user for the moment it may not.
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    if (seteuid(65534) != 0) GTEST_SKIP() << "running as root and cannot act as another user";
    expectUnreadable(path);
    ASSERT_EQ(seteuid(0), 0);
}
