#pragma once
// Password text as the two key derivations take it: cut to 127 characters
// (as RAR does for compatibility), as UTF-8 for RAR5 and UTF-16LE for RAR4.

#include <cstdint>
#include <string>
#include <vector>

namespace rar {

// Decodes UTF-8 into code points; invalid bytes are taken as Latin-1.
std::u32string DecodeUtf8(const std::string& s);
std::string EncodeUtf8(const std::u32string& s);

std::string PasswordUtf8(const std::string& password);
std::vector<uint8_t> PasswordUtf16(const std::string& password);

}  // namespace rar
