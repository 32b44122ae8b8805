#include "rar/crypto/Rar5Kdf.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/sha.h>

#include <cstring>

#include "rar/crypto/Password.h"

namespace rar {

namespace {

// HMAC-SHA256 with the key's inner and outer states prepared once.
class HmacSha256 {
public:
    explicit HmacSha256(const std::string& key) {
        uint8_t k[64] = {0};
        if (key.size() > 64) {
            unsigned int n = 0;
            EVP_Digest(key.data(), key.size(), k, &n, EVP_sha256(), nullptr);
        } else {
            std::memcpy(k, key.data(), key.size());
        }
        uint8_t pad[64];
        inner_ = EVP_MD_CTX_new();
        outer_ = EVP_MD_CTX_new();
        work_ = EVP_MD_CTX_new();
        for (int i = 0; i < 64; ++i) pad[i] = k[i] ^ 0x36;
        EVP_DigestInit_ex(inner_, EVP_sha256(), nullptr);
        EVP_DigestUpdate(inner_, pad, 64);
        for (int i = 0; i < 64; ++i) pad[i] = k[i] ^ 0x5C;
        EVP_DigestInit_ex(outer_, EVP_sha256(), nullptr);
        EVP_DigestUpdate(outer_, pad, 64);
    }
    ~HmacSha256() {
        EVP_MD_CTX_free(inner_);
        EVP_MD_CTX_free(outer_);
        EVP_MD_CTX_free(work_);
    }
    bool Mac(const uint8_t* msg, size_t n, uint8_t out[32]) {
        uint8_t mid[32];
        unsigned int len = 0;
        if (!inner_ || !outer_ || !work_) return false;
        if (EVP_MD_CTX_copy_ex(work_, inner_) != 1 || EVP_DigestUpdate(work_, msg, n) != 1 ||
            EVP_DigestFinal_ex(work_, mid, &len) != 1)
            return false;
        if (EVP_MD_CTX_copy_ex(work_, outer_) != 1 || EVP_DigestUpdate(work_, mid, 32) != 1 ||
            EVP_DigestFinal_ex(work_, out, &len) != 1)
            return false;
        return true;
    }

private:
    EVP_MD_CTX* inner_;
    EVP_MD_CTX* outer_;
    EVP_MD_CTX* work_;
};

}  // namespace

bool DeriveRar5Key(const std::string& password, const uint8_t salt[16], unsigned kdfCount, Rar5Key& out) {
    if (kdfCount > kRar5MaxKdfCount) return false;
    HmacSha256 mac(PasswordUtf8(password));
    uint8_t block[20];
    std::memcpy(block, salt, 16);
    block[16] = 0; block[17] = 0; block[18] = 0; block[19] = 1;
    uint8_t u[32], acc[32];
    if (!mac.Mac(block, 20, u)) return false;
    std::memcpy(acc, u, 32);
    const uint64_t rounds = uint64_t(1) << kdfCount;
    const uint64_t total = rounds + 32;
    for (uint64_t i = 1; i < total; ++i) {
        if (i == rounds) std::memcpy(out.key, acc, 32);
        if (i == rounds + 16) std::memcpy(out.hashKey, acc, 32);
        if (!mac.Mac(u, 32, u)) return false;
        for (int k = 0; k < 32; ++k) acc[k] ^= u[k];
    }
    std::memset(out.check, 0, 8);
    for (int k = 0; k < 32; ++k) out.check[k % 8] ^= acc[k];
    return true;
}

bool Rar5CheckFieldIntact(const uint8_t field[12]) {
    uint8_t d[32];
    unsigned int n = 0;
    EVP_Digest(field, 8, d, &n, EVP_sha256(), nullptr);
    return std::memcmp(d, field + 8, 4) == 0;
}

uint32_t Rar5TweakCrc(const uint8_t hashKey[32], uint32_t crc) {
    uint8_t msg[4] = {uint8_t(crc), uint8_t(crc >> 8), uint8_t(crc >> 16), uint8_t(crc >> 24)};
    uint8_t d[32];
    unsigned int n = 0;
    HMAC(EVP_sha256(), hashKey, 32, msg, 4, d, &n);
    uint32_t v = 0;
    for (int i = 0; i < 32; ++i) v ^= uint32_t(d[i]) << (8 * (i % 4));
    return v;
}

void Rar5TweakDigest(const uint8_t hashKey[32], uint8_t digest[32]) {
    uint8_t d[32];
    unsigned int n = 0;
    HMAC(EVP_sha256(), hashKey, 32, digest, 32, d, &n);
    std::memcpy(digest, d, 32);
}

}  // namespace rar
