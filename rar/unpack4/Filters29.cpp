#include "rar/unpack4/Filters29.h"

#include <cstdlib>
#include <cstring>
#include <zlib.h>

namespace rar::unpack4 {

namespace {

struct Signature {
    uint32_t length;
    uint32_t crc;
    FilterType type;
};

const Signature kKnown[] = {
    {53, 0xad576887, FilterType::E8},     {57, 0x3cd7e57e, FilterType::E8E9},
    {120, 0x3769893f, FilterType::Itanium}, {29, 0x0e06077d, FilterType::Delta},
    {149, 0x1c2c5dc8, FilterType::Rgb},   {216, 0xbc85e701, FilterType::Audio},
};

inline uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void Put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

bool RunE8(uint8_t* mem, uint32_t size, uint32_t fileOffset, bool e9) {
    if (size >= kFilterMemSize || size < 4) return false;
    const uint32_t kFileSize = 0x1000000;
    uint8_t cmp2 = e9 ? 0xe9 : 0xe8;
    uint8_t* data = mem;
    for (uint32_t pos = 0; pos < size - 4;) {
        uint8_t b = *data++;
        pos++;
        if (b == 0xe8 || b == cmp2) {
            uint32_t offset = pos + fileOffset;
            uint32_t addr = Get32(data);
            if (addr & 0x80000000u) {
                if (((addr + offset) & 0x80000000u) == 0) Put32(data, addr + kFileSize);
            } else if ((addr - kFileSize) & 0x80000000u) {
                Put32(data, addr - offset);
            }
            data += 4;
            pos += 4;
        }
    }
    return true;
}

uint32_t ItaniumGet(const uint8_t* data, unsigned bitPos, unsigned bitCount) {
    unsigned at = bitPos / 8, bit = bitPos & 7;
    uint32_t v = Get32(data + at);
    v >>= bit;
    return v & (0xffffffffu >> (32 - bitCount));
}

void ItaniumSet(uint8_t* data, uint32_t value, unsigned bitPos, unsigned bitCount) {
    unsigned at = bitPos / 8, bit = bitPos & 7;
    uint32_t andMask = 0xffffffffu >> (32 - bitCount);
    andMask = ~(andMask << bit);
    value <<= bit;
    for (unsigned i = 0; i < 4; ++i) {
        data[at + i] &= uint8_t(andMask);
        data[at + i] |= uint8_t(value);
        andMask = (andMask >> 8) | 0xff000000u;
        value >>= 8;
    }
}

bool RunItanium(uint8_t* mem, uint32_t size, uint32_t fileOffset) {
    if (size >= kFilterMemSize || size < 21) return false;
    static const uint8_t kMasks[16] = {4, 4, 6, 6, 0, 0, 7, 7, 4, 4, 0, 0, 4, 4, 0, 0};
    uint8_t* data = mem;
    fileOffset >>= 4;
    for (uint32_t pos = 0; pos < size - 21; pos += 16, data += 16, fileOffset++) {
        int b = (data[0] & 0x1f) - 0x10;
        if (b < 0) continue;
        uint8_t cmdMask = kMasks[b];
        if (cmdMask == 0) continue;
        for (unsigned i = 0; i <= 2; ++i) {
            if (!(cmdMask & (1u << i))) continue;
            unsigned start = i * 41 + 5;
            if (ItaniumGet(data, start + 37, 4) == 5) {
                uint32_t off = ItaniumGet(data, start + 13, 20);
                ItaniumSet(data, (off - fileOffset) & 0xfffff, start + 13, 20);
            }
        }
    }
    return true;
}

bool RunDelta(uint8_t* mem, uint32_t size, uint32_t channels) {
    if (size > kFilterMemSize / 2 || channels > 1024 || channels == 0) return false;
    uint32_t src = 0, border = size * 2;
    for (uint32_t ch = 0; ch < channels; ++ch) {
        uint8_t prev = 0;
        for (uint32_t dst = size + ch; dst < border; dst += channels) mem[dst] = (prev = uint8_t(prev - mem[src++]));
    }
    return true;
}

bool RunRgb(uint8_t* mem, uint32_t size, uint32_t widthReg, uint32_t posR) {
    uint32_t width = widthReg - 3;
    if (size > kFilterMemSize / 2 || size < 3 || width > size || posR > 2) return false;
    const uint8_t* src = mem;
    uint8_t* dst = mem + size;
    for (uint32_t ch = 0; ch < 3; ++ch) {
        uint32_t prev = 0;
        for (uint32_t i = ch; i < size; i += 3) {
            uint32_t predicted;
            if (i >= width + 3) {
                const uint8_t* upper = dst + i - width;
                uint32_t up = upper[0], upLeft = upper[-3];
                predicted = prev + up - upLeft;
                int pa = std::abs(int(predicted - prev));
                int pb = std::abs(int(predicted - up));
                int pc = std::abs(int(predicted - upLeft));
                if (pa <= pb && pa <= pc)
                    predicted = prev;
                else if (pb <= pc)
                    predicted = up;
                else
                    predicted = upLeft;
            } else {
                predicted = prev;
            }
            prev = uint8_t(predicted - *src++);
            dst[i] = uint8_t(prev);
        }
    }
    for (uint32_t i = posR, border = size - 2; i < border; i += 3) {
        uint8_t g = dst[i + 1];
        dst[i] = uint8_t(dst[i] + g);
        dst[i + 2] = uint8_t(dst[i + 2] + g);
    }
    return true;
}

bool RunAudio(uint8_t* mem, uint32_t size, uint32_t channels) {
    if (size > kFilterMemSize / 2 || channels > 128 || channels == 0) return false;
    uint32_t src = 0;
    for (uint32_t ch = 0; ch < channels; ++ch) {
        uint32_t prevByte = 0, prevDelta = 0, dif[7] = {};
        int32_t d1 = 0, d2 = 0, d3;
        int32_t k1 = 0, k2 = 0, k3 = 0;
        for (uint32_t i = ch, byteCount = 0; i < size; i += channels, byteCount++) {
            d3 = d2;
            d2 = int32_t(prevDelta) - d1;
            d1 = int32_t(prevDelta);
            uint32_t predicted = 8 * prevByte + uint32_t(k1 * d1) + uint32_t(k2 * d2) + uint32_t(k3 * d3);
            predicted = (predicted >> 3) & 0xff;
            uint32_t cur = mem[src++];
            predicted -= cur;
            mem[size + i] = uint8_t(predicted);
            prevDelta = uint32_t(int32_t(int8_t(uint8_t(predicted - prevByte))));
            prevByte = predicted;
            int32_t d = int32_t(int8_t(uint8_t(cur))) * 8;
            dif[0] += uint32_t(std::abs(d));
            dif[1] += uint32_t(std::abs(d - d1));
            dif[2] += uint32_t(std::abs(d + d1));
            dif[3] += uint32_t(std::abs(d - d2));
            dif[4] += uint32_t(std::abs(d + d2));
            dif[5] += uint32_t(std::abs(d - d3));
            dif[6] += uint32_t(std::abs(d + d3));
            if ((byteCount & 0x1f) == 0) {
                uint32_t minDif = dif[0], numMinDif = 0;
                dif[0] = 0;
                for (uint32_t j = 1; j < 7; ++j) {
                    if (dif[j] < minDif) {
                        minDif = dif[j];
                        numMinDif = j;
                    }
                    dif[j] = 0;
                }
                switch (numMinDif) {
                    case 1: if (k1 >= -16) k1--; break;
                    case 2: if (k1 < 16) k1++; break;
                    case 3: if (k2 >= -16) k2--; break;
                    case 4: if (k2 < 16) k2++; break;
                    case 5: if (k3 >= -16) k3--; break;
                    case 6: if (k3 < 16) k3++; break;
                    default: break;
                }
            }
        }
    }
    return true;
}

Signature g_extra[16];
unsigned g_extraCount = 0;

}  // namespace

void AddFilterSignatureForTesting(uint32_t length, uint32_t crc, FilterType type) {
    if (g_extraCount < 16) g_extra[g_extraCount++] = Signature{length, crc, type};
}

FilterType IdentifyFilter(const uint8_t* code, size_t size) {
    if (size == 0) return FilterType::None;
    uint8_t x = 0;
    for (size_t i = 1; i < size; ++i) x ^= code[i];
    if (x != code[0]) return FilterType::None;
    uint32_t crc = uint32_t(crc32(0L, code, uInt(size)));
    for (const Signature& s : kKnown)
        if (s.length == size && s.crc == crc) return s.type;
    for (unsigned i = 0; i < g_extraCount; ++i)
        if (g_extra[i].length == size && g_extra[i].crc == crc) return g_extra[i].type;
    return FilterType::None;
}

bool RunFilter(FilterType type, uint8_t* mem, const uint32_t r[7], uint32_t& outOffset, uint32_t& outSize) {
    uint32_t size = r[4];
    outOffset = 0;
    outSize = size;
    switch (type) {
        case FilterType::E8: return RunE8(mem, size, r[6], false);
        case FilterType::E8E9: return RunE8(mem, size, r[6], true);
        case FilterType::Itanium: return RunItanium(mem, size, r[6]);
        case FilterType::Delta:
            outOffset = size;
            return RunDelta(mem, size, r[0]);
        case FilterType::Rgb:
            outOffset = size;
            return RunRgb(mem, size, r[0], r[1]);
        case FilterType::Audio:
            outOffset = size;
            return RunAudio(mem, size, r[0]);
        case FilterType::None: break;
    }
    return false;
}

}  // namespace rar::unpack4
