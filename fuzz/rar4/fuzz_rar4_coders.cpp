// libFuzzer target: arbitrary bytes as packed data for each RAR 1.5-4.x coder.
// Byte 0 picks the coder and the unpacked size; the rest is split into two
// members decoded as a solid pair, so state carried across members (window,
// tables, PPMd model, filters) is exercised after good and bad streams alike.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "rar/unpack/Decoder.h"
#include "rar/unpack4/Rar20Cipher.h"

namespace {

class Input final : public rar::PackedInput {
public:
    Input(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    long Read(uint8_t* dst, size_t n) override {
        size_t take = n < n_ - pos_ ? n : n_ - pos_;
        // Odd piece sizes shake out refill bugs.
        if (take > 1000) take = 1000 + (pos_ & 7);
        if (take > n_ - pos_) take = n_ - pos_;
        std::memcpy(dst, p_ + pos_, take);
        pos_ += take;
        return long(take);
    }

private:
    const uint8_t* p_;
    size_t n_;
    size_t pos_ = 0;
};

class Sink final : public rar::UnpackedOutput {
public:
    bool Write(const uint8_t* p, size_t n) override {
        // Touch every byte so that reads of uninitialised memory would show.
        for (size_t i = 0; i < n; ++i) sum_ += p[i];
        total_ += n;
        return true;
    }
    uint64_t total_ = 0;
    unsigned sum_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    static const unsigned kVersions[4] = {15, 20, 29, 36};
    const unsigned ver = kVersions[data[0] & 3];
    const bool encrypted = (data[0] & 4) != 0 && (ver == 20);
    const uint64_t unpSize = (uint64_t(data[1]) << 10) | (uint64_t(data[0] >> 3) * 37);
    const size_t split = size > 3 ? 3 + (size - 3) * data[2] / 256 : 3;
    auto dec = rar::MakeRar4Decoder(ver, 0x40000);
    if (!dec) return 0;
    Input first(data + 3, split - 3);
    Input second(data + split, size - split);
    Sink out;
    if (encrypted) {
        rar::Rar20DecryptingInput crypt(first, "password");
        dec->Decode(crypt, unpSize, out, false);
    } else {
        dec->Decode(first, unpSize, out, false);
    }
    if (out.total_ > unpSize) __builtin_trap();
    Sink out2;
    dec->Decode(second, unpSize / 2 + 1, out2, true);
    if (out2.total_ > unpSize / 2 + 1) __builtin_trap();
    return 0;
}
