#include "rar/crypto/KeyCache.h"

#include <cstring>

namespace rar {

namespace {
const size_t kMaxEntries = 8;
}

const Rar5Key* KeyCache::GetRar5(const std::string& password, const uint8_t salt[16], unsigned kdfCount) {
    for (auto& e : r5_)
        if (e.count == kdfCount && e.pw == password && std::memcmp(e.salt.data(), salt, 16) == 0) return &e.key;
    Entry5 e;
    e.pw = password;
    std::memcpy(e.salt.data(), salt, 16);
    e.count = kdfCount;
    if (!DeriveRar5Key(password, salt, kdfCount, e.key)) return nullptr;
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
    e.key = DeriveRar3Key(password, salt8);
    r3_.push_front(e);
    if (r3_.size() > kMaxEntries) r3_.pop_back();
    return &r3_.front().key;
}

}  // namespace rar
