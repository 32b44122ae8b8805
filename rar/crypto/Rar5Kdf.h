#pragma once
// RAR5 key derivation: PBKDF2-HMAC-SHA256 with 2^kdfCount rounds gives the
// AES-256 key; continuing the same chain for 16 and 32 more rounds gives the
// key for tweaked checksums and the value the password check is folded from.

#include <cstdint>
#include <string>

namespace rar {

struct Rar5Key {
    uint8_t key[32];
    uint8_t hashKey[32];
    uint8_t check[8];
};

// The largest round count accepted (2^24), as RAR itself limits it.
constexpr unsigned kRar5MaxKdfCount = 24;

bool DeriveRar5Key(const std::string& password, const uint8_t salt[16], unsigned kdfCount, Rar5Key& out);

// The 12-byte check field: 8 bytes of check value and 4 bytes of SHA-256 of them.
// True when the 4 checksum bytes match (the field itself is intact).
bool Rar5CheckFieldIntact(const uint8_t field[12]);

// Turns a CRC32 or a BLAKE2sp digest into the stored MAC form.
uint32_t Rar5TweakCrc(const uint8_t hashKey[32], uint32_t crc);
void Rar5TweakDigest(const uint8_t hashKey[32], uint8_t digest[32]);

}  // namespace rar
