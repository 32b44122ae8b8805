#include "rar/unpack4/Unpack20.h"

#include <cstdlib>
#include <cstring>

namespace rar::unpack4 {

namespace {

const uint8_t kLDecode[28] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 14, 16, 20,
                              24, 28, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224};
const uint8_t kLBits[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
const uint32_t kDDecode[48] = {0,      1,      2,      3,      4,      6,      8,      12,     16,     24,
                               32,     48,     64,     96,     128,    192,    256,    384,    512,    768,
                               1024,   1536,   2048,   3072,   4096,   6144,   8192,   12288,  16384,  24576,
                               32768,  49152,  65536,  98304,  131072, 196608, 262144, 327680, 393216, 458752,
                               524288, 589824, 655360, 720896, 786432, 851968, 917504, 983040};
const uint8_t kDBits[48] = {0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                            7,  7,  8,  8,  9,  9,  10, 10, 11, 11, 12, 12, 13, 13, 14, 14,
                            15, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};
const uint8_t kSDDecode[8] = {0, 4, 8, 16, 32, 64, 128, 192};
const uint8_t kSDBits[8] = {2, 2, 3, 4, 5, 6, 6, 6};

}  // namespace

Unpack20::Unpack20(size_t windowSize) : window_(windowSize) {}

void Unpack20::ResetState() {
    tablesRead_ = false;
    audioBlock_ = false;
    channelDelta_ = 0;
    curChannel_ = 0;
    channels_ = 1;
    std::memset(audio_, 0, sizeof(audio_));
    std::memset(oldTable_, 0, sizeof(oldTable_));
    std::memset(oldDist_, 0, sizeof(oldDist_));
    oldDistPtr_ = 0;
    lastDist_ = lastLength_ = 0;
}

DecodeResult Unpack20::Decode(PackedInput& in, uint64_t unpSize, UnpackedOutput& out, bool solid) {
    if (solid && poisoned_) return DecodeResult::BadData;
    poisoned_ = true;
    if (!window_.Prepare(solid)) return DecodeResult::NoMemory;
    if (!solid) ResetState();
    in_.Reset(&in);
    out_.Start(&out, unpSize);
    int64_t left = unpSize > uint64_t(INT64_MAX) ? INT64_MAX : int64_t(unpSize);
    bool ok = true;
    if ((!solid || !tablesRead_) && !ReadTables()) ok = false;
    if (ok) ok = Run(left);
    Flush();
    window_.Finish(out_.Written());
    if (out_.Stopped()) return DecodeResult::Stopped;
    if (in_.ReadError() || !out_.Done()) return DecodeResult::BadData;
    poisoned_ = false;
    return DecodeResult::Ok;
}

void Unpack20::Flush() {
    uint8_t* w = window_.Data();
    size_t start = window_.wrPtr, end = window_.unpPtr;
    if (end < start) {
        out_.Write(w + start, window_.Size() - start);
        out_.Write(w, end);
    } else if (end > start) {
        out_.Write(w + start, end - start);
    }
    window_.wrPtr = window_.unpPtr;
}

void Unpack20::CopyString(uint32_t length, uint32_t distance, int64_t& left) {
    lastDist_ = oldDist_[oldDistPtr_++ & 3] = distance;
    lastLength_ = length;
    left -= length;
    window_.Copy(length, distance);
}

bool Unpack20::Run(int64_t& left) {
    const size_t mask = window_.Mask();
    --left;
    while (left >= 0) {
        window_.unpPtr &= mask;
        if (in_.NeedRefill()) in_.Refill();
        if (in_.Overrun() || in_.ReadError()) return false;
        if (((window_.wrPtr - window_.unpPtr) & mask) < 270 && window_.wrPtr != window_.unpPtr) {
            Flush();
            if (out_.Stopped()) return false;
        }
        if (audioBlock_) {
            unsigned number = md_[curChannel_].Decode(in_);
            if (number == 256) {
                if (!ReadTables()) return false;
                continue;
            }
            window_.PutByte(DecodeAudio(int(number)));
            if (++curChannel_ == channels_) curChannel_ = 0;
            --left;
            continue;
        }
        unsigned number = ld_.Decode(in_);
        if (number < 256) {
            window_.PutByte(uint8_t(number));
            --left;
            continue;
        }
        if (number > 269) {
            number -= 270;
            uint32_t length = kLDecode[number] + 3u;
            if (unsigned bits = kLBits[number]) {
                length += in_.GetBits() >> (16 - bits);
                in_.AddBits(bits);
            }
            unsigned distNumber = dd_.Decode(in_);
            uint32_t distance = kDDecode[distNumber] + 1;
            if (unsigned bits = kDBits[distNumber]) {
                distance += in_.GetBits() >> (16 - bits);
                in_.AddBits(bits);
            }
            if (distance >= 0x2000) {
                length++;
                if (distance >= 0x40000) length++;
            }
            CopyString(length, distance, left);
            continue;
        }
        if (number == 269) {
            if (!ReadTables()) return false;
            continue;
        }
        if (number == 256) {
            CopyString(lastLength_, lastDist_, left);
            continue;
        }
        if (number < 261) {
            uint32_t distance = oldDist_[(oldDistPtr_ - (number - 256)) & 3];
            unsigned lengthNumber = rd_.Decode(in_);
            uint32_t length = kLDecode[lengthNumber] + 2u;
            if (unsigned bits = kLBits[lengthNumber]) {
                length += in_.GetBits() >> (16 - bits);
                in_.AddBits(bits);
            }
            if (distance >= 0x101) {
                length++;
                if (distance >= 0x2000) {
                    length++;
                    if (distance >= 0x40000) length++;
                }
            }
            CopyString(length, distance, left);
            continue;
        }
        // 261..268: short distances.
        number -= 261;
        uint32_t distance = kSDDecode[number] + 1u;
        if (unsigned bits = kSDBits[number]) {
            distance += in_.GetBits() >> (16 - bits);
            in_.AddBits(bits);
        }
        CopyString(2, distance, left);
    }
    ReadLastTables();
    return true;
}

bool Unpack20::ReadTables() {
    if (in_.NeedRefill(64)) in_.Refill();
    uint32_t bits = in_.GetBits();
    audioBlock_ = (bits & 0x8000) != 0;
    if (!(bits & 0x4000)) std::memset(oldTable_, 0, sizeof(oldTable_));
    in_.AddBits(2);
    unsigned tableSize;
    if (audioBlock_) {
        channels_ = ((bits >> 12) & 3) + 1;
        if (curChannel_ >= channels_) curChannel_ = 0;
        in_.AddBits(2);
        tableSize = kMC * channels_;
    } else {
        tableSize = kNC + kDC + kRC;
    }
    uint8_t bitLength[kBC];
    for (unsigned i = 0; i < kBC; ++i) {
        bitLength[i] = uint8_t(in_.GetBits() >> 12);
        in_.AddBits(4);
    }
    bd_.Build(bitLength, kBC);
    uint8_t table[kMC * 4];
    for (unsigned i = 0; i < tableSize;) {
        if (in_.NeedRefill(8)) in_.Refill();
        if (in_.Overrun()) return false;
        unsigned number = bd_.Decode(in_);
        if (number < 16) {
            table[i] = uint8_t((number + oldTable_[i]) & 0xf);
            i++;
        } else if (number == 16) {
            unsigned n = (in_.GetBits() >> 14) + 3;
            in_.AddBits(2);
            if (!RepeatPreviousLength(table, i, tableSize, n)) return false;
        } else {
            unsigned n;
            if (number == 17) {
                n = (in_.GetBits() >> 13) + 3;
                in_.AddBits(3);
            } else {
                n = (in_.GetBits() >> 9) + 11;
                in_.AddBits(7);
            }
            ZeroLengths(table, i, tableSize, n);
        }
    }
    tablesRead_ = true;
    if (in_.Overrun()) return false;
    if (audioBlock_) {
        for (unsigned i = 0; i < channels_; ++i) md_[i].Build(&table[i * kMC], kMC);
    } else {
        ld_.Build(&table[0], kNC);
        dd_.Build(&table[kNC], kDC);
        rd_.Build(&table[kNC + kDC], kRC);
    }
    std::memcpy(oldTable_, table, tableSize);
    return true;
}

void Unpack20::ReadLastTables() {
    // A table change right after the member's last byte belongs to this
    // member's stream; the next solid member expects the new tables.
    if (in_.NeedRefill()) in_.Refill();
    if (in_.Buffered() < 5) return;
    if (audioBlock_) {
        if (md_[curChannel_].Decode(in_) == 256) ReadTables();
    } else if (ld_.Decode(in_) == 269) {
        ReadTables();
    }
}

uint8_t Unpack20::DecodeAudio(int delta) {
    AudioVars& v = audio_[curChannel_];
    v.byteCount++;
    v.d4 = v.d3;
    v.d3 = v.d2;
    v.d2 = v.lastDelta - v.d1;
    v.d1 = v.lastDelta;
    int32_t pch = 8 * v.lastChar + v.k[0] * v.d1 + v.k[1] * v.d2 + v.k[2] * v.d3 + v.k[3] * v.d4 +
                  v.k[4] * channelDelta_;
    pch = (pch >> 3) & 0xff;
    uint32_t ch = uint32_t(pch - delta);
    int32_t d = int32_t(int8_t(uint8_t(delta))) * 8;
    v.dif[0] += uint32_t(std::abs(d));
    v.dif[1] += uint32_t(std::abs(d - v.d1));
    v.dif[2] += uint32_t(std::abs(d + v.d1));
    v.dif[3] += uint32_t(std::abs(d - v.d2));
    v.dif[4] += uint32_t(std::abs(d + v.d2));
    v.dif[5] += uint32_t(std::abs(d - v.d3));
    v.dif[6] += uint32_t(std::abs(d + v.d3));
    v.dif[7] += uint32_t(std::abs(d - v.d4));
    v.dif[8] += uint32_t(std::abs(d + v.d4));
    v.dif[9] += uint32_t(std::abs(d - channelDelta_));
    v.dif[10] += uint32_t(std::abs(d + channelDelta_));
    channelDelta_ = v.lastDelta = int8_t(uint8_t(ch - uint32_t(v.lastChar)));
    v.lastChar = int32_t(ch & 0xff);
    if ((v.byteCount & 0x1f) == 0) {
        uint32_t minDif = v.dif[0], numMinDif = 0;
        v.dif[0] = 0;
        for (unsigned i = 1; i < 11; ++i) {
            if (v.dif[i] < minDif) {
                minDif = v.dif[i];
                numMinDif = i;
            }
            v.dif[i] = 0;
        }
        if (numMinDif != 0) {
            int32_t& k = v.k[(numMinDif - 1) / 2];
            if (numMinDif & 1) {
                if (k >= -16) k--;
            } else if (k < 16) {
                k++;
            }
        }
    }
    return uint8_t(ch);
}

}  // namespace rar::unpack4
