// The real host with the demo engine on a private Xvfb, in a run directory
// laid out as scripts/run-demo.sh lays it out: render.so, resources.heap and
// a vars.cfg that turns the archive on. The demo must load every member from
// the archive's memory cache, draw a picture and end by itself.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "HostRun.h"
#include "ScreenGrab.h"
#include "XServer.h"

using namespace hosttest;

namespace {

bool StartsWith(const std::string& line, const std::string& prefix) { return line.rfind(prefix, 0) == 0; }

bool HasLine(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& line : lines)
        if (StartsWith(line, prefix)) return true;
    return false;
}

class DemoRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new XServer(); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        if (!server_->Ok()) GTEST_SKIP() << server_->Problem();
        CopyFile(DEMO_ENGINE, dir_.File("render.so"));
        CopyFile(DEMO_HEAP, dir_.File("resources.heap"));
        // The build's vars.cfg, played four times as fast to keep the test short.
        WriteFile(dir_.File("vars.cfg"), ReadFile(DEMO_VARS) + "demo_speed \"4\"\n");
    }

    Environment OnServer() const { return Environment{{"DISPLAY", server_->Name()}}; }
    std::vector<std::string> Log() const { return ReadLines(dir_.File("runtime.log")); }

    static XServer* server_;
    TempDir dir_;
};

XServer* DemoRun::server_ = nullptr;

TEST_F(DemoRun, PlaysToItsEndFromTheArchive) {
    HostProcess host(STAGEHOST_BIN, dir_.Path(), OnServer());
    ASSERT_TRUE(WaitFor([&] { return HasLine(Log(), "Demo: first frame") || !host.Running(); }, 30000))
        << ReadFile(dir_.File("runtime.log"));
    ASSERT_TRUE(host.Running()) << ReadFile(dir_.File("runtime.log"));

    // A frame from the middle of the 2.5 seconds: a picture, not a plain fill.
    std::this_thread::sleep_for(std::chrono::milliseconds(900));
    const unsigned long window = server_->FindWindow("StageHost");
    ASSERT_NE(window, 0u);
    const WindowGeometry g = server_->Geometry(window);
    EXPECT_EQ(g.width, 800);
    EXPECT_EQ(g.height, 600);
    const std::vector<std::uint32_t> pixels = demotest::GrabRectangle(server_->Name(), g.x, g.y, g.width, g.height);
    ASSERT_EQ(pixels.size(), 800u * 600u);
    EXPECT_GT(demotest::DistinctColours(pixels), 100u);

    const RunResult r = host.Wait(60000);
    ASSERT_FALSE(r.timedOut);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.exitCode, 0) << r.err;

    const std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log.front(), "Starting logging service");
    EXPECT_EQ(log[log.size() - 2], "--------------------");
    EXPECT_EQ(log.back(), "Closing logging service");
    EXPECT_TRUE(HasLine(log, "Cached 4 files of ")) << ReadFile(dir_.File("runtime.log"));
    for (const char* member : {"scene.txt", "anim/objects.keys", "textures/floor.tga", "textures/glow.tga"})
        EXPECT_TRUE(HasLine(log, std::string("Demo: loaded '") + member + "'")) << member;
    EXPECT_TRUE(HasLine(log, "Releasing archive cache"));
    EXPECT_FALSE(HasLine(log, "Untouched: "));
    EXPECT_TRUE(HasLine(log, "Total unused files in archive: 0 (0 bytes)"));
    EXPECT_TRUE(HasLine(log, "Demo: finished after "));
    EXPECT_FALSE(HasLine(log, "Warning"));

    // vars.cfg rewritten with the demo's variables and the loaded values.
    const std::vector<std::string> vars = ReadLines(dir_.File("vars.cfg"));
    const std::set<std::string> saved(vars.begin(), vars.end());
    for (const char* line : {"r_width_phys \"800\"", "r_height_phys \"600\"", "r_use_desktop_resolution \"0\"",
                             "r_fullscreen \"0\"", "r_width \"800\"", "r_max_sprites \"1024\"", "r_vsync \"1\"",
                             "demo_scene \"scene.txt\"", "demo_speed \"4\"", "s_dontusepack \"0\""})
        EXPECT_EQ(saved.count(line), 1u) << line << "\n" << ReadFile(dir_.File("vars.cfg"));
}

// A plain file in the working directory is served before the archive's
// member of the same name; a scene that does not parse ends the run with the
// error report, and nothing is saved.
TEST_F(DemoRun, ABrokenSceneNextToTheArchiveEndsTheRun) {
    const std::string varsBefore = ReadFile(dir_.File("vars.cfg"));
    WriteFile(dir_.File("scene.txt"), "duration ten\n");
    HostProcess host(STAGEHOST_BIN, dir_.Path(), OnServer());
    // The report's lines are logged before its message box opens.
    ASSERT_TRUE(WaitFor([&] { return HasLine(Log(), "Desc: ") || !host.Running(); }, 30000))
        << ReadFile(dir_.File("runtime.log"));
    const std::vector<std::string> log = Log();
    EXPECT_TRUE(HasLine(log, "Type: Bad Resource"));
    EXPECT_TRUE(HasLine(log, "Desc: ParseScene : 'scene.txt' has 'ten' where 'duration' needs a number"))
        << ReadFile(dir_.File("runtime.log"));
    EXPECT_FALSE(HasLine(log, "Demo: first frame"));
    EXPECT_FALSE(HasLine(log, "--------------------"));
    EXPECT_EQ(ReadFile(dir_.File("vars.cfg")), varsBefore);
}

}  // namespace
