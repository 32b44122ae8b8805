#include "rar/unpack4/Unpack29.h"

#include <algorithm>
#include <cstring>

namespace rar::unpack4 {

namespace {

const uint8_t kLDecode[28] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 14, 16, 20,
                              24, 28, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224};
const uint8_t kLBits[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
const uint8_t kSDDecode[8] = {0, 4, 8, 16, 32, 64, 128, 192};
const uint8_t kSDBits[8] = {2, 2, 3, 4, 5, 6, 6, 6};

struct DistTables {
    uint32_t base[60];
    uint8_t bits[60];
    DistTables() {
        static const uint8_t kCounts[] = {4, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 14, 0, 12};
        uint32_t dist = 0;
        unsigned slot = 0;
        for (unsigned bitLen = 0; bitLen < sizeof(kCounts); ++bitLen)
            for (unsigned j = 0; j < kCounts[bitLen]; ++j, dist += (1u << bitLen)) {
                base[slot] = dist;
                bits[slot] = uint8_t(bitLen);
                ++slot;
            }
    }
};
const DistTables kDist;

// Bit reader over a filter definition held in memory; zeros past its end.
class CodeBits {
public:
    CodeBits(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    uint32_t Get() const {
        uint32_t v = (uint32_t(At(pos_)) << 16) | (uint32_t(At(pos_ + 1)) << 8) | At(pos_ + 2);
        return (v >> (8 - bit_)) & 0xffff;
    }
    void Add(unsigned n) {
        n += bit_;
        pos_ += n >> 3;
        bit_ = n & 7;
        if (pos_ > n_ + 8) pos_ = n_ + 8;
    }
    size_t BytePos() const { return pos_; }
    // The format's variable-length number.
    uint32_t Number() {
        uint32_t data = Get();
        switch (data & 0xc000) {
            case 0:
                Add(6);
                return (data >> 10) & 0xf;
            case 0x4000:
                if ((data & 0x3c00) == 0) {
                    Add(14);
                    return 0xffffff00u | ((data >> 2) & 0xff);
                }
                Add(10);
                return (data >> 6) & 0xff;
            case 0x8000:
                Add(2);
                data = Get();
                Add(16);
                return data;
            default:
                Add(2);
                data = Get() << 16;
                Add(16);
                data |= Get();
                Add(16);
                return data;
        }
    }

private:
    uint8_t At(size_t i) const { return i < n_ ? p_[i] : 0; }
    const uint8_t* p_;
    size_t n_;
    size_t pos_ = 0;
    unsigned bit_ = 0;
};

}  // namespace

Unpack29::Unpack29(size_t windowSize) : window_(windowSize), filterMem_(kFilterMemSize + 4, 0) {}

void Unpack29::ResetState() {
    tablesRead_ = false;
    std::memset(oldDist_, 0, sizeof(oldDist_));
    lastLength_ = 0;
    std::memset(oldTable_, 0, sizeof(oldTable_));
    ppmEscChar_ = 2;
    ppmBlock_ = false;
    prevLowDist_ = 0;
    lowDistRepCount_ = 0;
    ppm_.Reset();
}

void Unpack29::InitFilters(bool keepDefinitions) {
    if (!keepDefinitions) {
        oldFilterLengths_.clear();
        lastFilter_ = 0;
        filterTypes_.clear();
    }
    stack_.clear();
}

DecodeResult Unpack29::Decode(PackedInput& in, uint64_t unpSize, UnpackedOutput& out, bool solid) {
    if (solid && poisoned_) return DecodeResult::BadData;
    poisoned_ = true;
    if (!window_.Prepare(solid)) return DecodeResult::NoMemory;
    if (!solid) ResetState();
    InitFilters(solid);
    in_.Reset(&in);
    out_.Start(&out, unpSize);
    failed_ = unsupported_ = false;

    bool ok = Run(solid);
    window_.Finish(out_.Written() + ((window_.unpPtr - window_.wrPtr) & window_.Mask()));

    if (out_.Stopped()) return DecodeResult::Stopped;
    if (in_.ReadError()) return DecodeResult::BadData;
    if (!out_.Done()) return unsupported_ ? DecodeResult::Unsupported : DecodeResult::BadData;
    // Every byte is out: whatever went wrong past the member's last byte
    // (padding read as symbols) does not spoil it; its CRC decides.
    (void)ok;
    poisoned_ = false;
    return DecodeResult::Ok;
}

int Unpack29::PpmChar() {
    int ch = ppm_.DecodeChar();
    if (ch < 0) {
        ppm_.Reset();
        ppmBlock_ = false;
    }
    return ch;
}

bool Unpack29::Run(bool solid) {
    const size_t mask = window_.Mask();
    if ((!solid || !tablesRead_) && !ReadTables()) {
        failed_ = true;
        return false;
    }
    for (;;) {
        window_.unpPtr &= mask;
        if (in_.NeedRefill()) in_.Refill();
        if (in_.Overrun() || in_.ReadError()) break;
        if (((window_.wrPtr - window_.unpPtr) & mask) < 260 && window_.wrPtr != window_.unpPtr) {
            WriteBuf();
            if (out_.Written() > out_.Size()) return !failed_;
            if (out_.Stopped() || failed_) return false;
        }
        if (ppmBlock_) {
            int ch = PpmChar();
            if (ch < 0) {
                failed_ = true;
                break;
            }
            if (ch == ppmEscChar_) {
                int next = PpmChar();
                if (next < 0) {
                    failed_ = true;
                    break;
                }
                if (next == 0) {
                    if (!ReadTables()) {
                        failed_ = true;
                        break;
                    }
                    continue;
                }
                if (next == 2) break;
                if (next == 3) {
                    if (!ReadFilterPpm()) {
                        failed_ = true;
                        break;
                    }
                    continue;
                }
                if (next == 4) {
                    uint32_t distance = 0, length = 0;
                    bool bad = false;
                    for (int i = 0; i < 4 && !bad; ++i) {
                        int c = PpmChar();
                        if (c < 0)
                            bad = true;
                        else if (i == 3)
                            length = uint32_t(c);
                        else
                            distance = (distance << 8) + uint32_t(c);
                    }
                    if (bad) {
                        failed_ = true;
                        break;
                    }
                    CopyString(length + 32, distance + 2);
                    continue;
                }
                if (next == 5) {
                    int length = PpmChar();
                    if (length < 0) {
                        failed_ = true;
                        break;
                    }
                    CopyString(uint32_t(length) + 4, 1);
                    continue;
                }
                // Any other code stands for the escape byte itself.
            }
            window_.PutByte(uint8_t(ch));
            continue;
        }

        unsigned number = ld_.Decode(in_);
        if (number < 256) {
            window_.PutByte(uint8_t(number));
            continue;
        }
        if (number >= 271) {
            number -= 271;
            uint32_t length = kLDecode[number] + 3u;
            if (unsigned bits = kLBits[number]) {
                length += in_.GetBits() >> (16 - bits);
                in_.AddBits(bits);
            }
            unsigned distNumber = dd_.Decode(in_);
            uint32_t distance = kDist.base[distNumber] + 1;
            if (unsigned bits = kDist.bits[distNumber]) {
                if (distNumber > 9) {
                    if (bits > 4) {
                        distance += (in_.GetBits() >> (20 - bits)) << 4;
                        in_.AddBits(bits - 4);
                    }
                    if (lowDistRepCount_ > 0) {
                        lowDistRepCount_--;
                        distance += prevLowDist_;
                    } else {
                        unsigned lowDist = ldd_.Decode(in_);
                        if (lowDist == 16) {
                            lowDistRepCount_ = 16 - 1;
                            distance += prevLowDist_;
                        } else {
                            distance += lowDist;
                            prevLowDist_ = lowDist;
                        }
                    }
                } else {
                    distance += in_.GetBits() >> (16 - bits);
                    in_.AddBits(bits);
                }
            }
            if (distance >= 0x2000) {
                length++;
                if (distance >= 0x40000) length++;
            }
            InsertOldDist(distance);
            lastLength_ = length;
            CopyString(length, distance);
            continue;
        }
        if (number == 256) {
            bool fileEnd = false;
            if (!ReadEndOfBlock(fileEnd)) {
                failed_ = true;
                break;
            }
            if (fileEnd) break;
            continue;
        }
        if (number == 257) {
            if (!ReadFilterLz()) {
                failed_ = true;
                break;
            }
            continue;
        }
        if (number == 258) {
            if (lastLength_ != 0) CopyString(lastLength_, oldDist_[0]);
            continue;
        }
        if (number < 263) {
            unsigned distNum = number - 259;
            uint32_t distance = oldDist_[distNum];
            for (unsigned i = distNum; i > 0; --i) oldDist_[i] = oldDist_[i - 1];
            oldDist_[0] = distance;
            unsigned lengthNumber = rd_.Decode(in_);
            uint32_t length = kLDecode[lengthNumber] + 2u;
            if (unsigned bits = kLBits[lengthNumber]) {
                length += in_.GetBits() >> (16 - bits);
                in_.AddBits(bits);
            }
            lastLength_ = length;
            CopyString(length, distance);
            continue;
        }
        // 263..270: short distances.
        number -= 263;
        uint32_t distance = kSDDecode[number] + 1u;
        if (unsigned bits = kSDBits[number]) {
            distance += in_.GetBits() >> (16 - bits);
            in_.AddBits(bits);
        }
        InsertOldDist(distance);
        lastLength_ = 2;
        CopyString(2, distance);
    }
    WriteBuf();
    return !failed_;
}

bool Unpack29::ReadEndOfBlock(bool& fileEnd) {
    uint32_t bits = in_.GetBits();
    bool newTable;
    fileEnd = false;
    if (bits & 0x8000) {
        newTable = true;
        in_.AddBits(1);
    } else {
        fileEnd = true;
        newTable = (bits & 0x4000) != 0;
        in_.AddBits(2);
    }
    tablesRead_ = !newTable;
    if (fileEnd) return true;
    return !newTable || ReadTables();
}

bool Unpack29::ReadTables() {
    if (in_.NeedRefill(64)) in_.Refill();
    in_.AlignToByte();
    uint32_t bits = in_.GetBits();
    if (bits & 0x8000) {
        ppmBlock_ = true;
        if (!ppm_.DecodeInit(in_, ppmEscChar_)) {
            ppm_.Reset();
            ppmBlock_ = false;
            return false;
        }
        return true;
    }
    ppmBlock_ = false;
    prevLowDist_ = 0;
    lowDistRepCount_ = 0;
    if (!(bits & 0x4000)) std::memset(oldTable_, 0, sizeof(oldTable_));
    in_.AddBits(2);

    uint8_t bitLength[kBC];
    for (unsigned i = 0; i < kBC; ++i) {
        uint32_t len = in_.GetBits() >> 12;
        in_.AddBits(4);
        if (len == 15) {
            uint32_t zeroCount = in_.GetBits() >> 12;
            in_.AddBits(4);
            if (zeroCount == 0) {
                bitLength[i] = 15;
            } else {
                zeroCount += 2;
                while (zeroCount-- > 0 && i < kBC) bitLength[i++] = 0;
                i--;
            }
        } else {
            bitLength[i] = uint8_t(len);
        }
    }
    bd_.Build(bitLength, kBC);

    uint8_t table[kTableSize];
    for (unsigned i = 0; i < kTableSize;) {
        if (in_.NeedRefill(8)) in_.Refill();
        if (in_.Overrun()) return false;
        unsigned number = bd_.Decode(in_);
        if (number < 16) {
            table[i] = uint8_t((number + oldTable_[i]) & 0xf);
            i++;
        } else if (number < 18) {
            unsigned n;
            if (number == 16) {
                n = (in_.GetBits() >> 13) + 3;
                in_.AddBits(3);
            } else {
                n = (in_.GetBits() >> 9) + 11;
                in_.AddBits(7);
            }
            if (!RepeatPreviousLength(table, i, kTableSize, n)) return false;
        } else {
            unsigned n;
            if (number == 18) {
                n = (in_.GetBits() >> 13) + 3;
                in_.AddBits(3);
            } else {
                n = (in_.GetBits() >> 9) + 11;
                in_.AddBits(7);
            }
            ZeroLengths(table, i, kTableSize, n);
        }
    }
    tablesRead_ = true;
    if (in_.Overrun()) return false;
    ld_.Build(table, kNC);
    dd_.Build(table + kNC, kDC);
    ldd_.Build(table + kNC + kDC, kLDC);
    rd_.Build(table + kNC + kDC + kLDC, kRC);
    std::memcpy(oldTable_, table, sizeof(oldTable_));
    return true;
}

bool Unpack29::ReadFilterLz() {
    unsigned firstByte = in_.GetBits() >> 8;
    in_.AddBits(8);
    unsigned length = (firstByte & 7) + 1;
    if (length == 7) {
        length = (in_.GetBits() >> 8) + 7;
        in_.AddBits(8);
    } else if (length == 8) {
        length = in_.GetBits();
        in_.AddBits(16);
    }
    if (length == 0) return false;
    std::vector<uint8_t> code(length);
    for (unsigned i = 0; i < length; ++i) {
        if (in_.NeedRefill(8)) in_.Refill();
        if (in_.Overrun()) return false;
        code[i] = uint8_t(in_.GetBits() >> 8);
        in_.AddBits(8);
    }
    return AddFilter(firstByte, code.data(), code.size());
}

bool Unpack29::ReadFilterPpm() {
    int firstByte = PpmChar();
    if (firstByte < 0) return false;
    int length = (firstByte & 7) + 1;
    if (length == 7) {
        int b1 = PpmChar();
        if (b1 < 0) return false;
        length = b1 + 7;
    } else if (length == 8) {
        int b1 = PpmChar();
        if (b1 < 0) return false;
        int b2 = PpmChar();
        if (b2 < 0) return false;
        length = b1 * 256 + b2;
    }
    if (length == 0) return false;
    std::vector<uint8_t> code(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        int c = PpmChar();
        if (c < 0) return false;
        code[size_t(i)] = uint8_t(c);
    }
    return AddFilter(unsigned(firstByte), code.data(), code.size());
}

bool Unpack29::AddFilter(unsigned firstByte, const uint8_t* code, size_t size) {
    CodeBits vin(code, size);
    size_t filtPos;
    if (firstByte & 0x80) {
        filtPos = vin.Number();
        if (filtPos == 0)
            InitFilters(false);
        else
            filtPos--;
    } else {
        filtPos = lastFilter_;
    }
    if (filtPos > filterTypes_.size() || filtPos > oldFilterLengths_.size()) return false;
    lastFilter_ = unsigned(filtPos);
    bool newFilter = filtPos == filterTypes_.size();
    if (newFilter) {
        if (filtPos >= kMaxFilters) return false;
        filterTypes_.push_back(FilterType::None);
        oldFilterLengths_.push_back(0);
    }

    PendingFilter f;
    f.used = true;
    uint32_t blockStart = vin.Number();
    if (firstByte & 0x40) blockStart += 258;
    const size_t mask = window_.Mask();
    f.blockStart = uint32_t((blockStart + window_.unpPtr) & mask);
    if (firstByte & 0x20) {
        f.blockLength = vin.Number();
        oldFilterLengths_[filtPos] = f.blockLength;
    } else {
        f.blockLength = filtPos < oldFilterLengths_.size() ? oldFilterLengths_[filtPos] : 0;
    }
    f.nextWindow = window_.wrPtr != window_.unpPtr && ((window_.wrPtr - window_.unpPtr) & mask) <= blockStart;
    f.r[4] = f.blockLength;
    if (firstByte & 0x10) {
        unsigned initMask = vin.Get() >> 9;
        vin.Add(7);
        for (unsigned i = 0; i < 7; ++i)
            if (initMask & (1u << i)) f.r[i] = vin.Number();
    }
    if (newFilter) {
        uint32_t codeSize = vin.Number();
        if (codeSize >= 0x10000 || codeSize == 0 || vin.BytePos() + codeSize > size) return false;
        std::vector<uint8_t> prog(codeSize);
        for (uint32_t i = 0; i < codeSize; ++i) {
            prog[i] = uint8_t(vin.Get() >> 8);
            vin.Add(8);
        }
        filterTypes_[filtPos] = IdentifyFilter(prog.data(), prog.size());
    }
    f.type = filterTypes_[filtPos];
    if (firstByte & 0x08) {
        // Extra data for the program; the standard filters take none.
        uint32_t dataSize = vin.Number();
        if (dataSize > 0x2000 - 0x40) return false;
    }
    if (f.type == FilterType::None) {
        unsupported_ = true;
        return false;
    }
    stack_.erase(std::remove_if(stack_.begin(), stack_.end(), [](const PendingFilter& p) { return !p.used; }),
                 stack_.end());
    if (stack_.size() > kMaxFilters) return false;
    stack_.push_back(f);
    return true;
}

void Unpack29::WriteArea(size_t start, size_t end) {
    uint8_t* w = window_.Data();
    if (end < start) {
        out_.Write(w + start, window_.Size() - start);
        out_.Write(w, end);
    } else if (end > start) {
        out_.Write(w + start, end - start);
    }
}

void Unpack29::WriteBuf() {
    const size_t mask = window_.Mask();
    size_t border = window_.wrPtr;
    size_t writeSize = (window_.unpPtr - border) & mask;
    for (size_t i = 0; i < stack_.size(); ++i) {
        PendingFilter& flt = stack_[i];
        if (!flt.used) continue;
        if (flt.nextWindow) {
            flt.nextWindow = false;
            continue;
        }
        size_t blockStart = flt.blockStart;
        uint32_t blockLength = flt.blockLength;
        if (((blockStart - border) & mask) >= writeSize) continue;
        if (border != blockStart) {
            WriteArea(border, blockStart);
            border = blockStart;
            writeSize = (window_.unpPtr - border) & mask;
        }
        if (blockLength > writeSize) {
            // The block is not decoded completely yet: stop before it.
            for (size_t j = i; j < stack_.size(); ++j)
                if (stack_[j].used) stack_[j].nextWindow = false;
            window_.wrPtr = border;
            return;
        }
        if (blockLength > kFilterMemSize) {
            failed_ = true;
            window_.wrPtr = border;
            return;
        }
        size_t blockEnd = (blockStart + blockLength) & mask;
        uint8_t* mem = filterMem_.data();
        const uint8_t* w = window_.Data();
        // The block may wrap around the end of the window (or be empty).
        size_t first = std::min<size_t>(blockLength, window_.Size() - blockStart);
        std::memcpy(mem, w + blockStart, first);
        if (first < blockLength) std::memcpy(mem + first, w, blockLength - first);
        const uint32_t fileOffset = uint32_t(out_.Written());
        flt.r[6] = fileOffset;
        uint32_t outOff = 0, outSize = 0;
        bool ok = RunFilter(flt.type, mem, flt.r, outOff, outSize);
        flt.used = false;
        // Filters stacked on the same block run over the previous one's output.
        while (ok && i + 1 < stack_.size()) {
            PendingFilter& next = stack_[i + 1];
            if (!next.used || next.blockStart != blockStart || next.blockLength != outSize || next.nextWindow) break;
            if (outOff != 0) std::memmove(mem, mem + outOff, outSize);
            next.r[6] = fileOffset;
            ok = RunFilter(next.type, mem, next.r, outOff, outSize);
            next.used = false;
            ++i;
        }
        if (!ok || outOff + uint64_t(outSize) > kFilterMemSize + 4) {
            failed_ = true;
            window_.wrPtr = border;
            return;
        }
        out_.Write(mem + outOff, outSize);
        border = blockEnd;
        writeSize = (window_.unpPtr - border) & mask;
    }
    WriteArea(border, window_.unpPtr);
    window_.wrPtr = window_.unpPtr;
}

}  // namespace rar::unpack4
