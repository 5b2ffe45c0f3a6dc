#include "RecordIndex.h"
#include "GedcomTestText.h"
#include "LNGedcomRecord.h"

#include <gtest/gtest.h>

#include <string>

using namespace kinloom;

namespace {

std::shared_ptr<LNGedcomRecord> recordWithKey(const std::string& key) {
    return LNGedcomRecord::initWithRoot(
        makeRef<LNGedcomNode>(0, SharedString(fromUtf8(key)), SharedString(u"INDI"), SharedString()),
        nullptr);
}

} // namespace

TEST(RecordIndex, FindsEveryKeyThroughGrowthAndKeepsTheFirstRecord) {
    RecordIndex<LNGedcomRecord> index;
    EXPECT_EQ(index.find(u"@I1@"), nullptr);

    std::vector<std::shared_ptr<LNGedcomRecord>> records;
    for (int i = 0; i < 5000; ++i) {
        records.push_back(recordWithKey("@I" + std::to_string(i) + "@"));
        EXPECT_TRUE(index.tryFile(records.back()));
    }
    auto second = recordWithKey("@I17@");
    EXPECT_FALSE(index.tryFile(second));
    EXPECT_EQ(index.size(), 5000u);
    for (int i = 0; i < 5000; i += 7)
        EXPECT_EQ(index.find(fromUtf8("@I" + std::to_string(i) + "@")), records[static_cast<std::size_t>(i)]);
    EXPECT_EQ(index.find(u"@I17@"), records[17]);

    // Exact, case-sensitive keys: neighbours and prefixes find nothing.
    EXPECT_EQ(index.find(u"@i17@"), nullptr);
    EXPECT_EQ(index.find(u"@I17"), nullptr);
    EXPECT_EQ(index.find(u"@I5000@"), nullptr);
    EXPECT_EQ(index.find(u""), nullptr);
}

TEST(RecordIndex, ReservedRoomHoldsTheRecordsWithoutLosingAny) {
    RecordIndex<LNGedcomRecord> index;
    index.reserve(3);
    auto a = recordWithKey("@A@"), b = recordWithKey("@B@"), c = recordWithKey("@C@"),
         d = recordWithKey("@D@");
    for (const auto& record : {a, b, c, d})
        EXPECT_TRUE(index.tryFile(record));
    EXPECT_EQ(index.find(u"@A@"), a);
    EXPECT_EQ(index.find(u"@D@"), d);
}
