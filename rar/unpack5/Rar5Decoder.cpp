// The RAR 5.0 coder (and the RAR 7 form with a larger distance alphabet).
//
// The packed stream is a series of blocks, each starting at a byte boundary:
//   flags u8 (bits 0-2: valid bits in the last byte - 1, bits 3-4: bytes of
//   the size field - 1, 0x40 last block of the member, 0x80 tables follow)
//   check u8 (0x5A ^ flags ^ the size bytes) | size (1-3 bytes, LE)
// then, when present, the Huffman tables: 20 4-bit lengths of the length
// code (15 followed by a 4-bit count N means N+2 zeros, or 15 when N is 0),
// then the lengths of the main (306), distance (64; 80 for RAR 7), low
// distance (16) and repeat-length (44) codes, coded with 0-15 literal,
// 16/17 repeat previous (3+3 bits / 11+7 bits), 18/19 zeros (same counts).
// Main code symbols: 0-255 literal, 256 filter, 257 repeat the last match,
// 258-261 a match with one of the four last distances (length from the
// repeat-length code), 262+ a new match (length slot, then distance slot,
// extra bits and, for 4+ extra bits, a low-distance symbol for the low four).
// Window, tables, last distances and last length carry over between the
// members of a solid stream.

#include <algorithm>
#include <cstring>
#include <deque>
#include <new>
#include <vector>

#include "rar/unpack/Decoder.h"
#include "rar/unpack5/BitInput.h"
#include "rar/unpack5/HuffmanTable.h"
#include "rar/unpack5/Rar5Filters.h"

namespace rar {

namespace {

constexpr unsigned kNC = 306, kDC5 = 64, kDC7 = 80, kLDC = 16, kRC = 44, kBC = 20;
constexpr unsigned kMaxMatch = 0x1200;
constexpr size_t kMaxFilters = 8192;
constexpr uint64_t kInitialWindow = 256 * 1024;

class Rar5Decoder : public Decoder {
public:
    Rar5Decoder(size_t dictionarySize, bool rar7) : extendedDist_(rar7) {
        uint64_t want = std::max<uint64_t>(dictionarySize, kRar5MaxFilterBlock + 2 * kMaxMatch);
        maxWindow_ = 1;
        while (maxWindow_ < want) maxWindow_ <<= 1;
    }

    DecodeResult Decode(PackedInput& in, uint64_t unpSize, UnpackedOutput& out, bool solid) override;

private:
    bool ReadBlockHeader();
    bool ReadTables();
    bool ReadFilter();
    bool EnsureRoom(unsigned n);
    bool Flush(bool final);
    bool WriteOut(const uint8_t* p, size_t n);
    uint32_t SlotToLength(unsigned slot);
    void Reset();

    bool extendedDist_;
    BitInput in_;
    UnpackedOutput* out_ = nullptr;
    std::vector<uint8_t> window_;
    uint64_t mask_ = 0;
    uint64_t maxWindow_;
    uint64_t pos_ = 0;       // absolute position of the next unpacked byte
    uint64_t written_ = 0;   // absolute position up to which output was written
    uint64_t memberStart_ = 0, memberEnd_ = 0;
    bool stopped_ = false;

    // Block state.
    uint64_t blockEnd_ = 0;  // bit position where the block's data ends
    bool lastBlock_ = false;
    bool tablesRead_ = false;
    HuffmanTable mainCode_, distCode_, lowDistCode_, repCode_;
    uint8_t lengths_[kNC + kDC7 + kLDC + kRC] = {};

