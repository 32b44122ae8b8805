#include "rar/crypto/Sha1Rar.h"

#include <cstring>

namespace rar {

namespace {
inline uint32_t Rol(uint32_t v, unsigned n) { return (v << n) | (v >> (32 - n)); }
}

void Sha1Rar::Reset() {
    state_[0] = 0x67452301;
    state_[1] = 0xEFCDAB89;
    state_[2] = 0x98BADCFE;
    state_[3] = 0x10325476;
    state_[4] = 0xC3D2E1F0;
    count_ = 0;
}

void Sha1Rar::Transform(const uint8_t* block, uint8_t* rewrite) {
    uint32_t w[80];
    for (int i = 0; i < 16; ++i)
        w[i] = uint32_t(block[4 * i]) << 24 | uint32_t(block[4 * i + 1]) << 16 |
               uint32_t(block[4 * i + 2]) << 8 | block[4 * i + 3];
    for (int i = 16; i < 80; ++i) w[i] = Rol(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3], e = state_[4];
    for (int i = 0; i < 80; ++i) {
        uint32_t f, k;
        if (i < 20) { f = (b & c) | (~b & d); k = 0x5A827999; }
        else if (i < 40) { f = b ^ c ^ d; k = 0x6ED9EBA1; }
        else if (i < 60) { f = (b & c) | (b & d) | (c & d); k = 0x8F1BBCDC; }
        else { f = b ^ c ^ d; k = 0xCA62C1D6; }
        uint32_t t = Rol(a, 5) + f + e + k + w[i];
        e = d; d = c; c = Rol(b, 30); b = a; a = t;
    }
    state_[0] += a; state_[1] += b; state_[2] += c; state_[3] += d; state_[4] += e;
    if (rewrite) {
        for (int j = 0; j < 16; ++j) {
            uint32_t v = w[64 + j];
            rewrite[4 * j] = uint8_t(v);
            rewrite[4 * j + 1] = uint8_t(v >> 8);
            rewrite[4 * j + 2] = uint8_t(v >> 16);
            rewrite[4 * j + 3] = uint8_t(v >> 24);
        }
    }
}

void Sha1Rar::UpdateImpl(uint8_t* mutableData, const uint8_t* data, size_t n) {
    size_t used = size_t(count_ & 63);
    count_ += n;
    size_t i = 0;
    if (used + n >= 64) {
        i = 64 - used;
        std::memcpy(buffer_ + used, data, i);
        Transform(buffer_, nullptr);
        for (; i + 64 <= n; i += 64)
            Transform(data + i, mutableData ? mutableData + i : nullptr);
        used = 0;
    }
    std::memcpy(buffer_ + used, data + i, n - i);
}

void Sha1Rar::Update(const uint8_t* data, size_t n) { UpdateImpl(nullptr, data, n); }

void Sha1Rar::UpdateRewriting(uint8_t* data, size_t n) { UpdateImpl(data, data, n); }

void Sha1Rar::Final(uint8_t digest[20]) {
    uint64_t bits = count_ * 8;
    uint8_t pad[72] = {0x80};
    size_t used = size_t(count_ & 63);
    size_t padLen = used < 56 ? 56 - used : 120 - used;
    Update(pad, padLen);
    uint8_t len[8];
    for (int i = 0; i < 8; ++i) len[i] = uint8_t(bits >> (56 - 8 * i));
    Update(len, 8);
    for (int i = 0; i < 5; ++i) {
        digest[4 * i] = uint8_t(state_[i] >> 24);
        digest[4 * i + 1] = uint8_t(state_[i] >> 16);
        digest[4 * i + 2] = uint8_t(state_[i] >> 8);
        digest[4 * i + 3] = uint8_t(state_[i]);
    }
}

}  // namespace rar
