#pragma once
// Opening an archive held in memory, for tests and fuzzing. The handle works
// with the other five calls of rar/Unrar.h; bytes must outlive it.

#include <cstddef>
#include <cstdint>

namespace rar {

// Returns the handle, or null with an ERAR_* code in *result.
void* OpenArchiveMemory(const uint8_t* bytes, size_t size, int* result);

}  // namespace rar
