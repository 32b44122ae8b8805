// Chooses the RAR 1.5-4.x coder for a member's UnpVer.
#include <memory>

#include "rar/unpack/Decoder.h"
#include "rar/unpack4/Unpack15.h"
#include "rar/unpack4/Unpack20.h"
#include "rar/unpack4/Unpack29.h"

namespace rar {

std::unique_ptr<Decoder> MakeRar4Decoder(unsigned unpVer, size_t dictionarySize) {
    // The window follows the declared dictionary (what valid data may
    // reference), rounded up to a power of two, at most what the format can
    // address (RAR 2.9: 4 MB, RAR 2.0: 1 MB) and at least `floor`: for RAR 2.9
    // four times the largest filter block, so that a pending filter block
    // never gets overwritten before it is complete. RAR 1.5 uses 64 KB.
    auto window = [dictionarySize](size_t floor, size_t formatMax) {
        size_t w = floor;
        while (w < dictionarySize && w < formatMax) w <<= 1;
        return w < formatMax ? w : formatMax;
    };
    switch (unpVer) {
        case 15: return std::make_unique<unpack4::Unpack15>();
        case 20:
        case 26: return std::make_unique<unpack4::Unpack20>(window(0x40000, unpack4::Unpack20::kMaxWindow));
        case 29:
        case 36: return std::make_unique<unpack4::Unpack29>(window(0x100000, unpack4::Unpack29::kMaxWindow));
        default: return nullptr;
    }
}

}  // namespace rar
