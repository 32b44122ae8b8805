#pragma once
// SHA-1 written out by hand, because the RAR 2.9-4.x key derivation needs a
// variant no library offers: when a full 64-byte block is hashed straight
// from the caller's buffer, that block is overwritten in place with the last
// 16 words of the message schedule (little endian). The caller's buffer is
// therefore changed, and later rounds of the key derivation hash the changed
// bytes. Only inputs longer than 64 bytes are affected.

#include <cstddef>
#include <cstdint>

namespace rar {

class Sha1Rar {
public:
    Sha1Rar() { Reset(); }
    void Reset();
    // Plain SHA-1 update (input untouched).
    void Update(const uint8_t* data, size_t n);
    // The variant described above: may rewrite data in place.
    void UpdateRewriting(uint8_t* data, size_t n);
    void Final(uint8_t digest[20]);  // leaves this object unusable until Reset
    const uint32_t* State() const { return state_; }

private:
    void Transform(const uint8_t* block, uint8_t* rewrite);
    void UpdateImpl(uint8_t* mutableData, const uint8_t* data, size_t n);
    uint32_t state_[5];
    uint64_t count_;
    uint8_t buffer_[64];
};

}  // namespace rar
