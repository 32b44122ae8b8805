// Finding the archive: the RAR5 or RAR 1.5-4.x signature at the start of
// the file or after a self-extracting module (searched within the first
// kMaxSfxSize bytes).

#include <algorithm>
#include <cstring>
#include <vector>

#include "rar/Container.h"
#include "rar/Limits.h"

namespace rar {

namespace {
const uint8_t kSig5[8] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};
const uint8_t kSig4[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
}  // namespace

std::unique_ptr<Container> DetectContainer(ArchiveFile& file) {
    uint8_t head[8] = {0};
    const size_t n = file.ReadSomeAt(0, head, sizeof head);
    if (n == 8 && std::memcmp(head, kSig5, 8) == 0) return MakeRar5Container(8);
    if (n >= 7 && std::memcmp(head, kSig4, 7) == 0) return MakeRar4Container(7);
    const size_t window = size_t(std::min<uint64_t>(file.Size(), kMaxSfxSize));
    std::vector<uint8_t> buf(window);
    size_t got = file.ReadSomeAt(0, buf.data(), buf.size());
    for (size_t i = 0; i + 7 <= got; ++i) {
        if (buf[i] != 0x52) continue;
        if (i + 8 <= got && std::memcmp(buf.data() + i, kSig5, 8) == 0) return MakeRar5Container(i + 8);
        if (std::memcmp(buf.data() + i, kSig4, 7) == 0) return MakeRar4Container(i + 7);
    }
    return nullptr;
}

}  // namespace rar
