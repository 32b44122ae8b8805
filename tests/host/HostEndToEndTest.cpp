// The real stagehost binary with real test engine modules, in a fresh working
// directory per run, without a display: call order, runtime.log, vars.cfg,
// exit status and the error report on stderr.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "HostRun.h"

using namespace hosttest;

namespace {

const char kLogStart[] = "Starting logging service\n";
const char kPlugged[] = "engine: plugged in\n";
const char kLogEnd[] = "--------------------\nClosing logging service\n";

// Lines of the archive caching step belong to the file system's own tests;
// with the default variables it is this one line, when the step logs at all.
std::string WithoutCacheLines(std::string log) {
    const std::string line = "Using archive is disabled\n";
    for (size_t at; (at = log.find(line)) != std::string::npos;) log.erase(at, line.size());
    return log;
}

std::string ReportLines(const std::string& type, const std::string& desc) {
    return "Exception raised!\nType: " + type + "\nDesc: " + desc + "\n";
}

const char kOldVars[] = "s_alwaysontop \"0\"\nkept \"as it was\"\n";

class HostRun : public ::testing::Test {
protected:
    // Puts the given engine module in place as render.so, with a script.
    void UseEngine(const char* module, const std::string& script = "") {
        CopyFile(module, dir.File("render.so"));
        WriteFile(dir.File("engine.script"), script);
    }
    RunResult Run() { return RunToEnd(STAGEHOST_BIN, dir.Path(), Headless()); }
    std::vector<std::string> Calls() { return ReadLines(dir.File("engine.record")); }
    std::string Log() { return WithoutCacheLines(ReadFile(dir.File("runtime.log"))); }

    TempDir dir;
};

TEST_F(HostRun, NormalRunCallsTheEngineInOrderAndShutsDownCleanly) {
    UseEngine(RECORDING_ENGINE, "frames=3\n");
    RunResult r = Run();
    ASSERT_FALSE(r.timedOut);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");

    std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 11u) << ReadFile(dir.File("engine.record"));
    EXPECT_EQ(calls[0], "PlugSystemSocket fields=log,vars,fs hostvars=1");
    EXPECT_EQ(calls[1], "CreateDemoEngine");
    EXPECT_EQ(calls[2],
              "Configure module=loaded r_width_phys=800 r_height_phys=600 r_fullscreen=0 "
              "s_alwaysontop=0 s_dontusepack=1");
    EXPECT_EQ(calls[3], "Initialize module=loaded window=800x600 shown=0 title=StageHost");
    EXPECT_EQ(calls[4], "Precache");
    EXPECT_EQ(calls[5].rfind("Frame n=1 ", 0), 0u);
    EXPECT_EQ(calls[7].rfind("Frame n=3 ", 0), 0u);
    EXPECT_EQ(calls[8], "Shutdown");
    EXPECT_EQ(calls[9], "Release");
    EXPECT_EQ(calls[10], "UnplugSystemSocket socket=unchanged");

    EXPECT_EQ(Log(), std::string(kLogStart) + kPlugged + kLogEnd);
    EXPECT_EQ(ReadFile(dir.File("vars.cfg")),
              "r_title \"two words\"\n"
              "r_fullscreen \"0\"\n"
              "r_max_sprites \"200\"\n"
              "r_max_particles \"100\"\n"
              "r_height \"600\"\n"
              "r_width \"800\"\n"
              "r_use_desktop_resolution \"0\"\n"
              "r_height_phys \"600\"\n"
              "r_width_phys \"800\"\n"
              "s_alwaysontop \"0\"\n"
              "s_dontusepack \"1\"\n"
              "s_disablememorycache \"0\"\n");
}

