#include "rar/unpack4/PpmdModel.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace rar::unpack4 {

namespace {

constexpr unsigned kMaxO = 64;
constexpr unsigned kIntBits = 7;
constexpr unsigned kPeriodBits = 7;
constexpr unsigned kTotBits = kIntBits + kPeriodBits;
constexpr unsigned kInterval = 1u << kIntBits;
constexpr unsigned kBinScale = 1u << kTotBits;
constexpr unsigned kMaxFreq = 124;
constexpr uint32_t kTop = 1u << 24;
constexpr uint32_t kBot = 1u << 15;

const uint16_t kInitBinEsc[8] = {0x3CDD, 0x1F3F, 0x59BF, 0x48F3, 0x64A1, 0x5ABC, 0x6632, 0x6051};
const uint8_t kExpEscape[16] = {25, 14, 9, 7, 5, 5, 4, 4, 4, 3, 3, 3, 2, 2, 2, 2};

inline unsigned GetMean(unsigned summ) { return (summ + (1u << (kPeriodBits - 2))) >> kPeriodBits; }

}  // namespace

void PpmdModel::Coder::Init(BitReader& r) {
    in = &r;
    sevenZip = false;
    low = code = 0;
    range = 0xffffffffu;
    for (int i = 0; i < 4; ++i) code = (code << 8) | uint32_t(in->GetByte());
}

void PpmdModel::Coder::Normalize() {
    if (sevenZip) {
        while (range < kTop) {
            code = (code << 8) | uint32_t(in->GetByte());
            range <<= 8;
        }
        return;
    }
    for (;;) {
        if ((low ^ (low + range)) >= kTop) {
            if (range >= kBot) break;
            range = (0u - low) & (kBot - 1);
        }
        code = (code << 8) | uint32_t(in->GetByte());
        range <<= 8;
        low <<= 8;
    }
}

PpmdModel::PpmdModel() {
    for (unsigned i = 0; i < 256; ++i) {
        ns2BsIndx_[i] = uint8_t(i == 0 ? 0 : i == 1 ? 2 : i < 11 ? 4 : 6);
        hb2Flag_[i] = uint8_t(i < 0x40 ? 0 : 0x08);
    }
    ns2Indx_[0] = 0;
    ns2Indx_[1] = 1;
    ns2Indx_[2] = 2;
    unsigned m = 3, k = 1, step = 1;
    for (unsigned i = 3; i < 256; ++i) {
        ns2Indx_[i] = uint8_t(m);
        if (--k == 0) {
            k = ++step;
            m++;
        }
    }
    dummySee2_.shift = kPeriodBits;
    dummySee2_.summ = 0;
    dummySee2_.count = 64;
    std::memset(charMask_, 0, sizeof(charMask_));
}

void PpmdModel::Reset() {
    mem_.Stop();
    minContext_ = maxContext_ = 0;
    foundState_ = nullptr;
}

void PpmdModel::ClearMask() {
    escCount_ = 1;
    std::memset(charMask_, 0, sizeof(charMask_));
}

void PpmdModel::RestartModel() {
    std::memset(charMask_, 0, sizeof(charMask_));
    mem_.Init();
    initRL_ = -int(maxOrder_ < 12 ? maxOrder_ : 12) - 1;
    minContext_ = maxContext_ = mem_.AllocContext();
    Context* mc = Ctx(minContext_);
    mc->suffix = 0;
    orderFall_ = maxOrder_;
    mc->numStats = 256;
    mc->summFreq = 256 + 1;
    mc->stats = mem_.AllocUnits(256 / 2);
    State* s = St(mc->stats);
    foundState_ = s;
    for (unsigned i = 0; i < 256; ++i) {
        s[i].symbol = uint8_t(i);
        s[i].freq = 1;
        s[i].SetSuccessor(0);
    }
    runLength_ = initRL_;
    prevSuccess_ = 0;
    for (unsigned i = 0; i < 128; ++i)
        for (unsigned k = 0; k < 8; ++k)
            for (unsigned m = 0; m < 64; m += 8)
                binSumm_[i][k + m] = uint16_t(kBinScale - kInitBinEsc[k] / (i + 2));
    for (unsigned i = 0; i < 25; ++i)
        for (unsigned k = 0; k < 16; ++k) see2Cont_[i][k].Init(5 * i + 10);
}

