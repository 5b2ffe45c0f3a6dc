#include "LNGedcomName.h"
#include "TextServices.h"

#include <gtest/gtest.h>

using namespace kinloom;

namespace {

std::vector<String> partsOf(StringView value) {
    const LNGedcomName name(value);
    return name.parts() ? *name.parts() : std::vector<String>();
}

bool contains(StringView partial, StringView full) {
    return LNGedcomName::containPartial(LNGedcomName(partial), LNGedcomName(full));
}

String format(StringView value, bool surnameFirst, bool surnameUpper) {
    return LNGedcomName(value).formatSurnameFirst(surnameFirst, surnameUpper, 0);
}

} // namespace

TEST(LNGedcomName, SplitsWordsAndFoldsWhiteSpaceInsideTheSurname) {
    const LNGedcomName spaced(u"  John   Paul  /Smith/ Jr ");
    EXPECT_EQ(spaced.original(), u"  John   Paul  /Smith/ Jr ");
    EXPECT_EQ(partsOf(spaced.original()), (std::vector<String>{u"John", u"Paul", u"Smith", u"Jr"}));
    EXPECT_EQ(spaced.surnameIndex(), 2);
    EXPECT_EQ(spaced.givenNames(), (std::vector<String>{u"John", u"Paul", u"Jr"}));

    const LNGedcomName severalWords(u"John /  van   der  Berg  / ");
    EXPECT_EQ(partsOf(severalWords.original()), (std::vector<String>{u"John", u"van der Berg"}));
    EXPECT_EQ(severalWords.surnameIndex(), 1);
    EXPECT_EQ(severalWords.surname(), u"van der Berg");

    EXPECT_EQ(partsOf(u"John/Smith/Jr"), partsOf(u"John /Smith/ Jr"));
    EXPECT_EQ(LNGedcomName(u"John/Smith/Jr").surnameIndex(), 1);
}

TEST(LNGedcomName, TreatsEveryKindOfWhiteSpaceAsABlank) {
    // TAB, LF, VT, FF, CR, NEL, no-break space, ideographic space, line and paragraph separators.
    for (char16_t space : u"\t\n\v\f\r\u0085\u00A0\u3000\u2028\u2029") {
        if (space == 0) continue;
        SCOPED_TRACE(static_cast<int>(space));
        const String s(1, space);
        const LNGedcomName name(s + u"John" + s + s + u"/van" + s + s + u"Berg" + s + u"/" + s + u"Jr" + s);
        EXPECT_EQ(partsOf(name.original()), (std::vector<String>{u"John", u"van Berg", u"Jr"}));
        EXPECT_EQ(name.surnameIndex(), 1);
    }
    // Other controls and punctuation are part of the word.
    EXPECT_EQ(partsOf(u"O'Brien\u200B-x"), (std::vector<String>{u"O'Brien\u200B-x"}));
}

TEST(LNGedcomName, KeepsOnlyTheFirstSlashPairAsTheSurname) {
    const LNGedcomName twoPairs(u"A /B/ C /D/");
    EXPECT_EQ(partsOf(twoPairs.original()), (std::vector<String>{u"A", u"B", u"C", u"D"}));
    EXPECT_EQ(twoPairs.surnameIndex(), 1);
    EXPECT_EQ(partsOf(u"A/B/C//D///E"), (std::vector<String>{u"A", u"B", u"C", u"D", u"E"}));

    const LNGedcomName surnameFirst(u"/Smith/ John");
    EXPECT_EQ(surnameFirst.surnameIndex(), 0);
    EXPECT_EQ(surnameFirst.firstInitial(), u'J');
}

TEST(LNGedcomName, RunsAnUnclosedSurnameToTheEndAndDropsAnEmptyOne) {
    EXPECT_EQ(LNGedcomName(u"John /Smith").surname(), u"Smith");
    EXPECT_EQ(LNGedcomName(u"John /Smith Jr").surname(), u"Smith Jr");
    EXPECT_EQ(LNGedcomName(u"John /Smith \u2028 ").surname(), u"Smith");

    for (StringView value : {u"John //", u"John / \t /", u"John /  "}) {
        const LNGedcomName name(value);
        EXPECT_EQ(partsOf(value), (std::vector<String>{u"John"}));
        EXPECT_EQ(name.surnameIndex(), -1);
        EXPECT_EQ(name.surname(), std::nullopt);
        EXPECT_EQ(name.soundex(), u"Z999");
    }
    EXPECT_EQ(partsOf(u"John // Jr /Smith/"), (std::vector<String>{u"John", u"Jr", u"Smith"}));
    EXPECT_EQ(LNGedcomName(u"John // Jr /Smith/").surnameIndex(), -1);
}

