#include "GedcomTestTrees.h"
#include "LNGedcomSpecification.h"
#include "ReferenceValidator.h"

#include "TextServices.h"

#include <gtest/gtest.h>

#include <random>

using namespace kinloom;
using kinloom::testing::marksOf;
using kinloom::testing::recordsFromText;

namespace {

Ref<LNGedcomNode> record(StringView text) {
    std::vector<Ref<LNGedcomNode>> records = recordsFromText(text);
    EXPECT_EQ(records.size(), 1u);
    return records.empty() ? Ref<LNGedcomNode>() : records.front();
}

std::unique_ptr<LNGedcomSpecification> grammar(StringView text) {
    auto specification = LNGedcomSpecification::initFromString(text);
    EXPECT_TRUE(specification) << toUtf8(text);
    return specification;
}

std::string validated(const LNGedcomSpecification& specification, StringView text) {
    Ref<LNGedcomNode> root = record(text);
    specification.validateRecord(root.get());
    return marksOf(root.get());
}

const char16_t* personGrammar = u"indi_record : INDI [ NAME [ GIVN SURN ] SEX ] ;";

} // namespace

TEST(LNGedcomSpecificationValidation, MarksAnAllowedRecordGoodThroughout) {
    auto specification = grammar(personGrammar);
    EXPECT_EQ(validated(*specification, u"0 @I1@ INDI\n1 NAME Ann /Lee/\n2 GIVN Ann\n1 SEX F"),
              "INDI good\n  NAME good\n    GIVN good\n  SEX good\n");
    // Order, repetition and values do not matter.
    EXPECT_EQ(validated(*specification,
                        u"0 @I1@ INDI\n1 SEX whatever\n1 SEX\n1 NAME\n2 SURN\n2 SURN x\n2 GIVN\n"
                        u"1 NAME\n"),
              "INDI good\n  SEX good\n  SEX good\n  NAME good\n    SURN good\n    SURN good\n    GIVN good\n"
              "  NAME good\n");
    EXPECT_EQ(validated(*specification, u"0 @I1@ INDI"), "INDI good\n");
}

TEST(LNGedcomSpecificationValidation, MarksAWrongLineBadAndTheLinesAboveItBadChild) {
    auto specification = grammar(personGrammar);
    EXPECT_EQ(validated(*specification, u"0 @I1@ INDI\n1 NAME Ann /Lee/\n2 GIVN Ann\n2 NPFX Dr\n1 SEX F"),
              "INDI badchild\n  NAME badchild\n    GIVN good\n    NPFX bad\n  SEX good\n");
    EXPECT_EQ(
        validated(*specification, u"0 @I1@ INDI\n1 NAME\n1 BIRT\n2 DATE 1900\n3 TIME x\n2 NAME\n1 SEX"),
        "INDI badchild\n  NAME good\n  BIRT bad\n    DATE bad\n      TIME bad\n    NAME bad\n  SEX good\n");
    // Tags compare exactly.
    EXPECT_EQ(validated(*specification, u"0 @I1@ INDI\n1 Name"), "INDI badchild\n  Name bad\n");
}

TEST(LNGedcomSpecificationValidation, MarksARecordWithoutRecordRuleBadThroughout) {
    auto empty = grammar(u"");
    EXPECT_EQ(validated(*empty, u"0 @I1@ INDI\n1 NAME\n2 GIVN"), "INDI bad\n  NAME bad\n    GIVN bad\n");
    auto person = grammar(personGrammar);
    EXPECT_EQ(validated(*person, u"0 @F1@ FAM\n1 HUSB @I1@"), "FAM bad\n  HUSB bad\n");
    // A rule whose name lacks "record" does not make a record rule.
    auto plain = grammar(u"indi : INDI [ NAME ] ;");
    EXPECT_EQ(validated(*plain, u"0 @I1@ INDI\n1 NAME"), "INDI bad\n  NAME bad\n");
}

