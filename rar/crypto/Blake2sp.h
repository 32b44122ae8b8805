#pragma once
// BLAKE2sp (RFC 7693 BLAKE2s run as 8 parallel leaves plus a root), the
// 32-byte hash RAR5 may store instead of CRC32. Written by hand: OpenSSL has
// BLAKE2s but not the tree parameters the parallel form needs.

#include <cstddef>
#include <cstdint>

namespace rar {

class Blake2s {
public:
    // Tree parameters of the BLAKE2 parameter block.
    void Init(uint8_t fanout, uint8_t depth, uint32_t leafLength, uint64_t nodeOffset,
              uint8_t nodeDepth, uint8_t innerLength, bool lastNode);
    void Update(const uint8_t* data, size_t n);
    void Final(uint8_t out[32]);

private:
    void Compress(const uint8_t block[64], bool last);
    uint32_t h_[8];
    uint32_t t_[2];
    uint8_t buf_[64];
    size_t bufLen_;
    bool lastNode_;
};

class Blake2sp {
public:
    Blake2sp() { Init(); }
    void Init();
    void Update(const uint8_t* data, size_t n);
    void Final(uint8_t out[32]);

private:
    Blake2s leaves_[8];
    uint8_t buf_[8 * 64];
    size_t bufLen_;
};

}  // namespace rar
