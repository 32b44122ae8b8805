// The real stagehost binary with a test engine that reads its resources from
// resources.heap archives made by `heaptool pack`: the archive memory cache
// during Precache and its release report, the archive walk afterwards, the
// two switches, and the failures that end a run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "HostRun.h"

using namespace hosttest;

namespace {

struct Format {
    const char* name;
    const char* packOptions;  // heaptool options
};

const Format kFormats[] = {
    {"Rar5", ""}, {"Rar5HeadersEncrypted", "-e"}, {"Rar4", "-f rar4"}, {"Rar4HeadersEncrypted", "-f rar4 -e"}};

const std::string kBig(3000, 'B');

class HostArchive : public ::testing::Test {
protected:
    // The resource tree that goes into resources.heap.
    void AddMember(const std::string& name, const std::string& bytes) {
        std::filesystem::path p = std::filesystem::path(src.Path()) / name;
        std::filesystem::create_directories(p.parent_path());
        WriteFile(p.string(), bytes);
    }
    void AddStandardMembers() {
        AddMember("Data/Sub/Tex.TGA", "tex\x01\x02");
        AddMember("a.txt", "abc");
        AddMember("big.bin", kBig);
        AddMember("empty.bin", "");
    }
    void Pack(const std::string& options) {
        std::string cmd = std::string(HEAPTOOL_BIN) + " " + options + " pack '" + dir.File("resources.heap") + "' '" +
                          src.Path() + "' > /dev/null";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }
    void Vars(int disableMemoryCache, int dontUsePack) {
        WriteFile(dir.File("vars.cfg"), "s_disablememorycache \"" + std::to_string(disableMemoryCache) +
                                            "\"\ns_dontusepack \"" + std::to_string(dontUsePack) + "\"\n");
    }
    RunResult Run(const std::string& precache, const std::string& frame = "") {
        CopyFile(READER_ENGINE, dir.File("render.so"));
        WriteFile(dir.File("precache.script"), precache);
        WriteFile(dir.File("frame.script"), frame);
        RunResult r = RunToEnd(STAGEHOST_BIN, dir.Path(), Headless(), 60000);
        EXPECT_FALSE(r.timedOut);
        return r;
    }
    std::string Log() { return ReadFile(dir.File("runtime.log")); }
    std::vector<std::string> Reads() { return ReadLines(dir.File("reads.record")); }

    // The lines of the log that the file system wrote.
    std::string FileSystemLines() {
        std::string out;
        for (const std::string& line : ReadLines(dir.File("runtime.log"))) {
            for (const char* p : {"Cached ", "Releasing ", "Untouched: ", "Total unused", "Warning: can't", "Warning: CRAR",
                                  "Not caching", "Using archive"}) {
                if (line.rfind(p, 0) == 0) {
                    out += line + "\n";
                    break;
                }
            }
        }
        return out;
    }

    TempDir dir;  // the working directory
    TempDir src;  // the tree that is packed
};

class HostArchiveFormat : public HostArchive, public ::testing::WithParamInterface<Format> {};

TEST_P(HostArchiveFormat, CacheServesPrecacheAndTheWalkServesFrames) {
    AddStandardMembers();
    Pack(GetParam().packOptions);
    Vars(0, 0);
    RunResult r = Run(
        "read DATA\\SUB\\TEX.TGA\n"
        "hold a.txt\n"
        "read a.txt\n"
        "readheld\n"
        "closeall\n"
        "read empty.bin\n"
        "read Data/Sub\n"
        "read missing.txt\n",
        "read big.bin\n"
        "read A.TXT\n");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Log(),
              "Starting logging service\n"
              "Cached 4 files of 3008 bytes total size\n"
              "Warning: can't open file 'Data/Sub' in mode 'rb'\n"
              "Warning: can't open file 'missing.txt' in mode 'rb'\n"
              "Releasing archive cache\n"
              "Untouched: 'big.bin' (3000 bytes)\n"
              "Total unused files in archive: 1 (3000 bytes)\n"
              "--------------------\n"
              "Closing logging service\n");
    EXPECT_EQ(Reads(), (std::vector<std::string>{
                           "read DATA\\SUB\\TEX.TGA handle=1 size=5 eof=0 bytes=tex\\x01\\x02 eof=1",
                           "hold a.txt handle=1 size=3 eof=0 bytes=abc eof=1",
                           "read a.txt handle=2 size=3 eof=0 bytes=abc eof=1",
                           "held 1 bytes=",
                           "read empty.bin handle=1 size=0 eof=1 bytes= eof=1",
                           "read Data/Sub handle=0",
                           "read missing.txt handle=0",
                           "read big.bin handle=1 size=3000 eof=0 bytes=" + kBig + " eof=1",
                           "read A.TXT handle=1 size=3 eof=0 bytes=abc eof=1",
                       }));
}

