#include "LNGedcomFile.h"
#include "LNGedcomRecordSet.h"
#include "SystemLog.h"
#include "TextServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace kinloom;

// The public GEDCOM files beside the repository: one content in several
// character sets and line ends must give the same records.

namespace {

const std::string testdata = "../shared/testdata/";

struct Loaded {
    std::unique_ptr<LNGedcomFile> file;
    std::vector<std::string> log;
    bool logged(const std::string& line) const {
        return std::find(log.begin(), log.end(), line) != log.end();
    }
    const LNGedcomRecordSet& set() const { return *file->recordSet(); }
};

Loaded load(const std::string& name) {
    LogCapture capture;
    Loaded loaded;
    loaded.file = std::make_unique<LNGedcomFile>(testdata + name);
    loaded.log = capture.lines();
    return loaded;
}

bool present(const std::vector<std::string>& names) {
    for (const auto& name : names)
        if (!std::filesystem::is_regular_file(testdata + name)) return false;
    return true;
}

#define SKIP_UNLESS_PRESENT(...)                                                                             \
    if (!present({__VA_ARGS__})) GTEST_SKIP() << "public test files not found in " << testdata

/// Every person's NAME values under its key.
std::map<String, std::vector<String>> persons(const Loaded& loaded) {
    std::map<String, std::vector<String>> result;
    for (const auto& indi : loaded.set().indiRecords()) {
        auto& names = result[indi->key().str()];
        for (const LNGedcomNode* name : indi->nameArray())
            names.push_back(name->value().str());
    }
    return result;
}

/// Every record in its line form, in file order.
std::vector<String> records(const Loaded& loaded) {
    std::vector<String> result;
    for (const auto& record : *loaded.set().records())
        result.push_back(record->description());
    return result;
}

void expectSameCounts(const Loaded& a, const Loaded& b, const std::string& what) {
    EXPECT_EQ(a.set().numIndis(), b.set().numIndis()) << what;
    EXPECT_EQ(a.set().numFams(), b.set().numFams()) << what;
    EXPECT_EQ(a.set().numSours(), b.set().numSours()) << what;
}

/// The value of the first line with this tag under the person's first line with the other tag.
String eventValue(const LNGedcomRecordSet& set, StringView key, StringView event, StringView tag) {
    const auto& indi = set.indiWithKey(key);
    if (!indi) return String();
    LNNode* node = indi->root()->nodeWithPath({String(event), String(tag)});
    return node ? node->value().str() : String();
}

} // namespace

TEST(LNGedcomFileSharedData, WillisTreeIsTheSameInFiveEncodings) {
    SKIP_UNLESS_PRESENT("gedcom4j/willis.ged", "gedcom4j/willis-ansel.ged", "gedcom4j/willis-ascii.ged",
                        "gedcom4j/willis-unicode-bigendian.ged", "gedcom4j/willis-unicode-littleendian.ged");
    Loaded utf8 = load("gedcom4j/willis.ged");
    EXPECT_TRUE(utf8.logged("isAscii:0 isAnsel:0 isUtf8:1"));
    EXPECT_NE(utf8.file->string()->find(u"Br\u00F8derbund"), String::npos);
    EXPECT_EQ(utf8.set().numIndis(), 761);
    EXPECT_EQ(utf8.set().numFams(), 293);
    EXPECT_EQ(utf8.set().numSours(), 66);

    Loaded ascii = load("gedcom4j/willis-ascii.ged");
    EXPECT_TRUE(ascii.logged("isAscii:1 isAnsel:1 isUtf8:1"));
    // Two raw 0x14 bytes keep this one from fitting ANSEL: forced to ASCII.
    Loaded ansel = load("gedcom4j/willis-ansel.ged");
    EXPECT_TRUE(ansel.logged("Performing magic transformation to ASCII"));
    Loaded bigEndian = load("gedcom4j/willis-unicode-bigendian.ged");
    Loaded littleEndian = load("gedcom4j/willis-unicode-littleendian.ged");
    EXPECT_EQ(littleEndian.set().records()->front()->tag(), u"HEAD");

    auto expected = persons(utf8);
    ASSERT_EQ(expected.size(), 761u);
    for (const Loaded* variant : {&ascii, &ansel, &bigEndian, &littleEndian}) {
        EXPECT_EQ(persons(*variant), expected);
        expectSameCounts(*variant, utf8, "willis");
        // The rewritten variants add a submission record to the original's.
        EXPECT_EQ(variant->set().count(), utf8.set().count() + 1);
    }
}

