#pragma once
// PPMd variant H model with the range decoder of RAR 2.9/3.x.
//
// A block of RAR 2.9 data may be coded with this model instead of LZ; the
// block header (first byte: flags and model order, then the memory size in
// megabytes) says whether the model restarts or continues. DecodeChar returns
// the next byte, or -1 when the stream is inconsistent with the model.

#include <cstdint>

#include "rar/unpack4/BitReader.h"
#include "rar/unpack4/PpmdAllocator.h"

namespace rar::unpack4 {

class PpmdModel {
public:
    PpmdModel();

    // Reads a PPMd block header and primes the decoder; false on a bad header.
    // escChar receives a new escape byte when the header carries one.
    bool DecodeInit(BitReader& in, int& escChar);
    int DecodeChar();
    // Starts a fresh model over a 7z-style PPMd stream (same model, another
    // range coder); used to check the model against streams we can make.
    bool InitSevenZip(BitReader& in, unsigned order, unsigned memMb);
    // Drops the model after an error so that stale contexts are never reused.
    void Reset();

private:
#pragma pack(push, 2)
    struct State {
        uint8_t symbol;
        uint8_t freq;
        uint16_t succLo;
        uint16_t succHi;
        uint32_t Successor() const { return uint32_t(succLo) | (uint32_t(succHi) << 16); }
        void SetSuccessor(uint32_t v) {
            succLo = uint16_t(v);
            succHi = uint16_t(v >> 16);
        }
    };
#pragma pack(pop)
    struct Context {
        uint16_t numStats;
        uint16_t summFreq;
        uint32_t stats;
        uint32_t suffix;
        State* OneState() { return reinterpret_cast<State*>(&summFreq); }
    };
    struct See2 {
        uint16_t summ;
        uint8_t shift;
        uint8_t count;
        void Init(unsigned initVal) {
            shift = 7 - 4;
            summ = uint16_t(initVal << shift);
            count = 4;
        }
        unsigned Mean() {
            unsigned r = uint16_t(summ) >> shift;
            summ = uint16_t(summ - r);
            return r + (r == 0);
        }
        void Update() {
            if (shift < 7 && --count == 0) {
                summ = uint16_t(summ * 2);
                count = uint8_t(3 << shift++);
            }
        }
    };
    static_assert(sizeof(State) == 6, "state layout");
    static_assert(sizeof(Context) == 12, "context layout");

    // Range decoder.
    struct Coder {
        uint32_t low = 0, code = 0, range = 0;
        uint32_t lowCount = 0, highCount = 0, scale = 0;
        BitReader* in = nullptr;
        bool sevenZip = false;
        bool binaryEscape = false;  // 7z coder: the escape of a binary context
        uint32_t fullRange = 0;
        void Init(BitReader& r);
        uint32_t CurrentCount() {
            range /= (scale != 0 ? scale : 1);
            if (range == 0) range = 1;  // damaged stream; the caller's checks reject it
            return (code - low) / range;
        }
        uint32_t CurrentShiftCount(unsigned shift) {
            fullRange = range;
            return (code - low) / (range >>= shift);
        }
        void Decode() {
            if (sevenZip) {
                code -= range * lowCount;
                if (binaryEscape)
                    range = fullRange - range * lowCount;
                else
                    range *= highCount - lowCount;
                binaryEscape = false;
                Normalize();
                return;
            }
            low += range * lowCount;
            range *= highCount - lowCount;
        }
        void Normalize();
    };

    Context* Ctx(uint32_t off) const { return mem_.At<Context>(off); }
    State* St(uint32_t off) const { return mem_.At<State>(off); }
    uint32_t Off(const void* p) const { return uint32_t(static_cast<const uint8_t*>(p) - mem_.Base()); }
    bool ValidContext(uint32_t off) const { return off > mem_.text_ && off + sizeof(Context) <= mem_.heapEnd_; }

    void StartModel(int maxOrder);
    void RestartModel();
    void ClearMask();
    void UpdateModel();
    uint32_t CreateSuccessors(bool skip, State* p1);
    void Rescale(Context* ctx);
    bool DecodeSymbol1(Context* ctx);
    void DecodeBinSymbol(Context* ctx);
    bool DecodeSymbol2(Context* ctx);
    void Update1(Context* ctx, State* p);
    void Update2(Context* ctx, State* p);
    See2* MakeEscFreq2(Context* ctx, unsigned diff);

    PpmdAllocator mem_;
    Coder coder_;
    uint32_t minContext_ = 0, maxContext_ = 0;
    State* foundState_ = nullptr;
    unsigned numMasked_ = 0, initEsc_ = 0, orderFall_ = 0, maxOrder_ = 0, hiBitsFlag_ = 0;
    int runLength_ = 0, initRL_ = 0;
    uint8_t escCount_ = 0, prevSuccess_ = 0;
    uint8_t charMask_[256];
    uint8_t ns2Indx_[256], ns2BsIndx_[256], hb2Flag_[256];
    See2 see2Cont_[25][16];
    See2 dummySee2_;
    uint16_t binSumm_[128][64];
};

}  // namespace rar::unpack4