TEST(LNGedcomName, GivesNoPartsForAValueWithoutWords) {
    for (StringView value : {u"", u"   ", u"//", u" / / ", u"\u2029/"}) {
        const LNGedcomName name(value);
        EXPECT_FALSE(name.parts().has_value());
        EXPECT_EQ(name.surnameIndex(), -1);
        EXPECT_TRUE(name.givenNames().empty());
        EXPECT_EQ(name.firstInitial(), u'0');
        EXPECT_EQ(name.key(), u"0Z999");
        EXPECT_EQ(name.description(), u"");
    }
}

TEST(LNGedcomName, MakesKeysOfUpperCaseInitialAndSoundex) {
    EXPECT_EQ(LNGedcomName(u"John /Smith/").key(), u"JS530");
    EXPECT_EQ(LNGedcomName(u"john /smith/").key(), u"JS530");
    EXPECT_EQ(LNGedcomName(u"John").key(), u"JZ999");
    EXPECT_EQ(LNGedcomName(u"/Smith/").key(), u"0S530");
    EXPECT_EQ(LNGedcomName(u"/Smith/ jr").key(), u"JS530");
    // Non-ASCII initials keep their low 8 bits, read as Latin-1, then upper-cased.
    EXPECT_EQ(LNGedcomName(u"édouard /Smith/").key(), u"ÉS530");
    EXPECT_EQ(LNGedcomName(u"Šimon /Novak/").key(), u"`N120"); // U+0160
    EXPECT_EQ(LNGedcomName(u"šimon /Novak/").key(), u"AN120"); // U+0161
    EXPECT_EQ(LNGedcomName(u"ßenn /Smith/").key(), u"SSS530");
    EXPECT_EQ(LNGedcomName(u"ÿves /Smith/").key(), u"\u0178S530");
    // The surname is upper-cased by the full mapping before it is coded.
    EXPECT_EQ(LNGedcomName(u"Jan /ßmith/").key(), u"JS253");
    EXPECT_EQ(LNGedcomName(u"Émile /éclair/").key(), u"ÉÉ246");
}

TEST(LNGedcomName, CodesSurnamesWithoutMergingAcrossUncodedLetters) {
    const std::pair<const char16_t*, const char16_t*> examples[] = {
        {u"Smith", u"S530"},      {u"Smyth", u"S530"},    {u"Smithe", u"S530"},  {u"Schmidt", u"S253"},
        {u"Lee", u"L000"},        {u"Lloyd", u"L430"},    {u"Pfister", u"P123"}, {u"Ashcraft", u"A226"},
        {u"Tymczak", u"T522"},    {u"Honeyman", u"H555"}, {u"O'Brien", u"O165"}, {u"Tuttle", u"T340"},
        {u"Washington", u"W252"}, {u"X", u"X000"},        {u"x", u"X000"},       {u"van der Berg", u"V536"},
        {u"'t Hooft", u"'313"}};
    for (const auto& [surname, code] : examples)
        EXPECT_EQ(LNGedcomName(String(u"/") + surname + u"/").soundex(), code) << toUtf8(surname);
}

TEST(LNGedcomName, CodesEachLetterOnceUntilAnUncodedCharacterResets) {
    char16_t last = 0;
    EXPECT_EQ(codeof(u'S', &last), u'2');
    EXPECT_EQ(codeof(u'C', &last), 0); // same code as S
    EXPECT_EQ(last, u'2');
    EXPECT_EQ(codeof(u'H', &last), 0);
    EXPECT_EQ(last, 0);
    EXPECT_EQ(codeof(u'K', &last), u'2');
    EXPECT_EQ(codeof(u'R', &last), u'6');
    // Only upper-case A to Z have codes.
    for (char16_t uncoded : {u'r', u'1', u' ', u'\'', u'\u00C7', u'@', u'['}) {
        last = u'6';
        EXPECT_EQ(codeof(uncoded, &last), 0);
        EXPECT_EQ(last, 0);
    }
}

TEST(LNGedcomName, FormatsSurnameFirstOrLast) {
    EXPECT_EQ(format(u"John /Smith/ Jr", true, false), u"Smith, John Jr");
    EXPECT_EQ(format(u"John /Smith/ Jr", true, true), u"SMITH, John Jr");
    EXPECT_EQ(format(u"John /Smith/ Jr", false, false), u"John Smith Jr");
    EXPECT_EQ(format(u"John /Smith/ Jr", false, true), u"John SMITH Jr");
    EXPECT_EQ(format(u"/Smith/ John", false, false), u"Smith John");
    EXPECT_EQ(format(u"Hans /von der Straße/", true, true), u"VON DER STRASSE, Hans");
    EXPECT_EQ(format(u"/Smith/", true, false), u"Smith");
    EXPECT_EQ(format(u"/Smith/", false, true), u"SMITH");
    EXPECT_EQ(format(u"John", true, true), u"____, John");
    EXPECT_EQ(format(u"John", false, true), u"John");
    EXPECT_EQ(format(u"", true, false), u"____");
    EXPECT_EQ(format(u"", false, false), u"");
    const LNGedcomName longName(u"Maximilian /Smith/");
    EXPECT_EQ(longName.formatSurnameFirst(true, false, 5), u"Smith, Maximilian");
}

