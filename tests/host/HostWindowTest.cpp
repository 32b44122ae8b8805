// The host's window on a private X server: size and placement from the
// window variables, the on-top state, the hidden cursor, and which input
// ends the demo. Input is sent with xdotool.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "HostRun.h"
#include "XServer.h"

using namespace hosttest;

namespace {

const int kScreenWidth = 1024;
const int kScreenHeight = 768;

class HostWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new XServer(); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        if (!server_->Ok()) GTEST_SKIP() << server_->Problem();
    }

    Environment OnServer() const { return Environment{{"DISPLAY", server_->Name()}}; }

    // Starts the host with the recording engine running until it is told to
    // stop, and waits for its first frame (the window is shown by then).
    void Start(const std::string& varsCfg) {
        CopyFile(RECORDING_ENGINE, dir_.File("render.so"));
        WriteFile(dir_.File("engine.script"), "frames=0\nframe_sleep_ms=5\n");
        WriteFile(dir_.File("vars.cfg"), varsCfg);
        host_ = std::make_unique<HostProcess>(STAGEHOST_BIN, dir_.Path(), OnServer());
        bool framed = WaitFor([this] { return Frames() > 0 || !host_->Running(); }, 15000);
        ASSERT_TRUE(framed && host_->Running()) << ReadFile(dir_.File("runtime.log"));
        window_ = server_->FindWindow("StageHost");
        ASSERT_NE(window_, 0u);
    }

    size_t Frames() {
        std::string record = ReadFile(dir_.File("engine.record"));
        size_t count = 0;
        for (size_t at = 0; (at = record.find("\nFrame ", at)) != std::string::npos; ++at) ++count;
        return count;
    }

    // Runs xdotool with the words of command as its arguments.
    void Input(const std::string& command) {
        std::vector<std::string> args;
        std::istringstream words(command);
        for (std::string word; words >> word;) args.push_back(word);
        RunResult r = RunToEnd("xdotool", dir_.Path(), OnServer(), 10000, args);
        EXPECT_TRUE(r.exited && r.exitCode == 0) << "xdotool " << command << ": " << r.err;
    }

    // Expects the demo to have ended on its own, orderly.
    void ExpectEnded() {
        RunResult r = host_->Wait(10000);
        EXPECT_FALSE(r.timedOut) << "the demo did not end";
        EXPECT_TRUE(r.exited);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::string log = ReadFile(dir_.File("runtime.log"));
        EXPECT_NE(log.find("--------------------\nClosing logging service\n"), std::string::npos) << log;
    }

    // Expects the demo to go on rendering for a while.
    void ExpectStillRunning() {
        size_t before = Frames();
        EXPECT_TRUE(WaitFor([&] { return Frames() > before + 20; }, 5000));
        EXPECT_TRUE(host_->Running());
    }

    static XServer* server_;
    TempDir dir_;
    std::unique_ptr<HostProcess> host_;
    unsigned long window_ = 0;
};

XServer* HostWindow::server_ = nullptr;

// Placement by the window variables, on a screen without window manager
// (the frame adds nothing, so the outer size is the client size).
struct Placement {
    const char* name;
    const char* varsCfg;
    WindowGeometry expected;
    bool onTop;
};

void PrintTo(const Placement& p, std::ostream* os) { *os << p.name; }

class HostWindowPlacement : public HostWindow, public ::testing::WithParamInterface<Placement> {};

TEST_P(HostWindowPlacement, FollowsTheWindowVariables) {
    const Placement& p = GetParam();
    Start(p.varsCfg);
    WindowGeometry g = server_->Geometry(window_);
    EXPECT_EQ(g.x, p.expected.x);
    EXPECT_EQ(g.y, p.expected.y);
    EXPECT_EQ(g.width, p.expected.width);
    EXPECT_EQ(g.height, p.expected.height);
    EXPECT_EQ(server_->HasState(window_, "_NET_WM_STATE_ABOVE"), p.onTop);
    Input("key Escape");
    ExpectEnded();
}

INSTANTIATE_TEST_SUITE_P(
    Host, HostWindowPlacement,
    ::testing::Values(
        Placement{"WindowedCentred", "r_width_phys \"640\"\nr_height_phys \"480\"\n", {192, 144, 640, 480}, false},
        Placement{"WiderThanTheScreen", "r_width_phys \"1031\"\nr_height_phys \"480\"\n", {-3, 144, 1031, 480},
                  false},
        Placement{"DesktopResolution", "r_use_desktop_resolution \"1\"\n",
                  {0, 0, kScreenWidth, kScreenHeight}, false},
        Placement{"WindowedOnTop", "r_width_phys \"640\"\nr_height_phys \"480\"\ns_alwaysontop \"1\"\n",
                  {192, 144, 640, 480}, true},
        Placement{"FullScreenNeverOnTop",
                  "r_width_phys \"800\"\nr_height_phys \"600\"\nr_fullscreen \"1\"\ns_alwaysontop \"1\"\n",
                  {0, 0, 800, 600}, false}),
    [](const ::testing::TestParamInfo<Placement>& info) { return std::string(info.param.name); });