TEST_P(HostArchiveFormat, DamagedMemberIsNeitherCachedNorServed) {
    AddMember("a.txt", "abc");
    AddMember("big.bin", kBig);
    Pack(GetParam().packOptions);
    // The middle of the archive lies inside big.bin's data.
    const std::string path = dir.File("resources.heap");
    std::string bytes = ReadFile(path);
    bytes[bytes.size() / 2] ^= 0x55;
    WriteFile(path, bytes);

    Vars(0, 0);
    Run("read big.bin\nread a.txt\n", "read big.bin\n");
    const std::string lines = FileSystemLines();
    const std::string warning = "Warning: CRARFileSystem::CacheArchive : not caching 'big.bin' (unpack result = ";
    ASSERT_EQ(lines.rfind(warning, 0), 0u) << lines;
    EXPECT_EQ(lines.substr(lines.find('\n') + 1),
              "Cached 1 files of 3 bytes total size\n"
              "Warning: can't open file 'big.bin' in mode 'rb'\n"
              "Releasing archive cache\n"
              "Total unused files in archive: 0 (0 bytes)\n"
              "Warning: CRARFileSystem::OpenFile : can't unpack 'big.bin' from the archive (result = " +
                  lines.substr(warning.size(), lines.find(')') - warning.size()) +
                  ")\n"
                  "Warning: can't open file 'big.bin' in mode 'rb'\n");
    EXPECT_EQ(Reads(), (std::vector<std::string>{"read big.bin handle=0",
                                                  "read a.txt handle=1 size=3 eof=0 bytes=abc eof=1",
                                                  "read big.bin handle=0"}));
}

INSTANTIATE_TEST_SUITE_P(Formats, HostArchiveFormat, ::testing::ValuesIn(kFormats),
                         [](const ::testing::TestParamInfo<Format>& info) { return std::string(info.param.name); });

// What each setting of the two switches logs and serves.
struct Switches {
    int disable, dontUse;
    const char* cacheLine;
    bool served;  // archive members can be opened
};

class HostArchiveSwitches : public HostArchive, public ::testing::WithParamInterface<Switches> {};

TEST_P(HostArchiveSwitches, LinesAndReads) {
    AddStandardMembers();
    Pack("");
    Vars(GetParam().disable, GetParam().dontUse);
    Run("read a.txt\n", "read a.txt\n");
    std::string expected = std::string(GetParam().cacheLine) + "\n";
    std::string read = "read a.txt handle=1 size=3 eof=0 bytes=abc eof=1";
    if (!GetParam().served) expected += "Warning: can't open file 'a.txt' in mode 'rb'\n"
                                        "Warning: can't open file 'a.txt' in mode 'rb'\n";
    EXPECT_EQ(FileSystemLines(), expected);
    std::vector<std::string> reads(2, GetParam().served ? read : "read a.txt handle=0");
    EXPECT_EQ(Reads(), reads);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostArchiveSwitches,
    ::testing::Values(Switches{0, 1, "Using archive is disabled", false},
                      Switches{1, 1, "Not caching the archive - explicitly disabled (s_disablememorycache = 1)", false},
                      Switches{2, 0, "Not caching the archive - explicitly disabled (s_disablememorycache = 2)", true}));

