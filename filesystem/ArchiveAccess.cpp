// The archive side of the file system: serving resources.heap members from the
// memory cache or from the archive itself. Until the archive reader is in,
// nothing is found there and no cache is ever built.

#include "filesystem/RARFileSystem.h"

bool CRARFileSystem::OpenFromCache(COpenFileSlot&, const char*) { return false; }

bool CRARFileSystem::OpenFromArchive(COpenFileSlot&, const char*) { return false; }

void CRARFileSystem::CacheArchive() {}

void CRARFileSystem::ReleaseArchiveCache() { archiveCached = false; }
