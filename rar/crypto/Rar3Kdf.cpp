#include "rar/crypto/Rar3Kdf.h"

#include <vector>

#include "rar/crypto/Password.h"
#include "rar/crypto/Sha1Rar.h"

namespace rar {

Rar3Key DeriveRar3Key(const std::string& password, const uint8_t* salt8) {
    std::vector<uint8_t> raw = PasswordUtf16(password);
    if (salt8) raw.insert(raw.end(), salt8, salt8 + 8);
    const uint32_t kRounds = 0x40000;
    Rar3Key out{};
    Sha1Rar sha;
    for (uint32_t i = 0; i < kRounds; ++i) {
        if (!raw.empty()) sha.UpdateRewriting(raw.data(), raw.size());
        uint8_t counter[3] = {uint8_t(i), uint8_t(i >> 8), uint8_t(i >> 16)};
        sha.Update(counter, 3);
        if (i % (kRounds / 16) == 0) {
            Sha1Rar copy = sha;
            uint8_t digest[20];
            copy.Final(digest);
            out.iv[i / (kRounds / 16)] = digest[19];
        }
    }
    uint8_t digest[20];
    sha.Final(digest);
    for (int w = 0; w < 4; ++w)
        for (int b = 0; b < 4; ++b) out.key[4 * w + b] = digest[4 * w + 3 - b];
    return out;
}

}  // namespace rar
