// Real RAR 2.9 archives beyond the shared fixtures: PPMd/LZ switches inside one
// member, filters, and a damaged archive that must fail without harm.
#include <gtest/gtest.h>

#include "Rar4TestArchive.h"

using namespace rar4test;

namespace {

void ExpectMembersMatchCrc(const std::string& file, size_t expectedMembers) {
    std::vector<uint8_t> img;
    ASSERT_TRUE(ReadFile(std::string(STAGEHOST_RAR4_TESTDATA) + "/" + file, img));
    std::vector<Member> members;
    ASSERT_TRUE(ParseRar4(img, members));
    ASSERT_EQ(members.size(), expectedMembers);
    for (const Member& m : members) {
        auto dec = rar::MakeRar4Decoder(m.unpVer, m.Dictionary());
        std::vector<uint8_t> out;
        EXPECT_EQ(DecodeMember(*dec, m, out), rar::DecodeResult::Ok) << file;
        EXPECT_EQ(out.size(), m.unpSize);
        EXPECT_EQ(Crc32(out), m.crc) << file << " " << m.name;
    }
}

}  // namespace

TEST(Rar4Samples, PpmdAndLzBlocksInOneMember) { ExpectMembersMatchCrc("ppmd_lzss_conversion.rar", 1); }

TEST(Rar4Samples, MemberWithAFilter) { ExpectMembersMatchCrc("filter_incomplete_block.rar", 1); }

TEST(Rar4Samples, DamagedArchiveFailsCleanly) {
    std::vector<uint8_t> img;
    ASSERT_TRUE(ReadFile(std::string(STAGEHOST_RAR4_TESTDATA) + "/overflow.rar", img));
    // Its only packed bytes, whatever the header claims, through every coder.
    for (unsigned ver : {15u, 20u, 29u}) {
        auto dec = rar::MakeRar4Decoder(ver, 0x400000);
        rar::MemoryInput in(img);
        VectorOutput out;
        rar::DecodeResult r = dec->Decode(in, 100000, out, false);
        EXPECT_NE(r, rar::DecodeResult::Ok);
        EXPECT_LE(out.data.size(), 100000u);
    }
}
