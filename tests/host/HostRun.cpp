#include "HostRun.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace hosttest {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "stagehost-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

void CopyFile(const std::string& from, const std::string& to) {
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

Environment Headless() { return Environment{{"SDL_VIDEODRIVER", "dummy"}}; }

HostProcess::HostProcess(const std::string& binary, const std::string& workDir, const Environment& env,
                         const std::vector<std::string>& args)
    : outPath_(workDir + "/.stdout"), errPath_(workDir + "/.stderr") {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(binary.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        if (chdir(workDir.c_str()) != 0) _exit(126);
        int out = open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0) _exit(126);
        dup2(out, 1);
        dup2(err, 2);
        int in = open("/dev/null", O_RDONLY);
        if (in >= 0) dup2(in, 0);
        struct rlimit noCore = {0, 0};
        setrlimit(RLIMIT_CORE, &noCore);  // an aborting child leaves no core file
        unsetenv("DISPLAY");
        unsetenv("SDL_VIDEODRIVER");
        for (const auto& entry : env) setenv(entry.first.c_str(), entry.second.c_str(), 1);
        execvp(binary.c_str(), argv.data());
        _exit(127);
    }
}

HostProcess::~HostProcess() {
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
}

bool HostProcess::Running() {
    if (reaped_) return false;
    pid_t done = waitpid(pid_, &status_, WNOHANG);
    if (done == pid_) reaped_ = true;
    return !reaped_;
}

RunResult HostProcess::Wait(int timeoutMs) {
    RunResult result;
    if (!WaitFor([this] { return !Running(); }, timeoutMs)) {
        result.timedOut = true;
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
        reaped_ = true;
    }
    if (WIFEXITED(status_)) {
        result.exited = true;
        result.exitCode = WEXITSTATUS(status_);
    } else if (WIFSIGNALED(status_)) {
        result.termSignal = WTERMSIG(status_);
    }
    result.out = ReadFile(outPath_);
    result.err = ReadFile(errPath_);
    std::remove(outPath_.c_str());
    std::remove(errPath_.c_str());
    return result;
}

RunResult RunToEnd(const std::string& binary, const std::string& workDir, const Environment& env,
                   int timeoutMs, const std::vector<std::string>& args) {
    HostProcess process(binary, workDir, env, args);
    return process.Wait(timeoutMs);
}

}  // namespace hosttest
