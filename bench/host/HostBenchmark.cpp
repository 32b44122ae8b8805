// Whole-process measurements of the host:
//  - HostFrameOverhead: the cost of one frame-loop iteration (timing
//    variables, one event poll, the call) with an engine whose Frame does
//    nothing, on SDL's dummy video driver. Reported per frame and as frames
//    per second.
//  - StartToFirstFrame: from starting the process to the engine's first
//    Frame, with the sample engine on a private Xvfb (OpenGL through Mesa),
//    and with the null engine on the dummy driver for comparison.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

long long NowNs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

struct WorkDir {
    WorkDir(const char* engine) {
        char pattern[] = "/tmp/stagehost-bench-XXXXXX";
        path = mkdtemp(pattern);
        fs::copy_file(engine, path / "render.so");
    }
    ~WorkDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

// Starts stagehost in dir; display null means the dummy video driver.
pid_t StartHost(const fs::path& dir, const char* display) {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        unsetenv("DISPLAY");
        unsetenv("SDL_VIDEODRIVER");
        if (display) setenv("DISPLAY", display, 1);
        else setenv("SDL_VIDEODRIVER", "dummy", 1);
        execl(STAGEHOST_BIN, STAGEHOST_BIN, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

bool WaitExit(pid_t pid, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; ++waited) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return true;
        usleep(1000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return false;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void HostFrameOverhead(benchmark::State& state) {
    const long frames = state.range(0);
    double totalSeconds = 0;
    for (auto _ : state) {
        WorkDir dir(NULL_ENGINE);
        std::ofstream(dir.path / "frames") << frames << "\n";
        pid_t pid = StartHost(dir.path, nullptr);
        if (!WaitExit(pid, 120000)) {
            state.SkipWithError("the host did not finish");
            return;
        }
        long long first = 0, last = 0;
        std::istringstream(ReadAll(dir.path / "frames.time")) >> first >> last;
        if (last <= first) {
            state.SkipWithError("no frame times recorded");
            return;
        }
        // Per-frame time: between the first and the last Frame call.
        double seconds = (last - first) * 1e-9;
        state.SetIterationTime(seconds / (frames - 1));
        totalSeconds += seconds;
    }
    double perFrame = totalSeconds / (state.iterations() * (frames - 1));
    state.counters["us_per_frame"] = perFrame * 1e6;
    state.counters["frames_per_s"] = 1.0 / perFrame;
}
BENCHMARK(HostFrameOverhead)->Arg(200000)->Iterations(5)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A private X server for the sample engine's OpenGL window.
struct Xvfb {
    Xvfb() {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid = fork();
        if (pid == 0) {
            dup2(fds[1], 3);
            int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 1);
            dup2(quiet, 2);
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        struct pollfd wait = {fds[0], POLLIN, 0};
        char c;
        std::string number;
        while (poll(&wait, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (!number.empty()) name = ":" + number;
    }
    ~Xvfb() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    pid_t pid = -1;
    std::string name;
};

void StartToFirstFrame(benchmark::State& state, const char* engine, bool sample) {
    static Xvfb* server = nullptr;
    if (sample && !server) server = new Xvfb();
    if (sample && server->name.empty()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    for (auto _ : state) {
        WorkDir dir(engine);
        std::ofstream(dir.path / "frames") << 1 << "\n";
        long long start = NowNs();
        pid_t pid = StartHost(dir.path, sample ? server->name.c_str() : nullptr);
        long long firstFrame = 0;
        if (sample) {
            // The sample engine logs its first frame; the log is written through.
            while (NowNs() - start < 20000000000LL) {
                if (ReadAll(dir.path / "runtime.log").find("Sample engine: first frame") != std::string::npos) {
                    firstFrame = NowNs();
                    break;
                }
                usleep(200);
            }
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        } else {
            WaitExit(pid, 20000);
            long long first = 0, last = 0;
            std::istringstream(ReadAll(dir.path / "frames.time")) >> first >> last;
            firstFrame = first;
        }
        if (firstFrame <= start) {
            state.SkipWithError("no first frame seen");
            return;
        }
        state.SetIterationTime((firstFrame - start) * 1e-9);
    }
}
BENCHMARK_CAPTURE(StartToFirstFrame, sample_engine_xvfb, SAMPLE_ENGINE, true)
    ->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StartToFirstFrame, null_engine_dummy, NULL_ENGINE, false)
    ->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