TEST_F(HostRun, FramesPublishTimeSinceTheEndOfLoading) {
    UseEngine(RECORDING_ENGINE, "frames=40\nframe_sleep_ms=2\n");
    RunResult r = Run();
    ASSERT_TRUE(r.exited);
    int previous = 0, frames = 0;
    for (const std::string& line : Calls()) {
        int n = 0, time = 0, dt = 0;
        float df = 0;
        if (std::sscanf(line.c_str(), "Frame n=%d s_time=%d s_dt=%d s_df=%g", &n, &time, &dt, &df) != 4)
            continue;
        ++frames;
        if (n == 1) {
            EXPECT_EQ(dt, time) << "the first frame's interval is its time";
        }
        EXPECT_EQ(dt, time - previous) << line;
        EXPECT_GE(dt, 0) << line;
        EXPECT_FLOAT_EQ(df, static_cast<float>(dt) * 0.001f) << line;
        previous = time;
    }
    EXPECT_EQ(frames, 40);
    EXPECT_GE(previous, 40 * 2) << "two milliseconds of sleep per frame";
}

TEST_F(HostRun, SavedValuesReachHostAndEngineBeforeConfigure) {
    UseEngine(RECORDING_ENGINE, "frames=1\n");
    WriteFile(dir.File("vars.cfg"),
              "r_width_phys \"640\"\r\ns_alwaysontop\n\"1\"\ns_time \"77\"\nnobody \"5\"\n"
              "r_height_phys 400\nr_title \"two words\"\n");
    RunResult r = Run();
    ASSERT_TRUE(r.exited);
    std::vector<std::string> calls = Calls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[2],
              "Configure module=loaded r_width_phys=640 r_height_phys=400 r_fullscreen=0 "
              "s_alwaysontop=1 s_dontusepack=1");
    EXPECT_EQ(calls[3], "Initialize module=loaded window=640x400 shown=0 title=StageHost");
    std::string saved = ReadFile(dir.File("vars.cfg"));
    EXPECT_NE(saved.find("r_width_phys \"640\"\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("s_alwaysontop \"1\"\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("r_title \"two words\"\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("s_time"), std::string::npos) << "timing variables are not saved";
    EXPECT_EQ(saved.find("nobody"), std::string::npos);
}

TEST_F(HostRun, EngineDecliningInConfigureGetsOrderlyShutdownWithoutWindow) {
    UseEngine(RECORDING_ENGINE, "configure=false\n");
    RunResult r = Run();
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].rfind("PlugSystemSocket", 0), 0u);
    EXPECT_EQ(calls[1], "CreateDemoEngine");
    EXPECT_EQ(calls[2].rfind("Configure", 0), 0u);
    EXPECT_EQ(calls[3], "Shutdown");
    EXPECT_EQ(calls[4], "Release");
    EXPECT_EQ(calls[5].rfind("UnplugSystemSocket", 0), 0u);
    EXPECT_EQ(ReadFile(dir.File("runtime.log")), std::string(kLogStart) + kPlugged + kLogEnd)
        << "no archive cache is built when the engine declines";
    EXPECT_TRUE(FileExists(dir.File("vars.cfg")));
}

TEST_F(HostRun, MissingWindowVariablesFallBackToWindowedDefaults) {
    UseEngine(RECORDING_ENGINE, "vars=none\nframes=1\n");
    RunResult r = Run();
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.exitCode, 0);
    std::vector<std::string> calls = Calls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[3], "Initialize module=loaded window=640x480 shown=0 title=StageHost");
    EXPECT_EQ(Log(), std::string(kLogStart) + kPlugged +
                         "Warning: engine did not register 'r_width_phys', using 640\n"
                         "Warning: engine did not register 'r_height_phys', using 480\n"
                         "Warning: engine did not register 'r_use_desktop_resolution', using 0\n"
                         "Warning: engine did not register 'r_fullscreen', using 0\n" +
                         kLogEnd);
}

TEST_F(HostRun, EngineReadsThroughTheSocketsFileSystem) {
    UseEngine(RECORDING_ENGINE, "frames=1\nread=data.txt\n");
    WriteFile(dir.File("data.txt"), "hello");
    ASSERT_TRUE(Run().exited);
    std::vector<std::string> calls = Calls();
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[5], "Read data.txt handle=1 size=5 data=hello");

    TempDir other;
    CopyFile(RECORDING_ENGINE, other.File("render.so"));
    WriteFile(other.File("engine.script"), "frames=1\nread=missing.txt\n");
    ASSERT_TRUE(RunToEnd(STAGEHOST_BIN, other.Path(), Headless()).exited);
    std::string log = ReadFile(other.File("runtime.log"));
    EXPECT_NE(log.find("Warning: can't open file 'missing.txt' in mode 'rb'\n"), std::string::npos) << log;
}

