#include "framework/BinaryFile.h"
#include "framework/KeyedArray.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class Stream
{
public:
    Stream() : f_(std::tmpfile()) {}
    ~Stream() { if (f_) std::fclose(f_); }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    std::FILE* get() const { return f_; }
    long Size()
    {
        std::fflush(f_);
        const long size = FileSize(f_);
        std::rewind(f_);
        return size;
    }

private:
    std::FILE* f_;
};

template <class Entry>
void Fill(CKeyedArray<Entry>& array, int n);

template <>
void Fill(CKeyedArray<CKeyedVector3>& array, int n)
{
    for (int i = 0; i < n; ++i)
    {
        CKeyedVector3& e = array.Add();
        e.key = i * 0.5f;
        e.value = CVector3{float(i), float(-i), float(i * i)};
    }
}

template <>
void Fill(CKeyedArray<CKeyedVector4>& array, int n)
{
    for (int i = 0; i < n; ++i)
    {
        CKeyedVector4& e = array.Add();
        e.key = i * 0.25f;
        e.value = CVector4{float(i), 1.0f, 2.0f, float(-i)};
    }
}

template <>
void Fill(CKeyedArray<CKeyedFloat>& array, int n)
{
    for (int i = 0; i < n; ++i)
    {
        CKeyedFloat& e = array.Add();
        e.key = float(i);
        e.value = i * 1.5f;
    }
}

bool Same(const CKeyedVector3& a, const CKeyedVector3& b)
{
    return a.key == b.key && a.value.x == b.value.x && a.value.y == b.value.y && a.value.z == b.value.z;
}
bool Same(const CKeyedVector4& a, const CKeyedVector4& b)
{
    return a.key == b.key && a.value.x == b.value.x && a.value.y == b.value.y &&
           a.value.z == b.value.z && a.value.w == b.value.w;
}
bool Same(const CKeyedFloat& a, const CKeyedFloat& b)
{
    return a.key == b.key && a.value == b.value;
}

template <class Entry>
class KeyedArrayRoundTrip : public ::testing::Test
{
};

using EntryTypes = ::testing::Types<CKeyedVector3, CKeyedVector4, CKeyedFloat>;
TYPED_TEST_SUITE(KeyedArrayRoundTrip, EntryTypes);

} // namespace

TYPED_TEST(KeyedArrayRoundTrip, WrittenAndReadBackWithGrowth)
{
    struct Case { int entries; int capacityAfterRead; };
    const Case cases[] = {{0, 0}, {1, 8}, {8, 8}, {9, 16}, {16, 16}, {17, 32}, {33, 64}};
    for (const Case& c : cases)
    {
        CKeyedArray<TypeParam> written;
        Fill(written, c.entries);
        Stream s;
        EXPECT_EQ(FileWriteKeys(s.get(), written), c.entries);
        EXPECT_EQ(s.Size(), long(2 + c.entries * sizeof(TypeParam)));

        CKeyedArray<TypeParam> read;
        FileReadKeys(s.get(), read);
        ASSERT_EQ(read.count, c.entries);
        EXPECT_EQ(read.capacity, c.capacityAfterRead);
        for (int i = 0; i < c.entries; ++i)
            EXPECT_TRUE(Same(read.items[i], written.items[i])) << "entry " << i;
        EXPECT_FALSE(FileAtEnd(s.get()));
    }
}

TEST(KeyedArray, ThreeVector3EntriesMake50Bytes)
{
    CKeyedArray<CKeyedVector3> array;
    Fill(array, 3);
    Stream s;
    FileWriteKeys(s.get(), array);
    EXPECT_EQ(s.Size(), 50);
    EXPECT_EQ(FileReadInt16(s.get()), 3);
    EXPECT_EQ(FileReadFloat(s.get()), 0.0f); // key 0
    EXPECT_EQ(FileReadVector3(s.get()).z, 0.0f);
    EXPECT_EQ(FileReadFloat(s.get()), 0.5f); // key 1
    EXPECT_EQ(FileReadVector3(s.get()).x, 1.0f);
}

TEST(KeyedArray, EmptyArrayIsTwoZeroBytesAndKeepsStorage)
{
    CKeyedArray<CKeyedFloat> empty;
    Stream s;
    EXPECT_EQ(FileWriteKeys(s.get(), empty), 0);
    EXPECT_EQ(s.Size(), 2);
    EXPECT_EQ(FileReadInt16(s.get()), 0);
    std::rewind(s.get());

    CKeyedArray<CKeyedFloat> target;
    Fill(target, 5);
    CKeyedFloat* storage = target.items;
    FileReadKeys(s.get(), target);
    EXPECT_EQ(target.count, 0);
    EXPECT_EQ(target.items, storage);
    EXPECT_EQ(target.capacity, 8);
}

