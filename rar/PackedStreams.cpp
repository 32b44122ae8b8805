#include "rar/PackedStreams.h"

#include <cstring>

namespace rar {

long FileRangeInput::Read(uint8_t* dst, size_t n) {
    if (left_ == 0 || n == 0) return 0;
    if (n > left_) n = size_t(left_);
    if (n > (1u << 30)) n = 1u << 30;
    size_t got = f_.ReadSomeAt(pos_, dst, n);
    if (got == 0) {
        truncated_ = true;
        return -1;
    }
    pos_ += got;
    left_ -= got;
    return long(got);
}

AesInput::AesInput(PackedInput& src, const uint8_t* key, unsigned keyBits, const uint8_t iv[16])
    : src_(src), buf_(64 * 1024) {
    ok_ = aes_.Init(key, keyBits, iv, false);
}

long AesInput::Read(uint8_t* dst, size_t n) {
    if (!ok_) return -1;
    if (bufPos_ == bufLen_) {
        if (eof_) return 0;
        size_t have = 0;
        while (have < buf_.size()) {
            long got = src_.Read(buf_.data() + have, buf_.size() - have);
            if (got < 0) return -1;
            if (got == 0) { eof_ = true; break; }
            have += size_t(got);
        }
        have -= have % 16;
        if (have > 0 && !aes_.Process(buf_.data(), buf_.data(), have)) { ok_ = false; return -1; }
        bufPos_ = 0;
        bufLen_ = have;
        if (have == 0) return 0;
    }
    size_t take = bufLen_ - bufPos_;
    if (take > n) take = n;
    std::memcpy(dst, buf_.data() + bufPos_, take);
    bufPos_ += take;
    return long(take);
}

}  // namespace rar
