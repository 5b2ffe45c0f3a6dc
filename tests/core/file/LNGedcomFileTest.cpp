// Reading a file: the byte statistics, the character-set choice, decoding,
// paths that cannot be read, and GEDZIP archives.

#include "file/LNGedcomFile.h"
#include "SharedTestData.h"
#include "recordset/LNGedcomRecordSet.h"
#include "support/LNProgress.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace kinloom;
using namespace std::string_literals;

namespace {

struct Loaded {
    std::unique_ptr<LNGedcomFile> file;
    std::vector<std::string> log;
    bool logged(const std::string& line) const { return std::ranges::count(log, line) > 0; }
    /// The NAME values of the persons in file order.
    std::vector<String> names() const {
        std::vector<String> result;
        for (const auto& indi : file->recordSet()->indiRecords())
            for (const LNGedcomNode* name : indi->nameArray())
                result.push_back(name->value().str());
        return result;
    }
};

Loaded load(const std::string& path) {
    LogCapture capture;
    Loaded loaded{std::make_unique<LNGedcomFile>(path), {}};
    loaded.log = capture.lines();
    return loaded;
}

struct Checked {
    std::vector<std::string> log;
    bool ascii, ansel, utf8;
    bool forced() const { return std::ranges::count(log, "Performing magic transformation to ASCII") > 0; }
};

Checked check(const std::string& data) {
    LogCapture capture;
    Checked checked{{}, false, false, false};
    LNGedcomFile::checkData(data, checked.ascii, checked.ansel, checked.utf8);
    checked.log = capture.lines();
    return checked;
}

/// ASCII text of the given length whose first bytes are the given ones.
std::string padded(std::string head, std::size_t size) {
    head.resize(size, 'x');
    return head;
}

std::string times(int count, const std::string& text) {
    std::string result;
    for (int i = 0; i < count; ++i)
        result += text;
    return result;
}

class TemporaryDirectory {
  public:
    TemporaryDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kinloom-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TemporaryDirectory() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

using Members = std::vector<std::pair<std::string, std::string>>;

/// Writes a zip archive of the members, each deflated, and gives its bytes.
std::string zipped(const std::string& path, const Members& members) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, data] : members)
        zip_file_add(archive, name.c_str(), zip_source_buffer(archive, data.data(), data.size(), 0), 0);
    zip_close(archive);
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

/// The four bytes at `at`, little-endian, set to the value.
void putSize(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> 8 * i);
}

} // namespace

TEST(LNGedcomFileStatistics, LogsHistogramAndCountsExactly) {
    // CR LF advances the line number by two; 0x80 is counted but not listed.
    // E9 80 is a three-byte sequence that the LF breaks off.
    Checked checked = check("a\r\n\xE9\x80\n\t\x00"s);
    EXPECT_EQ(
        checked.log,
        (std::vector<std::string>{
            "Histogram -- analyzeFile", "char with value 233(e9) on line 3", "counter[ 0] = 1 \0"s,
            "counter[ 9] = 1 \t", "counter[10] = 2 \n", "counter[13] = 1 \r", "counter[97] = 1 a",
            "counter[128] = 1 \xC2\x80", "counter[233] = 1 \xC3\xA9", "bad UTF-8 type one: 10",
            "bad UTF-8 type two: 9", "bad UTF-8 type two: 0",
            "total:8  zeros:1  goodAscii:4  badAscii:4  goodAnsel:5  badAnsel:3  goodUtf8:5  badUtf8:3"}));
    EXPECT_FALSE(checked.ascii || checked.ansel || checked.utf8);
    // Overlong leads pass the loose check, and a sequence cut off by the end is not bad.
    EXPECT_TRUE(check("\xC0\x80\xE2\x82").utf8);
    Checked empty = check("");
    EXPECT_TRUE(empty.ascii && empty.ansel && empty.utf8);
}

