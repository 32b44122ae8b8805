#include "rar/unpack4/BitReader.h"

#include <cstring>

namespace rar::unpack4 {

void BitReader::Refill() {
    if (eof_ || in_ == nullptr) {
        eof_ = true;
        return;
    }
    size_t keep = pos_ < top_ ? top_ - pos_ : 0;
    if (pos_ > 0) {
        if (keep > 0) std::memmove(buf_.data(), buf_.data() + pos_, keep);
        pos_ = pos_ > top_ ? pos_ - top_ : 0;
        top_ = keep;
    }
    while (top_ < kBufSize) {
        long got = in_->Read(buf_.data() + top_, kBufSize - top_);
        if (got < 0) {
            error_ = true;
            eof_ = true;
            break;
        }
        if (got == 0) {
            eof_ = true;
            break;
        }
        top_ += size_t(got);
    }
    std::memset(buf_.data() + top_, 0, buf_.size() - top_);
}

}  // namespace rar::unpack4
