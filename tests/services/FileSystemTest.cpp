// The open-file table, plain files and name normalisation.
#include <cstring>
#include <filesystem>
#include <string>

#include "WorkDir.h"
#include "errors/Error.h"
#include "filesystem/NormalizePath.h"
#include "filesystem/RARFileSystem.h"
#include "log/LogService.h"
#include "sdk/Services.h"
#include "vars/HostVars.h"

namespace {

class FileSystemTest : public WorkDirTest {
protected:
    void SetUp() override {
        WorkDirTest::SetUp();
        vars_ = new CVarList;
        host_ = RegisterHostVars(*vars_);
        log_ = new CLogService;
        fs_ = new CRARFileSystem;
        SetProcessServices(log_, vars_, fs_);
        WriteFile("ten.bin", "0123456789");
        WriteFile("empty.bin", "");
    }
    void TearDown() override {
        delete fs_;
        delete log_;
        delete vars_;
        WorkDirTest::TearDown();
    }
    // The log lines after the start line.
    std::string LogBody() { return ReadFile("runtime.log").substr(std::strlen("Starting logging service\n")); }

    CVarList* vars_ = nullptr;
    HostVars host_{};
    CLogService* log_ = nullptr;
    CRARFileSystem* fs_ = nullptr;
};

TEST_F(FileSystemTest, LowestFreeHandleIsTaken) {
    FileHandle a = fs_->OpenFile("ten.bin", "rb");
    EXPECT_EQ(a, 1);
    fs_->CloseFile(a);
    EXPECT_EQ(a, 1) << "the caller's variable keeps its value";
    EXPECT_EQ(fs_->OpenFile("ten.bin", "rb"), 1);
    EXPECT_EQ(fs_->OpenFile("ten.bin", "rb"), 2);
    EXPECT_EQ(fs_->OpenFile("ten.bin", "rb"), 3);
    FileHandle two = 2;
    fs_->CloseFile(two);
    EXPECT_EQ(fs_->OpenFile("missing.bin", "rb"), 0);
    EXPECT_EQ(fs_->OpenFile("empty.bin", "rb"), 2);
    EXPECT_EQ(fs_->OpenFile("ten.bin", "rb"), 4);
}

TEST_F(FileSystemTest, SixteenthOpenThrowsTheLimitError) {
    for (FileHandle h = 1; h <= 15; ++h) ASSERT_EQ(fs_->OpenFile("ten.bin", "rb"), h);
    for (const char* name : {"ten.bin", "missing.bin"}) {
        try {
            fs_->OpenFile(name, "rb");
            FAIL() << "no error for " << name;
        } catch (CError* e) {
            EXPECT_STREQ(e->GetTypeName(), "Runtime");
            EXPECT_EQ(std::string(e->message), std::string("CRARFileSystem::OpenFile : '") + name +
                                                   "' can't be opened (limit of 16 opened files exceeded)");
            DeleteError(e);
        }
    }
    EXPECT_EQ(LogBody(), "") << "a full table logs nothing";
    FileHandle seven = 7;
    fs_->CloseFile(seven);
    EXPECT_EQ(fs_->OpenFile("ten.bin", "rb"), 7);
}

TEST_F(FileSystemTest, MissingFileLogsAWarningAndReturnsZero) {
    EXPECT_EQ(fs_->OpenFile("data/Missing.TGA", "rb"), 0);
    EXPECT_EQ(fs_->OpenFile("other.bin", "r"), 0);
    EXPECT_EQ(LogBody(),
              "Warning: can't open file 'data/Missing.TGA' in mode 'rb'\n"
              "Warning: can't open file 'other.bin' in mode 'r'\n");
    EXPECT_EQ(fs_->OpenFile("ten.bin", "rb"), 1);
}

TEST_F(FileSystemTest, ReadsStopAtTheSize) {
    FileHandle h = fs_->OpenFile("ten.bin", "rb");
    ASSERT_EQ(h, 1);
    EXPECT_EQ(fs_->GetSize(h), 10);
    char buf[16] = {};
    EXPECT_FALSE(fs_->IsEof(h));
    EXPECT_EQ(fs_->Read(h, buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "0123");
    EXPECT_FALSE(fs_->IsEof(h));
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(fs_->Read(h, buf, 10), 6);
    EXPECT_EQ(std::string(buf, 7), "456789#") << "nothing written past the delivered bytes";
    EXPECT_TRUE(fs_->IsEof(h));
    EXPECT_EQ(fs_->Read(h, buf, 1), 0);
    EXPECT_EQ(fs_->Read(h, buf, 0), 0);
    EXPECT_EQ(fs_->Read(h, buf, -5), 0);
    fs_->CloseFile(h);
}

TEST_F(FileSystemTest, FileThatShrinksWhileOpenStillReachesItsEnd) {
    WriteFile("big.bin", std::string(1 << 16, 'b'));
    FileHandle h = fs_->OpenFile("big.bin", "rb");
    std::filesystem::resize_file("big.bin", 3);
    char buf[1000];
    int32_t total = 0;
    int reads = 0;
    while (!fs_->IsEof(h) && reads < 1000) {
        total += fs_->Read(h, buf, sizeof buf);
        ++reads;
    }
    EXPECT_TRUE(fs_->IsEof(h)) << "a read-until-end loop finishes";
    EXPECT_LT(total, 1 << 16);
    EXPECT_EQ(fs_->GetSize(h), 1 << 16) << "the size stays what it was at open";
}

TEST_F(FileSystemTest, DirectoryIsNotAFile) {
    std::filesystem::create_directory("textures");
    EXPECT_EQ(fs_->OpenFile("textures", "rb"), 0);
    EXPECT_EQ(LogBody(), "Warning: can't open file 'textures' in mode 'rb'\n");
}

TEST_F(FileSystemTest, EmptyFileIsAtEndRightAfterOpening) {
    FileHandle h = fs_->OpenFile("empty.bin", "rb");
    ASSERT_NE(h, 0);
    EXPECT_EQ(fs_->GetSize(h), 0);
    EXPECT_TRUE(fs_->IsEof(h));
    char c = 'x';
    EXPECT_EQ(fs_->Read(h, &c, 1), 0);
    EXPECT_EQ(c, 'x');
}

TEST_F(FileSystemTest, WritingIsRefusedWithALogLine) {
    FileHandle h = fs_->OpenFile("new.bin", "wb");
    ASSERT_EQ(h, 1);
    EXPECT_TRUE(std::filesystem::exists("new.bin")) << "the open itself creates the file";
    EXPECT_EQ(fs_->Write(h, "abc", 3), 0);
    EXPECT_EQ(fs_->GetSize(h), 0);
    fs_->CloseFile(h);
    EXPECT_EQ(std::filesystem::file_size("new.bin"), 0u);
    EXPECT_EQ(LogBody(), "CRARFileSystem::Write : method unsupported for this filesystem\n");
}

TEST_F(FileSystemTest, NamesLongerThanTheNormalisationBufferAreRefused) {
    // An existing file whose relative path runs past 255 characters.
    std::string dir;
    for (int i = 0; i < 130; ++i) dir += "d/";
    std::filesystem::create_directories(dir);
    WriteFile(dir + "f", "x");
    const std::string name = dir + "f";
    ASSERT_GT(name.size(), 255u);
    EXPECT_EQ(fs_->OpenFile(name.c_str(), "rb"), 0);
    EXPECT_EQ(LogBody(), "Warning: can't open file '" + name + "' in mode 'rb'\n");
    EXPECT_EQ(fs_->OpenFile("ten.bin", "rb"), 1) << "no slot was taken";

    // 255 characters still fit.
    std::string fits = "./" + std::string(253, 'a');
    EXPECT_EQ(fs_->OpenFile(fits.c_str(), "rb"), 0);
}

TEST_F(FileSystemTest, BadHandlesGiveNeutralResults) {
    char buf[4];
    FileHandle h = fs_->OpenFile("ten.bin", "rb");
    FileHandle closed = h;
    fs_->CloseFile(closed);
    for (FileHandle bad : {0, -1, 15, 16, 1000, h}) {
        EXPECT_EQ(fs_->GetSize(bad), 0);
        EXPECT_EQ(fs_->Read(bad, buf, 4), 0);
        EXPECT_TRUE(fs_->IsEof(bad));
        fs_->CloseFile(bad);
    }
    EXPECT_NE(LogBody().find("Warning: CRARFileSystem::Read : invalid file handle 16\n"), std::string::npos);
    EXPECT_EQ(fs_->OpenFile("ten.bin", "rb"), 1);
}

TEST_F(FileSystemTest, NullNameOrModeIsAFailedOpen) {
    EXPECT_EQ(fs_->OpenFile(nullptr, "rb"), 0);
    EXPECT_EQ(fs_->OpenFile("ten.bin", nullptr), 0);
    EXPECT_EQ(LogBody(), "Warning: can't open file '' in mode 'rb'\nWarning: can't open file 'ten.bin' in mode ''\n");
}

TEST_F(FileSystemTest, DestructionClosesFilesLeftOpenAndLeavesTheProcessSlot) {
    fs_->OpenFile("ten.bin", "rb");
    fs_->OpenFile("empty.bin", "rb");
    fs_->CacheArchive();
    delete fs_;
    fs_ = nullptr;
    EXPECT_EQ(GetProcessFileSystem(), nullptr);
}

TEST_F(FileSystemTest, ReachableThroughTheInterface) {
    CFileSystem* fs = GetProcessFileSystem();
    FileHandle h = fs->OpenFile("ten.bin", "rb");
    char buf[10];
    EXPECT_EQ(fs->Read(h, buf, 10), 10);
    EXPECT_TRUE(fs->IsEof(h));
    fs->CloseFile(h);
}

TEST_F(FileSystemTest, CachingSwitchedOffIsLogged) {
    fs_->CacheArchive();  // defaults: the archive is not used
    host_.disableMemoryCache->SetInt(2);
    fs_->CacheArchive();
    fs_->ReleaseArchiveCache();  // no cache was held: no report
    EXPECT_EQ(LogBody(),
              "Using archive is disabled\n"
              "Not caching the archive - explicitly disabled (s_disablememorycache = 2)\n");
    EXPECT_FALSE(fs_->archiveCached);
}

TEST(NormalizePath, LowerCasesAsciiAndTurnsBackslashes) {
    struct Case {
        const char* in;
        const char* out;
    } const cases[] = {
        {"Data\\Textures\\Wall.TGA", "data/textures/wall.tga"},
        {"\\Leading", "/leading"},
        {"already/fine.bin", "already/fine.bin"},
        {"a\\\\b//C", "a//b//c"},
        {"./X/../Y", "./x/../y"},
        {"", ""},
        {"\xC3\x84RGER\\\xC3\x9C.PNG", "\xC3\x84rger/\xC3\x9C.png"},  // UTF-8 bytes stay as they are
        {"\xD0\x9F\xD0\xA0", "\xD0\x9F\xD0\xA0"},
    };
    for (const Case& c : cases) EXPECT_STREQ(NormalizePath(c.in), c.out) << c.in;
}

TEST(NormalizePath, FourResultsLiveAtOnce) {
    const char* r[4];
    for (int i = 0; i < 4; ++i) r[i] = NormalizePath(std::string(1, static_cast<char>('A' + i)).c_str());
    EXPECT_STREQ(r[0], "a");
    EXPECT_STREQ(r[3], "d");
    const char* fifth = NormalizePath("E");
    EXPECT_EQ(fifth, r[0]);
    EXPECT_STREQ(r[0], "e");
    EXPECT_STREQ(r[1], "b");
}

TEST(NormalizePath, LongNamesAreCutInsideTheBuffer) {
    std::string longName(600, 'Q');
    EXPECT_FALSE(FitsNormalizedPath(longName.c_str()));
    EXPECT_TRUE(FitsNormalizedPath(std::string(255, 'q').c_str()));
    EXPECT_FALSE(FitsNormalizedPath(nullptr));
    EXPECT_EQ(std::string(NormalizePath(longName.c_str())), std::string(255, 'q'));
}

}  // namespace