TEST(LNGedcomFileSharedData, TortureTestIsTheSameWithCrAndCrLf) {
    SKIP_UNLESS_PRESENT("torture55/TGC55C.ged", "torture55/TGC55CLF.ged", "torture55/TGC551.ged",
                        "torture55/TGC551LF.ged");
    for (auto [cr, crlf] : {std::pair{"torture55/TGC55C.ged", "torture55/TGC55CLF.ged"},
                            std::pair{"torture55/TGC551.ged", "torture55/TGC551LF.ged"}}) {
        Loaded a = load(cr);
        Loaded b = load(crlf);
        for (const Loaded* loaded : {&a, &b}) {
            EXPECT_TRUE(loaded->logged("isAscii:0 isAnsel:1 isUtf8:0")) << cr;
            EXPECT_EQ(loaded->set().numIndis(), 15) << cr;
            EXPECT_EQ(loaded->set().numFams(), 7) << cr;
            EXPECT_EQ(loaded->set().numSours(), 2) << cr;
            // E1 before each letter: grave accents, composed where Unicode can.
            EXPECT_NE(loaded->file->string()->find(u"\u00C0B\u0300C\u0300D\u0300\u00C8"), String::npos) << cr;
            EXPECT_EQ(loaded->file->string()->find(u'\uFFFD'), String::npos) << cr;
        }
        EXPECT_EQ(records(a), records(b)) << cr;
        EXPECT_EQ(persons(a), persons(b)) << cr;
        EXPECT_EQ(a.set().count(), b.set().count()) << cr;
        EXPECT_EQ(a.file->errors()->count(), b.file->errors()->count()) << cr;
    }
}

TEST(LNGedcomFileSharedData, Gedcom555SampleIsTheSameInUtf8AndBothUtf16Orders) {
    SKIP_UNLESS_PRESENT("gedcom555/555SAMPLE.GED", "gedcom555/555SAMPLE16BE.GED",
                        "gedcom555/555SAMPLE16LE.GED");
    Loaded utf8 = load("gedcom555/555SAMPLE.GED");
    Loaded bigEndian = load("gedcom555/555SAMPLE16BE.GED");
    Loaded littleEndian = load("gedcom555/555SAMPLE16LE.GED");
    EXPECT_EQ(*bigEndian.file->string(), *littleEndian.file->string());
    for (const Loaded* loaded : {&utf8, &bigEndian, &littleEndian}) {
        // Every one begins with a byte-order mark, which must not hide the header.
        EXPECT_EQ(loaded->set().records()->front()->tag(), u"HEAD");
        EXPECT_EQ(loaded->set().count(), 10);
        EXPECT_EQ(loaded->set().numIndis(), 3);
        EXPECT_EQ(loaded->set().numFams(), 2);
        EXPECT_EQ(loaded->set().numSours(), 1);
        EXPECT_EQ(persons(*loaded), persons(utf8));
    }
}

TEST(LNGedcomFileSharedData, Utf8VariantsGiveTheSameAccentedNames) {
    SKIP_UNLESS_PRESENT("gedcom4j/utf8_cr_nobom.ged", "gedcom4j/utf8_crlf_bom.ged",
                        "gedcom4j/utf8_crlf_nobom.ged", "gedcom4j/utf8_lf_nobom.ged");
    Loaded reference = load("gedcom4j/utf8_lf_nobom.ged");
    EXPECT_EQ(reference.set().numIndis(), 10);
    EXPECT_EQ(reference.set().numFams(), 4);
    bool sawGruber = false;
    for (const auto& [key, names] : persons(reference))
        for (const String& name : names)
            sawGruber |= name.find(u"Gr\u00FCber") != String::npos;
    EXPECT_TRUE(sawGruber);
    for (const char* name :
         {"gedcom4j/utf8_cr_nobom.ged", "gedcom4j/utf8_crlf_bom.ged", "gedcom4j/utf8_crlf_nobom.ged"}) {
        Loaded variant = load(name);
        EXPECT_EQ(persons(variant), persons(reference)) << name;
        EXPECT_EQ(variant.set().count(), reference.set().count()) << name;
        EXPECT_EQ(records(variant), records(reference)) << name;
    }
}