// Start-up failures: each ends in the report with the caption "Init", exit
// code 0, no shutdown sequence and vars.cfg untouched.
struct StartupFailure {
    const char* name;
    const char* module;  // null: no render.so at all; "": a file that is no module
    const char* script;
    const char* message;
    std::vector<std::string> calls;  // what the engine saw
};

void PrintTo(const StartupFailure& c, std::ostream* os) { *os << c.name; }

class StartupFailureRun : public ::testing::TestWithParam<StartupFailure> {};

TEST_P(StartupFailureRun, EndsInTheInitReportWithoutShutdown) {
    const StartupFailure& c = GetParam();
    TempDir dir;
    if (c.module && *c.module) CopyFile(c.module, dir.File("render.so"));
    if (c.module && !*c.module) WriteFile(dir.File("render.so"), "not a module");
    WriteFile(dir.File("engine.script"), c.script);
    WriteFile(dir.File("vars.cfg"), kOldVars);

    RunResult r = RunToEnd(STAGEHOST_BIN, dir.Path(), Headless());
    ASSERT_FALSE(r.timedOut);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, std::string("Init: ") + c.message + "\n");

    std::string log = ReadFile(dir.File("runtime.log"));
    std::string report = ReportLines("Init", c.message);
    ASSERT_GE(log.size(), report.size());
    EXPECT_EQ(log.substr(log.size() - report.size()), report) << log;
    EXPECT_EQ(log.rfind(kLogStart, 0), 0u);
    EXPECT_EQ(log.find("--------------------"), std::string::npos);
    EXPECT_EQ(log.find("Closing logging service"), std::string::npos);
    EXPECT_EQ(ReadFile(dir.File("vars.cfg")), kOldVars);
    EXPECT_EQ(ReadLines(dir.File("engine.record")), c.calls);
}

const std::vector<std::string> kUpToInitialize = {
    "PlugSystemSocket fields=log,vars,fs hostvars=1", "CreateDemoEngine",
    "Configure module=loaded r_width_phys=800 r_height_phys=600 r_fullscreen=0 s_alwaysontop=0 "
    "s_dontusepack=1",
    "Initialize module=loaded window=800x600 shown=0 title=StageHost"};

INSTANTIATE_TEST_SUITE_P(
    Host, StartupFailureRun,
    ::testing::Values(
        StartupFailure{"NoModule", nullptr, "", "Main demo DLL not found", {}},
        StartupFailure{"NotAModule", "", "", "Main demo DLL not found", {}},
        StartupFailure{"NoCreate", ENGINE_NO_CREATE, "",
                       "Demo DLL does not export required fuction CreateDemoEngine", {}},
        StartupFailure{"CreateOnly", ENGINE_CREATE_ONLY, "",
                       "Demo DLL does not export required fuction PlugSystemSocket", {}},
        StartupFailure{"NoPlug", ENGINE_NO_PLUG, "",
                       "Demo DLL does not export required fuction PlugSystemSocket", {}},
        StartupFailure{"NoUnplug", ENGINE_NO_UNPLUG, "",
                       "Demo DLL does not export required fuction UnplugSystemSocket", {}},
        StartupFailure{"CreateReturnsNull", RECORDING_ENGINE, "create=null\n", "Can't create demo engine",
                       {"PlugSystemSocket fields=log,vars,fs hostvars=1", "CreateDemoEngine"}},
        StartupFailure{"InitializeFails", RECORDING_ENGINE, "initialize=-1\n", "Can't initialize demo engine",
                       kUpToInitialize}),
    [](const ::testing::TestParamInfo<StartupFailure>& info) { return std::string(info.param.name); });

