#pragma once
// Test helper: walks an archive through the six calls the way the file
// system does (test every file, skip directories) and records the outcome.

#include <string>
#include <vector>

#include "rar/Unrar.h"

namespace rartest {

struct MemberResult {
    std::string name;
    unsigned flags = 0;
    unsigned unpSize = 0;
    unsigned unpVer = 0;
    unsigned method = 0;
    int rc = 0;
    unsigned chunks = 0;
    std::string bytes;
};

struct WalkResult {
    int openResult = 0;
    bool opened = false;
    std::vector<MemberResult> members;
    int endCode = 0;  // what the last RARReadHeader returned
};

// password null: none set (and the callback refuses to give one).
WalkResult Walk(const std::string& path, const char* password, size_t maxMembers = 100000);

bool IsDirectory(unsigned flags);
// A scratch file path unique to the running test (tests run in parallel).
std::string ScratchPath(const std::string& stem);
std::string Md5Hex(const std::string& bytes);

}  // namespace rartest
