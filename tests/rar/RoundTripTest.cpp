// pack, then read back through the six calls: every format, header
// encryption and password length, with the names and members the resource
// archive is likely to hold.

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "RarWalk.h"
#include "rar/pack/ArchiveWriter.h"

namespace {

using rar::pack::Entry;
using rar::pack::Format;
using rar::pack::Options;

const char* const kHostPassword = "ArchiveStore::Mount : header digests mismatch (wrong key given?)";

std::vector<Entry> SampleEntries() {
    std::vector<Entry> v;
    auto file = [&](const std::string& name, const std::string& bytes) {
        Entry e;
        e.name = name;
        e.data.assign(bytes.begin(), bytes.end());
        e.mtime = 1700000000;
        v.push_back(e);
    };
    Entry dir;
    dir.name = "Textures";
    dir.isDir = true;
    v.push_back(dir);
    file("Textures/Sky.TGA", std::string(70000, '\x7f') + "end");
    file("empty.bin", "");
    file("shaders\\Water.fx", "float4 main() : COLOR { return 1; }");
    file("m\xC3\xBAsica/\xE6\x9B\xB2.ogg", "OggS");
    std::string binary;
    for (int i = 0; i < 5000; ++i) binary.push_back(char(i * 31 + (i >> 3)));
    file("data/blob.dat", binary);
    return v;
}

std::string TempPath(const std::string& name) { return rartest::ScratchPath(name); }

// RAR4 keeps the backslash as its path separator, so it reads back as "/".
std::string ExpectedName(const std::string& name, Format f) {
    if (f == Format::Rar5) return name;
    std::string s = name;
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

struct Combo {
    Format format;
    bool encryptHeaders;
    std::string password;
};

std::string Describe(const Combo& c) {
    return std::string(c.format == Format::Rar5 ? "rar5" : "rar4") + (c.encryptHeaders ? " -hp" : "") +
           " password length " + std::to_string(c.password.size());
}

void PrintTo(const Combo& c, std::ostream* os) { *os << Describe(c); }

std::vector<Combo> AllCombos() {
    const std::string passwords[] = {"", "pw", std::string("abcdefghijklmnopqrstuvwxyz01"),
                                     std::string("abcdefghijklmnopqrstuvwxyz012"), kHostPassword};
    std::vector<Combo> v;
    for (Format f : {Format::Rar5, Format::Rar4})
        for (bool hp : {false, true})
            for (const std::string& pw : passwords)
                if (!(hp && pw.empty())) v.push_back({f, hp, pw});
    return v;
}

class RoundTrip : public ::testing::TestWithParam<Combo> {};

TEST_P(RoundTrip, EveryMemberReadsBackIntact) {
    const Combo c = GetParam();
    SCOPED_TRACE(Describe(c));
    Options o;
    o.format = c.format;
    o.password = c.password;
    o.encryptHeaders = c.encryptHeaders;
    const std::vector<Entry> entries = SampleEntries();
    const std::string path = TempPath("combo.rar");
    std::string error;
    ASSERT_TRUE(rar::pack::WriteArchive(path, entries, o, error)) << error;

    rartest::WalkResult w = rartest::Walk(path, c.password.empty() ? nullptr : c.password.c_str());
    ASSERT_TRUE(w.opened);
    EXPECT_EQ(w.endCode, ERAR_END_ARCHIVE);
    ASSERT_EQ(w.members.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const rartest::MemberResult& m = w.members[i];
        EXPECT_EQ(m.name, ExpectedName(e.name, c.format));
        EXPECT_EQ(rartest::IsDirectory(m.flags), e.isDir) << e.name;
        EXPECT_EQ((m.flags & RHDF_ENCRYPTED) != 0, !c.password.empty() && !e.isDir) << e.name;
        EXPECT_EQ(m.rc, 0) << e.name;
        EXPECT_EQ(m.unpSize, e.data.size()) << e.name;
        EXPECT_EQ(m.bytes, std::string(e.data.begin(), e.data.end())) << e.name;
        EXPECT_EQ(m.method, 0x30u);
    }
    std::remove(path.c_str());
}

TEST_P(RoundTrip, WrongAndMissingPasswordsAreReported) {
    const Combo c = GetParam();
    if (c.password.empty()) GTEST_SKIP() << "not encrypted";
    SCOPED_TRACE(Describe(c));
    Options o;
    o.format = c.format;
    o.password = c.password;
    o.encryptHeaders = c.encryptHeaders;
    const std::string path = TempPath("pw.rar");
    std::string error;
    ASSERT_TRUE(rar::pack::WriteArchive(path, SampleEntries(), o, error)) << error;

    rartest::WalkResult none = rartest::Walk(path, nullptr);
    rartest::WalkResult wrong = rartest::Walk(path, "not the password");
    if (c.encryptHeaders) {
        EXPECT_TRUE(none.members.empty());
        EXPECT_EQ(none.endCode, ERAR_MISSING_PASSWORD);
        EXPECT_TRUE(wrong.members.empty());
        // RAR5 has a password check value; RAR4 only sees a header checksum fail.
        EXPECT_EQ(wrong.endCode, c.format == Format::Rar5 ? ERAR_BAD_PASSWORD : ERAR_BAD_DATA);
    } else {
        ASSERT_EQ(none.members.size(), SampleEntries().size());
        for (const auto& m : none.members) {
            if (!rartest::IsDirectory(m.flags)) {
                EXPECT_EQ(m.rc, ERAR_MISSING_PASSWORD) << m.name;
            }
        }
        ASSERT_EQ(wrong.members.size(), SampleEntries().size());
        for (const auto& m : wrong.members) {
            if (rartest::IsDirectory(m.flags)) continue;
            if (c.format == Format::Rar5) {
                EXPECT_EQ(m.rc, ERAR_BAD_PASSWORD) << m.name;
            } else if (m.unpSize > 0) {
                EXPECT_EQ(m.rc, ERAR_BAD_DATA) << m.name;
            }
        }
    }
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(AllFormats, RoundTrip, ::testing::ValuesIn(AllCombos()),
                         [](const ::testing::TestParamInfo<Combo>& i) {
                             return std::string(i.param.format == Format::Rar5 ? "Rar5" : "Rar4") +
                                    (i.param.encryptHeaders ? "Hp" : "") + "Pw" +
                                    std::to_string(i.param.password.size());
                         });

TEST(Pack, RefusesHeaderEncryptionWithoutPassword) {
    Options o;
    o.encryptHeaders = true;
    std::string error;
    EXPECT_FALSE(rar::pack::WriteArchive(TempPath("nopw.rar"), SampleEntries(), o, error));
    EXPECT_FALSE(error.empty());
}

TEST(Pack, LargeMemberIsDeliveredInChunksThatAddUp) {
    Entry e;
    e.name = "big.bin";
    e.data.resize(3 * 1024 * 1024 + 17);
    for (size_t i = 0; i < e.data.size(); ++i) e.data[i] = uint8_t(i * 7);
    Options o;
    o.password = "pw";
    const std::string path = TempPath("big.rar");
    std::string error;
    ASSERT_TRUE(rar::pack::WriteArchive(path, {e}, o, error)) << error;
    rartest::WalkResult w = rartest::Walk(path, "pw");
    ASSERT_EQ(w.members.size(), 1u);
    EXPECT_EQ(w.members[0].rc, 0);
    EXPECT_GT(w.members[0].chunks, 1u);
    EXPECT_EQ(w.members[0].bytes.size(), e.data.size());
    EXPECT_TRUE(w.members[0].bytes == std::string(e.data.begin(), e.data.end()));
    std::remove(path.c_str());
}

}  // namespace
