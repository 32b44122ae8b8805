// The crypto backend over OpenSSL's libcrypto (EVP, HMAC, PKCS5, RAND).
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <climits>
#include <cstring>

#include "rar/crypto/Aes.h"
#include "rar/crypto/CryptoBackend.h"

namespace rar {

struct AesCbc::State {
    EVP_CIPHER_CTX* ctx = nullptr;
};

AesCbc::~AesCbc() {
    if (!state_) return;
    if (state_->ctx) EVP_CIPHER_CTX_free(state_->ctx);
    delete state_;
}

bool AesCbc::Init(const uint8_t* key, unsigned keyBits, const uint8_t iv[16], bool encrypt) {
    if (keyBits != 128 && keyBits != 256) return false;
    if (!state_) state_ = new State;
    if (!state_->ctx) state_->ctx = EVP_CIPHER_CTX_new();
    if (!state_->ctx) return false;
    const EVP_CIPHER* c = keyBits == 256 ? EVP_aes_256_cbc() : EVP_aes_128_cbc();
    if (EVP_CipherInit_ex(state_->ctx, c, nullptr, key, iv, encrypt ? 1 : 0) != 1) return false;
    EVP_CIPHER_CTX_set_padding(state_->ctx, 0);
    return true;
}

bool AesCbc::Process(const uint8_t* in, uint8_t* out, size_t n) {
    if (!state_ || !state_->ctx || n % 16 != 0) return false;
    while (n > 0) {
        int step = n > (INT_MAX & ~15) ? (INT_MAX & ~15) : int(n);
        int outLen = 0;
        if (EVP_CipherUpdate(state_->ctx, out, &outLen, in, step) != 1 || outLen != step) return false;
        in += step;
        out += step;
        n -= size_t(step);
    }
    return true;
}

bool Sha256(const void* data, size_t n, uint8_t out[32]) {
    unsigned int len = 0;
    return EVP_Digest(data, n, out, &len, EVP_sha256(), nullptr) == 1 && len == 32;
}

// The key's inner and outer SHA-256 states are prepared once; every message
// then costs two copies of a state instead of two key schedules.
struct HmacSha256::State {
    EVP_MD_CTX* inner = nullptr;
    EVP_MD_CTX* outer = nullptr;
    EVP_MD_CTX* work = nullptr;
    bool ok = false;
};

HmacSha256::HmacSha256(const void* key, size_t keyLen) : state_(new State) {
    uint8_t k[64] = {0};
    if (keyLen > 64) {
        if (!Sha256(key, keyLen, k)) return;
    } else if (keyLen > 0) {
        std::memcpy(k, key, keyLen);
    }
    state_->inner = EVP_MD_CTX_new();
    state_->outer = EVP_MD_CTX_new();
    state_->work = EVP_MD_CTX_new();
    if (!state_->inner || !state_->outer || !state_->work) return;
    uint8_t pad[64];
    for (int i = 0; i < 64; ++i) pad[i] = k[i] ^ 0x36;
    if (EVP_DigestInit_ex(state_->inner, EVP_sha256(), nullptr) != 1 ||
        EVP_DigestUpdate(state_->inner, pad, 64) != 1)
        return;
    for (int i = 0; i < 64; ++i) pad[i] = k[i] ^ 0x5C;
    if (EVP_DigestInit_ex(state_->outer, EVP_sha256(), nullptr) != 1 ||
        EVP_DigestUpdate(state_->outer, pad, 64) != 1)
        return;
    state_->ok = true;
}

HmacSha256::~HmacSha256() {
    EVP_MD_CTX_free(state_->inner);
    EVP_MD_CTX_free(state_->outer);
    EVP_MD_CTX_free(state_->work);
    delete state_;
}

bool HmacSha256::Mac(const void* msg, size_t n, uint8_t out[32]) {
    uint8_t mid[32];
    unsigned int len = 0;
    State& s = *state_;
    if (!s.ok) return false;
    if (EVP_MD_CTX_copy_ex(s.work, s.inner) != 1 || EVP_DigestUpdate(s.work, msg, n) != 1 ||
        EVP_DigestFinal_ex(s.work, mid, &len) != 1)
        return false;
    if (EVP_MD_CTX_copy_ex(s.work, s.outer) != 1 || EVP_DigestUpdate(s.work, mid, 32) != 1 ||
        EVP_DigestFinal_ex(s.work, out, &len) != 1)
        return false;
    return true;
}

bool HmacSha256Once(const void* key, size_t keyLen, const void* msg, size_t n, uint8_t out[32]) {
    if (keyLen > INT_MAX) return false;
    unsigned int len = 0;
    return HMAC(EVP_sha256(), key, int(keyLen), static_cast<const unsigned char*>(msg), n, out, &len) &&
           len == 32;
}

bool Pbkdf2HmacSha256(const void* password, size_t passwordLen, const void* salt, size_t saltLen,
                      uint64_t iterations, uint8_t* out, size_t outLen) {
    if (iterations == 0 || iterations > INT_MAX || passwordLen > INT_MAX || saltLen > INT_MAX ||
        outLen > INT_MAX)
        return false;
    return PKCS5_PBKDF2_HMAC(static_cast<const char*>(password), int(passwordLen),
                             static_cast<const unsigned char*>(salt), int(saltLen), int(iterations),
                             EVP_sha256(), int(outLen), out) == 1;
}

bool RandomBytes(uint8_t* dst, size_t n) {
    while (n > 0) {
        int step = n > INT_MAX ? INT_MAX : int(n);
        if (RAND_bytes(dst, step) != 1) return false;
        dst += step;
        n -= size_t(step);
    }
    return true;
}

}  // namespace rar
