#pragma once
// Packed-data streams handed to the decoders: the member's byte range of the
// archive file, and AES-CBC decryption over another stream.

#include <cstdint>
#include <vector>

#include "rar/ArchiveFile.h"
#include "rar/crypto/Aes.h"
#include "rar/unpack/Decoder.h"

namespace rar {

class FileRangeInput : public PackedInput {
public:
    FileRangeInput(ArchiveFile& f, uint64_t offset, uint64_t size) : f_(f), pos_(offset), left_(size) {}
    long Read(uint8_t* dst, size_t n) override;
    bool Truncated() const { return truncated_; }

private:
    ArchiveFile& f_;
    uint64_t pos_;
    uint64_t left_;
    bool truncated_ = false;
};

// Decrypts whole 16-byte blocks of src; a trailing partial block is dropped
// (RAR pads encrypted data to 16 bytes).
class AesInput : public PackedInput {
public:
    AesInput(PackedInput& src, const uint8_t* key, unsigned keyBits, const uint8_t iv[16]);
    long Read(uint8_t* dst, size_t n) override;
    bool ok() const { return ok_; }

private:
    PackedInput& src_;
    AesCbc aes_;
    std::vector<uint8_t> buf_;
    size_t bufPos_ = 0, bufLen_ = 0;
    bool ok_ = true;
    bool eof_ = false;
};

}  // namespace rar
