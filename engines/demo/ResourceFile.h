#pragma once
// Loading a whole resource through the host's file system: a plain file in
// the working directory or a member of resources.heap, whichever the file
// system serves. The file is closed again before the function returns, so
// nothing stays open when the archive memory cache is released after
// Precache.
#include <cstdint>
#include <string>
#include <vector>

class CFileSystem;
class CLogService;

struct CResource {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// Throws CErrorMissingResource when the file system cannot open the name and
// CErrorBadResource when fewer bytes arrive than the file's size. log may be
// null; otherwise one line names the resource and its size.
CResource LoadResource(CFileSystem* fileSystem, CLogService* log, const char* name);
