#include "platform/FileReplace.h"

#include <cstdio>
#include <unistd.h>

bool FlushFileToDisk(std::FILE* file) {
    if (!file || std::fflush(file) != 0) return false;
    return ::fsync(::fileno(file)) == 0;
}

bool MoveFileOver(const char* source, const char* target) {
    // rename() replaces target atomically within one file system.
    return std::rename(source, target) == 0;
}
