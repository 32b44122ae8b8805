// The archive side of the file system: members of resources.heap served from
// the memory cache while the host holds it, otherwise unpacked from the
// archive for each open; and the cache itself, built once at start-up and
// released with a report of the members nobody opened.
//
// A member is served only when the library unpacked it without complaint and
// delivered exactly its unpacked size; anything else is a warning line.

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "errors/Error.h"
#include "errors/FormatText.h"
#include "filesystem/ArchiveLibrary.h"
#include "filesystem/ArchiveWalk.h"
#include "filesystem/NormalizePath.h"
#include "filesystem/RARFileSystem.h"
#include "log/LogService.h"
#include "sdk/Services.h"
#include "vars/VarList.h"

namespace {

// The integer value of a host variable, or fallback when it is not registered.
int32_t VarInt(const char* name, int32_t fallback) {
    CVarList* vars = GetProcessVars();
    CVariable* v = vars ? vars->Find(name) : nullptr;
    return v ? v->value.asInt : fallback;
}

// A log line when the log exists; checked as printf like Log itself.
__attribute__((format(printf, 1, 2))) void LogLine(const char* format, ...) {
    CLogService* log = GetProcessLog();
    if (!log) return;
    char line[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    log->Log("%s", line);
}

// A zeroed buffer for a member of size bytes (at least one byte, so that an
// empty member still has a buffer of its own); null when none can be had.
uint8_t* AllocateMember(int32_t size) {
    return static_cast<uint8_t*>(std::calloc(size > 0 ? static_cast<size_t>(size) : 1, 1));
}

// Frees the members cached from index first on and drops their entries.
void DropCachedMembers(CCacheTable& table, int32_t first) {
    for (int32_t i = first; i < table.count; ++i) std::free(table.entries[i].data);
    table.count = first;
}

}  // namespace

bool CRARFileSystem::OpenFromCache(COpenFileSlot& slot, const char* name) {
    const char* wanted = NormalizePath(name);
    for (int32_t i = 0; i < cacheTable.count; ++i) {
        CCacheEntry& entry = cacheTable.entries[i];
        if (std::strcmp(entry.name, wanted) != 0) continue;
        slot.data = entry.data;
        slot.size = entry.size;
        slot.inUse = true;
        entry.touched = true;
        return true;
    }
    return false;
}

bool CRARFileSystem::OpenFromArchive(COpenFileSlot& slot, const char* name) {
    CArchiveWalk walk(&archiveHandle, "CRARFileSystem::OpenFile : error opening main archive (%s) (open result = %d)");
    // NormalizePath's buffers rotate: keep the requested name's form aside.
    char wanted[kNormalizedPathSize];
    std::strcpy(wanted, NormalizePath(name));
    RARHeaderData header;
    int result;
    while ((result = walk.Next(header)) == 0) {
        if (!FitsNormalizedPath(header.FileName) || std::strcmp(wanted, NormalizePath(header.FileName)) != 0) {
            walk.Skip();
            continue;
        }
        int32_t size = 0;
        if (!UsableUnpackedSize(header, &size)) {
            LogLine("Warning: CRARFileSystem::OpenFile : '%s' has an unusable unpacked size (%u bytes)", name,
                    header.UnpSize);
            return false;
        }
        uint8_t* data = AllocateMember(size);
        if (!data) {
            LogLine("Warning: CRARFileSystem::OpenFile : can't allocate %d bytes for file '%s'", size, name);
            return false;
        }
        int unpackResult = 0;
        if (!walk.Unpack(data, size, &unpackResult)) {
            std::free(data);
            LogLine("Warning: CRARFileSystem::OpenFile : can't unpack '%s' from the archive (result = %d)", name,
                    unpackResult);
            return false;
        }
        slot.data = data;
        slot.ownsData = true;
        slot.size = size;
        slot.inUse = true;
        return true;
    }
    if (result != ERAR_END_ARCHIVE) {
        LogLine("Warning: CRARFileSystem::OpenFile : error reading the archive's headers (result = %d)", result);
    }
    return false;
}

void CRARFileSystem::CacheArchive() {
    int32_t disabled = VarInt("s_disablememorycache", 0);
    if (disabled != 0) {
        LogLine("Not caching the archive - explicitly disabled (s_disablememorycache = %d)", disabled);
        return;
    }
    if (VarInt("s_dontusepack", 1) != 0) {
        LogLine("Using archive is disabled");
        return;
    }

    const int32_t firstNew = cacheTable.count;
    int64_t total = 0;  // sizes are 32-bit, their sum may not be
    {
        CArchiveWalk walk(&archiveHandle,
                          "CRARFileSystem::CacheArchive : error opening main archive (%s) (open result = %d)");
        RARHeaderData header;
        int result;
        while ((result = walk.Next(header)) == 0) {
            if (IsDirectoryEntry(header.Flags)) continue;

            CCacheEntry entry;
            if (!FitsNormalizedPath(header.FileName)) {
                LogLine("Warning: CRARFileSystem::CacheArchive : not caching a member whose name is too long ('%.64s...')",
                        header.FileName);
                walk.Skip();
                continue;
            }
            std::strcpy(entry.name, NormalizePath(header.FileName));
            if (!UsableUnpackedSize(header, &entry.size)) {
                LogLine("Warning: CRARFileSystem::CacheArchive : not caching '%s' (unusable unpacked size of %u bytes)",
                        entry.name, header.UnpSize);
                walk.Skip();
                continue;
            }
            entry.data = AllocateMember(entry.size);
            if (!entry.data) {
                DropCachedMembers(cacheTable, firstNew);
                throw new CErrorRuntime(FormatText("CRARFileSystem::CacheArchive - Can't allocate %d bytes for file '%s'",
                                                   entry.size, entry.name));
            }
            int unpackResult = 0;
            if (!walk.Unpack(entry.data, entry.size, &unpackResult)) {
                std::free(entry.data);
                LogLine("Warning: CRARFileSystem::CacheArchive : not caching '%s' (unpack result = %d)", entry.name,
                        unpackResult);
                continue;
            }
            entry.touched = false;
            if (cacheTable.Add(entry) < 0) {
                std::free(entry.data);
                DropCachedMembers(cacheTable, firstNew);
                throw new CErrorRuntime(FormatText("CRARFileSystem::CacheArchive - Can't allocate %d bytes for file '%s'",
                                                   static_cast<int>(sizeof(CCacheEntry)), entry.name));
            }
            total += entry.size;
        }
        if (result != ERAR_END_ARCHIVE) {
            LogLine("Warning: CRARFileSystem::CacheArchive : error reading the archive's headers (result = %d)",
                    result);
        }
    }
    LogLine("Cached %d files of %lld bytes total size", cacheTable.count, static_cast<long long>(total));
    archiveCached = true;
}

void CRARFileSystem::ReleaseArchiveCache() {
    if (!archiveCached) return;
    LogLine("Releasing archive cache");
    int32_t untouchedFiles = 0;
    int64_t untouchedBytes = 0;
    for (int32_t i = 0; i < cacheTable.count; ++i) {
        CCacheEntry& entry = cacheTable.entries[i];
        if (!entry.touched) {
            LogLine("Untouched: '%s' (%d bytes)", entry.name, entry.size);
            ++untouchedFiles;
            untouchedBytes += entry.size;
        }
        // Files still open from the cache keep their bytes: the first such slot
        // takes the buffer over, any other gets a copy of its own.
        uint8_t* buffer = entry.data;
        for (COpenFileSlot& slot : slots) {
            if (!slot.inUse || slot.stream || slot.ownsData || slot.data != entry.data) continue;
            if (buffer) {
                buffer = nullptr;  // handed over
            } else {
                uint8_t* copy = AllocateMember(entry.size);
                if (copy) std::memcpy(copy, entry.data, static_cast<size_t>(entry.size));
                slot.data = copy;
                if (!copy) slot.size = slot.position;  // nothing more to read
            }
            slot.ownsData = slot.data != nullptr;
        }
        std::free(buffer);
        entry.data = nullptr;
    }
    LogLine("Total unused files in archive: %d (%lld bytes)", untouchedFiles, static_cast<long long>(untouchedBytes));
    cacheTable.count = 0;
    archiveCached = false;
}
