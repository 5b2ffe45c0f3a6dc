#include "SystemLog.h"
#include "TextServices.h"

#include <gtest/gtest.h>

using namespace kinloom;

TEST(TextServices, CharacterClassesFollowUnicode) {
    const CharSet& white = CharSet::whiteSpace();
    EXPECT_TRUE(white.contains(u'\t'));
    EXPECT_TRUE(white.contains(u' '));
    EXPECT_TRUE(white.contains(u'\u00A0'));
    EXPECT_TRUE(white.contains(u'\u3000'));
    EXPECT_TRUE(white.contains(u'\u2003'));
    EXPECT_FALSE(white.contains(u'\n'));
    EXPECT_FALSE(white.contains(u'\u2028'));
    EXPECT_FALSE(white.contains(u'\u200B')); // zero width space is Cf, not Zs

    const CharSet& newline = CharSet::newline();
    for (char16_t c : StringView(u"\n\v\f\r\u0085\u2028\u2029")) EXPECT_TRUE(newline.contains(c)) << int(c);
    EXPECT_FALSE(newline.contains(u' '));
    EXPECT_FALSE(newline.contains(u'\t'));

    const CharSet& both = CharSet::whiteSpaceAndNewline();
    EXPECT_TRUE(both.contains(u'\u0085'));
    EXPECT_TRUE(both.contains(u'\u00A0'));
    EXPECT_FALSE(both.contains(u'x'));
}

TEST(TextServices, SplittingKeepsEmptyPieces) {
    auto lines = splitBySet(u"a\r\nb\n", CharSet::newline());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], u"a");
    EXPECT_EQ(lines[1], u"");
    EXPECT_EQ(lines[2], u"b");
    EXPECT_EQ(lines[3], u"");
    EXPECT_EQ(splitBySet(u"", CharSet::newline()).size(), 1u);

    auto places = splitByString(u"Toronto, Ontario,, Canada, ", u", ");
    ASSERT_EQ(places.size(), 4u);
    EXPECT_EQ(places[1], u"Ontario,");
    EXPECT_EQ(places[2], u"Canada");
    EXPECT_EQ(places[3], u"");

    EXPECT_EQ(trim(u" \t x y \u3000", CharSet::whiteSpace()), u"x y");
    EXPECT_EQ(trim(u"  ", CharSet::whiteSpace()), u"");
}

TEST(TextServices, ScannerReadsSignedIntegersThatSaturate) {
    std::int32_t value = 0;
    Scanner big(u"99999999999 X");
    ASSERT_TRUE(big.scanInt(&value));
    EXPECT_EQ(value, 2147483647);
    EXPECT_EQ(big.location(), 11u);

    Scanner small(u"-99999999999");
    ASSERT_TRUE(small.scanInt(&value));
    EXPECT_EQ(value, -2147483647 - 1);
    EXPECT_TRUE(small.atEnd());

    Scanner limit(u"-2147483648");
    ASSERT_TRUE(limit.scanInt(&value));
    EXPECT_EQ(value, -2147483647 - 1);

    Scanner signs(u"+007x");
    ASSERT_TRUE(signs.scanInt(&value));
    EXPECT_EQ(value, 7);
    EXPECT_EQ(signs.rest(), u"x");

    Scanner bare(u"-x");
    EXPECT_FALSE(bare.scanInt(&value));
    EXPECT_EQ(bare.location(), 0u);

    Scanner runs(u"  ab cd");
    StringView run;
    EXPECT_TRUE(runs.scanCharacters(CharSet::whiteSpace(), &run));
    EXPECT_EQ(run, u"  ");
    EXPECT_TRUE(runs.scanUpToCharacters(CharSet::whiteSpace(), &run));
    EXPECT_EQ(run, u"ab");
    EXPECT_FALSE(runs.scanUpToCharacters(CharSet::whiteSpace(), &run));

    EXPECT_EQ(intValue(u"12@"), 12);
    EXPECT_EQ(intValue(u"  -5"), -5);
    EXPECT_EQ(intValue(u"I12"), 0);
    EXPECT_EQ(intValue(u""), 0);
    EXPECT_EQ(intValue(u"123456789012"), 2147483647);
}

TEST(TextServices, CaseMappingIsFullUnicode) {
    EXPECT_EQ(toUpper(u"straße"), u"STRASSE");
    EXPECT_EQ(toUpper(u"émile"), u"ÉMILE");
    EXPECT_EQ(toLower(u"ÉMILE Smith"), u"émile smith");
    EXPECT_EQ(toUpper(u"o'brien"), u"O'BRIEN");
}

TEST(TextServices, CollationIgnoresCaseAndKeysAgree) {
    setCollationLocale("en");
    EXPECT_EQ(localizedCaseInsensitiveCompare(u"smith", u"SMITH"), 0);
    EXPECT_LT(localizedCaseInsensitiveCompare(u"Adams", u"baker"), 0);
    EXPECT_GT(localizedCaseInsensitiveCompare(u"Zola", u"émile"), 0);
    EXPECT_LT(localizedCaseInsensitiveCompare(u"Emile", u"Émile"), 0); // accents still count
    const StringView words[] = {u"smith", u"Smith", u"Émile", u"emile", u"Zola", u"adams", u""};
    for (StringView a : words) {
        for (StringView b : words) {
            int keys = collationKey(a).compare(collationKey(b));
            keys = keys < 0 ? -1 : (keys > 0 ? 1 : 0);
            EXPECT_EQ(keys, localizedCaseInsensitiveCompare(a, b));
        }
    }
}

TEST(TextServices, ConversionsReplaceWhatTheyCannotCarry) {
    EXPECT_EQ(toNFC(u"e\u0301"), u"\u00E9");
    EXPECT_EQ(toNFC(u"a\u0308\u0304"), u"\u01DF");
    EXPECT_EQ(toNFC(u"plain"), u"plain");

    EXPECT_EQ(fromUtf8("Jos\xC3\xA9 \xF0\x9F\x98\x80"), u"José \U0001F600");
    EXPECT_EQ(fromUtf8("a\xFF" "b\xC3"), u"a\uFFFDb\uFFFD");
    EXPECT_EQ(toUtf8(u"José \U0001F600"), "Jos\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(toUtf8(StringView(u"\xD800x", 2)), "\xEF\xBF\xBDx");
    EXPECT_EQ(toUtf8OrNull(SharedString()), "(null)");
    EXPECT_EQ(toUtf8OrNull(SharedString(u"")), "");

    EXPECT_EQ(fromUtf16(std::string_view("\x00" "A\x00" "B", 4), true), u"AB");
    EXPECT_EQ(fromUtf16(std::string_view("A\x00" "B", 3), false), u"A\uFFFD");
}

TEST(SystemLog, CaptureCollectsLinesAndNests) {
    LogCapture outer;
    systemLog("one");
    {
        LogCapture inner;
        systemLog("two");
        EXPECT_EQ(inner.lines(), std::vector<std::string>{"two"});
    }
    systemLog("three");
    EXPECT_EQ(outer.lines(), (std::vector<std::string>{"one", "three"}));
    EXPECT_TRUE(outer.contains("three"));
    EXPECT_FALSE(outer.contains("two"));
}
