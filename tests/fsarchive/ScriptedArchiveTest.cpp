// The archive side of the file system against a scripted archive library:
// what it asks of the library, what it serves, and how it treats members that
// the library reports or delivers wrongly.
#include <string>

#include "FsArchiveFixture.h"
#include "ScriptedArchive.h"

namespace fstest {
namespace {

const unsigned kDir = 0xE0;  // how our reader marks a directory entry

class ScriptedTest : public FsArchiveTest {
protected:
    ScriptedArchive arc;
};

TEST_F(ScriptedTest, OpenWalksInArchiveOrderAndServesTheFirstMatch) {
    arc.members = {{"Data\\One.txt", "first"}, {"two.txt", "second"}, {"data/one.txt", "duplicate"}};
    FileHandle h = fs_->OpenFile("DATA/ONE.TXT", "rb");
    ASSERT_EQ(h, 1);
    EXPECT_EQ(ReadAll(h), "first");
    EXPECT_EQ(arc.opens, 1);
    EXPECT_EQ(arc.closes, 1);
    EXPECT_EQ(arc.tests, 1);
    EXPECT_EQ(arc.skips, 0) << "the walk stops at the first match";
    EXPECT_EQ(arc.password, "ArchiveStore::Mount : header digests mismatch (wrong key given?)");
    EXPECT_EQ(arc.callbackUserData, 0);

    FileHandle h2 = fs_->OpenFile("two.txt", "rb");
    ASSERT_EQ(h2, 2);
    EXPECT_EQ(arc.opens, 2) << "every open walks the archive again";
    EXPECT_EQ(arc.skips, 1);
    EXPECT_EQ(ReadAll(h2), "second");
    fs_->CloseFile(h);
    fs_->CloseFile(h2);
    EXPECT_EQ(LogBody(), "") << "the password is never logged";
}

TEST_F(ScriptedTest, FindsAMemberBehindManyOthers) {
    for (int i = 0; i < 9; ++i) arc.members.push_back({"m" + std::to_string(i), "bytes" + std::to_string(i)});
    FileHandle h = fs_->OpenFile("M8", "rb");
    ASSERT_EQ(h, 1);
    EXPECT_EQ(ReadAll(h), "bytes8");
    EXPECT_EQ(arc.skips, 8);
    fs_->CloseFile(h);
}

TEST_F(ScriptedTest, MissAndHeaderErrorEndTheWalk) {
    arc.members = {{"a", "x"}, {"b", "y"}};
    EXPECT_EQ(fs_->OpenFile("c", "rb"), 0);
    EXPECT_EQ(arc.closes, 1);
    arc.headerErrorAt = 1;
    EXPECT_EQ(fs_->OpenFile("b", "rb"), 0);
    EXPECT_EQ(arc.closes, 2);
    EXPECT_EQ(LogBody(),
              "Warning: can't open file 'c' in mode 'rb'\n"
              "Warning: CRARFileSystem::OpenFile : error reading the archive's headers (result = 13)\n"
              "Warning: can't open file 'b' in mode 'rb'\n");
}

// Members the library reports or delivers wrongly are never served.
struct BadMember {
    const char* what;
    ScriptedMember member;
    const char* openWarning;   // first warning line of an uncached open
    const char* cacheWarning;  // warning line of CacheArchive
};

class BadMemberTest : public ScriptedTest, public ::testing::WithParamInterface<BadMember> {};

TEST_P(BadMemberTest, IsNeitherOpenedNorCached) {
    const BadMember& c = GetParam();
    arc.members = {c.member, {"good", "fine"}};
    EXPECT_EQ(fs_->OpenFile("bad", "rb"), 0);
    EXPECT_EQ(arc.closes, arc.opens);
    EXPECT_EQ(LogBody(), std::string(c.openWarning) + "\nWarning: can't open file 'bad' in mode 'rb'\n");

    WriteFile("runtime.log", "Starting logging service\n");
    delete log_;
    log_ = new CLogService;
    SetProcessServices(log_, vars_, fs_);
    fs_->CacheArchive();
    EXPECT_EQ(fs_->OpenFile("bad", "rb"), 0);
    FileHandle good = fs_->OpenFile("good", "rb");
    EXPECT_EQ(ReadAll(good), "fine");
    fs_->CloseFile(good);
    fs_->ReleaseArchiveCache();
    EXPECT_EQ(LogBody(), std::string(c.cacheWarning) +
                             "\nCached 1 files of 4 bytes total size\n"
                             "Warning: can't open file 'bad' in mode 'rb'\n"
                             "Releasing archive cache\n"
                             "Total unused files in archive: 0 (0 bytes)\n");
}

ScriptedMember Member(const std::string& bytes, long long unpSize, int result = 0, size_t chunk = 0) {
    ScriptedMember m;
    m.name = "bad";
    m.bytes = bytes;
    m.unpSize = unpSize;
    m.processResult = result;
    m.chunkSize = chunk;
    return m;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadMemberTest,
    ::testing::Values(
        BadMember{"crc", Member("abcd", 4, ERAR_BAD_DATA),
                  "Warning: CRARFileSystem::OpenFile : can't unpack 'bad' from the archive (result = 12)",
                  "Warning: CRARFileSystem::CacheArchive : not caching 'bad' (unpack result = 12)"},
        BadMember{"password", Member("", 4, ERAR_BAD_PASSWORD),
                  "Warning: CRARFileSystem::OpenFile : can't unpack 'bad' from the archive (result = 24)",
                  "Warning: CRARFileSystem::CacheArchive : not caching 'bad' (unpack result = 24)"},
        BadMember{"longer", Member("abcdefgh", 4, 0, 3),
                  "Warning: CRARFileSystem::OpenFile : can't unpack 'bad' from the archive (result = 21)",
                  "Warning: CRARFileSystem::CacheArchive : not caching 'bad' (unpack result = 21)"},
        BadMember{"shorter", Member("ab", 4),
                  "Warning: CRARFileSystem::OpenFile : can't unpack 'bad' from the archive (result = 12)",
                  "Warning: CRARFileSystem::CacheArchive : not caching 'bad' (unpack result = 12)"},
        BadMember{"negative", Member("", 0x80000000LL),
                  "Warning: CRARFileSystem::OpenFile : 'bad' has an unusable unpacked size (2147483648 bytes)",
                  "Warning: CRARFileSystem::CacheArchive : not caching 'bad' (unusable unpacked size of "
                  "2147483648 bytes)"},
        BadMember{"huge", Member("", 0xFFFFFFFFLL),
                  "Warning: CRARFileSystem::OpenFile : 'bad' has an unusable unpacked size (4294967295 bytes)",
                  "Warning: CRARFileSystem::CacheArchive : not caching 'bad' (unusable unpacked size of "
                  "4294967295 bytes)"}),
    [](const ::testing::TestParamInfo<BadMember>& info) { return std::string(info.param.what); });

TEST_F(ScriptedTest, CacheSkipsDirectoriesAndServesFromMemory) {
    arc.members = {{"Maps", "", kDir}, {"Maps\\Level.BIN", "level"}, {"empty", ""}, {"text.txt", "hello"}};
    fs_->CacheArchive();
    EXPECT_EQ(arc.tests, 3) << "directory entries are not unpacked";
    EXPECT_EQ(arc.closes, 1);
    EXPECT_TRUE(fs_->archiveCached);

    const int opensAfterCache = arc.opens;
    FileHandle a = fs_->OpenFile("maps/level.bin", "rb");
    FileHandle b = fs_->OpenFile("MAPS\\LEVEL.BIN", "rb");
    FileHandle e = fs_->OpenFile("empty", "rb");
    ASSERT_EQ(a, 1);
    ASSERT_EQ(b, 2);
    ASSERT_EQ(e, 3);
    EXPECT_EQ(fs_->OpenFile("maps", "rb"), 0) << "a directory entry is no file";
    EXPECT_EQ(arc.opens, opensAfterCache) << "the archive is not opened while the cache is held";
    EXPECT_EQ(fs_->slots[a].data, fs_->slots[b].data) << "both handles share the cached bytes";
    EXPECT_FALSE(fs_->slots[a].ownsData);
    EXPECT_EQ(fs_->GetSize(e), 0);
    EXPECT_TRUE(fs_->IsEof(e));
    char c;
    EXPECT_EQ(fs_->Read(a, &c, 1), 1);
    EXPECT_EQ(ReadAll(b), "level") << "positions are independent";
    for (FileHandle h : {a, b, e}) fs_->CloseFile(h);
    EXPECT_NE(fs_->cacheTable.entries[1].data, nullptr) << "closing leaves the cache's buffer alone";

    fs_->ReleaseArchiveCache();
    fs_->ReleaseArchiveCache();  // a second release does nothing
    EXPECT_EQ(LogBody(),
              "Cached 3 files of 10 bytes total size\n"
              "Warning: can't open file 'maps' in mode 'rb'\n"
              "Releasing archive cache\n"
              "Untouched: 'text.txt' (5 bytes)\n"
              "Total unused files in archive: 1 (5 bytes)\n");
    EXPECT_EQ(fs_->cacheTable.count, 0);
    EXPECT_EQ(fs_->cacheTable.capacity, 8) << "the array stays until the file system goes";

    FileHandle again = fs_->OpenFile("text.txt", "rb");
    EXPECT_EQ(arc.opens, opensAfterCache + 1) << "after the release every miss walks the archive";
    EXPECT_TRUE(fs_->slots[again].ownsData);
    fs_->CloseFile(again);
}

TEST_F(ScriptedTest, SystemLibraryDirectoryBitIsNoDirectoryForOurReader) {
    // 0x20 alone is a directory only for a system's UnRAR library.
    arc.members = {{"d", "", 0x20}, {"solid", "s", 0x10 | 0x04}};
    fs_->CacheArchive();
#ifdef STAGEHOST_SYSTEM_UNRAR
    EXPECT_EQ(fs_->cacheTable.count, 1);
#else
    EXPECT_EQ(fs_->cacheTable.count, 2);
#endif
}

TEST_F(ScriptedTest, FilesStillOpenAtTheReleaseKeepTheirBytes) {
    arc.members = {{"shared", "0123456789"}, {"single", "abc"}, {"closed", "zz"}};
    fs_->CacheArchive();
    FileHandle a = fs_->OpenFile("shared", "rb");
    FileHandle b = fs_->OpenFile("shared", "rb");
    FileHandle s = fs_->OpenFile("single", "rb");
    FileHandle z = fs_->OpenFile("closed", "rb");
    fs_->CloseFile(z);
    char buf[4] = {};
    ASSERT_EQ(fs_->Read(a, buf, 4), 4);

    fs_->ReleaseArchiveCache();
    EXPECT_EQ(LogBody(),
              "Cached 3 files of 15 bytes total size\n"
              "Releasing archive cache\n"
              "Total unused files in archive: 0 (0 bytes)\n");
    EXPECT_TRUE(fs_->slots[a].ownsData);
    EXPECT_TRUE(fs_->slots[b].ownsData);
    EXPECT_NE(fs_->slots[a].data, fs_->slots[b].data) << "each open file owns a buffer of its own";
    EXPECT_EQ(ReadAll(a), "456789");
    EXPECT_EQ(ReadAll(b), "0123456789");
    EXPECT_EQ(ReadAll(s), "abc");
    fs_->CloseFile(a);
    // b and s stay open: the destructor closes them (the sanitizer build checks
    // that nothing leaks or is freed twice).
}

TEST_F(ScriptedTest, LongMemberNamesAreFoundThroughTheCache) {
    const std::string dir(150, 'D');
    const std::string name = dir + "\\File.bin";
    arc.members = {{name, "long"}};
    fs_->CacheArchive();
    std::string request = std::string(150, 'd') + "/file.bin";
    FileHandle h = fs_->OpenFile(request.c_str(), "rb");
    ASSERT_NE(h, 0);
    EXPECT_EQ(ReadAll(h), "long");
    EXPECT_EQ(fs_->OpenFile(request.substr(0, 127).c_str(), "rb"), 0) << "no match on a cut name";
    fs_->CloseFile(h);
}

TEST_F(ScriptedTest, ArchiveThatCannotBeOpened) {
    WriteFile("plain.txt", "plain");
    for (bool nullHandle : {false, true}) {
        arc.nullHandle = nullHandle;
        arc.openResult = nullHandle ? 0 : ERAR_BAD_ARCHIVE;
        const int result = nullHandle ? ERAR_EOPEN : ERAR_BAD_ARCHIVE;
        EXPECT_EQ(ErrorOf([&] { fs_->OpenFile("member", "rb"); }),
                  "Init: CRARFileSystem::OpenFile : error opening main archive (resources.heap) (open result = " +
                      std::to_string(result) + ")");
        EXPECT_FALSE(fs_->slots[1].inUse);
        EXPECT_EQ(ErrorOf([&] { fs_->CacheArchive(); }),
                  "Init: CRARFileSystem::CacheArchive : error opening main archive (resources.heap) (open result "
                  "= " + std::to_string(result) + ")");
        EXPECT_FALSE(fs_->archiveCached);
        EXPECT_EQ(arc.closes, 2) << "a handle that came with a failure is closed";
    }
    FileHandle p = fs_->OpenFile("plain.txt", "rb");
    EXPECT_EQ(p, 1) << "plain files still open";
    fs_->CloseFile(p);
}

// Which lines CacheArchive and the release log for each setting of the two switches.
struct Switches {
    int disable, dontUse;
    const char* log;
};

class SwitchTest : public ScriptedTest, public ::testing::WithParamInterface<Switches> {};

TEST_P(SwitchTest, CacheLines) {
    arc.members = {{"m", "1234"}};
    host_.disableMemoryCache->SetInt(GetParam().disable);
    host_.dontUsePack->SetInt(GetParam().dontUse);
    fs_->CacheArchive();
    fs_->ReleaseArchiveCache();
    EXPECT_EQ(LogBody(), GetParam().log);
    EXPECT_EQ(arc.opens, GetParam().disable == 0 && GetParam().dontUse == 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SwitchTest,
    ::testing::Values(
        Switches{0, 1, "Using archive is disabled\n"},
        Switches{7, 1, "Not caching the archive - explicitly disabled (s_disablememorycache = 7)\n"},
        Switches{-1, 0, "Not caching the archive - explicitly disabled (s_disablememorycache = -1)\n"},
        Switches{0, 0,
                 "Cached 1 files of 4 bytes total size\nReleasing archive cache\nUntouched: 'm' (4 bytes)\n"
                 "Total unused files in archive: 1 (4 bytes)\n"}));

TEST_F(ScriptedTest, DontUsePackIsReadAtEveryOpen) {
    arc.members = {{"m", "1234"}};
    fs_->CacheArchive();
    host_.dontUsePack->SetInt(1);
    EXPECT_EQ(fs_->OpenFile("m", "rb"), 0);
    host_.dontUsePack->SetInt(0);
    FileHandle h = fs_->OpenFile("m", "rb");
    EXPECT_EQ(h, 1);
    fs_->CloseFile(h);
}

}  // namespace
}  // namespace fstest
