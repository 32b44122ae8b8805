// The archive reader's crypto backend on Windows (rar/crypto/CryptoBackend.h):
// the system's CNG primitives from bcrypt.dll. Compiled into the archive
// library, which therefore needs nothing beyond the system to read encrypted
// archives.
//
// Algorithm providers are opened once per process and kept; every key and
// hash object is created per use and destroyed with its owner.
#include <windows.h>
#include <bcrypt.h>

#include <climits>
#include <cstring>
#include <cwchar>

#include "rar/crypto/Aes.h"
#include "rar/crypto/CryptoBackend.h"

namespace rar {

namespace {

bool Ok(NTSTATUS s) { return s >= 0; }

// ULONG-sized pieces: the CNG calls take 32-bit lengths.
constexpr size_t kMaxStep = 0x40000000;

class Provider {
public:
    Provider(const wchar_t* algorithm, ULONG flags, const wchar_t* chainMode = nullptr) {
        if (!Ok(BCryptOpenAlgorithmProvider(&handle_, algorithm, nullptr, flags))) {
            handle_ = nullptr;
            return;
        }
        if (chainMode &&
            !Ok(BCryptSetProperty(handle_, BCRYPT_CHAINING_MODE,
                                  reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(chainMode)),
                                  ULONG((std::wcslen(chainMode) + 1) * sizeof(wchar_t)), 0))) {
            BCryptCloseAlgorithmProvider(handle_, 0);
            handle_ = nullptr;
        }
    }
    ~Provider() {
        if (handle_) BCryptCloseAlgorithmProvider(handle_, 0);
    }
    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;
    BCRYPT_ALG_HANDLE get() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

BCRYPT_ALG_HANDLE AesCbcProvider() {
    static Provider p(BCRYPT_AES_ALGORITHM, 0, BCRYPT_CHAIN_MODE_CBC);
    return p.get();
}
BCRYPT_ALG_HANDLE Sha256Provider() {
    static Provider p(BCRYPT_SHA256_ALGORITHM, 0);
    return p.get();
}
BCRYPT_ALG_HANDLE HmacSha256Provider() {
    static Provider p(BCRYPT_SHA256_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    return p.get();
}

// One hash (or HMAC) computation over a message; secret may be null.
bool HashOnce(BCRYPT_ALG_HANDLE alg, const void* secret, size_t secretLen, const void* msg, size_t n,
              uint8_t out[32]) {
    if (!alg || secretLen > ULONG_MAX) return false;
    BCRYPT_HASH_HANDLE h = nullptr;
    if (!Ok(BCryptCreateHash(alg, &h, nullptr, 0, static_cast<PUCHAR>(const_cast<void*>(secret)),
                             ULONG(secretLen), 0)))
        return false;
    bool ok = true;
    const uint8_t* p = static_cast<const uint8_t*>(msg);
    while (ok && n > 0) {
        size_t step = n > kMaxStep ? kMaxStep : n;
        ok = Ok(BCryptHashData(h, const_cast<PUCHAR>(p), ULONG(step), 0));
        p += step;
        n -= step;
    }
    ok = ok && Ok(BCryptFinishHash(h, out, 32, 0));
    BCryptDestroyHash(h);
    return ok;
}

}  // namespace

// CNG keeps no chaining state between calls unless asked to; the IV of the
// next call is kept here instead (the last cipher block), so that the result
// does not depend on whether the system updates the IV buffer in place.
struct AesCbc::State {
    BCRYPT_KEY_HANDLE key = nullptr;
    uint8_t iv[16];
    bool encrypt = false;
};

AesCbc::~AesCbc() {
    if (!state_) return;
    if (state_->key) BCryptDestroyKey(state_->key);
    SecureZeroMemory(state_->iv, sizeof state_->iv);
    delete state_;
}

bool AesCbc::Init(const uint8_t* key, unsigned keyBits, const uint8_t iv[16], bool encrypt) {
    if (keyBits != 128 && keyBits != 256) return false;
    if (!state_) state_ = new State;
    if (state_->key) {
        BCryptDestroyKey(state_->key);
        state_->key = nullptr;
    }
    BCRYPT_ALG_HANDLE alg = AesCbcProvider();
    if (!alg) return false;
    if (!Ok(BCryptGenerateSymmetricKey(alg, &state_->key, nullptr, 0, const_cast<PUCHAR>(key), keyBits / 8,
                                       0))) {
        state_->key = nullptr;
        return false;
    }
    std::memcpy(state_->iv, iv, 16);
    state_->encrypt = encrypt;
    return true;
}

bool AesCbc::Process(const uint8_t* in, uint8_t* out, size_t n) {
    if (!state_ || !state_->key || n % 16 != 0) return false;
    while (n > 0) {
        const size_t step = n > kMaxStep ? kMaxStep : n;
        uint8_t iv[16], next[16] = {0};
        std::memcpy(iv, state_->iv, 16);
        // Decrypting in place overwrites the last cipher block: keep it first.
        if (!state_->encrypt) std::memcpy(next, in + step - 16, 16);
        ULONG done = 0;
        NTSTATUS s = state_->encrypt
                         ? BCryptEncrypt(state_->key, const_cast<PUCHAR>(in), ULONG(step), nullptr, iv, 16, out,
                                         ULONG(step), &done, 0)
                         : BCryptDecrypt(state_->key, const_cast<PUCHAR>(in), ULONG(step), nullptr, iv, 16, out,
                                         ULONG(step), &done, 0);
        if (!Ok(s) || done != step) return false;
        if (state_->encrypt) std::memcpy(next, out + step - 16, 16);
        std::memcpy(state_->iv, next, 16);
        in += step;
        out += step;
        n -= step;
    }
    return true;
}

bool Sha256(const void* data, size_t n, uint8_t out[32]) {
    return HashOnce(Sha256Provider(), nullptr, 0, data, n, out);
}

// A reusable HMAC object when the system has them (Windows 8 and later):
// BCryptFinishHash then resets it to the keyed state. Otherwise every message
// gets a fresh object under the kept key.
struct HmacSha256::State {
    BCRYPT_HASH_HANDLE reusable = nullptr;
    uint8_t* key = nullptr;
    size_t keyLen = 0;
};

HmacSha256::HmacSha256(const void* key, size_t keyLen) : state_(new State) {
    state_->key = new uint8_t[keyLen ? keyLen : 1];
    if (keyLen) std::memcpy(state_->key, key, keyLen);
    state_->keyLen = keyLen;
    BCRYPT_ALG_HANDLE alg = HmacSha256Provider();
    if (!alg || keyLen > ULONG_MAX ||
        !Ok(BCryptCreateHash(alg, &state_->reusable, nullptr, 0, state_->key, ULONG(keyLen),
                             BCRYPT_HASH_REUSABLE_FLAG)))
        state_->reusable = nullptr;
}

HmacSha256::~HmacSha256() {
    if (state_->reusable) BCryptDestroyHash(state_->reusable);
    SecureZeroMemory(state_->key, state_->keyLen);
    delete[] state_->key;
    delete state_;
}

bool HmacSha256::Mac(const void* msg, size_t n, uint8_t out[32]) {
    if (!state_->reusable || n > ULONG_MAX)
        return HmacSha256Once(state_->key, state_->keyLen, msg, n, out);
    if (!Ok(BCryptHashData(state_->reusable, static_cast<PUCHAR>(const_cast<void*>(msg)), ULONG(n), 0)) ||
        !Ok(BCryptFinishHash(state_->reusable, out, 32, 0))) {
        // A half-fed object cannot be trusted again.
        BCryptDestroyHash(state_->reusable);
        state_->reusable = nullptr;
        return false;
    }
    return true;
}

bool HmacSha256Once(const void* key, size_t keyLen, const void* msg, size_t n, uint8_t out[32]) {
    return HashOnce(HmacSha256Provider(), key, keyLen, msg, n, out);
}

bool Pbkdf2HmacSha256(const void* password, size_t passwordLen, const void* salt, size_t saltLen,
                      uint64_t iterations, uint8_t* out, size_t outLen) {
    BCRYPT_ALG_HANDLE alg = HmacSha256Provider();
    if (!alg || iterations == 0 || passwordLen > ULONG_MAX || saltLen > ULONG_MAX || outLen > ULONG_MAX)
        return false;
    return Ok(BCryptDeriveKeyPBKDF2(alg, static_cast<PUCHAR>(const_cast<void*>(password)), ULONG(passwordLen),
                                    static_cast<PUCHAR>(const_cast<void*>(salt)), ULONG(saltLen), iterations,
                                    out, ULONG(outLen), 0));
}

bool RandomBytes(uint8_t* dst, size_t n) {
    while (n > 0) {
        const size_t step = n > kMaxStep ? kMaxStep : n;
        if (!Ok(BCryptGenRandom(nullptr, dst, ULONG(step), BCRYPT_USE_SYSTEM_PREFERRED_RNG))) return false;
        dst += step;
        n -= step;
    }
    return true;
}

}  // namespace rar
