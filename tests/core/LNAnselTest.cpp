#include "LNAnsel.h"
#include "SystemLog.h"
#include "TextServices.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace kinloom;

namespace {

String decode(const std::string& bytes) {
    return LNAnsel::stringFromData(bytes);
}

} // namespace

TEST(LNAnsel, ByteClassesEndAtTheirBoundaries) {
    for (std::uint16_t c : {0x0A, 0x0B, 0x0D, 0x20, 0x41, 0x7E})
        EXPECT_TRUE(LNAnsel::validAsciiCharacter(c)) << c;
    for (std::uint16_t c : {0x00, 0x09, 0x0C, 0x0E, 0x1F, 0x7F, 0x80, 0xE9, 0x10A})
        EXPECT_FALSE(LNAnsel::validAsciiCharacter(c)) << c;

    for (std::uint16_t c : {0xA1, 0xAE, 0xB0, 0xBA, 0xBC, 0xC8, 0xCD, 0xCF, 0xE0, 0xFB, 0xFE})
        EXPECT_TRUE(LNAnsel::validAnselCharacter(c)) << c;
    for (std::uint16_t c : {0x41, 0x80, 0xA0, 0xAF, 0xBB, 0xC9, 0xCC, 0xD0, 0xDF, 0xFC, 0xFD, 0xFF, 0x1A1})
        EXPECT_FALSE(LNAnsel::validAnselCharacter(c)) << c;

    for (std::uint16_t c : {0xA1, 0xAE, 0xB0, 0xBA, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xC8, 0xCD, 0xCF})
        EXPECT_TRUE(LNAnsel::spacingCharacter(c)) << c;
    for (std::uint16_t c : {0xA0, 0xAF, 0xBB, 0xC9, 0xCC, 0xD0, 0xE0})
        EXPECT_FALSE(LNAnsel::spacingCharacter(c)) << c;

    for (std::uint16_t c : {0xE0, 0xEF, 0xFB, 0xFE})
        EXPECT_TRUE(LNAnsel::nonSpacingDiacritic(c)) << c;
    for (std::uint16_t c : {0xDF, 0xFC, 0xFD, 0xFF, 0xC8})
        EXPECT_FALSE(LNAnsel::nonSpacingDiacritic(c)) << c;
}

TEST(LNAnsel, EquivalentsExistExactlyForValidAnselBytes) {
    EXPECT_EQ(LNAnsel::unicodeEquivalent(0x41), 0x41);
    EXPECT_EQ(LNAnsel::unicodeEquivalent(0x0A), 0x0A);
    EXPECT_EQ(LNAnsel::unicodeEquivalent(0x100), 0x100);
    EXPECT_EQ(LNAnsel::unicodeEquivalent(0x80), 0);
    EXPECT_EQ(LNAnsel::unicodeEquivalent(0xE1), 0x0300);
    EXPECT_EQ(LNAnsel::unicodeEquivalent(0xA1), 0x0141);
    EXPECT_EQ(LNAnsel::unicodeEquivalent(0xBE), 0x0020);
    EXPECT_EQ(LNAnsel::unicodeEquivalent(0xCF), 0x00DF);
    EXPECT_EQ(LNAnsel::unicodeEquivalent(0xFE), 0x0313);
    for (std::uint16_t b = 0x80; b <= 0xFF; ++b) {
        EXPECT_EQ(LNAnsel::unicodeEquivalent(b) != 0, LNAnsel::validAnselCharacter(b)) << b;
        // Every valid byte decodes: as a character of its own or as a mark.
        EXPECT_EQ(LNAnsel::validAnselCharacter(b),
                  LNAnsel::spacingCharacter(b) != LNAnsel::nonSpacingDiacritic(b))
            << b;
        // Diacritics map to combining marks, spacing bytes to characters of their own.
        if (LNAnsel::nonSpacingDiacritic(b)) {
            std::uint16_t mark = LNAnsel::unicodeEquivalent(b);
            EXPECT_TRUE((mark >= 0x0300 && mark <= 0x036F) || (mark >= 0xFE20 && mark <= 0xFE2F)) << b;
        }
    }
}

TEST(LNAnsel, MovesDiacriticsBehindTheirBaseAndComposes) {
    EXPECT_EQ(decode("\xE2"
                     "e"),
              u"\u00E9");
    EXPECT_EQ(decode("\xE8\xE5"
                     "a"),
              u"\u01DF");
    EXPECT_EQ(decode("Jos\xE2"
                     "e N\xE2u\xE4nez"),
              u"Jos\u00E9 N\u00FA\u00F1ez");
    // No precomposed form: the mark stays a combining character after its base.
    EXPECT_EQ(decode("\xE1"
                     "B"),
              u"B\u0300");
    // A spacing character can carry a diacritic too.
    EXPECT_EQ(decode("\xE2\xA2"), u"\u01FE");
    EXPECT_EQ(decode("\xA5"), u"\u00C6");
    EXPECT_EQ(decode("\xC8"), u"\u20AC");
    EXPECT_EQ(decode("\xB2"), u"\u00F8");
    // The non-spacing underscore is the combining low line.
    EXPECT_EQ(decode("\xF6"
                     "a"),
              u"a\u0332");
}

