// The archive side of the file system: serving resources.heap members from the
// memory cache or from the archive itself. Until the archive reader is in,
// nothing is found there and no cache is ever built; the switches that turn
// caching off are already honoured and logged.

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

}  // namespace

bool CRARFileSystem::OpenFromCache(COpenFileSlot&, const char*) { return false; }

bool CRARFileSystem::OpenFromArchive(COpenFileSlot&, const char*) { return false; }

void CRARFileSystem::CacheArchive() {
    CLogService* log = GetProcessLog();
    int32_t disabled = VarInt("s_disablememorycache", 0);
    if (disabled != 0) {
        if (log) log->Log("Not caching the archive - explicitly disabled (s_disablememorycache = %d)", disabled);
        return;
    }
    if (VarInt("s_dontusepack", 1) != 0) {
        if (log) log->Log("Using archive is disabled");
        return;
    }
}

void CRARFileSystem::ReleaseArchiveCache() { archiveCached = false; }