TEST(LNGedcomFileStatistics, ForcesAsciiAboveNinetyNinePercentUnlessTheHeaderSaysAnsel) {
    // 1000 bytes with 10 bad UTF-8 bytes: (990 + 1) / 1001 > 0.99; with 11 not.
    Checked ten = check(padded(std::string(10, '\x85'), 1000));
    EXPECT_TRUE(ten.ascii && ten.forced() && !ten.ansel && !ten.utf8);
    EXPECT_EQ(ten.log.back(), "Performing magic transformation to ASCII");
    EXPECT_FALSE(check(padded(std::string(11, '\x85'), 1000)).forced());
    // A few ANSEL diacritics fit ANSEL; as sparse as 50 in 10,000 bytes they are forced.
    Checked one = check(padded("\xE1\x61", 50));
    EXPECT_TRUE(one.ansel && !one.ascii);
    const std::string pairs = times(50, "1 NOTE \xE1\x61\n");
    EXPECT_TRUE(check(padded(pairs, 10000)).forced());
    // The header's CHAR line keeps them ANSEL, in any case and spacing, but
    // only at level 1 of a first record that is the header.
    for (const char* head :
         {"0 HEAD\n1 CHAR ANSEL\n", "0 HEAD\n1 CHAR ansel\n", "0 HEAD\n1  CHAR   ANSEL  \n"})
        EXPECT_FALSE(check(padded(head + pairs, 10000)).forced()) << head;
    for (const char* head :
         {"0 HEAD\n1 CHAR ASCII\n", "0 @I1@ INDI\n1 CHAR ANSEL\n", "0 HEAD\n1 SOUR X\n2 CHAR ANSEL\n",
          "0 HEAD\n0 @I1@ INDI\n1 CHAR ANSEL\n", "0 HEAD\n1 CHAR ANSEL\n\x85\x85"})
        EXPECT_TRUE(check(padded(head + pairs, 10000)).forced()) << head;
    // A header longer than the first block looked at still decides.
    std::string header =
        "0 HEAD\n" + times(520, "1 NOTE padding padding padding padding\n") + "1 CHAR ANSEL\n";
    EXPECT_FALSE(check(header + pairs).ascii);
}

TEST(LNGedcomFileDecoding, ReadsUtf16OnlyWithByteOrderMarkOrZeroPattern) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"\xFE\xFF\x00\x30\x04\x10"s, u"\uFEFF0\u0410"},
        {"\xFF\xFE\x30\x00\x10\x04"s, u"\uFEFF0\u0410"},
        {"0\x00 \x00H\x00"s, u"0 H"},
        {"\x00\x30\x00 \x00H"s, u"0 H"},
        {"\xFF\xFE\x30\x00\x41"s, u"\uFEFF0\uFFFD"}, // an odd last byte
        // A tab, a four-byte character or a stray zero is no UTF-16.
        {"1 NAME Ann\t/Lee/", u"1 NAME Ann\t/Lee/"},
        {"1 NAME \xF0\x9F\x98\x80", u"1 NAME \U0001F600"},
        {"1 NOTE a\x00\x62 and more text"s, u"1 NOTE a\0b and more text"s},
        {"\x00\x00\x00\x00"s, String(4, u'\0')}};
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(LNGedcomFile::stringFromUnicodeData(bytes), text);
}

