#pragma once
// Derived keys are costly (2^15..2^24 HMAC rounds for RAR5, 2^18 SHA-1 rounds
// for RAR4) and archives reuse one salt for many headers or members, so the
// handle keeps the last few derivations per (password, salt, rounds).

#include <array>
#include <cstdint>
#include <list>
#include <string>

#include "rar/crypto/Rar3Kdf.h"
#include "rar/crypto/Rar5Kdf.h"

namespace rar {

class KeyCache {
public:
    // Null when the round count is out of range.
    const Rar5Key* GetRar5(const std::string& password, const uint8_t salt[16], unsigned kdfCount);
    const Rar3Key* GetRar3(const std::string& password, const uint8_t* salt8);

private:
    struct Entry5 { std::string pw; std::array<uint8_t, 16> salt; unsigned count; Rar5Key key; };
    struct Entry3 { std::string pw; std::array<uint8_t, 8> salt; bool hasSalt; Rar3Key key; };
    std::list<Entry5> r5_;
    std::list<Entry3> r3_;
};

}  // namespace rar
