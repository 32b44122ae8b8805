// Log file primitives over Win32 file handles.
#include "platform/LogFile.h"

#include <windows.h>

LogFileHandle CreateLogFile(const char* path) {
    // Others may read the log while it is open, none may write it; an old
    // log is truncated, a missing one created.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kInvalidLogFile;
    return reinterpret_cast<LogFileHandle>(file);
}

void WriteLogFile(LogFileHandle file, const void* data, size_t size) {
    if (file == kInvalidLogFile) return;
    HANDLE handle = reinterpret_cast<HANDLE>(file);
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        // A failed write is dropped; the next line is tried anyway.
        if (!WriteFile(handle, p, chunk, &written, nullptr) || written == 0) return;
        p += written;
        size -= written;
    }
}

void CloseLogFile(LogFileHandle file) {
    if (file != kInvalidLogFile) CloseHandle(reinterpret_cast<HANDLE>(file));
}
