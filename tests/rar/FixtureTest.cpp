// Every real archive in the fixtures folder, walked as the file system walks
// resources.heap, against what the reference library reported for it
// (expected/NAME.txt): names, sizes, flags, result codes and md5 of the bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "RarWalk.h"
#include "rar/unpack/Decoder.h"

namespace {

namespace fs = std::filesystem;

struct ExpectedMember {
    std::string name;
    unsigned flags = 0;  // the reference library's RHDF bits (0x20 = directory)
    unsigned unp = 0;
    unsigned method = 0;
    unsigned unpVer = 0;
    int rc = 0;
    std::string md5;
};

struct ExpectedWalk {
    bool commentCorrupt = false;  // the reference library gave up on the archive comment's checksum
    std::string password;  // "" = none
    bool hasPassword = false;
    std::vector<ExpectedMember> members;
    int endCode = 10;
};

std::string Field(const std::string& part, const std::string& key) {
    size_t at = part.find(" " + key + "=");
    if (at == std::string::npos) return "";
    size_t start = at + key.size() + 2;
    size_t end = part.find_first_of(" |", start);
    return part.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<ExpectedWalk> ParseExpected(const fs::path& file) {
    std::vector<ExpectedWalk> walks;
    std::ifstream in(file);
    std::string line;
    bool active = false;
    bool commentCorrupt = false;
    while (std::getline(in, line)) {
        if (line.rfind("#   The archive comment is corrupt", 0) == 0) commentCorrupt = true;
        if (line.rfind("### walk ", 0) == 0) {
            active = line.find("LC_ALL=C.UTF-8") != std::string::npos;
            if (!active) continue;
            ExpectedWalk w;
            w.commentCorrupt = commentCorrupt;
            std::string pw = Field(line, "password");
            w.hasPassword = pw != "None";
            if (w.hasPassword && pw.size() >= 2) w.password = pw.substr(1, pw.size() - 2);
            walks.push_back(w);
        } else if (active && line.rfind("member: ", 0) == 0) {
            ExpectedMember m;
            std::string rest = line.substr(8);
            size_t bar = rest.find(" | ");
            m.name = rest.substr(0, bar);
            std::string tail = rest.substr(bar);
            m.flags = unsigned(std::stoul(Field(tail, "flags"), nullptr, 16));
            m.unp = unsigned(std::stoul(Field(tail, "unp")));
            m.method = unsigned(std::stoul(Field(tail, "method"), nullptr, 16));
            m.unpVer = unsigned(std::stoul(Field(tail, "unpver")));
            m.rc = std::stoi(Field(tail, "rc"));
            m.md5 = Field(tail, "md5");
            walks.back().members.push_back(m);
        } else if (active && line.rfind("end: ", 0) == 0) {
            walks.back().endCode = std::stoi(Field(line, "rc"));
        }
    }
    return walks;
}

bool NeedsRar4Coder(const ExpectedMember& m) { return m.method != 0x30 && m.unpVer < 50; }

bool HaveRar4Coder(unsigned unpVer) { return rar::MakeRar4Decoder(unpVer, 4 << 20) != nullptr; }

class FixtureTest : public ::testing::TestWithParam<std::string> {};

TEST_P(FixtureTest, WalkMatchesReferenceLibrary) {
    if (GetParam() == "(fixtures missing)")
        GTEST_SKIP() << "fixtures not found at " << STAGEHOST_RAR_FIXTURES << " (set STAGEHOST_RAR_FIXTURES)";
    const fs::path dir = STAGEHOST_RAR_FIXTURES;
    const fs::path archive = dir / GetParam();
    const std::vector<ExpectedWalk> walks = ParseExpected(dir / "expected" / (GetParam() + ".txt"));
    ASSERT_FALSE(walks.empty()) << "no C.UTF-8 walk in the expected file";
    for (const ExpectedWalk& ew : walks) {
        SCOPED_TRACE("password=" + (ew.hasPassword ? ew.password : std::string("(none)")));
        rartest::WalkResult w = rartest::Walk(archive.string(), ew.hasPassword ? ew.password.c_str() : nullptr);
        ASSERT_TRUE(w.opened) << "open result " << w.openResult;
        if (ew.commentCorrupt && ew.members.empty()) {
            // The reference library stops at the old-style comment, whose
            // checksum it cannot verify; we pass the comment over and read
            // the members, which must then be sound or clearly refused.
            EXPECT_FALSE(w.members.empty());
            EXPECT_EQ(w.endCode, ERAR_END_ARCHIVE);
            for (const auto& m : w.members) {
                // A wrong password on a RAR4 member shows only as bad data.
                const bool wrongPassword = ew.hasPassword && ew.password != "password";
                EXPECT_TRUE(m.rc == 0 || m.rc == ERAR_UNKNOWN_FORMAT || m.rc == ERAR_MISSING_PASSWORD ||
                            (wrongPassword && m.rc == ERAR_BAD_DATA))
                    << m.name << " " << m.rc;
            }
            continue;
        }
        bool expectedFailure = false;
        bool otherVolumes = false;  // the reference walk went on into the next volume
        for (size_t i = 0; i < ew.members.size(); ++i) {
            const ExpectedMember& em = ew.members[i];
            SCOPED_TRACE("member " + std::to_string(i) + " " + em.name);
            ASSERT_LT(i, w.members.size()) << "walk ended early with " << w.endCode;
            const rartest::MemberResult& m = w.members[i];
            // The reference library loses names with characters outside the BMP.
            if (!em.name.empty()) {
                EXPECT_EQ(m.name, em.name);
            } else {
                EXPECT_FALSE(m.name.empty());
            }
            EXPECT_EQ(m.unpSize, em.unp);
            EXPECT_EQ(rartest::IsDirectory(m.flags), (em.flags & 0x20) != 0);
            EXPECT_EQ(m.flags & 0x17, em.flags & 0x17) << "split/encrypted/solid bits";
            if (em.rc != 0) expectedFailure = true;
            if (em.flags & 0x03) {
                EXPECT_EQ(m.rc, ERAR_EOPEN) << "split members are not followed into other volumes";
                if (em.flags & 0x02) {
                    otherVolumes = true;
                    break;
                }
                continue;
            }
            if (em.rc != 0) {
                EXPECT_NE(m.rc, 0);
                if (em.rc == ERAR_MISSING_PASSWORD || em.rc == ERAR_BAD_PASSWORD) {
                    EXPECT_EQ(m.rc, em.rc);
                }
                continue;
            }
            if (rartest::IsDirectory(m.flags)) continue;
            if (NeedsRar4Coder(em) && !HaveRar4Coder(em.unpVer)) {
                EXPECT_EQ(m.rc, ERAR_UNKNOWN_FORMAT);
                EXPECT_EQ(m.bytes.size(), 0u) << "nothing is delivered for a member we cannot decode";
                continue;
            }
            EXPECT_EQ(m.rc, 0);
            EXPECT_EQ(rartest::Md5Hex(m.bytes), em.md5);
        }
        if (otherVolumes) {
            EXPECT_EQ(w.endCode, ERAR_END_ARCHIVE);
            continue;
        }
        if (expectedFailure) continue;  // the reference library stops early after a failure; we need not
        if (ew.endCode == ERAR_END_ARCHIVE) {
            EXPECT_EQ(w.members.size(), ew.members.size());
            EXPECT_EQ(w.endCode, ERAR_END_ARCHIVE);
        } else {
            EXPECT_NE(w.endCode, 0);
            EXPECT_NE(w.endCode, ERAR_END_ARCHIVE);
            if (ew.endCode == ERAR_MISSING_PASSWORD || ew.endCode == ERAR_BAD_PASSWORD) {
                EXPECT_EQ(w.endCode, ew.endCode);
            }
        }
    }
}

std::vector<std::string> FixtureNames() {
    std::vector<std::string> names;
    const fs::path dir = STAGEHOST_RAR_FIXTURES;
    std::error_code ec;
    if (!fs::is_directory(dir / "expected", ec)) return {"(fixtures missing)"};
    for (const auto& e : fs::directory_iterator(dir / "expected", ec)) {
        std::string n = e.path().filename().string();
        if (n.size() > 4 && n.compare(n.size() - 4, 4, ".txt") == 0) names.push_back(n.substr(0, n.size() - 4));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
    std::string s;
    for (char c : info.param) s += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return s;
}

INSTANTIATE_TEST_SUITE_P(Real, FixtureTest, ::testing::ValuesIn(FixtureNames()), TestName);

TEST(FixtureFolder, IsPresent) {
    const fs::path dir = STAGEHOST_RAR_FIXTURES;
    if (!fs::is_directory(dir / "expected"))
        GTEST_SKIP() << "fixtures not found at " << dir << " (set STAGEHOST_RAR_FIXTURES)";
    SUCCEED();
}

}  // namespace
