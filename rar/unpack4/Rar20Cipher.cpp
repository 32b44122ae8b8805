#include "rar/unpack4/Rar20Cipher.h"

#include <cstring>
#include <zlib.h>

#include "rar/unpack/Rar20Cipher.h"

namespace rar {

namespace {

const uint8_t kInitSubst[256] = {
    215, 19,  149, 35,  73,  197, 192, 205, 249, 28,  16,  119, 48,  221, 2,   42,  232, 1,   177, 233, 14,  88,
    219, 25,  223, 195, 244, 90,  87,  239, 153, 137, 255, 199, 147, 70,  92,  66,  246, 13,  216, 40,  62,  29,
    217, 230, 86,  6,   71,  24,  171, 196, 101, 113, 218, 123, 93,  91,  163, 178, 202, 67,  44,  235, 107, 250,
    75,  234, 49,  167, 125, 211, 83,  114, 157, 144, 32,  193, 143, 36,  158, 124, 247, 187, 89,  214, 141, 47,
    121, 228, 61,  130, 213, 194, 174, 251, 97,  110, 54,  229, 115, 57,  152, 94,  105, 243, 212, 55,  209, 245,
    63,  11,  164, 200, 31,  156, 81,  176, 227, 21,  76,  99,  139, 188, 127, 17,  248, 51,  207, 120, 189, 210,
    8,   226, 41,  72,  183, 203, 135, 165, 166, 60,  98,  7,   122, 38,  155, 170, 69,  172, 252, 238, 39,  134,
    59,  128, 236, 27,  240, 80,  131, 3,   85,  206, 145, 79,  154, 142, 159, 220, 201, 133, 74,  64,  20,  129,
    224, 185, 138, 103, 173, 182, 43,  34,  254, 82,  198, 151, 231, 180, 58,  10,  118, 26,  102, 12,  50,  132,
    22,  191, 136, 111, 162, 179, 45,  4,   148, 108, 161, 56,  78,  126, 242, 222, 15,  175, 146, 23,  33,  241,
    181, 190, 77,  225, 0,   46,  169, 186, 68,  95,  237, 65,  53,  208, 253, 168, 9,   18,  100, 52,  116, 184,
    160, 96,  109, 37,  30,  106, 140, 104, 150, 5,   204, 117, 112, 84};

inline uint32_t Rol(uint32_t x, unsigned n) { return (x << n) | (x >> (32 - n)); }
inline uint32_t Get32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void Put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

const z_crc_t* CrcTable() { return get_crc_table(); }

}  // namespace

Rar20Cipher::Rar20Cipher(const std::string& password) {
    const z_crc_t* crc = CrcTable();
    uint8_t psw[128 + 16] = {};
    size_t len = password.size() > 127 ? 127 : password.size();
    std::memcpy(psw, password.data(), len);
    key_[0] = 0xD3A3B879u;
    key_[1] = 0x3F6D12F7u;
    key_[2] = 0x7515A235u;
    key_[3] = 0xA4E7F123u;
    std::memcpy(subst_, kInitSubst, sizeof(subst_));
    for (unsigned j = 0; j < 256; ++j) {
        for (size_t i = 0; i < len; i += 2) {
            unsigned n1 = uint8_t(crc[(psw[i] - j) & 0xff]);
            unsigned n2 = uint8_t(crc[(psw[i + 1] + j) & 0xff]);
            for (unsigned k = 1; n1 != n2; n1 = (n1 + 1) & 0xff, ++k) {
                uint8_t t = subst_[n1];
                subst_[n1] = subst_[(n1 + i + k) & 0xff];
                subst_[(n1 + i + k) & 0xff] = t;
            }
        }
    }
    for (size_t i = 0; i < len; i += 16) EncryptBlock(psw + i);
}

uint32_t Rar20Cipher::Subst(uint32_t t) const {
    return uint32_t(subst_[t & 255]) | (uint32_t(subst_[(t >> 8) & 255]) << 8) |
           (uint32_t(subst_[(t >> 16) & 255]) << 16) | (uint32_t(subst_[(t >> 24) & 255]) << 24);
}

void Rar20Cipher::UpdateKeys(const uint8_t* block) {
    const z_crc_t* crc = CrcTable();
    for (int i = 0; i < 16; i += 4) {
        key_[0] ^= uint32_t(crc[block[i]]);
        key_[1] ^= uint32_t(crc[block[i + 1]]);
        key_[2] ^= uint32_t(crc[block[i + 2]]);
        key_[3] ^= uint32_t(crc[block[i + 3]]);
    }
}

// The 32 rounds over one 16-byte block, forwards to encrypt, backwards to
// decrypt; the key update after each block always uses the ciphertext.
void Rar20Cipher::Rounds(uint8_t* buf, bool forward) {
    uint32_t a = Get32(buf) ^ key_[0], b = Get32(buf + 4) ^ key_[1];
    uint32_t c = Get32(buf + 8) ^ key_[2], d = Get32(buf + 12) ^ key_[3];
    for (int n = 0; n < 32; ++n) {
        const int i = forward ? n : 31 - n;
        uint32_t ta = a ^ Subst((c + Rol(d, 11)) ^ key_[i & 3]);
        uint32_t tb = b ^ Subst((d ^ Rol(c, 17)) + key_[i & 3]);
        a = c;
        b = d;
        c = ta;
        d = tb;
    }
    Put32(buf, c ^ key_[0]);
    Put32(buf + 4, d ^ key_[1]);
    Put32(buf + 8, a ^ key_[2]);
    Put32(buf + 12, b ^ key_[3]);
}

void Rar20Cipher::EncryptBlock(uint8_t* buf) {
    Rounds(buf, true);
    UpdateKeys(buf);
}

void Rar20Cipher::DecryptBlock(uint8_t* buf) {
    uint8_t in[16];
    std::memcpy(in, buf, 16);
    Rounds(buf, false);
    UpdateKeys(in);
}

void Rar20Cipher::Decrypt(uint8_t* data, size_t size) {
    for (size_t i = 0; i + 16 <= size; i += 16) DecryptBlock(data + i);
}

long Rar20DecryptingInput::Read(uint8_t* dst, size_t n) {
    size_t done = 0;
    while (done < n) {
        if (used_ < have_) {
            size_t take = have_ - used_ < n - done ? have_ - used_ : n - done;
            std::memcpy(dst + done, block_ + used_, take);
            used_ += take;
            done += take;
            continue;
        }
        // Fill the next block.
        size_t got = 0;
        while (got < 16) {
            long r = inner_.Read(block_ + got, 16 - got);
            if (r < 0) return done > 0 ? long(done) : r;
            if (r == 0) break;
            got += size_t(r);
        }
        if (got == 0) break;
        if (got == 16) cipher_.DecryptBlock(block_);
        have_ = got;
        used_ = 0;
    }
    return long(done);
}

}  // namespace rar

namespace rar {

std::unique_ptr<PackedInput> MakeRar20DecryptInput(PackedInput& src, const std::string& password) {
    return std::make_unique<Rar20DecryptingInput>(src, password);
}

}  // namespace rar