void PpmdModel::StartModel(int maxOrder) {
    escCount_ = 1;
    maxOrder_ = unsigned(maxOrder);
    RestartModel();
}

bool PpmdModel::DecodeInit(BitReader& in, int& escChar) {
    int maxOrder = in.GetByte();
    bool reset = (maxOrder & 0x20) != 0;
    int maxMb = 0;
    if (reset)
        maxMb = in.GetByte();
    else if (!mem_.Allocated() || minContext_ == 0)
        return false;
    if (maxOrder & 0x40) escChar = in.GetByte();
    coder_.Init(in);
    if (reset) {
        maxOrder = (maxOrder & 0x1f) + 1;
        if (maxOrder > 16) maxOrder = 16 + (maxOrder - 16) * 3;
        if (maxOrder == 1) {
            Reset();
            return false;
        }
        if (!mem_.Start(unsigned(maxMb) + 1)) {
            Reset();
            return false;
        }
        StartModel(maxOrder);
    }
    return minContext_ != 0;
}

bool PpmdModel::InitSevenZip(BitReader& in, unsigned order, unsigned memMb) {
    coder_.in = &in;
    coder_.sevenZip = true;
    coder_.low = coder_.code = 0;
    coder_.range = 0xffffffffu;
    if (in.GetByte() != 0) return false;
    for (int i = 0; i < 4; ++i) coder_.code = (coder_.code << 8) | uint32_t(in.GetByte());
    if (order < 2 || order > 64 || !mem_.Start(memMb)) return false;
    StartModel(int(order));
    return true;
}

void PpmdModel::Rescale(Context* ctx) {
    unsigned oldNs = ctx->numStats, i = ctx->numStats - 1;
    State* stats = St(ctx->stats);
    State* p;
    for (p = foundState_; p != stats; --p) std::swap(p[0], p[-1]);
    stats->freq += 4;
    ctx->summFreq += 4;
    int escFreq = int(ctx->summFreq) - p->freq;
    unsigned adder = (orderFall_ != 0);
    p->freq = uint8_t((p->freq + adder) >> 1);
    ctx->summFreq = p->freq;
    do {
        escFreq -= (++p)->freq;
        p->freq = uint8_t((p->freq + adder) >> 1);
        ctx->summFreq += p->freq;
        if (p[0].freq > p[-1].freq) {
            State tmp = *p;
            State* p1 = p;
            do {
                p1[0] = p1[-1];
            } while (--p1 != stats && tmp.freq > p1[-1].freq);
            *p1 = tmp;
        }
    } while (--i);
    if (p->freq == 0) {
        do {
            i++;
        } while ((--p)->freq == 0);
        escFreq += int(i);
        ctx->numStats = uint16_t(ctx->numStats - i);
        if (ctx->numStats == 1) {
            State tmp = *stats;
            do {
                tmp.freq = uint8_t(tmp.freq - (tmp.freq >> 1));
                escFreq >>= 1;
            } while (escFreq > 1);
            mem_.FreeUnits(ctx->stats, (oldNs + 1) >> 1);
            *(foundState_ = ctx->OneState()) = tmp;
            return;
        }
    }
    escFreq -= escFreq >> 1;
    ctx->summFreq = uint16_t(ctx->summFreq + escFreq);
    unsigned n0 = (oldNs + 1) >> 1, n1 = (ctx->numStats + 1u) >> 1;
    if (n0 != n1) ctx->stats = mem_.ShrinkUnits(ctx->stats, n0, n1);
    foundState_ = St(ctx->stats);
}

