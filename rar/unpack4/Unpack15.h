#pragma once
// The RAR 1.5 coder (UnpVer 15).
//
// An adaptive scheme without transmitted tables: flag bytes choose between
// literals and short or long matches; literals, distances and flags are coded
// by their rank in move-to-front-like lists that are re-sorted as symbols
// occur, through a handful of fixed prefix codes picked by running averages.

#include <cstdint>

#include "rar/unpack/Decoder.h"
#include "rar/unpack4/BitReader.h"
#include "rar/unpack4/LzWindow.h"

namespace rar::unpack4 {

class Unpack15 final : public Decoder {
public:
    static constexpr size_t kWindowSize = 0x10000;

    Unpack15();
    DecodeResult Decode(PackedInput& in, uint64_t unpSize, UnpackedOutput& out, bool solid) override;

private:
    struct FixedCode {
        unsigned start;
        const uint32_t* dec;
        const uint32_t* pos;
    };

    void InitHuff();
    void ResetState();
    unsigned DecodeNum(uint32_t bits, const FixedCode& code);
    static void CorrHuff(uint32_t* charSet, uint32_t* numToPlace);
    void GetFlagsBuf();
    bool NextFlag();
    void ShortLZ();
    void LongLZ();
    void HuffDecode();
    void CopyString(uint32_t distance, uint32_t length);
    void Flush();

    BitReader in_;
    LzWindow window_;
    OutputLimiter out_;
    int64_t left_ = 0;

    uint32_t chSet_[256], chSetA_[256], chSetB_[256], chSetC_[256];
    uint32_t nToPl_[256], nToPlB_[256], nToPlC_[256];
    uint32_t avrPlc_ = 0, avrPlcB_ = 0, avrLn1_ = 0, avrLn2_ = 0, avrLn3_ = 0;
    uint32_t numHuf_ = 0, buf60_ = 0, maxDist3_ = 0, nhfb_ = 0, nlzb_ = 0;
    int flagsCnt_ = 0;
    uint32_t flagBuf_ = 0;
    bool stMode_ = false;
    unsigned lCount_ = 0;
    uint32_t oldDist_[4] = {};
    unsigned oldDistPtr_ = 0;
    uint32_t lastDist_ = 0, lastLength_ = 0;
    bool poisoned_ = false;
};

}  // namespace rar::unpack4
