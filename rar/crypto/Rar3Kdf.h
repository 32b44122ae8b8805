#pragma once
// RAR 2.9-4.x key derivation: 2^18 rounds of SHA-1 (the variant in
// Sha1Rar.h) over the UTF-16LE password, the 8-byte salt and a round counter.
// Gives the AES-128 key and the CBC IV.

#include <cstdint>
#include <string>

namespace rar {

struct Rar3Key {
    uint8_t key[16];
    uint8_t iv[16];
};

Rar3Key DeriveRar3Key(const std::string& password, const uint8_t* salt8 /* may be null */);

}  // namespace rar