uint32_t PpmdModel::CreateSuccessors(bool skip, State* p1) {
    Context* pc = Ctx(minContext_);
    uint32_t pcOff = minContext_;
    uint32_t upBranch = foundState_->Successor();
    State* ps[kMaxO];
    unsigned n = 0;
    State* p = nullptr;
    if (!skip) {
        ps[n++] = foundState_;
        if (pc->suffix == 0) goto noLoop;
    }
    if (p1) {
        p = p1;
        pcOff = pc->suffix;
        pc = Ctx(pcOff);
        goto loopEntry;
    }
    do {
        pcOff = pc->suffix;
        pc = Ctx(pcOff);
        if (pc->numStats != 1) {
            p = St(pc->stats);
            if (p->symbol != foundState_->symbol) {
                do {
                    p++;
                } while (p->symbol != foundState_->symbol);
            }
        } else {
            p = pc->OneState();
        }
    loopEntry:
        if (p->Successor() != upBranch) {
            pcOff = p->Successor();
            pc = Ctx(pcOff);
            break;
        }
        if (n >= kMaxO) return 0;
        ps[n++] = p;
    } while (pc->suffix != 0);
noLoop:
    if (n == 0) return pcOff;
    if (upBranch == 0 || upBranch >= mem_.heapEnd_) return 0;
    State upState;
    upState.symbol = *mem_.At<uint8_t>(upBranch);
    upState.SetSuccessor(upBranch + 1);
    if (pc->numStats != 1) {
        if (pcOff <= mem_.text_) return 0;
        p = St(pc->stats);
        if (p->symbol != upState.symbol) {
            do {
                p++;
            } while (p->symbol != upState.symbol);
        }
        unsigned cf = p->freq - 1u;
        unsigned s0 = pc->summFreq - pc->numStats - cf;
        if (s0 == 0) s0 = 1;  // only a damaged model gets here
        upState.freq = uint8_t(1 + ((2 * cf <= s0) ? (5 * cf > s0) : ((2 * cf + 3 * s0 - 1) / (2 * s0))));
    } else {
        upState.freq = pc->OneState()->freq;
    }
    do {
        uint32_t c = mem_.AllocContext();
        if (c == 0) return 0;
        Context* child = Ctx(c);
        child->numStats = 1;
        *child->OneState() = upState;
        child->suffix = pcOff;
        ps[--n]->SetSuccessor(c);
        pcOff = c;
        pc = child;
    } while (n != 0);
    return pcOff;
}

void PpmdModel::UpdateModel() {
    State fs = *foundState_;
    State* p = nullptr;
    Context* mc = Ctx(minContext_);
    uint32_t successor;
    unsigned ns1, ns, cf, sf, s0;
    if (fs.freq < kMaxFreq / 4 && mc->suffix != 0) {
        Context* pc = Ctx(mc->suffix);
        if (pc->numStats != 1) {
            p = St(pc->stats);
            if (p->symbol != fs.symbol) {
                do {
                    p++;
                } while (p->symbol != fs.symbol);
                if (p[0].freq >= p[-1].freq) {
                    std::swap(p[0], p[-1]);
                    p--;
                }
            }
            if (p->freq < kMaxFreq - 9) {
                p->freq += 2;
                pc->summFreq += 2;
            }
        } else {
            p = pc->OneState();
            p->freq += (p->freq < 32);
        }
    }
    if (orderFall_ == 0) {
        uint32_t c = CreateSuccessors(true, p);
        foundState_->SetSuccessor(c);
        minContext_ = maxContext_ = c;
        if (c == 0) goto restart;
        return;
    }
    *mem_.At<uint8_t>(mem_.text_++) = fs.symbol;
    successor = mem_.text_;
    if (mem_.text_ >= mem_.unitsStart_) goto restart;
    if (fs.Successor() != 0) {
        if (fs.Successor() <= mem_.text_) {
            uint32_t c = CreateSuccessors(false, p);
            fs.SetSuccessor(c);
            if (c == 0) goto restart;
        }
        if (--orderFall_ == 0) {
            successor = fs.Successor();
            mem_.text_ -= (maxContext_ != minContext_);
        }
    } else {
        foundState_->SetSuccessor(successor);
        fs.SetSuccessor(minContext_);
    }
    ns = mc->numStats;
    s0 = mc->summFreq - ns - (fs.freq - 1u);
    for (uint32_t pcOff = maxContext_; pcOff != minContext_;) {
        Context* pc = Ctx(pcOff);
        ns1 = pc->numStats;
        if (ns1 != 1) {
            if ((ns1 & 1) == 0) {
                uint32_t st = mem_.ExpandUnits(pc->stats, ns1 >> 1);
                if (st == 0) goto restart;
                pc->stats = st;
            }
            pc->summFreq = uint16_t(pc->summFreq + (2 * ns1 < ns) +
                                    2 * ((4 * ns1 <= ns) & (pc->summFreq <= 8 * ns1)));
        } else {
            uint32_t st = mem_.AllocUnits(1);
            if (st == 0) goto restart;
            State* q = St(st);
            *q = *pc->OneState();
            pc->stats = st;
            if (q->freq < kMaxFreq / 4 - 1)
                q->freq = uint8_t(q->freq * 2);
            else
                q->freq = kMaxFreq - 4;
            pc->summFreq = uint16_t(q->freq + initEsc_ + (ns > 3));
        }
        cf = 2 * fs.freq * (pc->summFreq + 6u);
        sf = s0 + pc->summFreq;
        if (cf < 6 * sf) {
            cf = 1 + (cf > sf) + (cf >= 4 * sf);
            pc->summFreq += 3;
        } else {
            cf = 4 + (cf >= 9 * sf) + (cf >= 12 * sf) + (cf >= 15 * sf);
            pc->summFreq = uint16_t(pc->summFreq + cf);
        }
        State* q = St(pc->stats) + ns1;
        q->SetSuccessor(successor);
        q->symbol = fs.symbol;
        q->freq = uint8_t(cf);
        pc->numStats = uint16_t(++ns1);
        pcOff = pc->suffix;
    }
    maxContext_ = minContext_ = fs.Successor();
    return;
restart:
    RestartModel();
    escCount_ = 0;
}