TEST(LNGedcomSpecificationValidation, ReadsRuleItemsAndTagSets) {
    auto specification = grammar(u"indi_record : INDI [ name event ] ;"
                                 u"name : NAME [ ( GIVN SURN ) [ note ] ] ;"
                                 u"event : ( BIRT DEAT ) [ DATE note ] nothere ;"
                                 u"note : NOTE [ CONT ] ;");
    EXPECT_EQ(
        validated(*specification, u"0 @I1@ INDI\n1 NAME\n2 SURN\n3 NOTE\n4 CONT\n1 DEAT\n2 NOTE\n2 DATE"),
        "INDI good\n  NAME good\n    SURN good\n      NOTE good\n        CONT good\n  DEAT good\n"
        "    NOTE good\n    DATE good\n");
    // A rule name the grammar does not define matches nothing; neither does a rule's own name.
    EXPECT_EQ(validated(*specification, u"0 @I1@ INDI\n1 nothere\n1 event\n1 NOTE"),
              "INDI badchild\n  nothere bad\n  event bad\n  NOTE bad\n");
}

TEST(LNGedcomSpecificationValidation, IgnoresTheGroupOfARuleItem) {
    auto specification = grammar(u"indi_record : INDI [ name [ SOUR ] ] ; name : NAME [ GIVN ] ;");
    EXPECT_EQ(validated(*specification, u"0 @I1@ INDI\n1 NAME\n2 GIVN\n2 SOUR"),
              "INDI badchild\n  NAME badchild\n    GIVN good\n    SOUR bad\n");
}

TEST(LNGedcomSpecificationValidation, KeepsTheMarksOfEveryAttemptAtASharedTag) {
    auto specification =
        grammar(u"indi_record : INDI [ note ] ; note : NOTE [ SOUR [ PAGE ] ] NOTE [ CONT ] ;");
    // Each line below fits one of the two NOTE alternatives, though neither fits all.
    EXPECT_EQ(validated(*specification, u"0 @I1@ INDI\n1 NOTE\n2 SOUR\n3 PAGE\n2 CONT"),
              "INDI good\n  NOTE good\n    SOUR good\n      PAGE good\n    CONT good\n");
    EXPECT_EQ(
        validated(*specification, u"0 @I1@ INDI\n1 NOTE\n2 SOUR\n3 CONT\n2 CONT\n2 PAGE"),
        "INDI badchild\n  NOTE badchild\n    SOUR badchild\n      CONT bad\n    CONT good\n    PAGE bad\n");
}

TEST(LNGedcomSpecificationValidation, ReportsWhetherAListOrALineFits) {
    auto specification = grammar(u"indi_record : INDI [ note ] ; note : NOTE [ SOUR ] NOTE [ CONT ] ;");
    const LNNode* group = specification->recordMap().at(SharedString(u"INDI")).get();
    const LNNode* note = specification->ruleMap().at(SharedString(u"note")).get();

    Ref<LNGedcomNode> both = record(u"0 NOTE\n1 SOUR\n1 CONT");
    EXPECT_FALSE(specification->validateNode(both.get(), note));
    EXPECT_EQ(marksOf(both.get()), "NOTE good\n  SOUR good\n  CONT good\n");
    EXPECT_FALSE(specification->validateNode(both.get(), group));

    Ref<LNGedcomNode> one = record(u"0 NOTE\n1 CONT\n1 CONT");
    EXPECT_TRUE(specification->validateNode(one.get(), note));
    EXPECT_TRUE(specification->validateNode(one.get(), group));

    Ref<LNGedcomNode> other = record(u"0 SOUR\n1 CONT");
    EXPECT_FALSE(specification->validateNode(other.get(), note));
    EXPECT_EQ(marksOf(other.get()), "SOUR -\n  CONT -\n");

    Ref<LNGedcomNode> indi = record(u"0 INDI\n1 NOTE\n2 CONT\n1 NOTE\n2 SOUR");
    EXPECT_TRUE(specification->validateList(indi.get(), group));
    Ref<LNGedcomNode> wrong = record(u"0 INDI\n1 NOTE\n2 CONT\n1 SEX");
    EXPECT_FALSE(specification->validateList(wrong.get(), group));
    EXPECT_EQ(marksOf(wrong.get()), "INDI good\n  NOTE good\n    CONT good\n  SEX -\n");
    Ref<LNGedcomNode> lone = record(u"0 INDI");
    EXPECT_TRUE(specification->validateList(lone.get(), nullptr));
    EXPECT_EQ(marksOf(lone.get()), "INDI good\n");
}

