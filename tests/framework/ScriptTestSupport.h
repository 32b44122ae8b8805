#pragma once
// Test support for scripts: an in-memory file system and a fixture that runs
// each test in a fresh temporary directory with a real log service and the
// in-memory file system installed as the process's services.

#include "filesystem/FileSystem.h"
#include "log/LogService.h"
#include "sdk/Services.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

class MemoryFileSystem : public CFileSystem
{
public:
    std::map<std::string, std::string> files;
    std::vector<std::string> calls; // "OpenFile name mode", "CloseFile h", ...
    int openCount = 0;

    FileHandle OpenFile(const char* name, const char* mode) override
    {
        calls.push_back(std::string("OpenFile ") + name + " " + mode);
        const std::string m = mode;
        if (m[0] == 'w')
            files[name].clear();
        else if (!files.count(name))
            return 0;
        for (FileHandle h = 1; h < 16; ++h)
            if (open_[h].empty())
            {
                open_[h] = name;
                positions_[h] = 0;
                ++openCount;
                return h;
            }
        return 0;
    }
    int32_t GetSize(FileHandle h) override { return static_cast<int32_t>(files[open_[h]].size()); }
    int32_t Read(FileHandle h, void* buffer, int32_t length) override
    {
        const std::string& data = files[open_[h]];
        int32_t n = std::min<int32_t>(length, static_cast<int32_t>(data.size()) - positions_[h]);
        std::copy(data.begin() + positions_[h], data.begin() + positions_[h] + n, static_cast<char*>(buffer));
        positions_[h] += n;
        return n;
    }
    int32_t Write(FileHandle h, const void* data, int32_t length) override
    {
        files[open_[h]].append(static_cast<const char*>(data), length);
        return length;
    }
    bool IsEof(FileHandle h) override { return positions_[h] >= GetSize(h); }
    void CloseFile(FileHandle& h) override
    {
        calls.push_back("CloseFile " + std::to_string(h));
        open_[h].clear();
        --openCount;
    }

private:
    std::string open_[16];
    int32_t positions_[16] = {};
};

class ScriptTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() /
               ("stagehost-script-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        log_ = std::make_unique<CLogService>();
        SetProcessLog(log_.get());
        SetProcessFileSystem(&fs);
    }

    void TearDown() override
    {
        SetProcessFileSystem(nullptr);
        log_.reset();
        SetProcessLog(nullptr);
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

    // Lines logged so far, after the opening line.
    std::vector<std::string> LogLines() const
    {
        std::ifstream in(dir_ / "runtime.log");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        if (!lines.empty())
            lines.erase(lines.begin());
        return lines;
    }

    const std::filesystem::path& Dir() const { return dir_; }

    MemoryFileSystem fs;

private:
    std::filesystem::path previous_;
    std::filesystem::path dir_;
    std::unique_ptr<CLogService> log_;
};
