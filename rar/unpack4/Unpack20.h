#pragma once
// The RAR 2.0 coder (UnpVer 20 and 26).
//
// LZ with prefix-code tables sent as deltas to the previous ones, a four-entry
// distance cache and a "repeat last match" code; a block may instead be in
// multimedia mode, where each of up to four interleaved channels is coded as
// the residual of an adaptive linear predictor.

#include <cstdint>

#include "rar/unpack/Decoder.h"
#include "rar/unpack4/BitReader.h"
#include "rar/unpack4/HuffmanTable.h"
#include "rar/unpack4/LzWindow.h"

namespace rar::unpack4 {

class Unpack20 final : public Decoder {
public:
    static constexpr size_t kMaxWindow = 0x100000;

    // windowSize: a power of two, at most kMaxWindow.
    explicit Unpack20(size_t windowSize = kMaxWindow);
    DecodeResult Decode(PackedInput& in, uint64_t unpSize, UnpackedOutput& out, bool solid) override;

private:
    static constexpr unsigned kNC = 298, kDC = 48, kRC = 28, kBC = 19, kMC = 257;

    struct AudioVars {
        int32_t k[5];
        int32_t d1, d2, d3, d4;
        int32_t lastDelta;
        uint32_t dif[11];
        uint32_t byteCount;
        int32_t lastChar;
    };

    void ResetState();
    bool Run(int64_t& left);
    bool ReadTables();
    void ReadLastTables();
    uint8_t DecodeAudio(int delta);
    void CopyString(uint32_t length, uint32_t distance, int64_t& left);
    void Flush();

    BitReader in_;
    LzWindow window_;
    OutputLimiter out_;
    HuffmanTable ld_, dd_, rd_, bd_, md_[4];
    uint8_t oldTable_[kMC * 4] = {};
    uint32_t oldDist_[4] = {};
    unsigned oldDistPtr_ = 0;
    uint32_t lastDist_ = 0, lastLength_ = 0;
    bool tablesRead_ = false;
    bool audioBlock_ = false;
    unsigned channels_ = 1, curChannel_ = 0;
    int32_t channelDelta_ = 0;
    AudioVars audio_[4] = {};
    bool poisoned_ = false;
};

}  // namespace rar::unpack4
