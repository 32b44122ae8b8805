#pragma once
// A scripted stand-in for the archive library: the members it lists, what
// their headers say and what unpacking them delivers, plus counters of the
// calls the file system made. Install() puts it behind the file system;
// the destructor puts the linked library back.

#include <string>
#include <vector>

#include "filesystem/ArchiveLibrary.h"

namespace fstest {

struct ScriptedMember {
    std::string name;
    std::string bytes;             // what RAR_TEST delivers, in one chunk or in chunks of chunkSize
    unsigned int flags = 0;
    long long unpSize = -1;        // header's UnpSize; -1: bytes.size()
    int processResult = 0;         // RARProcessFile's result for RAR_TEST
    size_t chunkSize = 0;          // 0: one chunk
};

class ScriptedArchive {
public:
    ScriptedArchive();
    ~ScriptedArchive();

    std::vector<ScriptedMember> members;
    unsigned int openResult = 0;   // nonzero: RAROpenArchive fails with it
    bool nullHandle = false;       // RAROpenArchive returns null
    int headerErrorAt = -1;        // RARReadHeader fails with ERAR_BAD_ARCHIVE at this member index

    // What the file system did.
    int opens = 0, closes = 0, tests = 0, skips = 0;
    std::string password;          // the last password set
    bool callbackSet = false;
    long long callbackUserData = -1;
};

}  // namespace fstest
