#pragma once
// Hook for the RAR 2.0 cipher (members of UnpVer 20/26 with the encrypted
// flag). The container layer wraps a member's packed input with the stream
// returned here before the bytes reach the decoder; null means the cipher is
// not available and the member is reported as ERAR_UNKNOWN_FORMAT.

#include <memory>
#include <string>

#include "rar/unpack/Decoder.h"

namespace rar {

// The returned stream reads from src (which must outlive it) and yields the
// decrypted bytes; the password is the UTF-8 text the caller gave.
std::unique_ptr<PackedInput> MakeRar20DecryptInput(PackedInput& src, const std::string& password);

}  // namespace rar
