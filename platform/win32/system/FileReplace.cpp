#include "platform/FileReplace.h"

#include <io.h>
#include <windows.h>

bool FlushFileToDisk(std::FILE* file) {
    if (!file || std::fflush(file) != 0) return false;
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool MoveFileOver(const char* source, const char* target) {
    // rename() refuses an existing target here; MoveFileEx replaces it in one
    // step on the same volume.
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
