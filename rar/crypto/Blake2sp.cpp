#include "rar/crypto/Blake2sp.h"

#include <cstring>

namespace rar {

namespace {

const uint32_t kIv[8] = {0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
                         0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19};
const uint8_t kSigma[10][16] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
    {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
    {11, 8, 12, 0, 5, 2, 15, 13, 10, 14, 3, 6, 7, 1, 9, 4},
    {7, 9, 3, 1, 13, 12, 11, 14, 2, 6, 5, 10, 4, 0, 15, 8},
    {9, 0, 5, 7, 2, 4, 10, 15, 14, 1, 11, 12, 6, 8, 3, 13},
    {2, 12, 6, 10, 0, 11, 8, 3, 4, 13, 7, 5, 15, 14, 1, 9},
    {12, 5, 1, 15, 14, 13, 4, 10, 0, 7, 6, 3, 9, 2, 8, 11},
    {13, 11, 7, 14, 12, 1, 3, 9, 5, 0, 15, 4, 8, 6, 2, 10},
    {6, 15, 14, 9, 11, 3, 0, 8, 12, 2, 13, 7, 1, 4, 10, 5},
    {10, 2, 8, 4, 7, 6, 1, 5, 15, 11, 9, 14, 3, 12, 13, 0},
};

inline uint32_t Ror(uint32_t v, unsigned n) { return (v >> n) | (v << (32 - n)); }
inline uint32_t Load32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

void Blake2s::Init(uint8_t fanout, uint8_t depth, uint32_t leafLength, uint64_t nodeOffset,
                   uint8_t nodeDepth, uint8_t innerLength, bool lastNode) {
    uint32_t p[8] = {0};
    p[0] = 32u | uint32_t(fanout) << 16 | uint32_t(depth) << 24;  // digest length 32, no key
    p[1] = leafLength;
    p[2] = uint32_t(nodeOffset);
    p[3] = uint32_t(nodeOffset >> 32) & 0xFFFF;
    p[3] |= uint32_t(nodeDepth) << 16 | uint32_t(innerLength) << 24;
    for (int i = 0; i < 8; ++i) h_[i] = kIv[i] ^ p[i];
    t_[0] = t_[1] = 0;
    bufLen_ = 0;
    lastNode_ = lastNode;
}

void Blake2s::Compress(const uint8_t block[64], bool last) {
    uint32_t m[16], v[16];
    for (int i = 0; i < 16; ++i) m[i] = Load32(block + 4 * i);
    for (int i = 0; i < 8; ++i) { v[i] = h_[i]; v[i + 8] = kIv[i]; }
    v[12] ^= t_[0];
    v[13] ^= t_[1];
    if (last) {
        v[14] = ~v[14];
        if (lastNode_) v[15] = ~v[15];
    }
    auto g = [&](int a, int b, int c, int d, uint32_t x, uint32_t y) {
        v[a] = v[a] + v[b] + x; v[d] = Ror(v[d] ^ v[a], 16);
        v[c] = v[c] + v[d];     v[b] = Ror(v[b] ^ v[c], 12);
        v[a] = v[a] + v[b] + y; v[d] = Ror(v[d] ^ v[a], 8);
        v[c] = v[c] + v[d];     v[b] = Ror(v[b] ^ v[c], 7);
    };
    for (int r = 0; r < 10; ++r) {
        const uint8_t* s = kSigma[r];
        g(0, 4, 8, 12, m[s[0]], m[s[1]]);
        g(1, 5, 9, 13, m[s[2]], m[s[3]]);
        g(2, 6, 10, 14, m[s[4]], m[s[5]]);
        g(3, 7, 11, 15, m[s[6]], m[s[7]]);
        g(0, 5, 10, 15, m[s[8]], m[s[9]]);
        g(1, 6, 11, 12, m[s[10]], m[s[11]]);
        g(2, 7, 8, 13, m[s[12]], m[s[13]]);
        g(3, 4, 9, 14, m[s[14]], m[s[15]]);
    }
    for (int i = 0; i < 8; ++i) h_[i] ^= v[i] ^ v[i + 8];
}

void Blake2s::Update(const uint8_t* data, size_t n) {
    while (n > 0) {
        if (bufLen_ == 64) {  // a full block is only compressed once more input follows
            t_[0] += 64;
            if (t_[0] < 64) ++t_[1];
            Compress(buf_, false);
            bufLen_ = 0;
        }
        size_t take = 64 - bufLen_;
        if (take > n) take = n;
        std::memcpy(buf_ + bufLen_, data, take);
        bufLen_ += take;
        data += take;
        n -= take;
    }
}

void Blake2s::Final(uint8_t out[32]) {
    t_[0] += uint32_t(bufLen_);
    if (t_[0] < bufLen_) ++t_[1];
    std::memset(buf_ + bufLen_, 0, 64 - bufLen_);
    Compress(buf_, true);
    for (int i = 0; i < 8; ++i) {
        out[4 * i] = uint8_t(h_[i]);
        out[4 * i + 1] = uint8_t(h_[i] >> 8);
        out[4 * i + 2] = uint8_t(h_[i] >> 16);
        out[4 * i + 3] = uint8_t(h_[i] >> 24);
    }
}

void Blake2sp::Init() {
    for (int i = 0; i < 8; ++i) leaves_[i].Init(8, 2, 0, uint64_t(i), 0, 32, i == 7);
    bufLen_ = 0;
}

void Blake2sp::Update(const uint8_t* data, size_t n) {
    // Input is dealt out in 64-byte blocks round-robin to the 8 leaves.
    while (n > 0) {
        size_t take = sizeof(buf_) - bufLen_;
        if (take > n) take = n;
        std::memcpy(buf_ + bufLen_, data, take);
        bufLen_ += take;
        data += take;
        n -= take;
        if (bufLen_ == sizeof(buf_) && n > 0) {
            for (int i = 0; i < 8; ++i) leaves_[i].Update(buf_ + 64 * i, 64);
            bufLen_ = 0;
        }
    }
}

void Blake2sp::Final(uint8_t out[32]) {
    for (int i = 0; i < 8; ++i) {
        size_t start = size_t(64 * i);
        if (bufLen_ > start) {
            size_t len = bufLen_ - start;
            if (len > 64) len = 64;
            leaves_[i].Update(buf_ + start, len);
        }
    }
    Blake2s root;
    root.Init(8, 2, 0, 0, 1, 32, true);
    for (int i = 0; i < 8; ++i) {
        uint8_t h[32];
        leaves_[i].Final(h);
        root.Update(h, 32);
    }
    root.Final(out);
}

}  // namespace rar
