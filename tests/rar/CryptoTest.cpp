// Key derivations against vectors computed with the reference library, and
// the hash primitives against published values.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "rar/crypto/Aes.h"
#include "rar/crypto/Blake2sp.h"
#include "rar/crypto/Rar3Kdf.h"
#include "rar/crypto/Rar5Kdf.h"
#include "rar/crypto/Sha1Rar.h"

namespace {

std::string Hex(const uint8_t* p, size_t n) {
    static const char* d = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) { s += d[p[i] >> 4]; s += d[p[i] & 15]; }
    return s;
}

std::string DecryptZeros(const uint8_t* key, unsigned bits, const uint8_t* iv) {
    uint8_t buf[32] = {0};
    rar::AesCbc aes;
    EXPECT_TRUE(aes.Init(key, bits, iv, false));
    EXPECT_TRUE(aes.Process(buf, buf, 32));
    return Hex(buf, 32);
}

const char* const kHostPassword = "ArchiveStore::Mount : header digests mismatch (wrong key given?)";

struct Rar3Vector { const char* password; bool salted; const char* expect; };

TEST(RarCrypto, Rar3KeyDerivationMatchesReferenceVectors) {
    const Rar3Vector vectors[] = {
        {"password", true, "098cfc90f46fc98291551266a50c2cbeeaa05a9b3e657840185d9228473b8f16"},
        {"password", false, "f71cca7dfee3714cf753e4505fa73794c2278e027c26f735d89670b613e9506d"},
        {"abcdefghijklmnopqrstuvwxyz01", true, "be7ad7c79af46584f116741faf85d0d3929f0f1117e8be8bfd84cb4bb6bd9b59"},
        {"abcdefghijklmnopqrstuvwxyz01", false, "41f8f409f8da7d88fab79ea73c7e83865e93cede9e0b2818c1590ca8fa765cc5"},
        {"abcdefghijklmnopqrstuvwxyz012", true, "a1c1670a3461e752b0eccd77448013636fa58d1e4a894e7b32140aa8478ec974"},
        {"abcdefghijklmnopqrstuvwxyz012", false, "5cc357b123afe6c8fc9111318037385927513ba2603cddb692f135bdf08e141c"},
        {kHostPassword, true, "1d44484adf913cb924cb8e40f756a7f0ca3743925b7e799d807650beb3f0751a"},
        {kHostPassword, false, "d650ffdb80acff7d91a5c75a3a176dbd931a24a4011a246ba7ad075c462aef0a"},
    };
    const uint8_t salt[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (const Rar3Vector& v : vectors) {
        rar::Rar3Key k = rar::DeriveRar3Key(v.password, v.salted ? salt : nullptr);
        EXPECT_EQ(DecryptZeros(k.key, 128, k.iv), v.expect) << v.password << " salted=" << v.salted;
    }
}

TEST(RarCrypto, Rar5KeyDerivationMatchesReferenceVectors) {
    struct V { const char* password; const char* data; const char* check; const char* hashKey; };
    const V vectors[] = {
        {"password", "0be209913f83438392756fd18d0b75b3ab43ab329b26e5243adcc57a21a6db1c", "24e5d2f6cc71b4b1",
         "93833b16f5bb5702eef6f6ad2c1425637e33d7b84219310af2286f687751e2a0"},
        {kHostPassword, "78a68a5054776c583e46524dec25829fd80728f3f0d2caff96eff8e640882c30", "7bd8c95fe364f57f",
         "13a213be798544a344621c26a07e412a1785461529ed1e3a6d6c8591a301f87f"},
    };
    uint8_t salt[16], iv[16];
    for (int i = 0; i < 16; ++i) { salt[i] = uint8_t(0x10 + i); iv[i] = uint8_t(0xA0 + i); }
    for (const V& v : vectors) {
        rar::Rar5Key k;
        ASSERT_TRUE(rar::DeriveRar5Key(v.password, salt, 15, k));
        EXPECT_EQ(DecryptZeros(k.key, 256, iv), v.data);
        EXPECT_EQ(Hex(k.check, 8), v.check);
        EXPECT_EQ(Hex(k.hashKey, 32), v.hashKey);
    }
}

TEST(RarCrypto, Rar5RefusesExcessiveRoundCounts) {
    uint8_t salt[16] = {0};
    rar::Rar5Key k;
    EXPECT_FALSE(rar::DeriveRar5Key("x", salt, rar::kRar5MaxKdfCount + 1, k));
}

TEST(RarCrypto, Sha1MatchesStandardDigestWhenInputIsNotRewritten) {
    const std::string msg(200, 'a');
    rar::Sha1Rar s;
    s.Update(reinterpret_cast<const uint8_t*>(msg.data()), msg.size());
    uint8_t d[20];
    s.Final(d);
    // sha1sum of 200 'a' characters
    EXPECT_EQ(Hex(d, 20), "e61cfffe0d9195a525fc6cf06ca2d77119c24a40");
}

TEST(RarCrypto, Sha1RewritingChangesOnlyLongInputs) {
    std::vector<uint8_t> shortIn(60, 7), longIn(130, 7);
    const std::vector<uint8_t> shortCopy = shortIn, longCopy = longIn;
    rar::Sha1Rar a, b;
    a.UpdateRewriting(shortIn.data(), shortIn.size());
    b.UpdateRewriting(longIn.data(), longIn.size());
    EXPECT_EQ(shortIn, shortCopy);
    EXPECT_NE(longIn, longCopy);
}

TEST(RarCrypto, Blake2spOfEmptyInputMatchesPublishedValue) {
    rar::Blake2sp h;
    uint8_t d[32];
    h.Final(d);
    // BLAKE2sp("") from the reference test vectors (unkeyed).
    EXPECT_EQ(Hex(d, 32), "dd0e891776933f43c7d032b08a917e25741f8aa9a12c12e1cac8801500f2ca4f");
}

}  // namespace
