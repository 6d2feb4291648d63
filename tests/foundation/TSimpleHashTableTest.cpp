#include "foundation/TSimpleHashTable.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

// A key whose hash is its own number, so that tests choose the chains.
struct NumberKey {
    uint32_t number;
};

uint32_t hashOfKey(const NumberKey& key) { return key.number; }

bool isSameKey(const NumberKey& a, const NumberKey& b) { return a.number == b.number; }

struct NumberEntry {
    explicit NumberEntry(uint32_t number) : key{number} {}

    uint32_t hash = 0;
    NumberKey key;
    NumberEntry* next = nullptr;
};

using NumberTable = TSimpleHashTable<NumberKey, NumberEntry>;

void insert(NumberTable& table, uint32_t number) { table.insert(std::make_unique<NumberEntry>(number)); }

TEST(TSimpleHashTableTest, TextKeysHashByTheirCodePoints)
{
    EXPECT_EQ(hashOfKey(String::fromLatin1("\xE9t\xE9 ")), hashOfKey(String::fromUTF8("\xC3\xA9t\xC3\xA9 ")));
}

TEST(TSimpleHashTableTest, GrowsBeforeAnInsertionWouldPassTheLoadFactor)
{
    NumberTable table;
    EXPECT_EQ(table.getBucketCount(), 0);
    for (uint32_t count = 1; count <= 33; ++count) {
        insert(table, count - 1);
        EXPECT_EQ(table.getBucketCount(), count <= 8 ? 10 : count <= 16 ? 20 : count <= 32 ? 40 : 80) << count;
    }
    for (uint32_t number = 0; number < 33; ++number)
        ASSERT_NE(table.find(NumberKey{number}), nullptr) << number;
    EXPECT_EQ(table.find(NumberKey{33}), nullptr);
}

TEST(TSimpleHashTableTest, RemovesFromAnyPlaceInAChainAndClearingStartsAfresh)
{
    NumberTable table;
    EXPECT_FALSE(table.remove(NumberKey{1}));
    for (uint32_t number : {0, 10, 20, 30})
        insert(table, number);
    EXPECT_TRUE(table.remove(NumberKey{20}));
    EXPECT_TRUE(table.remove(NumberKey{0}));
    EXPECT_FALSE(table.remove(NumberKey{0}));
    EXPECT_NE(table.find(NumberKey{10}), nullptr);
    EXPECT_NE(table.find(NumberKey{30}), nullptr);
    EXPECT_EQ(table.getCount(), 2);

    table.clear();
    EXPECT_EQ(table.getBucketCount(), 0);
    EXPECT_EQ(table.find(NumberKey{10}), nullptr);
    insert(table, 1);
    EXPECT_EQ(table.getBucketCount(), 10);
}

} // namespace
} // namespace lumo
