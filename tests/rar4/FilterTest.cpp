// The standard filters run directly on known inputs, and their parameter
// checks (the published out-of-bounds bugs of RAR readers came from these).
#include <gtest/gtest.h>

#include <vector>

#include "rar/unpack4/Filters29.h"

using rar::unpack4::FilterType;
using rar::unpack4::kFilterMemSize;
using rar::unpack4::RunFilter;

namespace {
std::vector<uint8_t> Mem() { return std::vector<uint8_t>(kFilterMemSize + 4, 0); }
}  // namespace

TEST(Filters29, E8TurnsAbsoluteCallTargetsBackToRelative) {
    auto mem = Mem();
    // A call at offset 0 whose stored (absolute) target is 0x105: relative = 0x105 - 1 - fileOffset.
    const uint8_t code[] = {0xe8, 0x05, 0x01, 0x00, 0x00, 0x90, 0x90, 0x90, 0x90, 0x90};
    std::copy(std::begin(code), std::end(code), mem.begin());
    uint32_t r[7] = {0, 0, 0, 0, sizeof(code), 0, 0x10};
    uint32_t off = 0, size = 0;
    ASSERT_TRUE(RunFilter(FilterType::E8, mem.data(), r, off, size));
    EXPECT_EQ(off, 0u);
    EXPECT_EQ(size, sizeof(code));
    uint32_t addr = mem[1] | (mem[2] << 8) | (mem[3] << 16) | (uint32_t(mem[4]) << 24);
    EXPECT_EQ(addr, 0x105u - (1 + 0x10));
}

TEST(Filters29, E8LeavesE9AloneButE8E9DoesNot) {
    for (FilterType t : {FilterType::E8, FilterType::E8E9}) {
        auto mem = Mem();
        const uint8_t code[] = {0xe9, 0x05, 0x00, 0x00, 0x00, 0x90, 0x90, 0x90, 0x90};
        std::copy(std::begin(code), std::end(code), mem.begin());
        uint32_t r[7] = {0, 0, 0, 0, sizeof(code), 0, 0};
        uint32_t off, size;
        ASSERT_TRUE(RunFilter(t, mem.data(), r, off, size));
        EXPECT_EQ(mem[1] == 0x05, t == FilterType::E8);
    }
}

TEST(Filters29, DeltaAndRgbAndAudioWriteBehindTheirInput) {
    auto mem = Mem();
    for (int i = 0; i < 12; ++i) mem[size_t(i)] = uint8_t(256 - 1);  // each step adds one
    uint32_t r[7] = {2, 0, 0, 0, 12, 0, 0};
    uint32_t off, size;
    ASSERT_TRUE(RunFilter(FilterType::Delta, mem.data(), r, off, size));
    EXPECT_EQ(off, 12u);
    // Two channels, interleaved: 1,1,2,2,3,3,...
    for (int i = 0; i < 12; ++i) EXPECT_EQ(mem[12 + size_t(i)], uint8_t(i / 2 + 1)) << i;

    uint32_t rgb[7] = {3 + 6, 1, 0, 0, 30, 0, 0};
    ASSERT_TRUE(RunFilter(FilterType::Rgb, mem.data(), rgb, off, size));
    EXPECT_EQ(off, 30u);
    uint32_t audio[7] = {1, 0, 0, 0, 64, 0, 0};
    ASSERT_TRUE(RunFilter(FilterType::Audio, mem.data(), audio, off, size));
    EXPECT_EQ(size, 64u);
}

TEST(Filters29, ParametersOutOfRangeAreRefused) {
    struct Case {
        const char* what;
        FilterType type;
        uint32_t r0, r1, size;
    } cases[] = {
        {"e8 block as large as the memory", FilterType::E8, 0, 0, kFilterMemSize},
        {"e8 block too small", FilterType::E8, 0, 0, 3},
        {"itanium block too small", FilterType::Itanium, 0, 0, 20},
        {"delta output past the memory", FilterType::Delta, 1, 0, kFilterMemSize / 2 + 1},
        {"delta without channels", FilterType::Delta, 0, 0, 100},
        {"rgb width wider than the data", FilterType::Rgb, 200, 0, 100},
        {"rgb width register below 3", FilterType::Rgb, 2, 0, 100},
        {"rgb red position past 2", FilterType::Rgb, 9, 3, 100},
        {"audio with 129 channels", FilterType::Audio, 129, 0, 1000},
        {"unknown program", FilterType::None, 1, 0, 100},
    };
    for (const Case& c : cases) {
        auto mem = Mem();
        uint32_t r[7] = {c.r0, c.r1, 0, 0, c.size, 0, 0};
        uint32_t off, size;
        EXPECT_FALSE(RunFilter(c.type, mem.data(), r, off, size)) << c.what;
    }
}

TEST(Filters29, ProgramsAreRecognisedOnlyWithAValidChecksumByte) {
    std::vector<uint8_t> prog(53, 0x11);
    EXPECT_EQ(rar::unpack4::IdentifyFilter(prog.data(), prog.size()), FilterType::None);
    EXPECT_EQ(rar::unpack4::IdentifyFilter(prog.data(), 0), FilterType::None);
}
