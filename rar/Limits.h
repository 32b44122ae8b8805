#pragma once
// Sanity bounds on sizes read from archives. Nothing is allocated from a
// size read from disk before it has been checked against these and against
// the file's size.

#include <cstddef>
#include <cstdint>

namespace rar {

constexpr uint64_t kMaxRar5HeaderSize = 2 * 1024 * 1024;   // 3-byte vint
constexpr size_t kMaxSfxSize = 1024 * 1024 + 64 * 1024;     // search window for the signature
constexpr uint64_t kMaxDictionary = uint64_t(4) << 30;      // largest window we agree to use
constexpr size_t kChunkSize = 1024 * 1024;                  // callback chunk for stored data

}  // namespace rar