TEST(LNGedcomFile, ChoosesTheCharacterSetOfEachTestFile) {
    struct Case {
        const char* file;
        const char* decision;
        std::vector<String> names;
    };
    const std::vector<String> unicode = {
        u"Jos\u00E9 /N\u00FA\u00F1ez/",
        u"\u0410\u043D\u043D\u0430 /\u041F\u0435\u0442\u0440\u043E\u0432\u0430/"};
    const std::vector<String> rene = {u"Ren\u00E9 /Dupr\u00E9/"};
    const Case cases[] = {
        {"charset-ascii.ged", "isAscii:1 isAnsel:1 isUtf8:1", {u"John /Smith/", u"Mary /Jones/"}},
        {"charset-utf8.ged",
         "isAscii:0 isAnsel:0 isUtf8:1",
         {u"Jos\u00E9 /N\u00FA\u00F1ez/", u"\u011E\u00FCl /Ayd\u0131n/"}},
        {"charset-ansel.ged",
         "isAscii:0 isAnsel:1 isUtf8:0",
         {u"Jos\u00E9 /N\u00FA\u00F1ez/", u"\u00C6sa /\u022Bber/"}},
        {"charset-utf16le-bom.ged", "isAscii:0 isAnsel:0 isUtf8:0", unicode},
        {"charset-utf16be-bom.ged", "isAscii:0 isAnsel:0 isUtf8:0", unicode},
        {"charset-utf16le.ged", "isAscii:0 isAnsel:0 isUtf8:0", unicode},
        {"charset-utf16be.ged", "isAscii:0 isAnsel:0 isUtf8:0", unicode},
        {"charset-utf16le-odd.ged", "isAscii:0 isAnsel:0 isUtf8:0", unicode},
        // Bytes that fit ANSEL and UTF-8: the header decides.
        {"charset-both-unicode.ged", "isAscii:0 isAnsel:1 isUtf8:1", rene},
        {"charset-both-utf8.ged", "isAscii:0 isAnsel:1 isUtf8:1", rene},
        {"charset-both-utf8-lower.ged", "isAscii:0 isAnsel:1 isUtf8:1", rene},
        {"charset-both-ansel.ged", "isAscii:0 isAnsel:1 isUtf8:1", {u"Ren\u00A9\u266D /Dupr\u00A9\u266D/"}},
        {"charset-both-nochar.ged", "isAscii:0 isAnsel:1 isUtf8:1", {u"Ren\u00A9\u266D /Dupr\u00A9\u266D/"}},
        // Short files that fit no byte set are not UTF-16.
        {"charset-tab.ged", "isAscii:0 isAnsel:0 isUtf8:0", {u"Ann\t/Lee/"}},
        {"charset-emoji.ged", "isAscii:0 isAnsel:0 isUtf8:0", {u"Smile \U0001F600 /Face/"}},
        {"charset-nul.ged", "isAscii:0 isAnsel:0 isUtf8:0", {u"Ann /Lee/"}},
        {"charset-utf8-bom.ged", "isAscii:0 isAnsel:0 isUtf8:1", {u"John /Smith/"}}};
    for (const Case& c : cases) {
        Loaded loaded = load("tests/data/"s + c.file);
        EXPECT_TRUE(loaded.logged(c.decision)) << c.file;
        EXPECT_EQ(loaded.names(), c.names) << c.file;
        // A byte-order mark is gone, so the header is the first record.
        if (loaded.file->string()->starts_with(u"0 HEAD")) {
            EXPECT_EQ(loaded.file->recordSet()->records()->front()->tag(), u"HEAD") << c.file;
        }
    }
    EXPECT_EQ(load("tests/data/charset-utf16le-odd.ged").file->string()->back(), u'\uFFFD');
    Loaded utf8 = load("tests/data/charset-utf8.ged");
    EXPECT_TRUE(utf8.logged("THINK THIS IS THE BAD CASE::: string length is 103"));
    EXPECT_EQ(load("tests/data/charset-utf8-bom.ged").file->errors()->count(), 0);

    // The lines' values point into the decoded text, which stays while a
    // line lives; a copy of a value is a text of its own.
    Ref<LNGedcomNode> person = utf8.file->recordSet()->indiWithKey(u"@I1@")->root();
    SharedString copy = person->childAt(0)->value();
    const char16_t* inText = person->childAt(0)->value().view().data();
    EXPECT_TRUE(inText >= utf8.file->string()->data() && inText < utf8.file->string()->data() + 103);
    EXPECT_NE(copy.view().data(), inText);
    utf8.file.reset();
    EXPECT_EQ(person->childAt(0)->value(), u"José /Núñez/");
    EXPECT_EQ(copy, u"José /Núñez/");
}

TEST(LNGedcomFile, ReadsTheHeaderOnceWithoutReportsWhereOnlyItDecides) {
    // Reported when the header is read to choose UTF-8, and again by the record set.
    Loaded badLine = load("tests/data/charset-both-utf8-badline.ged");
    EXPECT_EQ(badLine.names(), std::vector<String>{u"Ren\u00E9 /Dupr\u00E9/"});
    EXPECT_EQ(std::ranges::count(badLine.log, "just added error lineSyntax at line 3"), 2);
    EXPECT_EQ(badLine.file->errors()->count(), 2);
    // Read without reporting to keep sparse ANSEL from the forced-ASCII rule.
    Loaded sparse = load("tests/data/charset-ansel-sparse.ged");
    EXPECT_TRUE(sparse.logged("isAscii:0 isAnsel:1 isUtf8:0"));
    EXPECT_EQ(sparse.names().front(), u"Jos\u00E9 /Smith/");
    EXPECT_EQ(std::ranges::count(sparse.log, "just added error lineSyntax at line 3"), 1);
    EXPECT_EQ(sparse.file->errors()->count(), 1);
    for (const char* name : {"charset-ansel-sparse-ascii.ged", "charset-ansel-sparse-nohead.ged"}) {
        Loaded forced = load("tests/data/"s + name);
        EXPECT_TRUE(forced.logged("isAscii:1 isAnsel:1 isUtf8:0")) << name;
        EXPECT_EQ(forced.names().front(), u"Jos\uFFFDe /Smith/") << name;
    }
    // Forced ASCII keeps the UTF-8 around the stray bytes.
    Loaded stray = load("tests/data/charset-utf8-stray.ged");
    EXPECT_TRUE(stray.logged("isAscii:1 isAnsel:0 isUtf8:0"));
    const std::vector<String> strayNames = stray.names();
    ASSERT_EQ(strayNames.size(), 42u);
    EXPECT_EQ(std::vector(strayNames.begin(), strayNames.begin() + 3),
              (std::vector<String>{u"Ren\u00E9 /Dupr\u00E9/", u"Smile \U0001F600 /Face/",
                                   u"Person0\uFFFD /Family0/"}));
}

