#include "rar/crypto/Rar5Kdf.h"

#include <cstring>

#include "rar/crypto/CryptoBackend.h"
#include "rar/crypto/Password.h"

namespace rar {

bool DeriveRar5Key(const std::string& password, const uint8_t salt[16], unsigned kdfCount, Rar5Key& out) {
    if (kdfCount > kRar5MaxKdfCount) return false;
    const std::string utf8 = PasswordUtf8(password);
    HmacSha256 mac(utf8.data(), utf8.size());
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
    return Sha256(field, 8, d) && std::memcmp(d, field + 8, 4) == 0;
}

uint32_t Rar5TweakCrc(const uint8_t hashKey[32], uint32_t crc) {
    uint8_t msg[4] = {uint8_t(crc), uint8_t(crc >> 8), uint8_t(crc >> 16), uint8_t(crc >> 24)};
    uint8_t d[32];
    if (!HmacSha256Once(hashKey, 32, msg, 4, d)) return 0;
    uint32_t v = 0;
    for (int i = 0; i < 32; ++i) v ^= uint32_t(d[i]) << (8 * (i % 4));
    return v;
}

void Rar5TweakDigest(const uint8_t hashKey[32], uint8_t digest[32]) {
    uint8_t d[32];
    if (!HmacSha256Once(hashKey, 32, digest, 32, d)) {
        std::memset(digest, 0, 32);  // never matches a stored digest by accident
        return;
    }
    std::memcpy(digest, d, 32);
}

}  // namespace rar