TEST(LNGedcomSpecificationValidation, EndsCyclesThroughRuleItemsAlone) {
    auto specification = grammar(u"indi_record : INDI [ a self ] ; a : b SEX ; b : c a NAME ; c : a b ;"
                                 u"self : self ;");
    EXPECT_EQ(validated(*specification, u"0 @I1@ INDI\n1 NAME\n1 SEX\n1 BIRT"),
              "INDI badchild\n  NAME good\n  SEX good\n  BIRT bad\n");
    Ref<LNGedcomNode> name = record(u"0 NAME");
    EXPECT_FALSE(
        specification->validateNode(name.get(), specification->ruleMap().at(SharedString(u"self")).get()));
    EXPECT_TRUE(
        specification->validateNode(name.get(), specification->ruleMap().at(SharedString(u"c")).get()));
}

TEST(LNGedcomSpecificationValidation, MarksWithTheSharedStringsAndGivesTheSameMarksAgain) {
    auto specification = grammar(personGrammar);
    Ref<LNGedcomNode> root = record(u"0 @I1@ INDI\n1 NAME\n2 NPFX\n1 BIRT\n1 SEX");
    specification->validateRecord(root.get());
    std::string first = marksOf(root.get());
    specification->validateRecord(root.get());
    EXPECT_EQ(marksOf(root.get()), first);
    auto sameText = [](const LNNode* node, const SharedString& mark) {
        return LNGedcomSpecification::markOf(node)->view().data() == mark.view().data();
    };
    EXPECT_TRUE(sameText(root.get(), LNGedcomSpecification::badChildMark()));
    EXPECT_TRUE(sameText(root->childAt(1), LNGedcomSpecification::badMark()));
    EXPECT_TRUE(sameText(root->childAt(2), LNGedcomSpecification::goodMark()));
}

TEST(LNGedcomSpecificationValidation, SetBadsAndSetBadChildrenOnlyFillIn) {
    Ref<LNGedcomNode> root = record(u"0 INDI\n1 NAME\n2 GIVN\n1 BIRT\n2 DATE");
    root->setAttribute(SharedString(u"good"), u"validcode");
    root->childAt(0)->setAttribute(SharedString(u"good"), u"validcode");
    root->childAt(1)->childAt(0)->setAttribute(SharedString(u"good"), u"validcode");
    LNGedcomSpecification::setBads(root.get());
    EXPECT_EQ(marksOf(root.get()), "INDI good\n  NAME good\n    GIVN bad\n  BIRT bad\n    DATE good\n");
    LNGedcomSpecification::setBadChildren(root.get());
    // DATE stays "good": nothing below a "bad" line is visited.
    EXPECT_EQ(marksOf(root.get()),
              "INDI badchild\n  NAME badchild\n    GIVN bad\n  BIRT bad\n    DATE good\n");
}

TEST(LNGedcomSpecificationValidation, ValidatesRecordsAMillionLevelsDeep) {
    auto specification =
        grammar(u"indi_record : INDI [ note ] ; note : NOTE [ sour CONT ] ; sour : SOUR [ note ] ;");
    constexpr int depth = 1000000;
    Ref<LNGedcomNode> root = makeRef<LNGedcomNode>(0, SharedString(u"INDI"), SharedString());
    LNNode* bottom = root.get();
    for (int level = 1; level <= depth; ++level) {
        const char16_t* tag = level == depth ? u"DATE" : level % 2 ? u"NOTE" : u"SOUR";
        Ref<LNGedcomNode> node = makeRef<LNGedcomNode>(level, SharedString::interned(tag), SharedString());
        bottom->addChild(node);
        bottom = node.get();
    }
    auto markAt = [&root](int level) {
        const LNNode* node = root.get();
        for (int i = 0; i < level; ++i)
            node = node->childAt(0);
        return toUtf8(*LNGedcomSpecification::markOf(node));
    };

    specification->validateRecord(root.get());
    EXPECT_EQ(markAt(0), "badchild");
    EXPECT_EQ(markAt(depth - 1), "badchild");
    EXPECT_EQ(markAt(depth), "bad");
    const LNNode* record = specification->recordMap().begin()->second.get();
    EXPECT_FALSE(specification->validateNode(root->childAt(0), record));

    bottom->setName(SharedString(u"SOUR"));
    EXPECT_TRUE(specification->validateNode(root->childAt(0), record));
    specification->validateRecord(root.get());
    EXPECT_EQ(markAt(0), "good");
    EXPECT_EQ(markAt(depth), "good");
}

