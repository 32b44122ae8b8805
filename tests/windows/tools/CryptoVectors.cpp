// Checks the archive reader's crypto backend against published vectors and
// the RAR key derivation vectors computed with the real UnRAR library. Built
// for both systems: natively it checks the OpenSSL backend, cross-built it
// runs under Wine and checks the CNG backend. Prints one line per failure and
// "N checks, M failed"; exits non-zero on any failure.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "rar/crypto/Aes.h"
#include "rar/crypto/CryptoBackend.h"
#include "rar/crypto/Rar3Kdf.h"
#include "rar/crypto/Rar5Kdf.h"

namespace {

int checks = 0, failures = 0;

std::vector<uint8_t> Bytes(const char* hex) {
    std::vector<uint8_t> out;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
        unsigned v = 0;
        std::sscanf(hex + i, "%2x", &v);
        out.push_back(uint8_t(v));
    }
    return out;
}

std::string Hex(const uint8_t* p, size_t n) {
    std::string s;
    char b[3];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(b, sizeof b, "%02x", p[i]);
        s += b;
    }
    return s;
}

void Expect(const char* what, bool ok, const uint8_t* got, size_t n, const char* wantHex) {
    ++checks;
    if (ok && Hex(got, n) == wantHex) return;
    ++failures;
    std::printf("FAIL %s: %s%s, expected %s\n", what, ok ? "" : "(call failed) ", Hex(got, n).c_str(), wantHex);
}

void Check(const char* what, bool ok) {
    ++checks;
    if (ok) return;
    ++failures;
    std::printf("FAIL %s\n", what);
}

const char* const kHostPassword = "ArchiveStore::Mount : header digests mismatch (wrong key given?)";

