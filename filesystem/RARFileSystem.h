#pragma once
// The host's file system: plain files of the working directory first; then,
// when the variable s_dontusepack is 0, members of the archive resources.heap
// (from the archive memory cache while it is held, else read from the archive
// itself). Up to 15 files are open at once; their slots form a table of 16
// indexed by handle, slot 0 never handed out.
//
// Misses and unsupported requests are warning lines in the process's log and a
// neutral result; a full table throws CErrorRuntime.

#include <cstdio>

#include "filesystem/CacheTable.h"
#include "filesystem/FileSystem.h"

struct COpenFileSlot {
    bool inUse;
    std::FILE* stream;  // plain file; null for a file served from memory
    uint8_t* data;      // whole content of a file served from memory
    bool ownsData;      // data came from malloc for this slot: CloseFile frees it
    int32_t position;   // bytes delivered so far
    int32_t size;       // size in bytes, fixed at open
};

class CRARFileSystem : public CFileSystem {
public:
    enum { kSlotCount = 16 };

    CRARFileSystem();  // touches no file
    // Releases the archive cache and closes files left open.
    ~CRARFileSystem() override;
    CRARFileSystem(const CRARFileSystem&) = delete;
    CRARFileSystem& operator=(const CRARFileSystem&) = delete;

    FileHandle OpenFile(const char* name, const char* mode) override;
    int32_t GetSize(FileHandle file) override;
    int32_t Read(FileHandle file, void* buffer, int32_t length) override;
    int32_t Write(FileHandle file, const void* data, int32_t length) override;
    bool IsEof(FileHandle file) override;
    void CloseFile(FileHandle& file) override;

    // Host only: unpack the archive into memory before the engine loads, and
    // drop it (with a usage report) after the engine's Precache.
    void CacheArchive();
    void ReleaseArchiveCache();

    void* archiveHandle;                 // the archive library's handle during a walk
    COpenFileSlot slots[kSlotCount];
    bool archiveCached;
    CCacheTable cacheTable;

private:
    // The slot of a handle that is open, or null (with a warning line).
    COpenFileSlot* OpenSlot(FileHandle file, const char* operation);
    // Serve name from the archive cache / the archive into slot; true on success.
    bool OpenFromCache(COpenFileSlot& slot, const char* name);
    bool OpenFromArchive(COpenFileSlot& slot, const char* name);
};
