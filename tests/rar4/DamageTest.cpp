// Damaged streams: every coder, fed truncated and bit-flipped copies of real
// members and of crafted headers, reports an error or a short/wrong result,
// never writes past the declared size and never crashes (run under ASan too).
#include <dirent.h>
#include <gtest/gtest.h>

#include <random>

#include "Rar4TestArchive.h"
#include "StreamWriter.h"

using namespace rar4test;
using rar::DecodeResult;

namespace {

std::vector<Member> CompressedFixtureMembers() {
    std::vector<Member> all;
    DIR* d = opendir(FixtureDir().c_str());
    if (!d) return all;
    while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n.size() < 5 || n.compare(n.size() - 4, 4, ".rar") != 0) continue;
        std::vector<uint8_t> img;
        std::vector<Member> ms;
        if (!ReadFile(FixtureDir() + "/" + n, img) || !ParseRar4(img, ms)) continue;
        for (Member& m : ms)
            if (m.method != 0x30 && !m.Encrypted() && !m.Split() && !m.packed.empty()) all.push_back(m);
    }
    closedir(d);
    return all;
}

void Feed(unsigned ver, const std::vector<uint8_t>& packed, uint64_t size) {
    auto dec = rar::MakeRar4Decoder(ver, 0x40000);
    ASSERT_TRUE(dec);
    for (int pass = 0; pass < 2; ++pass) {
        rar::MemoryInput in(packed, 5);
        VectorOutput out;
        DecodeResult r = dec->Decode(in, size, out, pass == 1);
        ASSERT_LE(out.data.size(), size);
        if (r == DecodeResult::Ok) {
            ASSERT_EQ(out.data.size(), size);
        }
    }
}

}  // namespace

TEST(Rar4Damage, TruncatedMembersAtEveryLength) {
    auto members = CompressedFixtureMembers();
    if (members.empty()) GTEST_SKIP() << "fixtures not found";
    for (const Member& m : members) {
        for (size_t len = 0; len < m.packed.size(); ++len) {
            std::vector<uint8_t> cut(m.packed.begin(), m.packed.begin() + long(len));
            auto dec = rar::MakeRar4Decoder(m.unpVer, m.Dictionary());
            rar::MemoryInput in(cut);
            VectorOutput out;
            DecodeResult r = dec->Decode(in, m.unpSize, out, false);
            EXPECT_LE(out.data.size(), m.unpSize);
            // A stream may end with bits the member never needs (its end
            // marker); then the bytes are all there and the CRC has the last word.
            if (r == DecodeResult::Ok) {
                EXPECT_EQ(out.data.size(), m.unpSize) << m.name << " cut at " << len;
            } else {
                EXPECT_EQ(r, DecodeResult::BadData) << m.name << " cut at " << len;
            }
        }
    }
}

TEST(Rar4Damage, FlippedBitsNeverCrash) {
    auto members = CompressedFixtureMembers();
    if (members.empty()) GTEST_SKIP() << "fixtures not found";
    std::mt19937 rng(42);
    for (const Member& m : members) {
        for (int round = 0; round < 200; ++round) {
            std::vector<uint8_t> bad = m.packed;
            for (int k = 0; k < 3; ++k) bad[rng() % bad.size()] ^= uint8_t(1u << (rng() % 8));
            Feed(m.unpVer, bad, m.unpSize + (rng() % 3000));
        }
    }
}

TEST(Rar4Damage, RandomStreamsForEveryCoder) {
    std::mt19937 rng(7);
    for (unsigned ver : {15u, 20u, 26u, 29u, 36u}) {
        for (int round = 0; round < 150; ++round) {
            std::vector<uint8_t> junk(1 + rng() % 2000);
            for (auto& b : junk) b = uint8_t(rng());
            Feed(ver, junk, rng() % 100000);
        }
    }
}

TEST(Rar4Damage, PpmdHeadersWithExtremeSettings) {
    // Order 1 is invalid; 255 MB + 1 is the largest model memory the header can ask for.
    struct Case {
        uint8_t flags, mem;
    } cases[] = {{0xa0, 0}, {0xa0 | 0x1f, 255}, {0xe0 | 5, 2}, {0x80, 0}, {0xa0 | 0x10, 255}};
    std::mt19937 rng(3);
    for (const Case& c : cases) {
        std::vector<uint8_t> s = {c.flags, c.mem, 2};
        for (int i = 0; i < 3000; ++i) s.push_back(uint8_t(rng()));
        Feed(29, s, 50000);
    }
}

TEST(Rar4Damage, UnknownVersionsHaveNoCoder) {
    for (unsigned ver : {0u, 10u, 13u, 14u, 16u, 21u, 30u, 50u, 70u}) EXPECT_FALSE(rar::MakeRar4Decoder(ver, 0x10000));
}

// Inputs that once crashed the coders under the fuzzer, replayed with the
// fuzz target's reading of the bytes (coder, size, split into a solid pair).
TEST(Rar4Damage, FuzzRegressions) {
    const std::string dir = std::string(STAGEHOST_RAR4_TESTDATA) + "/fuzz";
    DIR* d = opendir(dir.c_str());
    ASSERT_NE(d, nullptr);
    int replayed = 0;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        std::vector<uint8_t> data;
        ASSERT_TRUE(ReadFile(dir + "/" + e->d_name, data));
        if (data.size() < 3) continue;
        static const unsigned kVersions[4] = {15, 20, 29, 36};
        const unsigned ver = kVersions[data[0] & 3];
        const uint64_t unpSize = (uint64_t(data[1]) << 10) | (uint64_t(data[0] >> 3) * 37);
        const size_t split = 3 + (data.size() - 3) * data[2] / 256;
        std::vector<uint8_t> first(data.begin() + 3, data.begin() + long(split));
        std::vector<uint8_t> second(data.begin() + long(split), data.end());
        auto dec = rar::MakeRar4Decoder(ver, 0x40000);
        rar::MemoryInput in1(first, 1000), in2(second, 1000);
        VectorOutput out1, out2;
        dec->Decode(in1, unpSize, out1, false);
        dec->Decode(in2, unpSize / 2 + 1, out2, true);
        EXPECT_LE(out1.data.size(), unpSize) << e->d_name;
        EXPECT_LE(out2.data.size(), unpSize / 2 + 1) << e->d_name;
        ++replayed;
    }
    closedir(d);
    EXPECT_GT(replayed, 0);
}

TEST(Rar4Damage, EveryCoderRefusesASolidMemberAfterAFailure) {
    std::vector<uint8_t> junk(64, 0xa5);
    for (unsigned ver : {15u, 20u, 29u}) {
        auto dec = rar::MakeRar4Decoder(ver, 0x10000);
        rar::MemoryInput bad(junk);
        VectorOutput out;
        ASSERT_NE(dec->Decode(bad, 1 << 20, out, false), DecodeResult::Ok) << ver;
        rar::MemoryInput next(junk);
        VectorOutput out2;
        EXPECT_EQ(dec->Decode(next, 10, out2, true), DecodeResult::BadData) << ver;
        EXPECT_TRUE(out2.data.empty()) << ver;
    }
}