TEST(KeyedArray, ReadReusesExistingStorage)
{
    CKeyedArray<CKeyedFloat> source;
    Fill(source, 20);
    Stream s;
    FileWriteKeys(s.get(), source);
    std::rewind(s.get());

    CKeyedArray<CKeyedFloat> target;
    target.Reserve(32);
    CKeyedFloat* storage = target.items;
    FileReadKeys(s.get(), target);
    EXPECT_EQ(target.count, 20);
    EXPECT_EQ(target.capacity, 32);
    EXPECT_EQ(target.items, storage);
}

TEST(KeyedArray, MoreThan65535EntriesAreRefused)
{
    CKeyedArray<CKeyedFloat> big;
    big.Reserve(65536);
    big.count = 65536;
    Stream s;
    EXPECT_EQ(FileWriteKeys(s.get(), big), -1);
    EXPECT_EQ(s.Size(), 0);

    big.count = 65535;
    EXPECT_EQ(FileWriteKeys(s.get(), big), 65535);
    std::rewind(s.get());
    CKeyedArray<CKeyedFloat> read;
    FileReadKeys(s.get(), read);
    EXPECT_EQ(read.count, 65535);
    EXPECT_EQ(read.capacity, 65536);
}

TEST(KeyedArray, InconsistentArrayIsRefused)
{
    CKeyedArray<CKeyedFloat> bad;
    Stream s;
    bad.count = 3; // no storage
    EXPECT_EQ(FileWriteKeys(s.get(), bad), -1);
    bad.count = -1;
    EXPECT_EQ(FileWriteKeys(s.get(), bad), -1);
    bad.count = 0;
    EXPECT_EQ(s.Size(), 0);
}

TEST(KeyedArray, StreamEndingEarlyStillYieldsTheCountWithZeroEntries)
{
    Stream s;
    FileWriteInt16(s.get(), 4);
    FileWriteFloat(s.get(), 7.0f); // key of entry 0, then the stream ends
    std::rewind(s.get());
    CKeyedArray<CKeyedVector3> read;
    FileReadKeys(s.get(), read);
    ASSERT_EQ(read.count, 4);
    EXPECT_EQ(read.items[0].key, 7.0f);
    EXPECT_EQ(read.items[0].value.x, 0.0f);
    EXPECT_EQ(read.items[3].key, 0.0f);
    EXPECT_TRUE(FileAtEnd(s.get()));
}

TEST(KeyedArray, ReserveOnlyGrowsAndKeepsEntries)
{
    CKeyedArray<CKeyedFloat> a;
    a.userData = &a;
    Fill(a, 3);
    EXPECT_EQ(a.capacity, 8);
    a.Reserve(4);
    EXPECT_EQ(a.capacity, 8);
    a.Reserve(100);
    EXPECT_EQ(a.capacity, 100);
    EXPECT_EQ(a.count, 3);
    EXPECT_EQ(a.items[2].value, 3.0f);
    EXPECT_EQ(a.userData, &a);

    CKeyedArray<CKeyedFloat> moved(std::move(a));
    EXPECT_EQ(moved.count, 3);
    EXPECT_EQ(a.items, nullptr);
}

TEST(KeyedArray, NewEntriesAreZero)
{
    CKeyedArray<CKeyedVector4> a;
    a.Reserve(2);
    EXPECT_EQ(a.items[1].key, 0.0f);
    EXPECT_EQ(a.items[1].value.w, 0.0f);
}

TEST(KeyedArray, FieldsSetByHandOutOfRangeAreSafe)
{
    CKeyedArray<CKeyedFloat> noStorage;
    noStorage.capacity = 5; // but no storage
    noStorage.count = 3;
    noStorage.Add().value = 1.0f;
    EXPECT_NE(noStorage.items, nullptr);
    EXPECT_EQ(noStorage.count, 1);
    EXPECT_EQ(noStorage.capacity, 10);

    CKeyedArray<CKeyedFloat> overCount;
    overCount.Reserve(8);
    overCount.count = 100;
    overCount.Add();
    EXPECT_EQ(overCount.count, 9);
    EXPECT_EQ(overCount.capacity, 16);

    CKeyedArray<CKeyedFloat> readInto;
    readInto.capacity = 64; // no storage
    Stream s;
    FileWriteInt16(s.get(), 2);
    FileWriteFloat(s.get(), 1.0f);
    FileWriteFloat(s.get(), 2.0f);
    std::rewind(s.get());
    FileReadKeys(s.get(), readInto);
    EXPECT_EQ(readInto.count, 2);
    EXPECT_EQ(readInto.capacity, 128);
    EXPECT_EQ(readInto.items[0].value, 2.0f);
}
