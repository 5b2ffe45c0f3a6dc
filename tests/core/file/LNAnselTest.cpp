// ANSEL bytes into Unicode text. The fuzz target ansel checks the decoder
// against a plain run-by-run version on many more inputs.

#include "file/LNAnsel.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <gtest/gtest.h>

#include <string>

using namespace kinloom;

TEST(LNAnsel, MovesDiacriticsBehindTheirBaseComposesAndDropsBytesWithoutMeaning) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"\xE2\x65", u"\u00E9"},
        {"\xE8\xE5\x61", u"\u01DF"},
        {"Jos\xE2\x65 N\xE2u\xE4nez", u"Jos\u00E9 N\u00FA\u00F1ez"},
        {"\xE1\x42", u"B\u0300"}, // no precomposed form: the mark follows its base
        {"\xE2\xA2", u"\u01FE"},  // a spacing character carries a diacritic too
        {"\xA5\xC8\xB2", u"\u00C6\u20AC\u00F8"},
        {"\xF6\x61", u"a\u0332"},
        {"ab\xE2", u"ab"},             // a diacritic without base at the end goes
        {"o\xE1\x85\x61", u"\u00F2a"}, // in a run a byte without meaning goes silently
        {std::string(20, '\xE5') + "x", u"x" + String(18, u'\u0304')},
        // The boxes, midline e and o and the sharp s decode like any other
        // character: alone, as the base of diacritics, at the end.
        {"\xBE\xBF\xCD\xCE", u"  eo"},
        {"Strau\xCF", u"Strau\u00DF"},
        {"\xE2\xCD", u"\u00E9"},
        {"\xE3\xE2\xCE", u"\u1ED1"},
        {"\xE7\xCF", u"\u00DF\u0307"},
        {"\xE5\xBE", u" \u0304"}};
    LogCapture log;
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(LNAnsel::stringFromData(bytes), text) << bytes;
    EXPECT_TRUE(log.lines().empty());
    EXPECT_EQ(LNAnsel::stringFromData("a\xC9\x62\xD0\x63\x85\x64"), u"abcd");
    EXPECT_EQ(log.lines(), std::vector<std::string>(3, "impossible case in stringFromAnselString:"));
}
