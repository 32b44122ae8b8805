// The cache table's growth and its copy operations.
#include <gtest/gtest.h>

#include <cstdio>

#include "filesystem/CacheTable.h"

namespace {

CCacheEntry Entry(int i) {
    CCacheEntry e;
    std::snprintf(e.name, sizeof e.name, "member%d", i);
    e.size = i;
    return e;
}

TEST(CacheTableTest, GrowsToEightThenDoubles) {
    CCacheTable t;
    EXPECT_EQ(t.capacity, 0);
    const int expected[] = {8, 8, 8, 8, 8, 8, 8, 8, 16, 16, 16, 16, 16, 16, 16, 16, 32};
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(t.Add(Entry(i)), i);
        EXPECT_EQ(t.capacity, expected[i]) << "after add " << i + 1;
    }
    for (int i = 0; i < 17; ++i) EXPECT_STREQ(t.entries[i].name, Entry(i).name);
    EXPECT_STREQ(t.entries[17].name, "") << "entries past the count are constructed empty";
}

TEST(CacheTableTest, AssignCopiesAndAppendAddsInOrder) {
    CCacheTable a, b;
    for (int i = 0; i < 3; ++i) a.Add(Entry(i));
    b.Add(Entry(9));
    b.Assign(a);
    EXPECT_EQ(b.count, 3);
    EXPECT_EQ(b.capacity, 8);
    EXPECT_NE(b.entries, a.entries);
    b.Append(a).Append(b);  // appending itself doubles it
    ASSERT_EQ(b.count, 12);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(b.entries[i].size, i % 3);
}

TEST(CacheTableTest, AddingAnEntryOfTheTableItselfWhileGrowing) {
    CCacheTable t;
    for (int i = 0; i < 8; ++i) t.Add(Entry(i));
    EXPECT_EQ(t.Add(t.entries[5]), 8);  // the array moves under the argument
    EXPECT_STREQ(t.entries[8].name, "member5");
}

}  // namespace
