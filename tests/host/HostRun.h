#pragma once
// Running the real stagehost binary as a child process in a fresh working
// directory, always under a time limit.

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace hosttest {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);  // empty when missing
bool FileExists(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
void CopyFile(const std::string& from, const std::string& to);
std::vector<std::string> ReadLines(const std::string& path);

struct RunResult {
    bool timedOut = false;
    bool exited = false;  // true: exitCode is valid; false: killed by termSignal
    int exitCode = -1;
    int termSignal = 0;
    std::string out;
    std::string err;
};

// Environment for the child: the parent's, minus DISPLAY and any SDL video
// driver choice, plus these entries.
using Environment = std::map<std::string, std::string>;

// The environment of a run without a usable display: the report goes to
// stderr and nothing can block.
Environment Headless();

// A child that keeps running while the test talks to it.
class HostProcess {
public:
    HostProcess(const std::string& binary, const std::string& workDir, const Environment& env,
                const std::vector<std::string>& args = {});
    ~HostProcess();  // kills the child if it still runs
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    bool Running();
    // Waits for the end; kills the child after timeoutMs.
    RunResult Wait(int timeoutMs);

private:
    pid_t pid_ = -1;
    std::string outPath_, errPath_;
    bool reaped_ = false;
    int status_ = 0;
};

// Runs binary in workDir to its end, within timeoutMs.
RunResult RunToEnd(const std::string& binary, const std::string& workDir, const Environment& env,
                   int timeoutMs = 30000, const std::vector<std::string>& args = {});

// Polls condition every 10 ms for at most timeoutMs.
template <typename F>
bool WaitFor(F condition, int timeoutMs);

}  // namespace hosttest

#include "HostRun.inl"
