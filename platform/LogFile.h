#pragma once
// Write-only log file primitives of the platform layer (POSIX descriptors on
// Linux, Windows file handles later; both fit an intptr_t).

#include <cstddef>
#include <cstdint>

using LogFileHandle = intptr_t;
constexpr LogFileHandle kInvalidLogFile = -1;

// Creates path, or truncates it when it exists, for writing; other processes
// may still open it for reading. kInvalidLogFile on failure.
LogFileHandle CreateLogFile(const char* path);

// Writes all size bytes (retrying short writes); failures are ignored.
void WriteLogFile(LogFileHandle file, const void* data, size_t size);

void CloseLogFile(LogFileHandle file);