TEST_F(HostArchive, PlainFileShadowsTheMember) {
    AddStandardMembers();
    Pack("");
    WriteFile(dir.File("a.txt"), "plain");
    Vars(0, 0);
    Run("read a.txt\nread Data/Sub/Tex.TGA\nread empty.bin\n");
    EXPECT_EQ(Reads()[0], "read a.txt handle=1 size=5 eof=0 bytes=plain eof=1");
    EXPECT_EQ(FileSystemLines(),
              "Cached 4 files of 3008 bytes total size\n"
              "Releasing archive cache\n"
              "Untouched: 'a.txt' (3 bytes)\n"
              "Untouched: 'big.bin' (3000 bytes)\n"
              "Total unused files in archive: 2 (3003 bytes)\n");
}

TEST_F(HostArchive, FifteenOpenFilesAndTheSixteenthEndsTheRun) {
    AddStandardMembers();
    Pack("");
    Vars(0, 0);
    std::string script;
    for (int i = 0; i < 16; ++i) script += "hold a.txt\n";
    RunResult r = Run(script);
    std::vector<std::string> reads = Reads();
    ASSERT_EQ(reads.size(), 16u);
    EXPECT_EQ(reads[14], "hold a.txt handle=15 size=3 eof=0 bytes=abc eof=1");
    const std::string message = "CRARFileSystem::OpenFile : 'a.txt' can't be opened (limit of 16 opened files exceeded)";
    EXPECT_EQ(reads[15], "error Runtime: " + message);
    const std::string report = "Exception raised!\nType: Runtime\nDesc: " + message + "\n";
    const std::string log = Log();
    ASSERT_GE(log.size(), report.size());
    EXPECT_EQ(log.substr(log.size() - report.size()), report) << log;
    EXPECT_EQ(r.exitCode, 0);
}

TEST_F(HostArchive, MissingArchiveEndsTheStartUp) {
    Vars(0, 0);
    RunResult r = Run("read a.txt\n");
    const std::string message =
        "CRARFileSystem::CacheArchive : error opening main archive (resources.heap) (open result = ";
    EXPECT_NE(Log().find("Exception raised!\nType: Init\nDesc: " + message), std::string::npos) << Log();
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    EXPECT_FALSE(FileExists(dir.File("reads.record"))) << "Precache is never reached";
}

TEST_F(HostArchive, MissingArchiveWithoutCacheThrowsAtTheFirstMemberOpen) {
    Vars(1, 0);
    WriteFile(dir.File("plain.txt"), "here");
    Run("read plain.txt\nread a.txt\n");
    std::vector<std::string> reads = Reads();
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[0], "read plain.txt handle=1 size=4 eof=0 bytes=here eof=1");
    EXPECT_EQ(reads[1].rfind("error Init: CRARFileSystem::OpenFile : error opening main archive (resources.heap) "
                             "(open result = ",
                             0),
              0u)
        << reads[1];
}

TEST_F(HostArchive, ArchiveRemovedAfterStartUp) {
    AddStandardMembers();
    Pack("");
    Vars(0, 0);
    Run("read a.txt\n", "remove resources.heap\nread a.txt\n");
    std::vector<std::string> reads = Reads();
    ASSERT_EQ(reads.size(), 3u);
    EXPECT_EQ(reads[0], "read a.txt handle=1 size=3 eof=0 bytes=abc eof=1") << "served from the cache";
    EXPECT_EQ(reads[1], "resources.heap removed");
    EXPECT_EQ(reads[2].rfind("error Init: CRARFileSystem::OpenFile : error opening main archive (resources.heap)", 0),
              0u)
        << reads[2];
}

}  // namespace