TEST_F(HostWindow, DesktopResolutionIsKeptInTheVariables) {
    Start("r_use_desktop_resolution \"1\"\n");
    Input("key Escape");
    ExpectEnded();
    std::string saved = ReadFile(dir_.File("vars.cfg"));
    EXPECT_NE(saved.find("r_width_phys \"1024\"\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("r_height_phys \"768\"\n"), std::string::npos) << saved;
}

TEST_F(HostWindow, CursorIsHiddenOverTheWindowOnly) {
    Start("r_width_phys \"640\"\nr_height_phys \"480\"\n");
    server_->MovePointer(5, 5);  // outside: the server's own cursor
    EXPECT_TRUE(WaitFor([] { return !server_->CursorInvisible(); }, 2000));
    server_->MovePointer(500, 400);
    EXPECT_TRUE(WaitFor([] { return server_->CursorInvisible(); }, 2000));
    Input("key Escape");
    ExpectEnded();
}

// Input that ends the demo, and input that must not.
struct Ending {
    const char* name;
    const char* input;  // xdotool command; null: a close request
};

void PrintTo(const Ending& e, std::ostream* os) { *os << e.name; }

class HostWindowEnding : public HostWindow, public ::testing::WithParamInterface<Ending> {};

TEST_P(HostWindowEnding, EndsTheDemo) {
    Start("r_width_phys \"640\"\nr_height_phys \"480\"\n");
    if (!GetParam().input) server_->RequestClose(window_);
    else Input(GetParam().input);
    ExpectEnded();
    EXPECT_EQ(ReadLines(dir_.File("engine.record")).back().rfind("UnplugSystemSocket", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Host, HostWindowEnding,
                         ::testing::Values(Ending{"Escape", "key Escape"},
                                           Ending{"LeftClick", "mousemove 500 400 click 1"},
                                           Ending{"CloseRequest", nullptr}),
                         [](const ::testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

TEST_F(HostWindow, OtherKeysAndButtonsDoNotEndTheDemo) {
    Start("r_width_phys \"640\"\nr_height_phys \"480\"\n");
    Input("mousemove 500 400 click 3");
    ExpectStillRunning();
    Input("mousemove 500 400 click 2");
    Input("key a Return space F4 alt+F4");
    ExpectStillRunning();
    Input("key Escape");
    ExpectEnded();
}

// With a window manager the frame adds to the window's outer size; the
// outer frame is centred, so the client area sits off-centre by the frame.
class HostFramedWindow : public HostWindow {
protected:
    static void SetUpTestSuite() {
        server_ = new XServer();
        if (server_->Ok() && !server_->StartWindowManager()) framedProblem_ = "openbox did not start";
    }
    void SetUp() override {
        HostWindow::SetUp();
        if (!framedProblem_.empty()) GTEST_SKIP() << framedProblem_;
    }

    // Waits until the window is framed and centred by its outer size; gives
    // the frame's left edge.
    int ExpectCentredByOuterSize(int width, int height) {
        int left = 0, right = 0, top = 0, bottom = 0;
        EXPECT_TRUE(WaitFor([&] { return server_->FrameExtents(window_, &left, &right, &top, &bottom); }, 3000));
        EXPECT_GT(top, 0) << "openbox draws a title bar";
        int x = (kScreenWidth - (width + left + right)) / 2 + left;
        int y = (kScreenHeight - (height + top + bottom)) / 2 + top;
        WindowGeometry g{};
        EXPECT_TRUE(WaitFor(
            [&] {
                g = server_->Geometry(window_);
                return g.x == x && g.y == y;
            },
            3000))
            << "client at " << g.x << "," << g.y << ", expected " << x << "," << y;
        EXPECT_EQ(g.width, width);
        EXPECT_EQ(g.height, height);
        return g.x - left;
    }

    static std::string framedProblem_;
};

std::string HostFramedWindow::framedProblem_;

TEST_F(HostFramedWindow, OuterFrameIsCentredOnceItsSizeIsKnown) {
    Start("r_width_phys \"640\"\nr_height_phys \"480\"\n");
    ExpectCentredByOuterSize(640, 480);
    Input("key Escape");
    ExpectEnded();
}

TEST_F(HostFramedWindow, FrameWiderThanTheScreenGetsANegativePosition) {
    Start("r_width_phys \"1030\"\nr_height_phys \"480\"\n");
    EXPECT_LT(ExpectCentredByOuterSize(1030, 480), 0) << "the frame starts left of the screen";
    Input("key Escape");
    ExpectEnded();
}

TEST_F(HostFramedWindow, WindowManagersCloseEndsTheDemo) {
    Start("r_width_phys \"640\"\nr_height_phys \"480\"\n");
    Input("key alt+F4");
    ExpectEnded();
}

}  // namespace