namespace {

/// A random grammar over a few tags, with shared tags, tag sets, nested
/// groups, rule items (cycles and undefined names included).
String randomGrammar(std::mt19937& random) {
    const char* tags[] = {"AA", "BB", "CC", "DD"};
    const char* rules[] = {"p", "q", "s", "missing"};
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::function<std::string(int)> items = [&](int depth) {
        std::string out;
        int count = pick(depth == 0 ? 5 : 4);
        for (int i = 0; i < count; ++i) {
            int kind = pick(6);
            if (kind < 3) {
                out += std::string(" ") + tags[pick(4)];
            } else if (kind == 3) {
                out += " (";
                for (int t = pick(3) + 1; t > 0; --t)
                    out += std::string(" ") + tags[pick(4)];
                out += " )";
            } else {
                out += std::string(" ") + rules[pick(4)];
                continue; // a group after a rule item is allowed but unused; keep some anyway below
            }
            if (depth < 3 && pick(2)) out += " [" + items(depth + 1) + " ]";
        }
        if (pick(8) == 0) out += std::string(" ") + rules[pick(3)] + " [ AA ]";
        return out;
    };
    std::string text = "r_record : RR [" + items(0) + " ] ;";
    for (const char* rule : {"p", "q", "s"})
        text += std::string("\n") + rule + " :" + items(0) + " ;";
    return fromUtf8(text);
}

String randomRecord(std::mt19937& random) {
    const char* tags[] = {"AA", "BB", "CC", "DD", "EE"};
    String text = u"0 RR";
    int level = 0;
    for (int lines = static_cast<int>(random() % 12); lines > 0; --lines) {
        level = 1 + static_cast<int>(random() % static_cast<unsigned>(std::min(level + 1, 4)));
        text += u"\n" + fromUtf8(std::to_string(level) + " " + tags[random() % 5]);
    }
    return text;
}

} // namespace

TEST(LNGedcomSpecificationValidation, MarksAndAnswersAsMatchingEveryAlternativeAfreshWould) {
    std::mt19937 random(20240607);
    int compared = 0;
    std::unique_ptr<LNGedcomSpecification> previous = LNGedcomSpecification::initFromString(u"");
    for (int round = 0; round < 400; ++round) {
        String grammarText = randomGrammar(random);
        auto specification = LNGedcomSpecification::initFromString(grammarText);
        ASSERT_TRUE(specification) << toUtf8(grammarText);
        kinloom::testing::ReferenceValidator reference(*specification);
        kinloom::testing::ReferenceValidator previousReference(*previous);
        for (int r = 0; r < 10; ++r) {
            String recordText = randomRecord(random);
            Ref<LNGedcomNode> mine = record(recordText);
            Ref<LNGedcomNode> theirs = record(recordText);
            // Every other record carries the marks of another grammar first:
            // marks are only ever set, so they take part.
            if (r % 2) {
                previous->validateRecord(mine.get());
                previousReference.validateRecord(theirs.get());
            }
            specification->validateRecord(mine.get());
            reference.validateRecord(theirs.get());
            ASSERT_EQ(marksOf(mine.get()), marksOf(theirs.get())) << toUtf8(grammarText) << "\n"
                                                                  << toUtf8(recordText);

            // The answers for a line against every grammar node that has alternatives.
            if (mine->numChildren() == 0) continue;
            Ref<LNGedcomNode> line = record(recordText);
            Ref<LNGedcomNode> lineAgain = record(recordText);
            for (const auto& [name, rule] : specification->ruleMap()) {
                const LNNode* groups[] = {rule.get(), rule->numChildren() ? rule->childAt(0) : nullptr};
                for (const LNNode* group : groups) {
                    if (!group) continue;
                    LNNode* child = line->childAt(0);
                    LNNode* childAgain = lineAgain->childAt(0);
                    ASSERT_EQ(specification->validateNode(child, group),
                              reference.validateNode(childAgain, group))
                        << toUtf8(grammarText) << "\n"
                        << toUtf8(recordText);
                    ASSERT_EQ(specification->validateList(child, group),
                              reference.validateList(childAgain, group))
                        << toUtf8(grammarText) << "\n"
                        << toUtf8(recordText);
                    ASSERT_EQ(marksOf(child), marksOf(childAgain));
                    ++compared;
                }
            }
        }
        previous = std::move(specification);
    }
    EXPECT_GT(compared, 1000);
}
