// Ancestors by Sosa number and descendants by d'Aboville number, on a family
// with missing parents, two marriages, a child listed twice, cousins who
// married, a person who is his own grandfather, and a chain 100,000 deep.

#include "recordset/LNRelationWalk.h"
#include "GedcomTestText.h"
#include "file/LNGedcomFile.h"

#include <gtest/gtest.h>

using namespace kinloom;

namespace {

using Walk = LNWalkKind;

// Each entry as "NUMBER KEY", or "NUMBER KEY =FIRST" for a repeat.
std::vector<std::string> walked(const LNGedcomRecordSet& records, Walk walk, const char* key,
                                int generations) {
    const auto& indi = records.indiWithKey(fromUtf8(key));
    const std::vector<LNWalkEntry> entries = walkOfIndi(walk, records, *indi, generations);
    auto number = [&](int i) { return walkNumber(walk, entries, i); };
    std::vector<std::string> lines;
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const LNWalkEntry& entry = entries[static_cast<std::size_t>(i)];
        lines.push_back(number(i) + " " + toUtf8(stripAts(entry.indi->key().view())) +
                        (entry.repeatOf >= 0 ? " =" + number(entry.repeatOf) : ""));
    }
    return lines;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(LNRelationWalk, NumbersAncestorsAndDescendantsMarkingEveryPersonMetAgain) {
    LogCapture log;
    LNGedcomFile file("tests/data/chart.ged");
    const LNGedcomRecordSet& records = *file.recordSet();
    const struct {
        Walk walk;
        const char* key;
        int generations;
        Lines lines;
    } cases[] = {
        {Walk::ancestors,
         "@I11@",
         4,
         {"1 I11", "2 I8", "3 I10", "4 I3", "5 I6", "6 I9", "7 I4", "8 I1", "9 I2", "14 I1 =8", "15 I2 =9"}},
        {Walk::ancestors, "@I11@", 2, {"1 I11", "2 I8", "3 I10"}},
        {Walk::ancestors, "@I11@", 1, {"1 I11"}},
        {Walk::ancestors, "@I11@", 0, {}},
        {Walk::ancestors, "@I12@", 64, {"1 I12", "2 I13", "4 I12 =1"}},
        {Walk::descendants,
         "@I1@",
         64,
         {"1 I1", "1+ I2", "1.1 I3", "1.1+ I5", "1.1.1 I7", "1.1.2 I7 =1.1.1", "1.1+ I6", "1.1.3 I8",
          "1.1.3+ I10", "1.1.3.1 I11", "1.2 I4", "1.2+ I9", "1.2.1 I10"}},
        {Walk::descendants,
         "@I1@",
         2,
         {"1 I1", "1+ I2", "1.1 I3", "1.1+ I5", "1.1+ I6", "1.2 I4", "1.2+ I9"}},
        {Walk::descendants, "@I1@", 1, {"1 I1", "1+ I2"}},
        {Walk::descendants, "@I12@", 64, {"1 I12", "1.1 I13", "1.1.1 I12 =1"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(walked(records, c.walk, c.key, c.generations), c.lines) << c.key << " " << c.generations;
}

TEST(LNRelationWalk, StopsAChain100000GenerationsDeepAtTheGenerationAsked) {
    constexpr int depth = 100000;
    std::string text = "0 HEAD\n";
    for (int i = 0; i < depth; ++i) {
        const std::string n = std::to_string(i);
        text += "0 @I" + n + "@ INDI\n1 SEX M\n1 FAMS @F" + n + "@\n";
        if (i > 0) text += "1 FAMC @F" + std::to_string(i - 1) + "@\n";
        text += "0 @F" + n + "@ FAM\n1 HUSB @I" + n + "@\n1 CHIL @I" + std::to_string(i + 1) + "@\n";
    }
    test::LoadedText loaded(fromUtf8(text + "0 TRLR\n"));
    const auto& last = loaded.set.indiWithKey(fromUtf8("@I" + std::to_string(depth - 1) + "@"));
    const std::vector<LNWalkEntry> ancestors = ancestorsOfIndi(loaded.set, *last, 100);
    ASSERT_EQ(ancestors.size(), 64u) << "clamped to 64 generations";
    EXPECT_EQ(ancestors.back().number, std::uint64_t{1} << 63);
    EXPECT_EQ(toUtf8(ancestors.back().indi->key().view()), "@I" + std::to_string(depth - 64) + "@");

    const std::vector<LNWalkEntry> descendants =
        descendantsOfIndi(loaded.set, *loaded.set.indiWithKey(u"@I0@"), 64);
    ASSERT_EQ(descendants.size(), 64u);
    EXPECT_EQ(dAbovilleNumber(descendants, 63).size(), 1 + 2 * 63u);
    EXPECT_EQ(descendants.back().generation, 64);
}