TEST(HostRunLog, UnloadableModuleNamesTheLoadersReason) {
    TempDir dir;
    WriteFile(dir.File("render.so"), "not a module");
    ASSERT_TRUE(RunToEnd(STAGEHOST_BIN, dir.Path(), Headless()).exited);
    std::vector<std::string> lines = ReadLines(dir.File("runtime.log"));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1].rfind("Can't load './render.so': ./render.so: ", 0), 0u) << lines[1];
}

TEST(HostRunWindow, NoUsableVideoDriverEndsStartUpBeforeInitialize) {
    TempDir dir;
    CopyFile(RECORDING_ENGINE, dir.File("render.so"));
    RunResult r = RunToEnd(STAGEHOST_BIN, dir.Path(), Environment{{"SDL_VIDEODRIVER", "no-such-driver"}});
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "Init: Can't create application window\n");
    std::vector<std::string> calls = ReadLines(dir.File("engine.record"));
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].rfind("Configure", 0), 0u);
    EXPECT_EQ(WithoutCacheLines(ReadFile(dir.File("runtime.log"))),
              std::string(kLogStart) + kPlugged + ReportLines("Init", "Can't create application window"));
}

// Errors thrown by the engine after start-up.
struct EngineThrow {
    const char* name;
    const char* script;
    bool cerror;
    std::string lastCall;
};

void PrintTo(const EngineThrow& c, std::ostream* os) { *os << c.name; }

class EngineThrowRun : public ::testing::TestWithParam<EngineThrow> {};

TEST_P(EngineThrowRun, ReachesTheReportAndSkipsShutdown) {
    const EngineThrow& c = GetParam();
    TempDir dir;
    CopyFile(RECORDING_ENGINE, dir.File("render.so"));
    WriteFile(dir.File("engine.script"), c.script);
    WriteFile(dir.File("vars.cfg"), kOldVars);

    RunResult r = RunToEnd(STAGEHOST_BIN, dir.Path(), Headless());
    ASSERT_FALSE(r.timedOut);
    std::string log = WithoutCacheLines(ReadFile(dir.File("runtime.log")));
    std::string head = std::string(kLogStart) + kPlugged;
    if (c.cerror) {
        // Reported, then a normal exit with code 0.
        ASSERT_TRUE(r.exited);
        EXPECT_EQ(r.exitCode, 0);
        std::string where = std::string(c.name).find("Frame") != std::string::npos ? "frame" : "precache";
        std::string message = "CRecordingEngine::" + where + " : failed on purpose";
        EXPECT_EQ(r.err, "Runtime: " + message + "\n");
        EXPECT_EQ(log, head + ReportLines("Runtime", message));
    } else {
        // Reported, then the exception goes on and ends the process.
        EXPECT_FALSE(r.exited);
        EXPECT_EQ(r.termSignal, SIGABRT);
        EXPECT_EQ(r.err.rfind("Exception cought: Unknown exception\n", 0), 0u) << r.err;
        EXPECT_EQ(log, head + ReportLines("Unknown exception", "None"));
    }
    std::vector<std::string> calls = ReadLines(dir.File("engine.record"));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().rfind(c.lastCall, 0), 0u) << calls.back();
    EXPECT_EQ(ReadFile(dir.File("vars.cfg")), kOldVars);
}

INSTANTIATE_TEST_SUITE_P(
    Host, EngineThrowRun,
    ::testing::Values(EngineThrow{"CErrorFromFrame", "frames=0\nthrow=frame:cerror\n", true, "Frame n=1"},
                      EngineThrow{"CErrorFromPrecache", "throw=precache:cerror\n", true, "Precache"},
                      EngineThrow{"OtherFromFrame", "frames=0\nthrow=frame:other\n", false, "Frame n=1"},
                      EngineThrow{"OtherFromPrecache", "throw=precache:other\n", false, "Precache"}),
    [](const ::testing::TestParamInfo<EngineThrow>& info) { return std::string(info.param.name); });

}  // namespace