// Decoding and link checking move on inside their loops, not only where
// they start and end: with no least interval every look at the clock tells.
TEST(LNGedcomFile, ReportsProgressInsideDecodingAndLinkChecking) {
    struct Fractions : LNProgress {
        std::map<Stage, std::vector<double>> told;
        bool progressed(Stage stage, std::uint64_t done, std::uint64_t total, bool) override {
            told[stage].push_back(static_cast<double>(done) / static_cast<double>(total));
            return false;
        }
    } sink;
    std::string text = "0 HEAD\n0 @F@ FAM\n";
    for (int i = 0; i < 400; ++i)
        text += "0 @I" + std::to_string(i) + "@ INDI\n1 NAME A /B/\n1 FAMS @F@\n";
    TemporaryDirectory dir;
    std::ofstream(dir.path() + "/many.ged") << text;
    LNProgress::Meter::setInterval(std::chrono::nanoseconds(0));
    {
        LNProgress::Scope scope(&sink);
        load(dir.path() + "/many.ged");
    }
    LNProgress::Meter::setInterval(std::chrono::milliseconds(50));
    const std::vector<double>& decoding = sink.told[LNProgress::Stage::decoding];
    EXPECT_TRUE(std::ranges::is_sorted(decoding));
    // In the byte statistics (the first third) and in the decoding (the last).
    EXPECT_GT(std::ranges::count_if(decoding, [](double f) { return f > 0 && f < 0.33; }), 1);
    EXPECT_GT(std::ranges::count_if(decoding, [](double f) { return f > 0.67 && f < 1; }), 1);
    // Between the points where its steps end, at fifths.
    const std::vector<double>& links = sink.told[LNProgress::Stage::links];
    EXPECT_TRUE(std::ranges::is_sorted(links));
    EXPECT_GT(std::ranges::count_if(links, [](double f) { return f * 5 != std::round(f * 5); }), 100);
}

TEST(LNGedcomFile, GivesOneReportAndNoRecordSetForWhatItCannotRead) {
    TemporaryDirectory dir;
    ASSERT_FALSE(dir.path().empty());
    // A FIFO without a writer would block an ordinary open and read.
    const std::string fifo = dir.path() + "/fifo.ged", secret = dir.path() + "/secret.ged";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::copy_file("tests/data/charset-ascii.ged", secret);
    ASSERT_EQ(chmod(secret.c_str(), 0), 0);
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    // Root reads files without permission bits: act as nobody for the moment.
    const bool nobody = geteuid() == 0 && seteuid(65534) == 0;
    std::vector<std::string> paths{dir.path() + "/missing.ged", dir.path(), ""s, fifo,
                                   "tests/data/charset-ascii.ged\0x"s};
    if (geteuid() != 0) paths.push_back(secret);
    for (const std::string& path : paths) {
        Loaded loaded = load(path);
        EXPECT_EQ(loaded.file->errors()->count(), 1) << path;
        EXPECT_EQ(loaded.log, std::vector<std::string>{"just added error cantReadSource at line 0"}) << path;
        EXPECT_EQ(loaded.file->recordSet(), nullptr) << path;
        EXPECT_FALSE(loaded.file->path() || loaded.file->string()) << path;
    }
    if (nobody) {
        ASSERT_EQ(seteuid(0), 0);
    }
    LogCapture quiet;
    EXPECT_EQ(LNGedcomFile(StringView(u"tests/data/no-such-file.ged")).recordSet(), nullptr);

    std::fclose(std::fopen((dir.path() + "/empty.ged").c_str(), "w"));
    Loaded empty = load(dir.path() + "/empty.ged");
    EXPECT_TRUE(empty.logged("isAscii:1 isAnsel:1 isUtf8:1"));
    ASSERT_TRUE(empty.file->recordSet());
    EXPECT_EQ(empty.file->recordSet()->count(), 0);
    EXPECT_EQ(empty.file->errors()->count(), 0);
}

