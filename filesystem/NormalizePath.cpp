#include "filesystem/NormalizePath.h"

#include <cstring>

#include "platform/Locale.h"

namespace {
char g_buffers[kNormalizedPathBuffers][kNormalizedPathSize];
unsigned g_next = 0;
}  // namespace

bool FitsNormalizedPath(const char* name) {
    return name && std::strlen(name) < kNormalizedPathSize;
}

const char* NormalizePath(const char* name) {
    char* buffer = g_buffers[g_next];
    g_next = (g_next + 1) % kNormalizedPathBuffers;

    std::memset(buffer, 0, kNormalizedPathSize);
    if (name) std::strncpy(buffer, name, kNormalizedPathSize - 1);
    LowerCaseAscii(buffer);
    for (char* p = buffer; *p; ++p) {
        if (*p == '\\') *p = '/';
    }
    return buffer;
}
