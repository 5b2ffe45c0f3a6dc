#include "LNGedcomRecord.h"
#include "GedcomTestText.h"

#include <gtest/gtest.h>

using namespace kinloom;
using kinloom::test::GedcomLines;

namespace {

std::shared_ptr<LNGedcomRecord> firstRecord(const GedcomLines& lines) {
    auto records = LNGedcomRecord::gedcomRecordsFromStrings(lines.views, nullptr);
    return records && !records->empty() ? (*records)[0] : nullptr;
}

std::vector<int> lineNumbers(const std::vector<LNGedcomNode*>& nodes) {
    std::vector<int> numbers;
    for (const LNGedcomNode* node : nodes)
        numbers.push_back(node->lineNumber());
    return numbers;
}

} // namespace

TEST(LNGedcomRecord, FindsNodesByTagInPreOrder) {
    GedcomLines lines{"0 @I1@ INDI", "1 SOUR @S1@", "1 BIRT",      "2 SOUR @S2@", "3 SOUR nested",
                      "1 sour low",  "1 DEAT",      "2 SOUR @S3@", "1 NOTE x",    "2 CONT SOUR"};
    auto person = firstRecord(lines);
    EXPECT_EQ(lineNumbers(person->getNodesWithTag(u"SOUR")), (std::vector<int>{2, 4, 5, 8}));
    EXPECT_EQ(lineNumbers(person->getNodesWithTag(u"INDI")), std::vector<int>{1});
    EXPECT_TRUE(person->getNodesWithTag(u"SOU").empty());

    std::vector<LNGedcomNode*> nodes;
    getNodesWithName(nodes, u"SOUR", nullptr);
    EXPECT_TRUE(nodes.empty());
}

TEST(LNGedcomRecord, CollectsCrossReferenceValuesIncludingTheRoot) {
    GedcomLines lines{"0 @N1@ NOTE @I1@", "1 SOUR @S1@",  "2 PAGE @@",
                      "2 NOTE @N2@ more", "1 CONT x@F1@", "1 SOUR @@@"};
    auto note = firstRecord(lines);
    std::vector<LNGedcomNode*> nodes;
    note->getNodesWithXrefValues(nodes);
    EXPECT_EQ(lineNumbers(nodes), (std::vector<int>{1, 2, 6}));
    note->getNodesWithXrefValues(nodes);
    EXPECT_EQ(nodes.size(), 6u) << "appends to the caller's list";
}

TEST(LNGedcomRecord, KeepsAttributesOnlyUnderNonEmptyKeys) {
    GedcomLines lines{"0 @I1@ INDI"};
    auto person = firstRecord(lines);
    EXPECT_EQ(person->attributes(), nullptr);
    EXPECT_EQ(person->attributeForKey(u"name"), nullptr);

    person->setAttribute(SharedString(u"ignored"), u"");
    EXPECT_EQ(person->attributes(), nullptr);

    person->setAttribute(SharedString(u"first"), u"name");
    person->setAttribute(NoneMarker{}, u"birthYear");
    person->setAttribute(SharedString(u"second"), u"name");
    EXPECT_EQ(person->attributes()->size(), 2u);
    EXPECT_EQ(*attributeString(person->attributeForKey(u"name")), u"second");
    EXPECT_TRUE(std::holds_alternative<NoneMarker>(*person->attributeForKey(u"birthYear")));
    EXPECT_EQ(person->attributeForKey(u""), nullptr);
    EXPECT_EQ(person->attributeForKey(u"deathYear"), nullptr);
}

TEST(LNGedcomRecord, TakesKeyFromRootAndNeedsARoot) {
    EXPECT_EQ(LNGedcomRecord::initWithRoot(nullptr, nullptr), nullptr);
    EXPECT_EQ(LNGedcomRecord::recordWithRoot(nullptr, nullptr), nullptr);

    auto root = makeRef<LNGedcomNode>(0, SharedString(u"@X1@"), SharedString(u"INDI"), SharedString(), 7);
    auto record = LNGedcomRecord::initWithRoot(root, nullptr);
    EXPECT_EQ(typeid(*record), typeid(LNGedcomRecord)) << "the base initialiser makes a base record";
    EXPECT_EQ(record->key(), u"@X1@");
    EXPECT_EQ(record->lineNumber(), 7);
    EXPECT_EQ(record->description(), u"0 @X1@ INDI\n");
    record->setKey(SharedString(u"@X2@"));
    EXPECT_EQ(record->key(), u"@X2@");
    EXPECT_EQ(root->key(), u"@X1@");
}