TEST(LNAnsel, AsciiAndControlBytesPassUnchanged) {
    std::string bytes;
    for (int b = 0; b < 0x80; ++b)
        bytes.push_back(static_cast<char>(b));
    String expected;
    for (int b = 0; b < 0x80; ++b)
        expected.push_back(static_cast<char16_t>(b));
    EXPECT_EQ(decode(bytes), expected);
    EXPECT_EQ(decode(""), u"");
}

TEST(LNAnsel, DecodesTheBytesGedcomAddsLikeEveryOtherCharacter) {
    // 0xBE and 0xBF (boxes, shown as blanks), midline e and o, and the sharp s:
    // alone, as the base of diacritics, and at the end of the data.
    const struct {
        const char* bytes;
        StringView text;
    } cases[] = {
        {"\xBE", u" "},
        {"\xBF", u" "},
        {"\xCD", u"e"},
        {"\xCE", u"o"},
        {"\xCF", u"\u00DF"},
        {"Strau\xCF", u"Strau\u00DF"},
        {"Wei\xCF"
         "e",
         u"Wei\u00DFe"},
        {"\xE2\xCD", u"\u00E9"},
        {"\xE8\xCE"
         "d",
         u"\u00F6d"},
        {"\xE3\xE2\xCE", u"\u1ED1"},
        {"\xE7\xCF", u"\u00DF\u0307"},
        {"\xE5\xBE", u" \u0304"},
        {"a\xBF"
         "b\xCF",
         u"a b\u00DF"},
    };
    for (const auto& test : cases) {
        LogCapture log;
        EXPECT_EQ(decode(test.bytes), test.text) << test.bytes;
        EXPECT_TRUE(log.lines().empty()) << test.bytes;
    }
}

TEST(LNAnsel, DropsBytesWithoutMeaning) {
    LogCapture log;
    EXPECT_EQ(decode("a\xC9"
                     "b\xD0"
                     "c\x85"
                     "d"),
              u"abcd");
    EXPECT_EQ(log.lines(), std::vector<std::string>(3, "impossible case in stringFromAnselString:"));

    // In a combining run the meaningless byte goes silently, and the grave
    // accent lands on the character before it.
    log.clear();
    EXPECT_EQ(decode("o\xE1\x85"
                     "a"),
              u"\u00F2a");
    EXPECT_TRUE(log.lines().empty());

    // A diacritic with no base at the end disappears.
    EXPECT_EQ(decode("ab\xE2"), u"ab");
    EXPECT_EQ(decode("\xE2\xE3"), u"");
}

TEST(LNAnsel, KeepsAtMostEighteenDiacritics) {
    // Macron has no precomposed form with x, so every kept mark stays visible.
    std::string bytes(20, '\xE5');
    bytes += "x";
    String expected = u"x" + String(18, u'\u0304');
    EXPECT_EQ(decode(bytes), expected);
    EXPECT_EQ(decode(std::string(18, '\xE5') + "x"), expected);
    EXPECT_EQ(decode(std::string(17, '\xE5') + "x"), u"x" + String(17, u'\u0304'));
}

TEST(LNAnsel, ComposingRunByRunEqualsComposingTheWholeText) {
    // Letters, spacing characters, every diacritic and a few bytes without
    // meaning, which make marks join the character before.
    std::string alphabet = "aeiouAEOnscgzLlO0 \n\r\x85\xC9\xD0";
    for (int b = 0xA1; b <= 0xFE; ++b)
        if (LNAnsel::spacingCharacter(b) || LNAnsel::nonSpacingDiacritic(b)) alphabet += static_cast<char>(b);
    std::mt19937 random(12345);
    LogCapture quiet;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        for (int n = static_cast<int>(random() % 30); n > 0; --n)
            bytes += alphabet[random() % alphabet.size()];
        // The marks moved behind their base, nothing composed yet.
        String moved, pending;
        for (unsigned char b : bytes) {
            if (LNAnsel::nonSpacingDiacritic(b)) {
                if (pending.size() < 18) pending += static_cast<char16_t>(LNAnsel::unicodeEquivalent(b));
                continue;
            }
            if (b < 0x80 || LNAnsel::spacingCharacter(b))
                moved += static_cast<char16_t>(LNAnsel::unicodeEquivalent(b));
            moved += pending;
            pending.clear();
        }
        ASSERT_EQ(decode(bytes), toNFC(moved)) << round;
    }
}
