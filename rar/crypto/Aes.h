#pragma once
// AES-CBC without padding, in streaming form: feed any multiple of 16 bytes,
// the chaining carries over between calls. Implemented by the crypto backend
// (see CryptoBackend.h).

#include <cstddef>
#include <cstdint>

namespace rar {

class AesCbc {
public:
    AesCbc() = default;
    ~AesCbc();
    AesCbc(const AesCbc&) = delete;
    AesCbc& operator=(const AesCbc&) = delete;

    // keyBits is 128 or 256.
    bool Init(const uint8_t* key, unsigned keyBits, const uint8_t iv[16], bool encrypt);
    // n must be a multiple of 16; in and out may be the same buffer.
    bool Process(const uint8_t* in, uint8_t* out, size_t n);

    struct State;

private:
    State* state_ = nullptr;
};

}  // namespace rar
