#include "rar/crypto/KeyCache.h"

#include <cstring>

namespace rar {

namespace {
const size_t kMaxEntries = 8;

#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
// Fuzzing builds replace the deliberately slow derivations with a cheap
// mix, so that mutated salts and round counts do not stall the fuzzer.
// The decryption and parsing paths after them run as usual.
void CheapMix(const std::string& pw, const uint8_t* salt, size_t n, unsigned extra, uint8_t* out, size_t len) {
    uint32_t h = 2166136261u ^ extra;
    for (char c : pw) h = (h ^ uint8_t(c)) * 16777619u;
    for (size_t i = 0; i < n; ++i) h = (h ^ salt[i]) * 16777619u;
    for (size_t i = 0; i < len; ++i) { h = (h ^ uint32_t(i)) * 16777619u; out[i] = uint8_t(h >> 24); }
}
#endif
}

const Rar5Key* KeyCache::GetRar5(const std::string& password, const uint8_t salt[16], unsigned kdfCount) {
    for (auto& e : r5_)
        if (e.count == kdfCount && e.pw == password && std::memcmp(e.salt.data(), salt, 16) == 0) return &e.key;
    Entry5 e;
    e.pw = password;
    std::memcpy(e.salt.data(), salt, 16);
    e.count = kdfCount;
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    if (kdfCount > kRar5MaxKdfCount) return nullptr;
    CheapMix(password, salt, 16, kdfCount, e.key.key, 32);
    CheapMix(password, salt, 16, kdfCount + 100, e.key.hashKey, 32);
    CheapMix(password, salt, 16, kdfCount + 200, e.key.check, 8);
#else
    if (!DeriveRar5Key(password, salt, kdfCount, e.key)) return nullptr;
#endif
    r5_.push_front(e);
    if (r5_.size() > kMaxEntries) r5_.pop_back();
    return &r5_.front().key;
}

const Rar3Key* KeyCache::GetRar3(const std::string& password, const uint8_t* salt8) {
    for (auto& e : r3_)
        if (e.hasSalt == (salt8 != nullptr) && e.pw == password &&
            (!salt8 || std::memcmp(e.salt.data(), salt8, 8) == 0))
            return &e.key;
    Entry3 e;
    e.pw = password;
    e.hasSalt = salt8 != nullptr;
    e.salt.fill(0);
    if (salt8) std::memcpy(e.salt.data(), salt8, 8);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    CheapMix(password, e.salt.data(), 8, salt8 ? 1 : 0, e.key.key, 16);
    CheapMix(password, e.salt.data(), 8, salt8 ? 3 : 2, e.key.iv, 16);
#else
    e.key = DeriveRar3Key(password, salt8);
#endif
    r3_.push_front(e);
    if (r3_.size() > kMaxEntries) r3_.pop_back();
    return &r3_.front().key;
}

}  // namespace rar
