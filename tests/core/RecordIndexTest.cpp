#include "RecordIndex.h"
#include "GedcomTestText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kinloom;

TEST(RecordIndex, FindsEveryKeyThroughGrowthAndKeepsTheFirstNumber) {
    RecordIndex index;
    EXPECT_EQ(index.find(u"@I1@"), RecordIndex::none);

    // Keys of every length around the ten code units a slot holds itself.
    std::vector<String> keys;
    for (int i = 0; i < 5000; ++i)
        keys.push_back(
            fromUtf8("@I" + std::string(static_cast<std::size_t>(i % 13), 'x') + std::to_string(i) + "@"));
    for (std::uint32_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(index.tryFile(keys[i], i), i);
    const String again = keys[17];
    EXPECT_EQ(index.tryFile(again, 9999), 17u);
    EXPECT_EQ(index.size(), 5000u);
    for (std::uint32_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(index.find(keys[i]), i);
    // The pass ahead visits every key in order, with its hash.
    std::size_t visits = 0;
    index.forEachAhead(
        keys.size(), [&](std::size_t i) -> const String& { return keys[i]; },
        [&](std::size_t i, StringView key, std::uint64_t hash) {
            EXPECT_EQ(i, visits++);
            EXPECT_EQ(key, StringView(keys[i]));
            EXPECT_EQ(index.find(key, hash), i);
        });
    EXPECT_EQ(visits, keys.size());

    // Exact, case-sensitive keys: neighbours and prefixes find nothing.
    EXPECT_EQ(index.find(u"@i17@"), RecordIndex::none);
    EXPECT_EQ(index.find(u"@I17"), RecordIndex::none);
    EXPECT_EQ(index.find(u"@I5000@"), RecordIndex::none);
    EXPECT_EQ(index.find(u"@Ixxxxxxxxxxx12@"), RecordIndex::none);
    EXPECT_EQ(index.find(u""), RecordIndex::none);
}

TEST(RecordIndex, ReservedRoomHoldsTheKeysWithoutLosingAny) {
    RecordIndex index;
    index.reserve(3);
    const String long1 = u"@A_key_longer_than_ten@", long2 = u"@A_key_longer_than_te!@";
    for (StringView key : {StringView(u"@A@"), StringView(u"@B@"), StringView(long1), StringView(long2)})
        index.tryFile(key, static_cast<std::uint32_t>(index.size()));
    EXPECT_EQ(index.find(u"@A@"), 0u);
    EXPECT_EQ(index.find(u"@B@"), 1u);
    EXPECT_EQ(index.find(String(long1)), 2u);
    EXPECT_EQ(index.find(long2), 3u);
    EXPECT_EQ(index.find(u"@A_key_longer_than_ten!"), RecordIndex::none);
}
