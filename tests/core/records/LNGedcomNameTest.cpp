// Names: their parts, keys, Soundex codes, display forms and partial match.

#include "records/LNGedcomName.h"
#include "support/TextServices.h"

#include <gtest/gtest.h>

using namespace kinloom;

namespace {

/// The parts with the surname in slashes: "John /van Berg/ Jr".
std::string parts(StringView value) {
    const LNGedcomName name(value);
    std::string text;
    const auto& words = name.parts();
    for (std::size_t i = 0; words && i < words->size(); ++i) {
        const std::string word = toUtf8((*words)[i]);
        text += (i ? " " : "") + (static_cast<int>(i) == name.surnameIndex() ? "/" + word + "/" : word);
    }
    return text;
}

bool contains(StringView partial, StringView full) {
    return LNGedcomName::containPartial(LNGedcomName(partial), LNGedcomName(full));
}

} // namespace

TEST(LNGedcomName, SplitsWordsAtAnyWhiteSpaceAndTakesTheFirstSlashPairAsSurname) {
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"  John   Paul  /Smith/ Jr ", "John Paul /Smith/ Jr"},
        {u"John /  van   der  Berg  / ", "John /van der Berg/"},
        {u"John/Smith/Jr", "John /Smith/ Jr"},
        {u"\tJohn\u3000\u00A0/van\u2028\u0085Berg\u2029/\fJr\v", "John /van Berg/ Jr"},
        {u"O'Brien\u200B-x", "O'Brien\u200B-x"},
        {u"A /B/ C /D/", "A /B/ C D"},
        {u"A/B/C//D///E", "A /B/ C D E"},
        {u"/Smith/ John", "/Smith/ John"},
        {u"John /Smith Jr", "John /Smith Jr/"}, // an unclosed surname runs to the end
        {u"John /Smith \u2028 ", "John /Smith/"},
        {u"John / \t /", "John"}, // an empty surname is none
        {u"John // Jr /Smith/", "John Jr Smith"},
        {u"\u2029/", ""}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(parts(value), expected) << toUtf8(value);
}

TEST(LNGedcomName, MakesKeysFromTheUpperCaseInitialAndTheSoundexCode) {
    // Non-ASCII initials keep their low 8 bits, read as Latin-1, then
    // upper-cased; the surname is upper-cased by the full mapping before it is coded.
    const std::pair<const char16_t*, const char16_t*> keys[] = {{u"John /Smith/", u"JS530"},
                                                                {u"john /smith/", u"JS530"},
                                                                {u"John", u"JZ999"},
                                                                {u"/Smith/", u"0S530"},
                                                                {u"", u"0Z999"},
                                                                {u"John //", u"JZ999"},
                                                                {u"édouard /Smith/", u"ÉS530"},
                                                                {u"Šimon /Novak/", u"`N120"},
                                                                {u"šimon /Novak/", u"AN120"},
                                                                {u"ßenn /Smith/", u"SSS530"},
                                                                {u"ÿves /Smith/", u"\u0178S530"},
                                                                {u"Jan /ßmith/", u"JS253"},
                                                                {u"Émile /éclair/", u"ÉÉ246"}};
    for (const auto& [value, key] : keys)
        EXPECT_EQ(LNGedcomName(value).key(), key) << toUtf8(value);
    const std::pair<const char16_t*, const char16_t*> codes[] = {
        {u"Smith", u"S530"},        {u"Smyth", u"S530"},   {u"Schmidt", u"S253"},  {u"Lee", u"L000"},
        {u"Lloyd", u"L430"},        {u"Pfister", u"P123"}, {u"Ashcraft", u"A226"}, {u"Tymczak", u"T522"},
        {u"Honeyman", u"H555"},     {u"O'Brien", u"O165"}, {u"Tuttle", u"T340"},   {u"x", u"X000"},
        {u"van der Berg", u"V536"}, {u"'t Hooft", u"'313"}};
    for (const auto& [surname, code] : codes)
        EXPECT_EQ(LNGedcomName(String(u"/") + surname + u"/").soundex(), code) << toUtf8(surname);
}

TEST(LNGedcomName, FormatsSurnameFirstOrLastAndWritesACompactFormThatParsesBack) {
    const std::tuple<const char16_t*, bool, bool, const char16_t*> forms[] = {
        {u"John /Smith/ Jr", true, false, u"Smith, John Jr"},
        {u"John /Smith/ Jr", true, true, u"SMITH, John Jr"},
        {u"John /Smith/ Jr", false, true, u"John SMITH Jr"},
        {u"/Smith/ John", false, false, u"Smith John"},
        {u"Hans /von der Straße/", true, true, u"VON DER STRASSE, Hans"},
        {u"/Smith/", true, false, u"Smith"},
        {u"John", true, true, u"____, John"},
        {u"John", false, true, u"John"},
        {u"", true, false, u"____"},
        {u"", false, false, u""}};
    for (const auto& [value, surnameFirst, upper, shown] : forms)
        EXPECT_EQ(LNGedcomName(value).formatSurnameFirst(surnameFirst, upper, 0), shown) << toUtf8(value);
    for (auto [value, compact] : {std::pair{u"John /Smith/ Jr", u"John/Smith/Jr"},
                                  {u"/ van  Berg /", u"/van Berg/"},
                                  {u"/Smith/ John  Paul", u"/Smith/John Paul"},
                                  {u"John  Paul", u"John Paul"}}) {
        EXPECT_EQ(LNGedcomName(value).description(), compact);
        EXPECT_EQ(parts(compact), parts(value));
    }
}

TEST(LNGedcomName, MatchesTypedPiecesInOrderWithLettersLeftOut) {
    const std::tuple<const char16_t*, const char16_t*, bool> cases[] = {
        {u"J /Sm/", u"John /Smith/", true},
        {u"Jn /Smth/", u"John /Smith/", true},
        {u"A /Smith/", u"John /Smith/", false},
        {u"John /Smyth/", u"John /Smith/", false},
        {u"John /Smithe/", u"John /Smith/", false},
        {u"John /mith/", u"John /Smith/", false},
        // Case never matters; the full mapping applies (SS is the upper case of ß).
        {u"JOHN /SMITH/", u"john /smith/", true},
        {u"jos /müll/", u"JOSÉ /MÜLLER/", true},
        {u"Hans /Strass/", u"Hans /Straße/", true},
        // Given names in order, each matched once.
        {u"Paul John /Smith/", u"John Paul /Smith/", false},
        {u"John Paul /Smith/", u"John /Smith/ Peter Paul", true},
        {u"Jo Jo /Smith/", u"John /Smith/", false},
        {u"Jo Jo /Smith/", u"John Joseph /Smith/", true},
        {u"Paul /Smith/", u"/Smith/", false},
        // Without given names the surname decides alone; without a surname nothing matches.
        {u"/Smit/", u"John Paul /Smith/", true},
        {u"John", u"John", false},
        {u"", u"", false}};
    for (const auto& [partial, full, match] : cases)
        EXPECT_EQ(contains(partial, full), match) << toUtf8(partial) << " in " << toUtf8(full);
    EXPECT_FALSE(pieceMatch(std::nullopt, u"Smith"));
    EXPECT_FALSE(pieceMatch(u"s", u"Smith")); // case is the caller's business
}
