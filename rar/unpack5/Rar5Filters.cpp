#include "rar/unpack5/Rar5Filters.h"

#include <cstring>

namespace rar {

namespace {

uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void Put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}

}  // namespace

void ApplyRar5Filter(const Rar5Filter& f, uint8_t* data, uint32_t length, uint64_t fileOffset,
                     std::vector<uint8_t>& scratch) {
    switch (f.type) {
        case Rar5FilterType::Delta: {
            // The source holds each channel's deltas one channel after another;
            // the result interleaves the channels again.
            scratch.assign(data, data + length);
            uint32_t src = 0;
            for (unsigned ch = 0; ch < f.channels; ++ch) {
                uint8_t prev = 0;
                for (uint32_t dst = ch; dst < length; dst += f.channels) {
                    prev = uint8_t(prev - scratch[src++]);
                    data[dst] = prev;
                }
            }
            break;
        }
        case Rar5FilterType::E8:
        case Rar5FilterType::E8E9: {
            const uint32_t kFileSize = 0x1000000;
            const uint8_t second = f.type == Rar5FilterType::E8E9 ? 0xE9 : 0xE8;
            for (uint32_t pos = 0; pos + 4 < length;) {
                const uint8_t b = data[pos++];
                if (b != 0xE8 && b != second) continue;
                const uint32_t offset = uint32_t((pos + fileOffset) % kFileSize);
                const uint32_t addr = Get32(data + pos);
                if (addr & 0x80000000u) {
                    if (((addr + offset) & 0x80000000u) == 0) Put32(data + pos, addr + kFileSize);
                } else if (((addr - kFileSize) & 0x80000000u) != 0) {
                    Put32(data + pos, addr - offset);
                }
                pos += 4;
            }
            break;
        }
        case Rar5FilterType::Arm: {
            for (uint32_t pos = 0; pos + 3 < length; pos += 4) {
                uint8_t* d = data + pos;
                if (d[3] != 0xEB) continue;
                uint32_t off = d[0] | uint32_t(d[1]) << 8 | uint32_t(d[2]) << 16;
                off -= uint32_t((fileOffset + pos) / 4);
                d[0] = uint8_t(off); d[1] = uint8_t(off >> 8); d[2] = uint8_t(off >> 16);
            }
            break;
        }
    }
}

}  // namespace rar
