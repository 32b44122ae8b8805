// The PPMd (variant H) model checked on streams made by an independent PPMd H
// encoder (7z's, which differs from RAR's only in the range coder). Small model
// memories make the model run out of memory and restart many times.
#include <gtest/gtest.h>

#include "Rar4TestArchive.h"
#include "rar/unpack4/BitReader.h"
#include "rar/unpack4/PpmdModel.h"

using namespace rar4test;

namespace {

struct PpmdCase {
    const char* file;
    unsigned order;
    unsigned memMb;
    size_t size;
    uint32_t crc;
};

const PpmdCase kCases[] = {
    {"ppmd_text_o6.bin", 6, 1, 300005, 0x20c41a37},
    {"ppmd_text_o32.bin", 32, 2, 300005, 0x20c41a37},
    {"ppmd_mixed_o2.bin", 2, 1, 40000, 0x4f04ec31},
    {"ppmd_mixed_o16.bin", 16, 1, 40000, 0x4f04ec31},
};

}  // namespace

TEST(PpmdModel, DecodesIndependentlyEncodedStreams) {
    for (const PpmdCase& c : kCases) {
        std::vector<uint8_t> packed;
        ASSERT_TRUE(ReadFile(std::string(STAGEHOST_RAR4_TESTDATA) + "/" + c.file, packed)) << c.file;
        rar::MemoryInput in(packed);
        rar::unpack4::BitReader bits;
        bits.Reset(&in);
        rar::unpack4::PpmdModel model;
        ASSERT_TRUE(model.InitSevenZip(bits, c.order, c.memMb));
        std::vector<uint8_t> out;
        out.reserve(c.size);
        for (size_t i = 0; i < c.size; ++i) {
            if (bits.NeedRefill()) bits.Refill();
            int ch = model.DecodeChar();
            ASSERT_GE(ch, 0) << c.file << " at " << i;
            out.push_back(uint8_t(ch));
        }
        EXPECT_EQ(Crc32(out), c.crc) << c.file;
    }
}