PpmdModel::See2* PpmdModel::MakeEscFreq2(Context* ctx, unsigned diff) {
    See2* see;
    if (ctx->numStats != 256) {
        Context* suffix = Ctx(ctx->suffix);
        see = &see2Cont_[ns2Indx_[diff - 1]][0] + (int(diff) < int(suffix->numStats) - int(ctx->numStats)) +
              2 * (ctx->summFreq < 11 * ctx->numStats) + 4 * (numMasked_ > diff) + hiBitsFlag_;
        coder_.scale = see->Mean();
    } else {
        see = &dummySee2_;
        coder_.scale = 1;
    }
    return see;
}

void PpmdModel::Update1(Context* ctx, State* p) {
    (foundState_ = p)->freq += 4;
    ctx->summFreq += 4;
    if (p[0].freq > p[-1].freq) {
        std::swap(p[0], p[-1]);
        foundState_ = --p;
        if (p->freq > kMaxFreq) Rescale(ctx);
    }
}

void PpmdModel::Update2(Context* ctx, State* p) {
    (foundState_ = p)->freq += 4;
    ctx->summFreq += 4;
    if (p->freq > kMaxFreq) Rescale(ctx);
    escCount_++;
    runLength_ = initRL_;
}

bool PpmdModel::DecodeSymbol1(Context* ctx) {
    coder_.scale = ctx->summFreq;
    State* p = St(ctx->stats);
    unsigned count = coder_.CurrentCount();
    if (count >= coder_.scale) return false;
    unsigned hiCnt = p->freq;
    if (count < hiCnt) {
        coder_.highCount = hiCnt;
        prevSuccess_ = (2 * hiCnt > coder_.scale);
        runLength_ += prevSuccess_;
        hiCnt += 4;
        (foundState_ = p)->freq = uint8_t(hiCnt);
        ctx->summFreq += 4;
        if (hiCnt > kMaxFreq) Rescale(ctx);
        coder_.lowCount = 0;
        return true;
    }
    if (foundState_ == nullptr) return false;
    prevSuccess_ = 0;
    unsigned i = ctx->numStats - 1u;
    while ((hiCnt += (++p)->freq) <= count) {
        if (--i == 0) {
            hiBitsFlag_ = hb2Flag_[foundState_->symbol];
            coder_.lowCount = hiCnt;
            charMask_[p->symbol] = escCount_;
            i = (numMasked_ = ctx->numStats) - 1u;
            foundState_ = nullptr;
            do {
                charMask_[(--p)->symbol] = escCount_;
            } while (--i);
            coder_.highCount = coder_.scale;
            return true;
        }
    }
    coder_.highCount = hiCnt;
    coder_.lowCount = hiCnt - p->freq;
    Update1(ctx, p);
    return true;
}

