// Behaviour of the six calls that the file system relies on: result codes
// per call, the callback contract, name cutting, skipping.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "RarWalk.h"
#include "rar/Unrar.h"
#include "rar/pack/ArchiveWriter.h"

namespace {

using rar::pack::Entry;

std::string TempPath(const std::string& name) { return rartest::ScratchPath(name); }

Entry File(const std::string& name, const std::string& bytes) {
    Entry e;
    e.name = name;
    e.data.assign(bytes.begin(), bytes.end());
    return e;
}

std::string Pack(const std::string& file, const std::vector<Entry>& entries, rar::pack::Format f,
                 const std::string& password = "") {
    rar::pack::Options o;
    o.format = f;
    o.password = password;
    std::string path = TempPath(file), error;
    EXPECT_TRUE(rar::pack::WriteArchive(path, entries, o, error)) << error;
    return path;
}

HANDLE Open(const std::string& path, unsigned* result = nullptr) {
    RAROpenArchiveData od;
    std::memset(&od, 0, sizeof od);
    std::string name = path;
    od.ArcName = &name[0];
    od.OpenMode = RAR_OM_EXTRACT;
    HANDLE h = RAROpenArchive(&od);
    if (result) *result = od.OpenResult;
    return h;
}

struct Collect {
    std::string bytes;
    int stopAfter = -1;  // return -1 from this chunk on
    int calls = 0;
};

int CALLBACK Collector(UINT msg, LPARAM user, LPARAM p1, LPARAM p2) {
    if (msg != UCM_PROCESSDATA) return msg == UCM_NEEDPASSWORD ? -1 : 1;
    Collect* c = reinterpret_cast<Collect*>(user);
    if (c->stopAfter >= 0 && c->calls >= c->stopAfter) return -1;
    c->calls++;
    c->bytes.append(reinterpret_cast<const char*>(p1), size_t(p2));
    return 1;
}

TEST(Handle, MissingOrForeignArchiveFailsToOpen) {
    unsigned result = 0;
    EXPECT_EQ(Open(TempPath("does-not-exist.rar"), &result), nullptr);
    EXPECT_EQ(result, unsigned(ERAR_EOPEN));
    const std::string junk = TempPath("junk.rar");
    std::FILE* f = std::fopen(junk.c_str(), "wb");
    std::fputs("this is not an archive at all", f);
    std::fclose(f);
    EXPECT_EQ(Open(junk, &result), nullptr);
    EXPECT_EQ(result, unsigned(ERAR_BAD_ARCHIVE));
}

TEST(Handle, ResultCodesAreNotSticky) {
    for (auto fmt : {rar::pack::Format::Rar5, rar::pack::Format::Rar4}) {
        // Damage the first member's bytes: it fails, the second still succeeds.
        std::string path = Pack("sticky.rar", {File("a.txt", std::string(300, 'a')), File("b.txt", "bbb")}, fmt);
        std::FILE* f = std::fopen(path.c_str(), "r+b");
        std::vector<char> all(4096);
        size_t n = std::fread(all.data(), 1, all.size(), f);
        all.resize(n);
        size_t at = std::string(all.begin(), all.end()).find(std::string(300, 'a'));
        ASSERT_NE(at, std::string::npos);
        std::fseek(f, long(at + 10), SEEK_SET);
        std::fputc('X', f);
        std::fclose(f);
        rartest::WalkResult w = rartest::Walk(path, nullptr);
        ASSERT_EQ(w.members.size(), 2u);
        EXPECT_EQ(w.members[0].rc, ERAR_BAD_DATA);
        EXPECT_EQ(w.members[1].rc, 0);
        EXPECT_EQ(w.members[1].bytes, "bbb");
        EXPECT_EQ(w.endCode, ERAR_END_ARCHIVE);
    }
}

TEST(Handle, CallbackReturningMinusOneStopsOnlyThatMember) {
    Entry big = File("big.bin", std::string(3 * 1024 * 1024, 'z'));
    std::string path = Pack("stop.rar", {big, File("next.txt", "next")}, rar::pack::Format::Rar5);
    HANDLE h = Open(path);
    ASSERT_NE(h, nullptr);
    Collect c;
    c.stopAfter = 1;
    RARSetCallback(h, Collector, LPARAM(&c));
    RARHeaderData hd;
    std::memset(&hd, 0, sizeof hd);
    ASSERT_EQ(RARReadHeader(h, &hd), 0);
    EXPECT_NE(RARProcessFile(h, RAR_TEST, nullptr, nullptr), 0);
    EXPECT_EQ(c.calls, 1);
    EXPECT_LT(c.bytes.size(), big.data.size());
    c = Collect();
    std::memset(&hd, 0, sizeof hd);
    ASSERT_EQ(RARReadHeader(h, &hd), 0);
    EXPECT_STREQ(hd.FileName, "next.txt");
    EXPECT_EQ(RARProcessFile(h, RAR_TEST, nullptr, nullptr), 0);
    EXPECT_EQ(c.bytes, "next");
    EXPECT_EQ(RARReadHeader(h, &hd), ERAR_END_ARCHIVE);
    EXPECT_EQ(RARCloseArchive(h), 0);
}

TEST(Handle, ReadingHeadersWithoutProcessingSkipsMembers) {
    std::string path = Pack("skip.rar", {File("1", "one"), File("2", "two"), File("3", "three")},
                            rar::pack::Format::Rar4);
    HANDLE h = Open(path);
    ASSERT_NE(h, nullptr);
    Collect c;
    RARSetCallback(h, Collector, LPARAM(&c));
    RARHeaderData hd;
    ASSERT_EQ(RARReadHeader(h, &hd), 0);
    ASSERT_EQ(RARReadHeader(h, &hd), 0);
    EXPECT_STREQ(hd.FileName, "2");
    EXPECT_EQ(RARProcessFile(h, RAR_SKIP, nullptr, nullptr), 0);
    ASSERT_EQ(RARReadHeader(h, &hd), 0);
    EXPECT_EQ(RARProcessFile(h, RAR_TEST, nullptr, nullptr), 0);
    EXPECT_EQ(c.bytes, "three");
    EXPECT_EQ(RARProcessFile(h, RAR_TEST, nullptr, nullptr), ERAR_UNKNOWN) << "no header pending";
    RARCloseArchive(h);
}

TEST(Handle, LongNamesAreCutAtACharacterBoundary) {
    std::string name;
    while (name.size() < 400) name += "\xC3\xA9";  // 'é', two bytes each
    for (auto fmt : {rar::pack::Format::Rar5, rar::pack::Format::Rar4}) {
        rartest::WalkResult w = rartest::Walk(Pack("long.rar", {File(name, "x")}, fmt), nullptr);
        ASSERT_EQ(w.members.size(), 1u);
        EXPECT_LE(w.members[0].name.size(), 259u);
        EXPECT_EQ(w.members[0].name.size() % 2, 0u) << "cut inside a character";
        EXPECT_EQ(w.members[0].name, name.substr(0, w.members[0].name.size()));
        EXPECT_EQ(w.members[0].rc, 0);
    }
}

TEST(Handle, EncryptedMemberWithoutPasswordDeliversNothing) {
    std::string path = Pack("later.rar", {File("s.txt", "secret")}, rar::pack::Format::Rar5, "pw");
    HANDLE h = Open(path);
    ASSERT_NE(h, nullptr);
    Collect c;
    RARSetCallback(h, Collector, LPARAM(&c));
    RARHeaderData hd;
    ASSERT_EQ(RARReadHeader(h, &hd), 0);
    EXPECT_EQ(hd.Flags & RHDF_ENCRYPTED, unsigned(RHDF_ENCRYPTED));
    EXPECT_EQ(RARProcessFile(h, RAR_TEST, nullptr, nullptr), ERAR_MISSING_PASSWORD);
    EXPECT_TRUE(c.bytes.empty());
    RARCloseArchive(h);
}

TEST(Handle, NullArgumentsAreRejected) {
    EXPECT_EQ(RAROpenArchive(nullptr), nullptr);
    EXPECT_NE(RARCloseArchive(nullptr), 0);
    RARHeaderData hd;
    EXPECT_NE(RARReadHeader(nullptr, &hd), 0);
    EXPECT_NE(RARProcessFile(nullptr, RAR_TEST, nullptr, nullptr), 0);
    RARSetPassword(nullptr, nullptr);
    RARSetCallback(nullptr, nullptr, 0);
    RAROpenArchiveData od;
    std::memset(&od, 0, sizeof od);
    EXPECT_EQ(RAROpenArchive(&od), nullptr);
    EXPECT_NE(od.OpenResult, 0u);
}

}  // namespace
