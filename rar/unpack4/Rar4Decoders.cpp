// Chooses the RAR 1.5-4.x coder for a member's UnpVer.
#include <memory>

#include "rar/unpack/Decoder.h"
#include "rar/unpack4/Unpack15.h"
#include "rar/unpack4/Unpack20.h"
#include "rar/unpack4/Unpack29.h"

namespace rar {

std::unique_ptr<Decoder> MakeRar4Decoder(unsigned unpVer, size_t dictionarySize) {
    // The coders size their windows for the largest dictionary their format
    // can address (4 MB, 1 MB, 64 KB); a larger declared size is not needed
    // and a smaller one only bounds what valid data may reference.
    (void)dictionarySize;
    switch (unpVer) {
        case 15: return std::make_unique<unpack4::Unpack15>();
        case 20:
        case 26: return std::make_unique<unpack4::Unpack20>();
        case 29:
        case 36: return std::make_unique<unpack4::Unpack29>();
        default: return nullptr;
    }
}

}  // namespace rar