TEST(LNGedcomFileSharedData, MinimalFileIsTheSameBehindAnyByteOrderMark) {
    SKIP_UNLESS_PRESENT("gedcom4j/utf8.ged", "gedcom4j/utf16be.ged", "gedcom4j/utf16le.ged",
                        "gedcom4j/minimal55.ged");
    Loaded plain = load("gedcom4j/minimal55.ged");
    for (const char* name : {"gedcom4j/utf8.ged", "gedcom4j/utf16be.ged", "gedcom4j/utf16le.ged"}) {
        Loaded variant = load(name);
        EXPECT_EQ(records(variant), records(plain)) << name;
        EXPECT_EQ(variant.file->errors()->count(), plain.file->errors()->count()) << name;
    }
}

TEST(LNGedcomFileSharedData, EveryAnselDiacriticLandsOnItsLetter) {
    SKIP_UNLESS_PRESENT("gedcom4j/ANSEL.GED");
    Loaded ansel = load("gedcom4j/ANSEL.GED");
    EXPECT_TRUE(ansel.logged("isAscii:0 isAnsel:1 isUtf8:0"));
    EXPECT_EQ(ansel.set().numIndis(), 35);
    EXPECT_EQ(
        eventValue(ansel.set(), u"@CHILD0@", u"BIRT", u"PLAC"),
        u"slash l - uppercase (\u0141), slash o - uppercase (\u00D8), slash d - uppercase (\u0110), thorn - "
        u"uppercase (\u00DE)");
    // The sharp s is one of the bytes GEDCOM adds to ANSEL; no byte of the file goes.
    EXPECT_EQ(eventValue(ansel.set(), u"@CHILD3@", u"DEAT", u"PLAC"),
              u"musical sharp (\u266F), inverted question mark (\u00BF), inverted exclamation mark (\u00A1), "
              u"es zet (\u00DF)");
    EXPECT_EQ(ansel.set().indiWithKey(u"@CHILD3@")->deathPlace(), u"es zet (\u00DF)");
    EXPECT_FALSE(ansel.logged("impossible case in stringFromAnselString:"));

    // Each child named "code: XX (Unicode: ..., NNNN)" has every capital
    // letter with that mark as birth place and every small one as death place.
    int checked = 0;
    for (const auto& indi : ansel.set().indiRecords()) {
        String name = indi->name()->value().str();
        std::size_t close = name.find(u')');
        if (name.rfind(u"code: ", 0) != 0 || close == String::npos || close < 4) continue;
        std::string hex = toUtf8(StringView(name).substr(close - 4, 4));
        char16_t mark = static_cast<char16_t>(std::stoi(hex, nullptr, 16));
        String capitals, smalls;
        for (char16_t c = u'A'; c <= u'Z'; ++c)
            capitals += {c, mark};
        for (char16_t c = u'a'; c <= u'z'; ++c)
            smalls += {c, mark};
        EXPECT_EQ(eventValue(ansel.set(), indi->key(), u"BIRT", u"PLAC"), toNFC(capitals)) << hex;
        EXPECT_EQ(eventValue(ansel.set(), indi->key(), u"DEAT", u"PLAC"), toNFC(smalls)) << hex;
        ++checked;
    }
    EXPECT_EQ(checked, 29);
}

TEST(LNGedcomFileSharedData, Utf16WithoutByteOrderMarkAndLfCrLineEnds) {
    SKIP_UNLESS_PRESENT("gedcom4j/unicode-littleendian-crlf.ged", "gedcom4j/unicode-littleendian-cronly.ged");
    Loaded lfcr = load("gedcom4j/unicode-littleendian-crlf.ged");
    Loaded cr = load("gedcom4j/unicode-littleendian-cronly.ged");
    EXPECT_EQ(lfcr.set().numIndis(), 35);
    EXPECT_EQ(persons(lfcr), persons(cr));
    EXPECT_EQ(
        eventValue(cr.set(), u"@CHILD0@", u"BIRT", u"PLAC"),
        u"capital L with stroke (\u0141), capital O with stroke (\u00D8), capital D with stroke (\u0110), "
        u"capital thorn (\u00DE)");
}
