#pragma once
// The RAR 1.5 coder (UnpVer 15).

#include <cstdint>

#include "rar/unpack/Decoder.h"

namespace rar::unpack4 {

class Unpack15 final : public Decoder {
public:
    DecodeResult Decode(PackedInput&, uint64_t, UnpackedOutput&, bool) override { return DecodeResult::Unsupported; }
};

}  // namespace rar::unpack4
