#include "errors/FormatText.h"

#include <cstdarg>
#include <cstdio>

namespace {
char g_buffers[kFormatTextBuffers][kFormatTextSize];
unsigned g_next = 0;
}  // namespace

const char* FormatText(const char* format, ...) {
    char* buffer = g_buffers[g_next % kFormatTextBuffers];
    g_next = (g_next % kFormatTextBuffers) + 1;
    buffer[0] = '\0';
    if (format) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, kFormatTextSize, format, args);
        va_end(args);
    }
    return buffer;
}
