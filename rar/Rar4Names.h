#pragma once
// File names of RAR 1.5-4.x archives, decoded to UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>

namespace rar {

// The name field of a file header. With the Unicode flag the field holds the
// 8-bit name, a zero byte and the compressed UTF-16 form (or, without the
// zero byte, UTF-8 throughout). Without it, the bytes are taken as UTF-8
// when they are valid UTF-8 and as Latin-1 otherwise.
std::string DecodeRar4Name(const uint8_t* field, size_t size, bool unicode);

}  // namespace rar
