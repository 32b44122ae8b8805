#include "framework/BinaryFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A temporary binary stream, closed at the end of the test.
class Stream
{
public:
    Stream() : f_(std::tmpfile()) {}
    ~Stream() { if (f_) std::fclose(f_); }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    std::FILE* get() const { return f_; }

    // Everything written so far; the position goes back to the start.
    std::vector<unsigned char> Bytes()
    {
        std::fflush(f_);
        std::rewind(f_);
        std::vector<unsigned char> bytes;
        for (int c; (c = std::fgetc(f_)) != EOF;)
            bytes.push_back(static_cast<unsigned char>(c));
        std::rewind(f_);
        return bytes;
    }

    void Put(const std::vector<unsigned char>& bytes)
    {
        std::fwrite(bytes.data(), 1, bytes.size(), f_);
        std::rewind(f_);
    }

private:
    std::FILE* f_;
};

using Bytes = std::vector<unsigned char>;

} // namespace

TEST(BinaryFile, ValuesAreLittleEndianOnDisk)
{
    Stream s;
    EXPECT_EQ(FileWriteInt32(s.get(), 0x11223344), 1);
    EXPECT_EQ(FileWriteInt16(s.get(), 0x1ABCD), 1); // low 16 bits only
    EXPECT_EQ(FileWriteInt8(s.get(), 0x1FE), 1);    // low 8 bits only
    EXPECT_EQ(FileWriteFloat(s.get(), 1.0f), 1);    // 0x3F800000
    EXPECT_EQ(FileWriteInt32(s.get(), -2), 1);
    const Bytes expected = {0x44, 0x33, 0x22, 0x11, 0xCD, 0xAB, 0xFE, 0x00,
                            0x00, 0x80, 0x3F, 0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(s.Bytes(), expected);
}

TEST(BinaryFile, ReadersZeroExtendSmallIntegers)
{
    Stream s;
    s.Put({0xFF, 0xFF, 0x80, 0xFE, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(FileReadInt16(s.get()), 65535);
    EXPECT_EQ(FileReadInt8(s.get()), 128);
    EXPECT_EQ(FileReadInt32(s.get()), -2);
}

TEST(BinaryFile, ShortReadsGiveZero)
{
    // One byte where 2, 4, 12, 64 are needed.
    const auto check = [](auto read, auto zero) {
        Stream s;
        s.Put({0x7F});
        EXPECT_TRUE(read(s.get()) == zero);
        EXPECT_TRUE(FileAtEnd(s.get()));
    };
    check([](std::FILE* f) { return FileReadInt16(f); }, 0);
    check([](std::FILE* f) { return FileReadInt32(f); }, 0);
    check([](std::FILE* f) { return FileReadFloat(f); }, 0.0f);
    check([](std::FILE* f) { return FileReadVector3(f).y; }, 0.0f);
    check([](std::FILE* f) { return FileReadMatrix(f).m[0][0]; }, 0.0f);

    Stream empty;
    EXPECT_EQ(FileReadInt8(empty.get()), 0);
}

TEST(BinaryFile, VectorsAndMatricesRoundTrip)
{
    Stream s;
    const CVector3 v3{1.5f, -2.25f, 3e7f};
    const CVector4 v4{0.1f, 0.2f, 0.3f, -0.4f};
    const CQuaternion q{0.5f, -0.5f, 0.5f, 0.5f};
    CMatrix m;
    for (int i = 0; i < 16; ++i)
        m.m[i / 4][i % 4] = static_cast<float>(i) * 0.75f - 3.0f;
    EXPECT_EQ(FileWriteVector3(s.get(), &v3), 1);
    EXPECT_EQ(FileWriteVector4(s.get(), &v4), 1);
    EXPECT_EQ(FileWriteVector4(s.get(), &q), 1);
    EXPECT_EQ(FileWriteMatrix(s.get(), &m), 1);
    EXPECT_EQ(s.Bytes().size(), 12u + 16u + 16u + 64u);

    const CVector3 r3 = FileReadVector3(s.get());
    const CVector4 r4 = FileReadVector4(s.get());
    const CVector4 rq = FileReadVector4(s.get());
    const CMatrix rm = FileReadMatrix(s.get());
    EXPECT_EQ(std::memcmp(&r3, &v3, sizeof v3), 0);
    EXPECT_EQ(std::memcmp(&r4, &v4, sizeof v4), 0);
    EXPECT_EQ(std::memcmp(&rq, &q, sizeof q), 0);
    EXPECT_EQ(std::memcmp(&rm, &m, sizeof m), 0);
}

TEST(BinaryFile, MatrixIsStoredRowAfterRow)
{
    Stream s;
    CMatrix m{};
    m.m[0][1] = 1.0f; // second float on disk
    FileWriteMatrix(s.get(), &m);
    const Bytes bytes = s.Bytes();
    EXPECT_EQ(bytes[4 + 3], 0x3F);
    EXPECT_EQ(bytes[16 + 3], 0x00);
}

TEST(BinaryFile, Strings)
{
    Stream s;
    FileWriteString(s.get(), "");
    FileWriteString(s.get(), "hello");
    const std::string longText(200, 'L');
    FileWriteString(s.get(), longText.c_str());
    FileWriteInt8(s.get(), 0x5A);
    EXPECT_EQ(s.Bytes().size(), 1u + 6u + 201u + 1u);

    EXPECT_STREQ(FileReadString(s.get()).c_str(), "");
    EXPECT_EQ(FileTell(s.get()), 1);
    EXPECT_STREQ(FileReadString(s.get()).c_str(), "hello");
    const CFixedString cut = FileReadString(s.get());
    EXPECT_EQ(std::string(cut.c_str()), longText.substr(0, 127));
    EXPECT_EQ(FileTell(s.get()), 1 + 6 + 201);
    EXPECT_EQ(FileReadInt8(s.get()), 0x5A);
}

TEST(BinaryFile, StringWithoutNulStopsAfter256Bytes)
{
    Stream s;
    s.Put(Bytes(300, 'A'));
    EXPECT_EQ(FileReadString(s.get()).Length(), 127u);
    EXPECT_EQ(FileTell(s.get()), 256);
    // The rest, ended by the end of the stream.
    EXPECT_EQ(FileReadString(s.get()).Length(), 44u);
    EXPECT_TRUE(FileAtEnd(s.get()));
    EXPECT_STREQ(FileReadString(s.get()).c_str(), "");
}

TEST(BinaryFile, PositionHelpers)
{
    Stream s;
    s.Put(Bytes(10, 1));
    FileSkip(s.get(), 3);
    EXPECT_EQ(FileTell(s.get()), 3);
    EXPECT_EQ(FileSize(s.get()), 10);
    EXPECT_EQ(FileTell(s.get()), 3);
    FileSkip(s.get(), 0);
    FileSkip(s.get(), -5);
    EXPECT_EQ(FileTell(s.get()), 3);

    FileSkip(s.get(), 7);
    EXPECT_FALSE(FileAtEnd(s.get())); // the last byte read, no read past it
    FileReadInt8(s.get());
    EXPECT_TRUE(FileAtEnd(s.get()));

    EXPECT_EQ(FileRewind(s.get()), 0);
    EXPECT_EQ(FileTell(s.get()), 0);
    FileSkip(s.get(), 1000); // ends at the end of the stream
    EXPECT_TRUE(FileAtEnd(s.get()));
}

TEST(BinaryFile, ReadBlockIsOneItem)
{
    Stream s;
    s.Put({1, 2, 3, 4, 5});
    unsigned char block[4] = {};
    EXPECT_EQ(FileReadBlock(s.get(), block, 4), 1);
    EXPECT_EQ(block[3], 4);
    EXPECT_EQ(FileReadBlock(s.get(), block, 4), 0); // one byte left
}
