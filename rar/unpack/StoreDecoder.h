#pragma once
// Method 0: the packed bytes are the member's bytes.

#include <memory>

#include "rar/unpack/Decoder.h"

namespace rar {

std::unique_ptr<Decoder> MakeStoreDecoder();

}  // namespace rar
