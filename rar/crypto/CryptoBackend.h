#pragma once
// The cryptographic primitives the archive reader and writer take from the
// system: AES-CBC (AesCbc in Aes.h), SHA-256, HMAC-SHA256, PBKDF2-HMAC-SHA256
// and random bytes. One backend implements all of them: OpenSSL's libcrypto
// (rar/crypto/openssl/) or, on Windows, the CNG primitives of bcrypt.dll
// (platform/win32/crypto/). RAR-specific derivations (Rar5Kdf, Rar3Kdf) are
// built on top and are the same code on every system.

#include <cstddef>
#include <cstdint>

namespace rar {

bool Sha256(const void* data, size_t n, uint8_t out[32]);

// HMAC-SHA256 under one key, for many messages (key derivation loops).
class HmacSha256 {
public:
    HmacSha256(const void* key, size_t keyLen);
    ~HmacSha256();
    HmacSha256(const HmacSha256&) = delete;
    HmacSha256& operator=(const HmacSha256&) = delete;

    bool Mac(const void* msg, size_t n, uint8_t out[32]);

    struct State;

private:
    State* state_ = nullptr;
};

// One message under one key.
bool HmacSha256Once(const void* key, size_t keyLen, const void* msg, size_t n, uint8_t out[32]);

// PBKDF2 with HMAC-SHA256; outLen at most 32 * 0xFFFFFFFF, iterations at least 1.
bool Pbkdf2HmacSha256(const void* password, size_t passwordLen, const void* salt, size_t saltLen,
                      uint64_t iterations, uint8_t* out, size_t outLen);

// Cryptographically strong random bytes (salts and IVs of written archives).
bool RandomBytes(uint8_t* dst, size_t n);

}  // namespace rar
