#include "support/GedcomVersion.h"

#include <gtest/gtest.h>

#include <string>

using namespace kinloom;
using namespace std::string_literals;

namespace {

/// The text as UTF-16 bytes in either order, with or without a byte-order mark.
std::string utf16(const std::string& ascii, bool bigEndian, bool mark) {
    std::string bytes = mark ? (bigEndian ? "\xFE\xFF"s : "\xFF\xFE"s) : ""s;
    for (char c : ascii) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
}

const std::string gedc7 = "0 HEAD\n1 GEDC\n2 VERS 7.0.18\n0 TRLR\n";

} // namespace

TEST(GedcomVersion, ReadsOnlyVersUnderTheHeadersGedcInEveryWidth) {
    struct Case {
        std::string bytes;
        GedcomStandard standard;
        std::string text;
    };
    const Case cases[] = {
        {gedc7, GedcomStandard::Gedcom7, "7.0"},
        {"\xEF\xBB\xBF" + gedc7, GedcomStandard::Gedcom7, "7.0"},
        {"0 HEAD\r\n1 GEDC\r\n2 VERS 7.1\r\n2 FORM LINEAGE-LINKED\r\n", GedcomStandard::Gedcom7, "7.1"},
        {"0 HEAD\n1 GEDC\n2 VERS 5.5.1\n", GedcomStandard::Gedcom551, "5.5.1"},
        {"0 HEAD\n1 GEDC\n2 VERS 5.5\n", GedcomStandard::Gedcom55, "5.5"},
        {"0 HEAD\n1 GEDC\n2 VERS 5.5.5\n", GedcomStandard::Gedcom55, "5.5"},
        {"0 HEAD\n1 GEDC\n2 VERS 70\n", GedcomStandard::Gedcom55, "5.5"},
        // VERS under the source, the GEDC without one, or in a later record.
        {"0 HEAD\n1 SOUR X\n2 VERS 7.0\n1 GEDC\n2 FORM LINEAGE-LINKED\n", GedcomStandard::Gedcom55, "5.5"},
        {"0 HEAD\n1 GEDC\n2 FORM L\n1 SOUR X\n2 VERS 7.0\n", GedcomStandard::Gedcom55, "5.5"},
        {"0 HEAD\n1 CHAR UTF-8\n0 @S@ SUBM\n1 GEDC\n2 VERS 7.0\n", GedcomStandard::Gedcom55, "5.5"},
        {"", GedcomStandard::Gedcom55, "5.5"},
        {utf16(gedc7, false, true), GedcomStandard::Gedcom7, "7.0"},
        {utf16(gedc7, true, false), GedcomStandard::Gedcom7, "7.0"},
        {utf16("0 HEAD\r\n1 GEDC\r\n2 VERS 5.5\r\n", false, false), GedcomStandard::Gedcom55, "5.5"},
        {utf16("0 HEAD\n1 GEDC\n2 VERS 5.5.1\n", true, true), GedcomStandard::Gedcom551, "5.5.1"},
    };
    for (const Case& c : cases) {
        GedcomVersion version = GedcomVersion::ofBytes(c.bytes);
        EXPECT_EQ(version.standard, c.standard) << c.bytes;
        EXPECT_EQ(version.text, c.text) << c.bytes;
    }
    EXPECT_EQ(GedcomVersion::ofText(u"\uFEFF0 HEAD\n1 GEDC\n2 VERS 7.0\n").text, "7.0");
    EXPECT_EQ(GedcomVersion::ofText(u"0 HEAD\n1 GEDC\n2 VERS 5.5.1\n").standard, GedcomStandard::Gedcom551);
}
