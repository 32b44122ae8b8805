// Compressed UTF-16 names of RAR 2.9-4.x file headers.
//
// After the 8-bit name and its zero byte: one byte H (the high byte used by
// op 1 and runs), then groups of four 2-bit ops taken from a flag byte, most
// significant pair first:
//   0: next byte is a character below 0x100
//   1: next byte is the low byte, H the high byte
//   2: next two bytes are the character, little endian
//   3: a run: length byte L; with L & 0x80 a correction byte C follows and
//      (L & 0x7F) + 2 characters are the 8-bit name's bytes at the same
//      positions plus C, with H as high byte; else L + 2 characters are
//      copied from the 8-bit name at the same positions.
// The result is UTF-16 (surrogate pairs possible).

#include "rar/Rar4Names.h"

#include <vector>

#include "rar/crypto/Password.h"

namespace rar {

namespace {

bool ValidUtf8(const uint8_t* p, size_t n) {
    std::string s(reinterpret_cast<const char*>(p), n);
    std::u32string cps = DecodeUtf8(s);
    return EncodeUtf8(cps) == s;
}

std::string Latin1(const uint8_t* p, size_t n) {
    std::u32string cps;
    for (size_t i = 0; i < n; ++i) cps.push_back(p[i]);
    return EncodeUtf8(cps);
}

std::string Utf16ToUtf8(const std::vector<uint16_t>& w) {
    std::u32string cps;
    for (size_t i = 0; i < w.size(); ++i) {
        uint32_t c = w[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (w[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        cps.push_back(c);
    }
    return EncodeUtf8(cps);
}

}  // namespace

std::string DecodeRar4Name(const uint8_t* field, size_t size, bool unicode) {
    size_t zero = 0;
    while (zero < size && field[zero] != 0) ++zero;
    if (!unicode) {
        if (ValidUtf8(field, zero)) return std::string(reinterpret_cast<const char*>(field), zero);
        return Latin1(field, zero);
    }
    if (zero == size) {  // no zero byte: the whole field is UTF-8
        return EncodeUtf8(DecodeUtf8(std::string(reinterpret_cast<const char*>(field), size)));
    }
    const uint8_t* name = field;
    const size_t nameLen = zero;
    const uint8_t* enc = field + zero + 1;
    const size_t encLen = size - zero - 1;
    std::vector<uint16_t> out;
    const size_t maxOut = 2048;
    size_t p = 0;
    if (encLen == 0) return Latin1(name, nameLen);
    const uint8_t high = enc[p++];
    unsigned flags = 0, flagBits = 0;
    while (p < encLen && out.size() < maxOut) {
        if (flagBits == 0) {
            flags = enc[p++];
            flagBits = 8;
            if (p >= encLen) break;
        }
        const unsigned op = (flags >> 6) & 3;
        flags = (flags << 2) & 0xFF;
        flagBits -= 2;
        switch (op) {
            case 0:
                out.push_back(enc[p++]);
                break;
            case 1:
                out.push_back(uint16_t(enc[p++] | high << 8));
                break;
            case 2:
                if (p + 1 >= encLen) { p = encLen; break; }
                out.push_back(uint16_t(enc[p] | enc[p + 1] << 8));
                p += 2;
                break;
            default: {
                const uint8_t len = enc[p++];
                if (len & 0x80) {
                    if (p >= encLen) break;
                    const uint8_t corr = enc[p++];
                    for (unsigned n = (len & 0x7F) + 2; n > 0 && out.size() < maxOut; --n) {
                        const size_t at = out.size();
                        const uint8_t base = at < nameLen ? name[at] : 0;
                        out.push_back(uint16_t(uint8_t(base + corr) | high << 8));
                    }
                } else {
                    for (unsigned n = len + 2u; n > 0 && out.size() < maxOut; --n) {
                        const size_t at = out.size();
                        out.push_back(at < nameLen ? name[at] : 0);
                    }
                }
                break;
            }
        }
    }
    // A name that decodes to nothing falls back to the 8-bit form.
    while (!out.empty() && out.back() == 0) out.pop_back();
    if (out.empty()) return Latin1(name, nameLen);
    for (uint16_t& c : out)
        if (c == 0) c = 0xFFFD;
    return Utf16ToUtf8(out);
}

}  // namespace rar
