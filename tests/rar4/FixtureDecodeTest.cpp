// Every compressed member of the real RAR 1.5-4.x archives decodes to the CRC32
// its header declares.
#include <dirent.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "Rar4TestArchive.h"

using namespace rar4test;

namespace {

std::vector<std::string> FixtureArchives() {
    std::vector<std::string> names;
    DIR* d = opendir(FixtureDir().c_str());
    if (!d) return names;
    while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n.size() > 4 && (n.compare(n.size() - 4, 4, ".rar") == 0 || n.compare(n.size() - 4, 4, ".sfx") == 0))
            names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(Rar4Fixtures, CompressedMembersMatchTheirCrc) {
    auto names = FixtureArchives();
    if (names.empty()) GTEST_SKIP() << "fixtures not found in " << FixtureDir();
    int decoded = 0;
    for (const auto& name : names) {
        std::vector<uint8_t> img;
        ASSERT_TRUE(ReadFile(FixtureDir() + "/" + name, img));
        std::vector<Member> members;
        if (!ParseRar4(img, members)) continue;
        std::map<unsigned, std::unique_ptr<rar::Decoder>> decoders;
        for (const Member& m : members) {
            if (m.method == 0x30 || m.Split() || m.Directory()) continue;
            if (m.Encrypted() && m.unpVer != 20 && m.unpVer != 26) continue;
            auto& dec = decoders[m.unpVer];
            if (!dec) dec = rar::MakeRar4Decoder(m.unpVer, m.Dictionary());
            ASSERT_TRUE(dec) << name << ": no coder for UnpVer " << m.unpVer;
            std::vector<uint8_t> out;
            rar::DecodeResult r = DecodeMember(*dec, m, out, "password");
            EXPECT_EQ(r, rar::DecodeResult::Ok) << name << " " << m.name << " v" << m.unpVer;
            EXPECT_EQ(out.size(), m.unpSize) << name << " " << m.name;
            EXPECT_EQ(Crc32(out), m.crc) << name << " " << m.name << " v" << m.unpVer;
            ++decoded;
        }
    }
    EXPECT_GT(decoded, 0);
    std::printf("decoded %d compressed RAR4 members\n", decoded);
}
