#include "filesystem/ArchiveLibrary.h"

namespace {

const CArchiveLibrary kLinked = {
    RAROpenArchive, RARCloseArchive, RARReadHeader, RARProcessFile, RARSetCallback, RARSetPassword,
};

const CArchiveLibrary* g_library = &kLinked;

}  // namespace

const CArchiveLibrary& ArchiveLibrary() { return *g_library; }

void SetArchiveLibrary(const CArchiveLibrary* library) { g_library = library ? library : &kLinked; }

bool IsDirectoryEntry(unsigned int flags) {
#ifdef STAGEHOST_SYSTEM_UNRAR
    return (flags & 0x20u) != 0;
#else
    return (flags & 0xE0u) == 0xE0u;
#endif
}