void Hashes() {
    uint8_t d[32] = {0};
    Expect("SHA-256 abc", rar::Sha256("abc", 3, d), d, 32,
           "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const char* msg = "what do ya want for nothing?";
    Expect("HMAC-SHA256 short key", rar::HmacSha256Once("Jefe", 4, msg, std::strlen(msg), d), d, 32,
           "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    // A key longer than the block is hashed first; the reusable object must
    // give the same digest on every use.
    std::vector<uint8_t> longKey(131, 0xAA);
    const char* big = "Test Using Larger Than Block-Size Key - Hash Key First";
    rar::HmacSha256 mac(longKey.data(), longKey.size());
    for (int i = 0; i < 3; ++i)
        Expect("HMAC-SHA256 long key, reused", mac.Mac(big, std::strlen(big), d), d, 32,
               "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
    uint8_t out[64] = {0};
    Expect("PBKDF2 1 round", rar::Pbkdf2HmacSha256("passwd", 6, "salt", 4, 1, out, 64), out, 64,
           "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
           "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783");
    Expect("PBKDF2 4096 rounds", rar::Pbkdf2HmacSha256("password", 8, "salt", 4, 4096, out, 32), out, 32,
           "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a");
    Check("PBKDF2 refuses 0 rounds", !rar::Pbkdf2HmacSha256("p", 1, "s", 1, 0, out, 32));
}

void Aes() {
    const std::vector<uint8_t> pt = Bytes("00112233445566778899aabbccddeeff");
    const uint8_t zeroIv[16] = {0};
    uint8_t out[16];
    for (unsigned bits : {128u, 256u}) {
        std::vector<uint8_t> key(bits / 8);
        for (size_t i = 0; i < key.size(); ++i) key[i] = uint8_t(i);
        rar::AesCbc enc;
        bool ok = enc.Init(key.data(), bits, zeroIv, true) && enc.Process(pt.data(), out, 16);
        Expect(bits == 128 ? "AES-128 block" : "AES-256 block", ok, out, 16,
               bits == 128 ? "69c4e0d86a7b0430d8cdb78070b4c55a" : "8ea2b7ca516745bfeafc49904b496089");
    }
    // Chaining carries over between calls, in place, both ways.
    uint8_t key[32], iv[16];
    for (int i = 0; i < 32; ++i) key[i] = uint8_t(7 * i + 1);
    for (int i = 0; i < 16; ++i) iv[i] = uint8_t(0xA0 + i);
    std::vector<uint8_t> plain(160);
    for (size_t i = 0; i < plain.size(); ++i) plain[i] = uint8_t(i * 13);
    std::vector<uint8_t> whole(plain.size()), pieces = plain;
    rar::AesCbc a, b, c;
    bool ok = a.Init(key, 256, iv, true) && a.Process(plain.data(), whole.data(), whole.size());
    ok = ok && b.Init(key, 256, iv, true) && b.Process(pieces.data(), pieces.data(), 16) &&
         b.Process(pieces.data() + 16, pieces.data() + 16, 48) && b.Process(pieces.data() + 64, pieces.data() + 64, 96);
    Check("AES-CBC encryption in pieces equals one call", ok && pieces == whole);
    ok = c.Init(key, 256, iv, false) && c.Process(pieces.data(), pieces.data(), 32) &&
         c.Process(pieces.data() + 32, pieces.data() + 32, 128);
    Check("AES-CBC decryption in pieces, in place, restores the data", ok && pieces == plain);
    Check("AES-CBC refuses a partial block", !c.Process(pieces.data(), pieces.data(), 15));
    Check("AES refuses a 192-bit key", !rar::AesCbc().Init(key, 192, iv, true));
}

// Decrypts 32 zero bytes with a derived key, as the reference vectors do.
std::string DecryptZeros(const uint8_t* key, unsigned bits, const uint8_t iv[16]) {
    uint8_t buf[32] = {0};
    rar::AesCbc aes;
    if (!aes.Init(key, bits, iv, false) || !aes.Process(buf, buf, 32)) return "(failed)";
    return Hex(buf, 32);
}

void ExpectText(const char* what, const std::string& got, const char* want) {
    ++checks;
    if (got == want) return;
    ++failures;
    std::printf("FAIL %s: %s, expected %s\n", what, got.c_str(), want);
}

void Rar5Vectors() {
    const std::vector<uint8_t> salt = Bytes("101112131415161718191a1b1c1d1e1f");
    const std::vector<uint8_t> iv = Bytes("a0a1a2a3a4a5a6a7a8a9aaabacadaeaf");
    struct Vector { const char* password; const char* data; const char* check; const char* hashKey; };
    const Vector vectors[] = {
        {"password", "0be209913f83438392756fd18d0b75b3ab43ab329b26e5243adcc57a21a6db1c", "24e5d2f6cc71b4b1",
         "93833b16f5bb5702eef6f6ad2c1425637e33d7b84219310af2286f687751e2a0"},
        {kHostPassword, "78a68a5054776c583e46524dec25829fd80728f3f0d2caff96eff8e640882c30", "7bd8c95fe364f57f",
         "13a213be798544a344621c26a07e412a1785461529ed1e3a6d6c8591a301f87f"},
    };
    for (const Vector& v : vectors) {
        rar::Rar5Key k;
        bool ok = rar::DeriveRar5Key(v.password, salt.data(), 15, k);
        ExpectText("RAR5 key", ok ? DecryptZeros(k.key, 256, iv.data()) : "(failed)", v.data);
        Expect("RAR5 check value", ok, k.check, 8, v.check);
        Expect("RAR5 hash key", ok, k.hashKey, 32, v.hashKey);
        // The derivation loop is PBKDF2 itself for the key.
        uint8_t p[32] = {0};
        Check("RAR5 key equals PBKDF2-HMAC-SHA256",
              rar::Pbkdf2HmacSha256(v.password, std::strlen(v.password), salt.data(), 16, 1u << 15, p, 32) &&
                  std::memcmp(p, k.key, 32) == 0);
    }
}

void Rar3Vectors() {
    const std::vector<uint8_t> salt = Bytes("0102030405060708");
    struct Vector { const char* password; const char* salted; const char* unsalted; };
    const Vector vectors[] = {
        {"password", "098cfc90f46fc98291551266a50c2cbeeaa05a9b3e657840185d9228473b8f16",
         "f71cca7dfee3714cf753e4505fa73794c2278e027c26f735d89670b613e9506d"},
        {"abcdefghijklmnopqrstuvwxyz012", "a1c1670a3461e752b0eccd77448013636fa58d1e4a894e7b32140aa8478ec974",
         "5cc357b123afe6c8fc9111318037385927513ba2603cddb692f135bdf08e141c"},
        {kHostPassword, "1d44484adf913cb924cb8e40f756a7f0ca3743925b7e799d807650beb3f0751a",
         "d650ffdb80acff7d91a5c75a3a176dbd931a24a4011a246ba7ad075c462aef0a"},
    };
    for (const Vector& v : vectors) {
        rar::Rar3Key k = rar::DeriveRar3Key(v.password, salt.data());
        ExpectText("RAR3 key, salted", DecryptZeros(k.key, 128, k.iv), v.salted);
        k = rar::DeriveRar3Key(v.password, nullptr);
        ExpectText("RAR3 key, no salt", DecryptZeros(k.key, 128, k.iv), v.unsalted);
    }
}

void Random() {
    uint8_t a[32] = {0}, b[32] = {0};
    Check("random bytes", rar::RandomBytes(a, 32) && rar::RandomBytes(b, 32) && std::memcmp(a, b, 32) != 0);
    Check("no random bytes asked", rar::RandomBytes(a, 0));
}

}  // namespace

int main() {
    Hashes();
    Aes();
    Rar5Vectors();
    Rar3Vectors();
    Random();
    std::printf("%d checks, %d failed\n", checks, failures);
    return failures == 0 ? 0 : 1;
}