TEST(LNGedcomName, WritesTheCompactFormThatParsesBack) {
    for (auto [value, text] :
         {std::pair<const char16_t*, const char16_t*>{u"John /Smith/ Jr", u"John/Smith/Jr"},
          {u"John  /Smith/", u"John/Smith/"},
          {u"/Smith/ John  Paul", u"/Smith/John Paul"},
          {u"/ van  Berg /", u"/van Berg/"},
          {u"John  Paul", u"John Paul"}}) {
        const LNGedcomName name(value);
        EXPECT_EQ(name.description(), text);
        const LNGedcomName reparsed(name.description());
        EXPECT_EQ(reparsed.parts(), name.parts());
        EXPECT_EQ(reparsed.surnameIndex(), name.surnameIndex());
    }
}

TEST(LNGedcomName, MatchesTypedPiecesWithLettersLeftOut) {
    EXPECT_TRUE(contains(u"J /Sm/", u"John /Smith/"));
    EXPECT_TRUE(contains(u"Jn /Smth/", u"John /Smith/"));
    EXPECT_TRUE(contains(u"Jon /Smith/", u"John /Smith/"));
    EXPECT_FALSE(contains(u"A /Smith/", u"John /Smith/"));
    EXPECT_FALSE(contains(u"John /Smyth/", u"John /Smith/"));
    EXPECT_FALSE(contains(u"John /Smithe/", u"John /Smith/"));
    EXPECT_FALSE(contains(u"John /mith/", u"John /Smith/"));
    // Case never matters; the full mapping applies (SS is the upper case of ß).
    EXPECT_TRUE(contains(u"JOHN /SMITH/", u"john /smith/"));
    EXPECT_TRUE(contains(u"jos /müll/", u"JOSÉ /MÜLLER/"));
    EXPECT_TRUE(contains(u"Hans /Strass/", u"Hans /Straße/"));
}

TEST(LNGedcomName, MatchesGivenNamesInOrderEachOnce) {
    EXPECT_FALSE(contains(u"Paul John /Smith/", u"John Paul /Smith/"));
    EXPECT_TRUE(contains(u"John Paul /Smith/", u"John Peter Paul /Smith/"));
    EXPECT_TRUE(contains(u"John Paul /Smith/", u"John /Smith/ Peter Paul"));
    EXPECT_FALSE(contains(u"Jo Jo /Smith/", u"John /Smith/"));
    EXPECT_TRUE(contains(u"Jo Jo /Smith/", u"John Joseph /Smith/"));
    EXPECT_FALSE(contains(u"Paul /Smith/", u"/Smith/"));
    // Without given names the surname decides alone; without a surname nothing matches.
    EXPECT_TRUE(contains(u"/Smit/", u"John Paul /Smith/"));
    EXPECT_TRUE(contains(u"/Smit/", u"/Smith/"));
    EXPECT_FALSE(contains(u"John", u"John"));
    EXPECT_FALSE(contains(u"John /Smith/", u"John"));
    EXPECT_FALSE(contains(u"", u""));
}

TEST(LNGedcomName, NeverMatchesAnAbsentPiece) {
    EXPECT_FALSE(pieceMatch(std::nullopt, std::nullopt));
    EXPECT_FALSE(pieceMatch(std::nullopt, u"Smith"));
    EXPECT_FALSE(pieceMatch(u"S", std::nullopt));
    EXPECT_TRUE(pieceMatch(u"S", u"Smith"));
    EXPECT_TRUE(pieceMatch(u"Smith", u"Smith"));
    EXPECT_FALSE(pieceMatch(u"Smiths", u"Smith"));
    EXPECT_FALSE(pieceMatch(u"s", u"Smith")); // case is the caller's business
}

TEST(LNGedcomName, SharesTheLineTextAndGivesTheSameParts) {
    for (const char16_t* text : {u"John Paul /van  der Berg/ Jr", u"/Smith/", u"Ann", u"", u"  /  / x/y/z",
                                 u"a\u2028b /c\u0085d/ e"}) {
        const SharedString value(text);
        const LNGedcomName shared(value);
        const LNGedcomName copied{StringView(text)};
        EXPECT_EQ(shared.original().data(), value.view().data()) << toUtf8(text);
        EXPECT_EQ(shared.parts(), copied.parts()) << toUtf8(text);
        EXPECT_EQ(shared.numParts(), copied.parts() ? copied.parts()->size() : 0u);
        EXPECT_EQ(shared.description(), copied.description());
        EXPECT_EQ(shared.key(), copied.key());
    }
    const LNGedcomName absent{SharedString()};
    EXPECT_EQ(absent.original(), u"");
    EXPECT_FALSE(absent.parts().has_value());
    EXPECT_EQ(absent.key(), u"0Z999");
}