// Another program cuts the file short once it is mapped: reading past the
// new end would raise SIGBUS. The load ends with a report instead.
TEST(LNGedcomFile, RefusesAFileCutShortWhileItIsRead) {
    TemporaryDirectory dir;
    const std::string path = dir.path() + "/cut.ged";
    std::ofstream(path) << "0 HEAD\n" << times(2000, "0 @I1@ INDI\n1 NAME Ann /Lee/\n") << "0 TRLR\n";
    struct Cutter : LNProgress {
        std::string path;
        bool progressed(Stage stage, std::uint64_t, std::uint64_t total, bool) override {
            if (stage == Stage::reading && total > 0) {
                EXPECT_EQ(truncate(path.c_str(), 100), 0);
            }
            return false;
        }
    } cutter;
    cutter.path = path;
    std::optional<Loaded> cut;
    {
        LNProgress::Scope scope(&cutter);
        cut.emplace(load(path));
    }
    EXPECT_EQ(cut->file->refusal(), "it was cut short while it was read");
    EXPECT_EQ(cut->file->errors()->count(), 1);
    EXPECT_FALSE(cut->file->path() || cut->file->string() || cut->file->recordSet());
    // The file as it is now reads as any other.
    Loaded now = load(path);
    EXPECT_EQ(now.file->refusal(), "");
    EXPECT_TRUE(now.file->recordSet());
}

TEST(LNGedcomFile, ReadsAGedzipArchivesGedcomAsTheFileItHolds) {
    REQUIRE_SHARED_TESTDATA();
    // The archive's text has CR LF and a byte-order mark, and one media record less.
    Loaded archive = load(test::sharedTestData + "gedcom70/maximal70.gdz");
    Loaded plain = load(test::sharedTestData + "gedcom70/maximal70.ged");
    ASSERT_TRUE(archive.file->recordSet());
    EXPECT_EQ(archive.file->recordSet()->numIndis(), 4);
    EXPECT_EQ(archive.names(), plain.names());
    EXPECT_EQ(archive.file->recordSet()->count(), plain.file->recordSet()->count() - 1);
    EXPECT_EQ(*archive.file->path(), test::sharedTestData + "gedcom70/maximal70.gdz");
    EXPECT_EQ(archive.file->refusal(), "");
}

TEST(LNGedcomFile, RefusesBrokenAndHostileArchivesWithTheReason) {
    TemporaryDirectory dir;
    ASSERT_FALSE(dir.path().empty());
    const std::string text = "0 HEAD\n1 CHAR ASCII\n0 @I1@ INDI\n1 NAME Ann /Lee/\n0 TRLR\n";
    const std::string lines(std::size_t{4} << 20, '\n');
    // A byte of the deflated text turned over, after the local header and its name and extra field.
    std::string damaged = zipped(dir.path() + "/d.gdz", {{"gedcom.ged", times(200, text)}});
    const auto u16 = [&](std::size_t at) {
        return std::size_t(std::uint8_t(damaged[at]) | std::uint8_t(damaged[at + 1]) << 8);
    };
    const std::size_t deflated = 30 + u16(26) + u16(28);
    damaged[deflated + 8] = static_cast<char>(~damaged[deflated + 8]);
    // Two megabytes that say they are a thousand bytes, in both headers.
    std::string lying = zipped(dir.path() + "/l.gdz", {{"gedcom.ged", lines.substr(0, 2 << 20)}});
    putSize(lying, 22, 1000);
    putSize(lying, lying.find("PK\x01\x02") + 24, 1000);
    const std::pair<std::string, std::string> refused[] = {
        {text, "it is not a zip archive"},
        {zipped(dir.path() + "/n.gdz", {{"GEDCOM.GED", text},
                                        {"sub/gedcom.ged", text},
                                        {"../gedcom.ged", text},
                                        {"/gedcom.ged", text}}),
         "the archive holds no gedcom.ged"},
        {damaged, "gedcom.ged is damaged"},
        {zipped(dir.path() + "/b.gdz", {{"gedcom.ged", lines}}), "gedcom.ged is far larger than its archive"},
        {lying, "gedcom.ged is larger than its archive says"}};
    for (const auto& [bytes, reason] : refused) {
        const std::string path = dir.path() + "/refused.GDZ";
        std::ofstream(path, std::ios::binary) << bytes;
        Loaded loaded = load(path);
        EXPECT_EQ(loaded.file->refusal(), reason);
        EXPECT_EQ(loaded.log,
                  std::vector<std::string>{"just added error cantReadSource at line 0 with arg " + reason});
        EXPECT_EQ(loaded.file->recordSet(), nullptr) << reason;
        EXPECT_FALSE(loaded.file->path() || loaded.file->string()) << reason;
    }
}
