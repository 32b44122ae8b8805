#include "rar/crypto/Aes.h"

#include <openssl/evp.h>

#include <climits>

namespace rar {

AesCbc::~AesCbc() {
    if (ctx_) EVP_CIPHER_CTX_free(ctx_);
}

bool AesCbc::Init(const uint8_t* key, unsigned keyBits, const uint8_t iv[16], bool encrypt) {
    if (!ctx_) ctx_ = EVP_CIPHER_CTX_new();
    if (!ctx_) return false;
    const EVP_CIPHER* c = keyBits == 256 ? EVP_aes_256_cbc() : EVP_aes_128_cbc();
    if (EVP_CipherInit_ex(ctx_, c, nullptr, key, iv, encrypt ? 1 : 0) != 1) return false;
    EVP_CIPHER_CTX_set_padding(ctx_, 0);
    return true;
}

bool AesCbc::Process(const uint8_t* in, uint8_t* out, size_t n) {
    if (!ctx_ || n % 16 != 0) return false;
    while (n > 0) {
        int step = n > (INT_MAX & ~15) ? (INT_MAX & ~15) : int(n);
        int outLen = 0;
        if (EVP_CipherUpdate(ctx_, out, &outLen, in, step) != 1 || outLen != step) return false;
        in += step;
        out += step;
        n -= size_t(step);
    }
    return true;
}

}  // namespace rar
