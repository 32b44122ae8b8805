#include "rar/crypto/KeyCache.h"

#include <cstring>
#include <mutex>

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
#else

// Keys derived anywhere in the process, shared by all handles: the file
// system opens the archive again for every member it serves, and each open
// would otherwise pay for the derivation again.
struct Shared5 { std::string pw; std::array<uint8_t, 16> salt; unsigned count; Rar5Key key; };
struct Shared3 { std::string pw; std::array<uint8_t, 8> salt; bool hasSalt; Rar3Key key; };
const size_t kMaxShared = 16;
std::mutex g_mutex;
std::list<Shared5> g_r5;
std::list<Shared3> g_r3;

bool FindShared5(const std::string& pw, const uint8_t* salt, unsigned count, Rar5Key& out) {
    std::lock_guard<std::mutex> lock(g_mutex);
    for (const auto& e : g_r5)
        if (e.count == count && e.pw == pw && std::memcmp(e.salt.data(), salt, 16) == 0) { out = e.key; return true; }
    return false;
}
void AddShared5(const std::string& pw, const uint8_t* salt, unsigned count, const Rar5Key& key) {
    std::lock_guard<std::mutex> lock(g_mutex);
    Shared5 e{pw, {}, count, key};
    std::memcpy(e.salt.data(), salt, 16);
    g_r5.push_front(e);
    if (g_r5.size() > kMaxShared) g_r5.pop_back();
}
bool FindShared3(const std::string& pw, const uint8_t* salt, bool hasSalt, Rar3Key& out) {
    std::lock_guard<std::mutex> lock(g_mutex);
    for (const auto& e : g_r3)
        if (e.hasSalt == hasSalt && e.pw == pw && std::memcmp(e.salt.data(), salt, 8) == 0) { out = e.key; return true; }
    return false;
}
void AddShared3(const std::string& pw, const uint8_t* salt, bool hasSalt, const Rar3Key& key) {
    std::lock_guard<std::mutex> lock(g_mutex);
    Shared3 e{pw, {}, hasSalt, key};
    std::memcpy(e.salt.data(), salt, 8);
    g_r3.push_front(e);
    if (g_r3.size() > kMaxShared) g_r3.pop_back();
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
    if (!FindShared5(password, salt, kdfCount, e.key)) {
        if (!DeriveRar5Key(password, salt, kdfCount, e.key)) return nullptr;
        AddShared5(password, salt, kdfCount, e.key);
    }
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
    if (!FindShared3(password, e.salt.data(), e.hasSalt, e.key)) {
        e.key = DeriveRar3Key(password, salt8);
        AddShared3(password, e.salt.data(), e.hasSalt, e.key);
    }
#endif
    r3_.push_front(e);
    if (r3_.size() > kMaxEntries) r3_.pop_back();
    return &r3_.front().key;
}

}  // namespace rar
