#pragma once
// CRC32 (zlib) and the time conversions both containers need.

#include <cstddef>
#include <cstdint>

namespace rar {

uint32_t Crc32(uint32_t crc, const void* data, size_t n);
inline uint32_t Crc32(const void* data, size_t n) { return Crc32(0, data, n); }

// Unix seconds (UTC) to a DOS date/time word and back.
uint32_t UnixToDosTime(int64_t unixSeconds);
int64_t DosToUnixTime(uint32_t dos);

}  // namespace rar