void PpmdModel::DecodeBinSymbol(Context* ctx) {
    State* rs = ctx->OneState();
    hiBitsFlag_ = hb2Flag_[foundState_->symbol];
    Context* suffix = Ctx(ctx->suffix);
    uint16_t& bs = binSumm_[(rs->freq - 1u) & 127][prevSuccess_ + ns2BsIndx_[suffix->numStats - 1] + hiBitsFlag_ +
                                         2 * hb2Flag_[rs->symbol] + ((runLength_ >> 26) & 0x20)];
    if (coder_.CurrentShiftCount(kTotBits) < bs) {
        foundState_ = rs;
        rs->freq += (rs->freq < 128);
        coder_.lowCount = 0;
        coder_.highCount = bs;
        bs = uint16_t(bs + kInterval - GetMean(bs));
        prevSuccess_ = 1;
        runLength_++;
    } else {
        coder_.lowCount = bs;
        coder_.binaryEscape = true;
        bs = uint16_t(bs - GetMean(bs));
        coder_.highCount = kBinScale;
        initEsc_ = kExpEscape[bs >> 10];
        numMasked_ = 1;
        charMask_[rs->symbol] = escCount_;
        prevSuccess_ = 0;
        foundState_ = nullptr;
    }
}

bool PpmdModel::DecodeSymbol2(Context* ctx) {
    unsigned i = ctx->numStats - numMasked_;
    if (i == 0 || i > 256) return false;
    See2* see = MakeEscFreq2(ctx, i);
    State* ps[256];
    unsigned n = 0;
    State* p = St(ctx->stats) - 1;
    unsigned hiCnt = 0;
    const State* end = St(ctx->stats) + ctx->numStats;
    do {
        do {
            p++;
            if (p >= end) return false;
        } while (charMask_[p->symbol] == escCount_);
        hiCnt += p->freq;
        ps[n++] = p;
    } while (--i);
    coder_.scale += hiCnt;
    unsigned count = coder_.CurrentCount();
    if (count >= coder_.scale) return false;
    unsigned k = 0;
    p = ps[0];
    if (count < hiCnt) {
        hiCnt = 0;
        while ((hiCnt += p->freq) <= count) p = ps[++k];
        coder_.highCount = hiCnt;
        coder_.lowCount = hiCnt - p->freq;
        see->Update();
        Update2(ctx, p);
    } else {
        coder_.lowCount = hiCnt;
        coder_.highCount = coder_.scale;
        for (unsigned j = 0; j < n; ++j) charMask_[ps[j]->symbol] = escCount_;
        see->summ = uint16_t(see->summ + coder_.scale);
        numMasked_ = ctx->numStats;
    }
    return true;
}

int PpmdModel::DecodeChar() {
    if (!mem_.Allocated() || !ValidContext(minContext_)) return -1;
    Context* mc = Ctx(minContext_);
    if (mc->numStats != 1) {
        if (mc->stats <= mem_.text_ || mc->stats >= mem_.heapEnd_) return -1;
        if (!DecodeSymbol1(mc)) return -1;
    } else {
        if (!ValidContext(mc->suffix)) return -1;
        DecodeBinSymbol(mc);
    }
    coder_.Decode();
    while (foundState_ == nullptr) {
        coder_.Normalize();
        do {
            orderFall_++;
            minContext_ = mc->suffix;
            if (!ValidContext(minContext_)) return -1;
            mc = Ctx(minContext_);
        } while (mc->numStats == numMasked_);
        if (mc->stats <= mem_.text_ || mc->stats >= mem_.heapEnd_) return -1;
        if (!DecodeSymbol2(mc)) return -1;
        coder_.Decode();
    }
    int symbol = foundState_->symbol;
    if (orderFall_ == 0 && foundState_->Successor() > mem_.text_) {
        minContext_ = maxContext_ = foundState_->Successor();
    } else {
        UpdateModel();
        if (escCount_ == 0) ClearMask();
    }
    coder_.Normalize();
    return symbol;
}

}  // namespace rar::unpack4
