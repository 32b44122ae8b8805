// The RAR5 decoder on streams from Rar5TestEncoder: long members that wrap
// the window, solid continuation, filters, and corrupt streams.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "Rar5TestEncoder.h"
#include "rar/unpack/Decoder.h"
#include "rar/unpack/MemoryInput.h"

namespace {


class VecOutput : public rar::UnpackedOutput {
public:
    bool Write(const uint8_t* d, size_t n) override {
        out.insert(out.end(), d, d + n);
        return true;
    }
    std::vector<uint8_t> out;
};

// Builds plain data and its stream together: random literals and matches
// with distances up to maxDist.
void Generate(size_t size, uint64_t maxDist, uint32_t seed, std::vector<uint8_t>& plain,
              rartest::Rar5TestEncoder& enc, size_t history = 0) {
    std::mt19937 rng(seed);
    const size_t start = plain.size();
    while (plain.size() - start < size) {
        const size_t avail = plain.size();
        if (avail > history + 16 && avail > 4 && rng() % 3 != 0) {
            uint64_t dist = 1 + rng() % std::min<uint64_t>(maxDist, avail);
            uint32_t len = 2 + rng() % 300;
            if (rng() % 50 == 0) len = 3000 + rng() % 1000;
            if (plain.size() - start + len > size) len = uint32_t(size - (plain.size() - start));
            if (len < 2) { enc.Literal(1); plain.push_back(1); continue; }
            if (dist > 0x100 && len < 5) len = 5;  // the coded length must stay >= 2
            if (plain.size() - start + len > size) { enc.Literal(2); plain.push_back(2); continue; }
            enc.Match(len, dist);
            for (uint32_t i = 0; i < len; ++i) plain.push_back(plain[plain.size() - dist]);
        } else {
            uint8_t b = uint8_t(rng());
            enc.Literal(b);
            plain.push_back(b);
        }
    }
}

TEST(Rar5Decoder, LongMemberWrapsTheWindowIntact) {
    rartest::Rar5TestEncoder enc;
    std::vector<uint8_t> plain;
    Generate(20u << 20, 200000, 1, plain, enc);  // 20 MB through a 128 KB dictionary's window
    std::vector<uint8_t> packed = enc.Finish(1 << 18);
    auto dec = rar::MakeRar5Decoder(128 * 1024);
    rar::MemoryInput in(packed);
    VecOutput out;
    ASSERT_EQ(dec->Decode(in, plain.size(), out, false), rar::DecodeResult::Ok);
    ASSERT_EQ(out.out.size(), plain.size());
    EXPECT_TRUE(out.out == plain);
}

TEST(Rar5Decoder, SolidMemberReachesBackIntoThePreviousOne) {
    rartest::Rar5TestEncoder e1, e2;
    std::vector<uint8_t> plain;
    Generate(300000, 100000, 2, plain, e1);
    const size_t firstSize = plain.size();
    std::vector<uint8_t> p1 = e1.Finish();
    e2.Match(1000, 250000);  // reaches into the first member
    for (int i = 0; i < 1000; ++i) plain.push_back(plain[plain.size() - 250000]);
    std::vector<uint8_t> p2 = e2.Finish();

    auto dec = rar::MakeRar5Decoder(1 << 20);
    rar::MemoryInput in1(p1), in2(p2);
    VecOutput o1, o2;
    ASSERT_EQ(dec->Decode(in1, firstSize, o1, false), rar::DecodeResult::Ok);
    ASSERT_EQ(dec->Decode(in2, 1000, o2, true), rar::DecodeResult::Ok);
    EXPECT_TRUE(std::equal(o2.out.begin(), o2.out.end(), plain.begin() + long(firstSize)));

    // The same member decoded without its predecessor must fail, not invent bytes.
    auto fresh = rar::MakeRar5Decoder(1 << 20);
    rar::MemoryInput in3(p2);
    VecOutput o3;
    EXPECT_NE(fresh->Decode(in3, 1000, o3, true), rar::DecodeResult::Ok);
    EXPECT_TRUE(o3.out.empty());
}

TEST(Rar5Decoder, DeltaFilterRestoresInterleavedChannels) {
    std::vector<uint8_t> plain(40000);
    for (size_t i = 0; i < plain.size(); ++i) plain[i] = uint8_t(i / 4 * (i % 4 + 1));
    rartest::Rar5TestEncoder enc;
    enc.Literal('<');
    enc.DeltaFilter(uint32_t(plain.size()), 4);
    for (uint8_t b : rartest::Rar5TestEncoder::DeltaEncode(plain, 4)) enc.Literal(b);
    enc.Literal('>');
    std::vector<uint8_t> packed = enc.Finish();
    auto dec = rar::MakeRar5Decoder(1 << 20);
    rar::MemoryInput in(packed);
    VecOutput out;
    ASSERT_EQ(dec->Decode(in, plain.size() + 2, out, false), rar::DecodeResult::Ok);
    ASSERT_EQ(out.out.size(), plain.size() + 2);
    EXPECT_EQ(out.out.front(), '<');
    EXPECT_EQ(out.out.back(), '>');
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), out.out.begin() + 1));
}

TEST(Rar5Decoder, CorruptStreamsFailCleanly) {
    rartest::Rar5TestEncoder enc;
    std::vector<uint8_t> plain;
    Generate(50000, 20000, 3, plain, enc);
    const std::vector<uint8_t> good = enc.Finish(4096);
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bad = good;
        if (round % 3 == 0) {
            bad.resize(rng() % bad.size());
        } else {
            for (int k = 0; k < 4; ++k) bad[rng() % bad.size()] ^= uint8_t(1 + rng() % 255);
        }
        auto dec = rar::MakeRar5Decoder(64 * 1024);
        rar::MemoryInput in(bad);
        VecOutput out;
        rar::DecodeResult r = dec->Decode(in, plain.size(), out, false);
        EXPECT_LE(out.out.size(), plain.size());
        if (r == rar::DecodeResult::Ok) {
            EXPECT_EQ(out.out.size(), plain.size());
        }
    }
}

TEST(Rar5Decoder, DistanceBeforeTheStartIsRejected) {
    rartest::Rar5TestEncoder enc;
    enc.Literal('a');
    enc.Match(10, 5);
    std::vector<uint8_t> packed = enc.Finish();
    auto dec = rar::MakeRar5Decoder(1 << 20);
    rar::MemoryInput in(packed);
    VecOutput out;
    EXPECT_EQ(dec->Decode(in, 11, out, false), rar::DecodeResult::BadData);
}

}  // namespace
