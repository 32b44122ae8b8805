#include "rar/unpack4/Unpack15.h"

#include <cstring>

namespace rar::unpack4 {

namespace {

const uint32_t kDecL1[] = {0x8000, 0xa000, 0xc000, 0xd000, 0xe000, 0xea00, 0xee00, 0xf000, 0xf200, 0xf200, 0xffff};
const uint32_t kPosL1[] = {0, 0, 0, 2, 3, 5, 7, 11, 16, 20, 24, 32, 32};
const uint32_t kDecL2[] = {0xa000, 0xc000, 0xd000, 0xe000, 0xea00, 0xee00, 0xf000, 0xf200, 0xf240, 0xffff};
const uint32_t kPosL2[] = {0, 0, 0, 0, 5, 7, 9, 13, 18, 22, 26, 34, 36};
const uint32_t kDecHf0[] = {0x8000, 0xc000, 0xe000, 0xf200, 0xf200, 0xf200, 0xf200, 0xf200, 0xffff};
const uint32_t kPosHf0[] = {0, 0, 0, 0, 0, 8, 16, 24, 33, 33, 33, 33, 33};
const uint32_t kDecHf1[] = {0x2000, 0xc000, 0xe000, 0xf000, 0xf200, 0xf200, 0xf7e0, 0xffff};
const uint32_t kPosHf1[] = {0, 0, 0, 0, 0, 0, 4, 44, 60, 76, 80, 80, 127};
const uint32_t kDecHf2[] = {0x1000, 0x2400, 0x8000, 0xc000, 0xfa00, 0xffff, 0xffff, 0xffff};
const uint32_t kPosHf2[] = {0, 0, 0, 0, 0, 0, 2, 7, 53, 117, 233, 0, 0};
const uint32_t kDecHf3[] = {0x800, 0x2400, 0xee00, 0xfe80, 0xffff, 0xffff, 0xffff};
const uint32_t kPosHf3[] = {0, 0, 0, 0, 0, 0, 0, 2, 16, 218, 251, 0, 0};
const uint32_t kDecHf4[] = {0xff00, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff};
const uint32_t kPosHf4[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0};

}  // namespace

Unpack15::Unpack15() : window_(kWindowSize) { ResetState(); }

unsigned Unpack15::DecodeNum(uint32_t num, const FixedCode& code) {
    num &= 0xfff0;
    unsigned start = code.start, i = 0;
    // Every table ends with 0xffff, above any masked value.
    while (code.dec[i] <= num) {
        ++start;
        ++i;
    }
    in_.AddBits(start);
    return ((num - (i ? code.dec[i - 1] : 0)) >> (16 - start)) + code.pos[start];
}

void Unpack15::CorrHuff(uint32_t* charSet, uint32_t* numToPlace) {
    for (int i = 7; i >= 0; --i)
        for (int j = 0; j < 32; ++j, ++charSet) *charSet = (*charSet & ~0xffu) | uint32_t(i);
    std::memset(numToPlace, 0, 256 * sizeof(uint32_t));
    for (int i = 6; i >= 0; --i) numToPlace[i] = uint32_t(7 - i) * 32;
}

void Unpack15::InitHuff() {
    for (uint32_t i = 0; i < 256; ++i) {
        chSet_[i] = chSetB_[i] = i << 8;
        chSetA_[i] = i;
        chSetC_[i] = ((~i + 1) & 0xff) << 8;
    }
    std::memset(nToPl_, 0, sizeof(nToPl_));
    std::memset(nToPlB_, 0, sizeof(nToPlB_));
    std::memset(nToPlC_, 0, sizeof(nToPlC_));
    CorrHuff(chSetB_, nToPlB_);
}

void Unpack15::ResetState() {
    avrPlcB_ = avrLn1_ = avrLn2_ = avrLn3_ = numHuf_ = buf60_ = 0;
    avrPlc_ = 0x3500;
    maxDist3_ = 0x2001;
    nhfb_ = nlzb_ = 0x80;
    std::memset(oldDist_, 0, sizeof(oldDist_));
    oldDistPtr_ = 0;
    lastDist_ = lastLength_ = 0;
    InitHuff();
}

void Unpack15::Flush() {
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

void Unpack15::CopyString(uint32_t distance, uint32_t length) {
    left_ -= length;
    window_.Copy(length, distance);
}

DecodeResult Unpack15::Decode(PackedInput& in, uint64_t unpSize, UnpackedOutput& out, bool solid) {
    if (solid && poisoned_) return DecodeResult::BadData;
    poisoned_ = true;
    if (!window_.Prepare(solid)) return DecodeResult::NoMemory;
    if (!solid) ResetState();
    flagsCnt_ = 0;
    flagBuf_ = 0;
    stMode_ = false;
    lCount_ = 0;
    in_.Reset(&in);
    out_.Start(&out, unpSize);
    left_ = unpSize > uint64_t(INT64_MAX) ? INT64_MAX : int64_t(unpSize);
    const size_t mask = window_.Mask();

    --left_;
    if (left_ >= 0) {
        GetFlagsBuf();
        flagsCnt_ = 8;
    }
    bool ok = true;
    while (left_ >= 0) {
        window_.unpPtr &= mask;
        if (in_.NeedRefill()) in_.Refill();
        if (in_.Overrun() || in_.ReadError()) {
            ok = false;
            break;
        }
        if (((window_.wrPtr - window_.unpPtr) & mask) < 270 && window_.wrPtr != window_.unpPtr) {
            Flush();
            if (out_.Stopped()) break;
        }
        if (stMode_) {
            HuffDecode();
            continue;
        }
        if (NextFlag()) {
            if (nlzb_ > nhfb_)
                LongLZ();
            else
                HuffDecode();
        } else if (NextFlag()) {
            if (nlzb_ > nhfb_)
                HuffDecode();
            else
                LongLZ();
        } else {
            ShortLZ();
        }
    }
    window_.unpPtr &= mask;
    Flush();
    window_.Finish(out_.Written());
    if (out_.Stopped()) return DecodeResult::Stopped;
    if (!ok || in_.ReadError() || !out_.Done()) return DecodeResult::BadData;
    poisoned_ = false;
    return DecodeResult::Ok;
}

void Unpack15::ShortLZ() {
    static const unsigned kShortLen1[] = {1, 3, 4, 4, 5, 6, 7, 8, 8, 4, 4, 5, 6, 6, 4, 0};
    static const unsigned kShortXor1[] = {0, 0xa0, 0xd0, 0xe0, 0xf0, 0xf8, 0xfc, 0xfe,
                                          0xff, 0xc0, 0x80, 0x90, 0x98, 0x9c, 0xb0};
    static const unsigned kShortLen2[] = {2, 3, 3, 3, 4, 4, 5, 6, 6, 4, 4, 5, 6, 6, 4, 0};
    static const unsigned kShortXor2[] = {0, 0x40, 0x60, 0xa0, 0xd0, 0xe0, 0xf0, 0xf8,
                                          0xfc, 0xc0, 0x80, 0x90, 0x98, 0x9c, 0xb0};
    numHuf_ = 0;
    uint32_t bits = in_.GetBits();
    if (lCount_ == 2) {
        in_.AddBits(1);
        if (bits >= 0x8000) {
            CopyString(lastDist_, lastLength_);
            return;
        }
        bits <<= 1;
        lCount_ = 0;
    }
    bits = (bits >> 8) & 0xff;

    // One entry of each table depends on a state bit.
    auto lenOf = [&](const unsigned* lens, unsigned i, unsigned special) {
        return i == special ? buf60_ + 3 : lens[i];
    };
    unsigned length;
    if (avrLn1_ < 37) {
        for (length = 0; length < 15; ++length)
            if (((bits ^ kShortXor1[length]) & (~(0xffu >> lenOf(kShortLen1, length, 1)) & 0xff)) == 0) break;
        in_.AddBits(length < 15 ? lenOf(kShortLen1, length, 1) : 0);
    } else {
        for (length = 0; length < 15; ++length)
            if (((bits ^ kShortXor2[length]) & (~(0xffu >> lenOf(kShortLen2, length, 3)) & 0xff)) == 0) break;
        in_.AddBits(length < 15 ? lenOf(kShortLen2, length, 3) : 0);
    }
    if (length >= 15) length = 15;  // no code matched: only damaged data gets here

    if (length >= 9) {
        if (length == 9) {
            lCount_++;
            CopyString(lastDist_, lastLength_);
            return;
        }
        if (length == 14) {
            lCount_ = 0;
            length = DecodeNum(in_.GetBits(), {3, kDecL2, kPosL2}) + 5;
            uint32_t distance = (in_.GetBits() >> 1) | 0x8000;
            in_.AddBits(15);
            lastLength_ = length;
            lastDist_ = distance;
            CopyString(distance, length);
            return;
        }
        lCount_ = 0;
        unsigned saveLength = length;
        uint32_t distance = oldDist_[(oldDistPtr_ - (length - 9)) & 3];
        length = DecodeNum(in_.GetBits(), {2, kDecL1, kPosL1}) + 2;
        if (length == 0x101 && saveLength == 10) {
            buf60_ ^= 1;
            return;
        }
        if (distance > 256) length++;
        if (distance >= maxDist3_) length++;
        oldDist_[oldDistPtr_++] = distance;
        oldDistPtr_ &= 3;
        lastLength_ = length;
        lastDist_ = distance;
        CopyString(distance, length);
        return;
    }

    lCount_ = 0;
    avrLn1_ += length;
    avrLn1_ -= avrLn1_ >> 4;
    unsigned distancePlace = DecodeNum(in_.GetBits(), {5, kDecHf2, kPosHf2}) & 0xff;
    uint32_t distance = chSetA_[distancePlace];
    if (distancePlace != 0) {
        uint32_t lastDistance = chSetA_[distancePlace - 1];
        chSetA_[distancePlace] = lastDistance;
        chSetA_[distancePlace - 1] = distance;
    }
    length += 2;
    oldDist_[oldDistPtr_++] = ++distance;
    oldDistPtr_ &= 3;
    lastLength_ = length;
    lastDist_ = distance;
    CopyString(distance, length);
}

void Unpack15::LongLZ() {
    numHuf_ = 0;
    nlzb_ += 16;
    if (nlzb_ > 0xff) {
        nlzb_ = 0x90;
        nhfb_ >>= 1;
    }
    uint32_t oldAvr2 = avrLn2_;
    uint32_t length;
    uint32_t bits = in_.GetBits();
    if (avrLn2_ >= 122) {
        length = DecodeNum(bits, {3, kDecL2, kPosL2});
    } else if (avrLn2_ >= 64) {
        length = DecodeNum(bits, {2, kDecL1, kPosL1});
    } else if (bits < 0x100) {
        length = bits;
        in_.AddBits(16);
    } else {
        for (length = 0; ((bits << length) & 0x8000) == 0; ++length) {
        }
        in_.AddBits(length + 1);
    }
    avrLn2_ += length;
    avrLn2_ -= avrLn2_ >> 5;

    bits = in_.GetBits();
    unsigned distancePlace;
    if (avrPlcB_ > 0x28ff)
        distancePlace = DecodeNum(bits, {5, kDecHf2, kPosHf2});
    else if (avrPlcB_ > 0x6ff)
        distancePlace = DecodeNum(bits, {5, kDecHf1, kPosHf1});
    else
        distancePlace = DecodeNum(bits, {4, kDecHf0, kPosHf0});
    avrPlcB_ += distancePlace;
    avrPlcB_ -= avrPlcB_ >> 8;

    distancePlace &= 0xff;
    uint32_t distance, newDistancePlace;
    for (;;) {
        distance = chSetB_[distancePlace];
        newDistancePlace = nToPlB_[distance++ & 0xff]++;
        if (distance & 0xff) break;
        CorrHuff(chSetB_, nToPlB_);
    }
    newDistancePlace &= 0xff;
    chSetB_[distancePlace] = chSetB_[newDistancePlace];
    chSetB_[newDistancePlace] = distance;

    distance = ((distance & 0xff00) | (in_.GetBits() >> 8)) >> 1;
    in_.AddBits(7);

    uint32_t oldAvr3 = avrLn3_;
    if (length != 1 && length != 4) {
        if (length == 0 && distance <= maxDist3_) {
            avrLn3_++;
            avrLn3_ -= avrLn3_ >> 8;
        } else if (avrLn3_ > 0) {
            avrLn3_--;
        }
    }
    length += 3;
    if (distance >= maxDist3_) length++;
    if (distance <= 256) length += 8;
    if (oldAvr3 > 0xb0 || (avrPlc_ >= 0x2a00 && oldAvr2 < 0x40))
        maxDist3_ = 0x7f00;
    else
        maxDist3_ = 0x2001;
    oldDist_[oldDistPtr_++] = distance;
    oldDistPtr_ &= 3;
    lastLength_ = length;
    lastDist_ = distance;
    CopyString(distance, length);
}

void Unpack15::HuffDecode() {
    uint32_t bits = in_.GetBits();
    unsigned bytePlace;
    if (avrPlc_ > 0x75ff)
        bytePlace = DecodeNum(bits, {8, kDecHf4, kPosHf4});
    else if (avrPlc_ > 0x5dff)
        bytePlace = DecodeNum(bits, {6, kDecHf3, kPosHf3});
    else if (avrPlc_ > 0x35ff)
        bytePlace = DecodeNum(bits, {5, kDecHf2, kPosHf2});
    else if (avrPlc_ > 0x0dff)
        bytePlace = DecodeNum(bits, {5, kDecHf1, kPosHf1});
    else
        bytePlace = DecodeNum(bits, {4, kDecHf0, kPosHf0});
    bytePlace &= 0xff;
    if (stMode_) {
        if (bytePlace == 0 && bits > 0xfff) bytePlace = 0x100;
        if (bytePlace == 0) {
            bits = in_.GetBits();
            in_.AddBits(1);
            if (bits & 0x8000) {
                numHuf_ = 0;
                stMode_ = false;
                return;
            }
            uint32_t length = (bits & 0x4000) ? 4 : 3;
            in_.AddBits(1);
            uint32_t distance = DecodeNum(in_.GetBits(), {5, kDecHf2, kPosHf2});
            distance = (distance << 5) | (in_.GetBits() >> 11);
            in_.AddBits(5);
            CopyString(distance, length);
            return;
        }
        --bytePlace;
    } else if (numHuf_++ >= 16 && flagsCnt_ == 0) {
        stMode_ = true;
    }
    avrPlc_ += bytePlace;
    avrPlc_ -= avrPlc_ >> 8;
    nhfb_ += 16;
    if (nhfb_ > 0xff) {
        nhfb_ = 0x90;
        nlzb_ >>= 1;
    }
    window_.PutByte(uint8_t(chSet_[bytePlace] >> 8));
    --left_;

    uint32_t curByte, newBytePlace;
    for (;;) {
        curByte = chSet_[bytePlace];
        newBytePlace = nToPl_[curByte++ & 0xff]++;
        if ((curByte & 0xff) > 0xa1)
            CorrHuff(chSet_, nToPl_);
        else
            break;
    }
    newBytePlace &= 0xff;
    chSet_[bytePlace] = chSet_[newBytePlace];
    chSet_[newBytePlace] = curByte;
}

// The next bit of the flag byte, refilled after eight.
bool Unpack15::NextFlag() {
    if (--flagsCnt_ < 0) {
        GetFlagsBuf();
        flagsCnt_ = 7;
    }
    const bool bit = (flagBuf_ & 0x80) != 0;
    flagBuf_ <<= 1;
    return bit;
}

void Unpack15::GetFlagsBuf() {
    unsigned flagsPlace = DecodeNum(in_.GetBits(), {5, kDecHf2, kPosHf2});
    if (flagsPlace >= 256) return;  // only damaged data codes the 257th rank here
    uint32_t flags, newFlagsPlace;
    for (;;) {
        flags = chSetC_[flagsPlace];
        flagBuf_ = flags >> 8;
        newFlagsPlace = nToPlC_[flags++ & 0xff]++;
        if ((flags & 0xff) != 0) break;
        CorrHuff(chSetC_, nToPlC_);
    }
    newFlagsPlace &= 0xff;
    chSetC_[flagsPlace] = chSetC_[newFlagsPlace];
    chSetC_[newFlagsPlace] = flags;
}

}  // namespace rar::unpack4
