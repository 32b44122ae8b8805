#pragma once
// The RAR 2.0 cipher, used for encrypted members with UnpVer 20 and 26.
//
// A 128-bit block cipher of 32 Feistel-like rounds over a password-keyed byte
// substitution; the four key words change after every block with the CRC32
// table entries of that block's ciphertext bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "rar/unpack/Decoder.h"

namespace rar {

class Rar20Cipher {
public:
    // The password as the archive's bytes (RAR 2.0 used the OEM/ANSI code page;
    // ASCII passwords are the same in every code page). Only the first 127 bytes count.
    explicit Rar20Cipher(const std::string& password);

    // Decrypts whole 16-byte blocks in place; a trailing partial block is left as is.
    void Decrypt(uint8_t* data, size_t size);
    void DecryptBlock(uint8_t* block);
    void EncryptBlock(uint8_t* block);

private:
    void Rounds(uint8_t* block, bool forward);
    uint32_t Subst(uint32_t t) const;
    void UpdateKeys(const uint8_t* block);

    uint32_t key_[4];
    uint8_t subst_[256];
};

// Decrypting view of an encrypted member's packed bytes (its size is a
// multiple of 16; a short final block is passed through undecrypted).
class Rar20DecryptingInput final : public PackedInput {
public:
    Rar20DecryptingInput(PackedInput& inner, const std::string& password) : inner_(inner), cipher_(password) {}
    long Read(uint8_t* dst, size_t n) override;

private:
    PackedInput& inner_;
    Rar20Cipher cipher_;
    uint8_t block_[16];
    size_t have_ = 0;  // decrypted bytes in block_
    size_t used_ = 0;  // of those, already handed out
};

}  // namespace rar