    uint64_t oldDist_[4] = {};
    uint32_t lastLength_ = 0;
    std::deque<Rar5Filter> filters_;
    std::vector<uint8_t> filterBuf_, scratch_;
    bool broken_ = true;  // nothing decoded yet: a solid member cannot start here
};

void Rar5Decoder::Reset() {
    pos_ = written_ = 0;
    tablesRead_ = false;
    std::memset(oldDist_, 0, sizeof oldDist_);
    lastLength_ = 0;
    std::memset(lengths_, 0, sizeof lengths_);
}

bool Rar5Decoder::ReadBlockHeader() {
    in_.AlignByte();
    const unsigned flags = unsigned(in_.Read(8));
    const unsigned byteCount = ((flags >> 3) & 3) + 1;
    if (byteCount == 4) return false;
    const unsigned check = unsigned(in_.Read(8));
    uint32_t size = 0;
    for (unsigned i = 0; i < byteCount; ++i) size |= uint32_t(in_.Read(8)) << (8 * i);
    const unsigned sum = (0x5A ^ flags ^ size ^ (size >> 8) ^ (size >> 16)) & 0xFF;
    if (sum != check || in_.Overrun()) return false;
    const unsigned bitSize = (flags & 7) + 1;
    const uint64_t startByte = in_.pos() >> 3;
    blockEnd_ = (startByte + size) * 8;
    blockEnd_ = blockEnd_ >= 8 ? blockEnd_ - 8 + bitSize : 0;
    lastBlock_ = (flags & 0x40) != 0;
    if (flags & 0x80) {
        if (!ReadTables()) return false;
    }
    return tablesRead_;
}

bool Rar5Decoder::ReadTables() {
    uint8_t bitLengths[kBC];
    for (unsigned i = 0; i < kBC;) {
        const unsigned len = unsigned(in_.Read(4));
        if (len == 15) {
            unsigned zeros = unsigned(in_.Read(4));
            if (zeros == 0) {
                bitLengths[i++] = 15;
            } else {
                for (zeros += 2; zeros > 0 && i < kBC; --zeros) bitLengths[i++] = 0;
            }
        } else {
            bitLengths[i++] = uint8_t(len);
        }
    }
    HuffmanTable bc;
    bc.Build(bitLengths, kBC, 7);
    const unsigned dc = extendedDist_ ? kDC7 : kDC5;
    const unsigned total = kNC + dc + kLDC + kRC;
    for (unsigned i = 0; i < total;) {
        if (in_.pos() > blockEnd_ || in_.Overrun()) return false;
        const unsigned sym = bc.Decode(in_);
        if (sym < 16) {
            lengths_[i++] = uint8_t(sym);
        } else if (sym < 18) {
            unsigned n = sym == 16 ? unsigned(in_.Read(3)) + 3 : unsigned(in_.Read(7)) + 11;
            if (i == 0) return false;
            for (; n > 0 && i < total; --n, ++i) lengths_[i] = lengths_[i - 1];
        } else {
            unsigned n = sym == 18 ? unsigned(in_.Read(3)) + 3 : unsigned(in_.Read(7)) + 11;
            for (; n > 0 && i < total; --n) lengths_[i++] = 0;
        }
    }
    if (in_.pos() > blockEnd_ || in_.Overrun()) return false;
    mainCode_.Build(lengths_, kNC, 10);
    distCode_.Build(lengths_ + kNC, dc, 7);
    lowDistCode_.Build(lengths_ + kNC + dc, kLDC, 7);
    repCode_.Build(lengths_ + kNC + dc + kLDC, kRC, 7);
    tablesRead_ = true;
    return true;
}

bool Rar5Decoder::ReadFilter() {
    auto readNumber = [this]() -> uint32_t {
        const unsigned bytes = unsigned(in_.Read(2)) + 1;
        uint32_t v = 0;
        for (unsigned i = 0; i < bytes; ++i) v |= uint32_t(in_.Read(8)) << (8 * i);
        return v;
    };
    Rar5Filter f;
    const uint32_t start = readNumber();
    const uint32_t length = readNumber();
    const unsigned type = unsigned(in_.Read(3));
    if (type == unsigned(Rar5FilterType::Delta)) f.channels = unsigned(in_.Read(5)) + 1;
    if (type > unsigned(Rar5FilterType::Arm)) return false;
    f.type = Rar5FilterType(type);
    f.start = pos_ + start;
    f.length = length;
    if (length == 0 || length > kRar5MaxFilterBlock) return true;  // nothing to do
    if (filters_.size() >= kMaxFilters) {
        if (!Flush(false)) return false;
        if (filters_.size() >= kMaxFilters) return false;
    }
    filters_.push_back(f);
    return true;
}

uint32_t Rar5Decoder::SlotToLength(unsigned slot) {
    uint32_t length = 2;
    unsigned bits = 0;
    if (slot < 8) {
        length += slot;
    } else {
        bits = slot / 4 - 1;
        length += (4u | (slot & 3)) << bits;
    }
    if (bits > 0) length += uint32_t(in_.Read(bits));
    return length;
}

bool Rar5Decoder::WriteOut(const uint8_t* p, size_t n) {
    if (n == 0) return true;
    if (!out_->Write(p, n)) {
        stopped_ = true;
        return false;
    }
    return true;
}

// Writes unpacked data up to pos_, applying filters whose blocks are complete.
bool Rar5Decoder::Flush(bool final) {
    while (written_ < pos_) {
        uint64_t until = pos_;
        if (!filters_.empty()) {
            Rar5Filter& f = filters_.front();
            if (f.start < written_) {  // a block that starts in data already written: ignore it
                filters_.pop_front();
                continue;
            }
            if (f.start > written_) {
                until = std::min(until, f.start);
            } else {
                const uint64_t end = f.start + f.length;
                if (end > pos_) {
                    if (!final) return true;  // wait for the rest of the block
                    filters_.pop_front();     // the member ended inside the block
                    continue;
                }
                filterBuf_.resize(f.length);
                for (uint32_t i = 0; i < f.length; ++i) filterBuf_[i] = window_[(f.start + i) & mask_];
                ApplyRar5Filter(f, filterBuf_.data(), f.length, f.start - memberStart_, scratch_);
                written_ = end;
                filters_.pop_front();
                if (!WriteOut(filterBuf_.data(), f.length)) return false;
                continue;
            }
        }
        // Plain bytes [written_, until), in at most two pieces around the wrap.
        while (written_ < until) {
            const uint64_t idx = written_ & mask_;
            const uint64_t n = std::min(until - written_, mask_ + 1 - idx);
            written_ += n;
            if (!WriteOut(window_.data() + idx, size_t(n))) return false;
        }
    }
    return true;
}

// Makes sure n more bytes can be put into the window without overwriting
// bytes that were not written out yet.
bool Rar5Decoder::EnsureRoom(unsigned n) {
    const uint64_t size = mask_ + 1;
    if (pos_ + n <= size) return true;  // still filling the first pass of the window
    if (size < maxWindow_) {
        uint64_t grown = size;
        while (grown < pos_ + n && grown < maxWindow_) grown <<= 1;
        if (pos_ + n <= grown || grown == maxWindow_) {
            try {
                window_.resize(size_t(grown), 0);
            } catch (const std::bad_alloc&) {
                return false;
            }
            mask_ = grown - 1;
            if (pos_ + n <= grown) return true;
        }
    }
    if (pos_ + n - written_ <= mask_ + 1) return true;
    if (!Flush(false)) return false;
    return pos_ + n - written_ <= mask_ + 1;
}

DecodeResult Rar5Decoder::Decode(PackedInput& in, uint64_t unpSize, UnpackedOutput& out, bool solid) {
    if (solid && broken_) return DecodeResult::BadData;
    if (!solid) Reset();
    broken_ = true;
    if (window_.empty()) {
        const uint64_t first = std::min<uint64_t>(kInitialWindow, maxWindow_);
        try {
            window_.assign(size_t(first), 0);
        } catch (const std::bad_alloc&) {
            return DecodeResult::NoMemory;
        }
        mask_ = first - 1;
    }
    in_.Reset(&in);
    out_ = &out;
    stopped_ = false;
    filters_.clear();
    memberStart_ = pos_;
    written_ = pos_;
    memberEnd_ = unpSize == UINT64_MAX ? UINT64_MAX : pos_ + unpSize;
    blockEnd_ = 0;
    lastBlock_ = false;
    bool needHeader = true;

    while (pos_ < memberEnd_) {
        if (needHeader || in_.pos() >= blockEnd_) {
            if (!needHeader && lastBlock_) break;
            needHeader = false;
            if (!ReadBlockHeader()) return DecodeResult::BadData;
            continue;
        }
        if (in_.Overrun()) return DecodeResult::BadData;
        if (!EnsureRoom(kMaxMatch)) return stopped_ ? DecodeResult::Stopped : DecodeResult::BadData;

        const unsigned sym = mainCode_.Decode(in_);
        if (sym < 256) {
            window_[pos_ & mask_] = uint8_t(sym);
            ++pos_;
            continue;
        }
        uint32_t length;
        uint64_t dist;
        if (sym >= 262) {
            length = SlotToLength(sym - 262);
            const unsigned slot = distCode_.Decode(in_);
            unsigned bits;
            dist = 1;
            if (slot < 4) {
                bits = 0;
                dist += slot;
            } else {
                bits = slot / 2 - 1;
                dist += uint64_t(2 | (slot & 1)) << bits;
            }
            if (bits > 0) {
                if (bits >= 4) {
                    if (bits > 4) dist += in_.Read(bits - 4) << 4;
                    dist += lowDistCode_.Decode(in_);
                } else {
                    dist += in_.Read(bits);
                }
            }
            if (dist > 0x100) {
                ++length;
                if (dist > 0x2000) {
                    ++length;
                    if (dist > 0x40000) ++length;
                }
            }
            oldDist_[3] = oldDist_[2];
            oldDist_[2] = oldDist_[1];
            oldDist_[1] = oldDist_[0];
            oldDist_[0] = dist;
            lastLength_ = length;
        } else if (sym == 256) {
            if (!ReadFilter()) return stopped_ ? DecodeResult::Stopped : DecodeResult::BadData;
            continue;
        } else if (sym == 257) {
            if (lastLength_ == 0) continue;
            length = lastLength_;
            dist = oldDist_[0];
        } else {
            const unsigned idx = sym - 258;
            dist = oldDist_[idx];
            for (unsigned i = idx; i > 0; --i) oldDist_[i] = oldDist_[i - 1];
            oldDist_[0] = dist;
            length = SlotToLength(repCode_.Decode(in_));
            lastLength_ = length;
        }
        if (dist == 0 || dist > pos_ || dist > mask_ + 1) return DecodeResult::BadData;
        if (length > memberEnd_ - pos_) length = uint32_t(memberEnd_ - pos_);
        uint64_t src = pos_ - dist;
        if (dist >= length && ((src & mask_) + length <= mask_ + 1) && ((pos_ & mask_) + length <= mask_ + 1)) {
            std::memmove(window_.data() + (pos_ & mask_), window_.data() + (src & mask_), length);
            pos_ += length;
        } else {
            for (uint32_t i = 0; i < length; ++i) window_[(pos_ + i) & mask_] = window_[(src + i) & mask_];
            pos_ += length;
        }
    }
    if (!Flush(true)) return stopped_ ? DecodeResult::Stopped : DecodeResult::BadData;
    if (memberEnd_ != UINT64_MAX && pos_ != memberEnd_) return DecodeResult::BadData;
    if (in_.error()) return DecodeResult::BadData;
    broken_ = false;
    return DecodeResult::Ok;
}

}  // namespace

std::unique_ptr<Decoder> MakeRar5Decoder(size_t dictionarySize) {
    return std::make_unique<Rar5Decoder>(dictionarySize, false);
}

// The RAR 7 coder differs in its larger distance alphabet only.
std::unique_ptr<Decoder> MakeRar7Decoder(size_t dictionarySize) {
    return std::make_unique<Rar5Decoder>(dictionarySize, true);
}

}  // namespace rar
