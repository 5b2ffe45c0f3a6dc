// The public GEDCOM files beside the repository: one content in several
// character sets and line ends must give the same records.

#include "file/LNGedcomFile.h"
#include "recordset/LNGedcomRecordSet.h"
#include "SharedTestData.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace kinloom;
using kinloom::test::sharedTestData;

namespace {

struct Loaded {
    explicit Loaded(const std::string& name) : file(sharedTestData + name), log(capture.lines()) {}
    bool logged(const std::string& line) const { return std::ranges::count(log, line) > 0; }
    const LNGedcomRecordSet& set() const { return *file.recordSet(); }
    /// Every record after the header (which names the file's own encoding) in its line form.
    std::vector<String> records() const {
        std::vector<String> result;
        for (const auto& record : *set().records())
            if (record->tag() != u"HEAD") result.push_back(record->description());
        return result;
    }
    /// The value of the first line with the tag under the person's first event line.
    String eventValue(StringView key, StringView event, StringView tag) const {
        LNNode* node = set().indiWithKey(key)->root()->nodeWithPath({String(event), String(tag)});
        return node ? node->value().str() : String();
    }
    LogCapture capture;
    LNGedcomFile file;
    std::vector<std::string> log;
};

} // namespace

TEST(LNGedcomFileSharedData, GivesTheSameRecordsInEveryCharacterSetAndLineEnd) {
    REQUIRE_SHARED_TESTDATA();
    // Files with the same content, and the first's persons, families and sources as far as known.
    const std::pair<std::vector<std::string>, std::string> families[] = {
        {{"torture55/TGC55C.ged", "torture55/TGC55CLF.ged"}, "15 7 2"},
        {{"torture55/TGC551.ged", "torture55/TGC551LF.ged"}, "15 7 2"},
        {{"gedcom555/555SAMPLE.GED", "gedcom555/555SAMPLE16BE.GED", "gedcom555/555SAMPLE16LE.GED"}, "3 2 1"},
        {{"gedcom4j/utf8_lf_nobom.ged", "gedcom4j/utf8_cr_nobom.ged", "gedcom4j/utf8_crlf_bom.ged",
          "gedcom4j/utf8_crlf_nobom.ged"},
         "10 4 "},
        {{"gedcom4j/minimal55.ged", "gedcom4j/utf8.ged", "gedcom4j/utf16be.ged", "gedcom4j/utf16le.ged"}, ""},
        {{"gedcom4j/unicode-littleendian-crlf.ged", "gedcom4j/unicode-littleendian-cronly.ged"}, "35 "}};
    for (const auto& [files, counts] : families) {
        const Loaded first(files[0]);
        const LNGedcomRecordSet& set = first.set();
        EXPECT_TRUE((std::to_string(set.numIndis()) + " " + std::to_string(set.numFams()) + " " +
                     std::to_string(set.numSours()))
                        .starts_with(counts))
            << files[0];
        for (const std::string& name : files) {
            Loaded variant(name);
            // A byte-order mark must not hide the header.
            EXPECT_EQ(variant.set().records()->front()->tag(), u"HEAD") << name;
            EXPECT_EQ(variant.records(), first.records()) << name;
            EXPECT_EQ(variant.file.errors()->count(), first.file.errors()->count()) << name;
        }
    }
    // E1 before each letter: grave accents, composed where Unicode can.
    EXPECT_NE(Loaded("torture55/TGC55C.ged").file.string()->find(u"\u00C0B\u0300C\u0300D\u0300\u00C8"),
              String::npos);
    EXPECT_EQ(
        Loaded("gedcom4j/unicode-littleendian-cronly.ged").eventValue(u"@CHILD0@", u"BIRT", u"PLAC"),
        u"capital L with stroke (\u0141), capital O with stroke (\u00D8), capital D with stroke (\u0110), "
        u"capital thorn (\u00DE)");
}

TEST(LNGedcomFileSharedData, PutsEveryAnselDiacriticOnItsLetter) {
    REQUIRE_SHARED_TESTDATA();
    Loaded ansel("gedcom4j/ANSEL.GED");
    EXPECT_TRUE(ansel.logged("isAscii:0 isAnsel:1 isUtf8:0"));
    EXPECT_EQ(
        ansel.eventValue(u"@CHILD0@", u"BIRT", u"PLAC"),
        u"slash l - uppercase (\u0141), slash o - uppercase (\u00D8), slash d - uppercase (\u0110), thorn - "
        u"uppercase (\u00DE)");
    // Each child named "code: XX (Unicode: ..., NNNN)" has every capital
    // letter with that mark as birth place and every small one as death place.
    int checked = 0;
    for (const auto& indi : ansel.set().indiRecords()) {
        const String name = indi->name()->value().str();
        const std::size_t close = name.find(u')');
        if (!name.starts_with(u"code: ") || close == String::npos || close < 4) continue;
        const auto mark =
            static_cast<char16_t>(std::stoi(toUtf8(StringView(name).substr(close - 4, 4)), nullptr, 16));
        String capitals, smalls;
        for (char16_t c = 0; c < 26; ++c)
            capitals += {char16_t(u'A' + c), mark}, smalls += {char16_t(u'a' + c), mark};
        EXPECT_EQ(ansel.eventValue(indi->key(), u"BIRT", u"PLAC"), toNFC(capitals)) << toUtf8(name);
        EXPECT_EQ(ansel.eventValue(indi->key(), u"DEAT", u"PLAC"), toNFC(smalls)) << toUtf8(name);
        ++checked;
    }
    EXPECT_EQ(checked, 29);
}
