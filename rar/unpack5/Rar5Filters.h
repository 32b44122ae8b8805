#pragma once
// The RAR5 coder's filters, applied to blocks of unpacked data before they
// are written: DELTA (byte-wise delta per channel), E8 and E8E9 (x86 call and
// jump targets made relative again) and ARM (BL targets).

#include <cstdint>
#include <vector>

namespace rar {

enum class Rar5FilterType : uint8_t { Delta = 0, E8 = 1, E8E9 = 2, Arm = 3 };

constexpr uint32_t kRar5MaxFilterBlock = 0x400000;

struct Rar5Filter {
    uint64_t start = 0;  // absolute position in the unpacked stream
    uint32_t length = 0;
    Rar5FilterType type = Rar5FilterType::Delta;
    unsigned channels = 1;
};

// Filters data in place (or through scratch for DELTA); fileOffset is the
// block's position within the member.
void ApplyRar5Filter(const Rar5Filter& f, uint8_t* data, uint32_t length, uint64_t fileOffset,
                     std::vector<uint8_t>& scratch);

}  // namespace rar
