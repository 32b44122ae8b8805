#include "rar/unpack4/PpmdAllocator.h"

#include <new>

namespace rar::unpack4 {

namespace {

// Free block header, used while glueing neighbouring free blocks.
struct MemBlock {
    uint16_t stamp;
    uint16_t nu;
    uint32_t next;
    uint32_t prev;
};
static_assert(sizeof(MemBlock) == 12, "unit layout");

// Offset of the text area's first byte: keeps every unit 4-byte aligned and
// leaves offset 0 free to mean "no context".
constexpr uint32_t kAlign = 4;

}  // namespace

PpmdAllocator::PpmdAllocator() {
    unsigned i = 0, k = 1;
    for (; i < 4; ++i, k += 1) indx2Units_[i] = uint8_t(k);
    for (k++; i < 8; ++i, k += 2) indx2Units_[i] = uint8_t(k);
    for (k++; i < 12; ++i, k += 3) indx2Units_[i] = uint8_t(k);
    for (k++; i < kNumIndexes; ++i, k += 4) indx2Units_[i] = uint8_t(k);
    for (k = 0, i = 0; k < 128; ++k) {
        i += (indx2Units_[i] < k + 1);
        units2Indx_[k] = uint8_t(i);
    }
}

bool PpmdAllocator::Start(unsigned sizeMb) {
    uint32_t want = uint32_t(sizeMb) << 20;
    if (base_ && size_ == want) return true;
    Stop();
    // The model memory, the alignment gap and one spare unit past the end
    // (the glue pass looks at the unit following the last free block).
    size_t total = size_t(want) + kAlign + 2 * kUnitSize;
    base_.reset(new (std::nothrow) uint8_t[total]);
    if (!base_) return false;
    std::memset(base_.get(), 0, kAlign);
    std::memset(base_.get() + kAlign + want, 0, 2 * kUnitSize);
    size_ = want;
    heapEnd_ = kAlign + want;
    return true;
}

void PpmdAllocator::Stop() {
    base_.reset();
    size_ = 0;
    heapEnd_ = 0;
}

void PpmdAllocator::Init() {
    std::memset(freeList_, 0, sizeof(freeList_));
    text_ = kAlign;
    hiUnit_ = kAlign + size_;
    uint32_t diff = kUnitSize * (size_ / 8 / kUnitSize * 7);
    loUnit_ = unitsStart_ = hiUnit_ - diff;
    glueCount_ = 0;
}

void PpmdAllocator::InsertNode(uint32_t p, unsigned indx) {
    // Free-list link kept in the second word, as in the glue pass.
    At<MemBlock>(p)->next = freeList_[indx];
    freeList_[indx] = p;
}

uint32_t PpmdAllocator::RemoveNode(unsigned indx) {
    uint32_t p = freeList_[indx];
    freeList_[indx] = At<MemBlock>(p)->next;
    return p;
}

void PpmdAllocator::SplitBlock(uint32_t p, unsigned oldIndx, unsigned newIndx) {
    unsigned uDiff = indx2Units_[oldIndx] - indx2Units_[newIndx];
    p += U2B(indx2Units_[newIndx]);
    unsigned i = units2Indx_[uDiff - 1];
    if (indx2Units_[i] != uDiff) {
        InsertNode(p, --i);
        p += U2B(indx2Units_[i]);
        uDiff -= indx2Units_[i];
    }
    InsertNode(p, units2Indx_[uDiff - 1]);
}

void PpmdAllocator::GlueFreeBlocks() {
    // A list head outside the block: offset 0 is never a unit.
    MemBlock head{};
    auto blk = [&](uint32_t off) -> MemBlock* { return off == 0 ? &head : At<MemBlock>(off); };
    head.next = head.prev = 0;
    if (loUnit_ != hiUnit_) At<MemBlock>(loUnit_)->stamp = 0;

    // Every free block goes on one list, each new one in front.
    for (unsigned i = 0; i < kNumIndexes; ++i) {
        while (freeList_[i] != 0) {
            uint32_t p = RemoveNode(i);
            MemBlock* b = At<MemBlock>(p);
            b->prev = 0;
            b->next = head.next;
            blk(head.next)->prev = p;
            head.next = p;
            b->stamp = 0xffff;
            b->nu = indx2Units_[i];
        }
    }
    // Merge each block with the free blocks that follow it in memory.
    for (uint32_t p = head.next; p != 0; p = At<MemBlock>(p)->next) {
        for (;;) {
            MemBlock* b = At<MemBlock>(p);
            uint32_t p1 = p + U2B(b->nu);
            if (p1 >= heapEnd_) break;
            MemBlock* b1 = At<MemBlock>(p1);
            if (b1->stamp != 0xffff || unsigned(b->nu) + b1->nu >= 0x10000) break;
            blk(b1->prev)->next = b1->next;
            blk(b1->next)->prev = b1->prev;
            b->nu = uint16_t(b->nu + b1->nu);
        }
    }
    // Hand the merged blocks back to the free lists.
    while (head.next != 0) {
        uint32_t p = head.next;
        MemBlock* b = At<MemBlock>(p);
        head.next = b->next;
        blk(b->next)->prev = 0;
        unsigned sz = b->nu;
        for (; sz > 128; sz -= 128, p += U2B(128)) InsertNode(p, kNumIndexes - 1);
        unsigned i = units2Indx_[sz - 1];
        if (indx2Units_[i] != sz) {
            unsigned k = sz - indx2Units_[--i];
            InsertNode(p + U2B(sz - k), k - 1);
        }
        InsertNode(p, i);
    }
}

uint32_t PpmdAllocator::AllocUnitsRare(unsigned indx) {
    if (glueCount_ == 0) {
        glueCount_ = 255;
        GlueFreeBlocks();
        if (freeList_[indx] != 0) return RemoveNode(indx);
    }
    unsigned i = indx;
    do {
        if (++i == kNumIndexes) {
            glueCount_--;
            uint32_t bytes = U2B(indx2Units_[indx]);
            if (unitsStart_ - text_ > bytes) {
                unitsStart_ -= bytes;
                return unitsStart_;
            }
            return 0;
        }
    } while (freeList_[i] == 0);
    uint32_t p = RemoveNode(i);
    SplitBlock(p, i, indx);
    return p;
}

uint32_t PpmdAllocator::AllocUnits(unsigned nu) {
    unsigned indx = units2Indx_[nu - 1];
    if (freeList_[indx] != 0) return RemoveNode(indx);
    uint32_t p = loUnit_;
    uint32_t bytes = U2B(indx2Units_[indx]);
    if (hiUnit_ - loUnit_ >= bytes) {
        loUnit_ += bytes;
        return p;
    }
    return AllocUnitsRare(indx);
}

uint32_t PpmdAllocator::AllocContext() {
    if (hiUnit_ != loUnit_) return hiUnit_ -= kUnitSize;
    if (freeList_[0] != 0) return RemoveNode(0);
    return AllocUnitsRare(0);
}

uint32_t PpmdAllocator::ExpandUnits(uint32_t old, unsigned oldNu) {
    unsigned i0 = units2Indx_[oldNu - 1];
    unsigned i1 = units2Indx_[oldNu];
    if (i0 == i1) return old;
    uint32_t p = AllocUnits(oldNu + 1);
    if (p != 0) {
        std::memmove(base_.get() + p, base_.get() + old, U2B(oldNu));
        InsertNode(old, i0);
    }
    return p;
}

uint32_t PpmdAllocator::ShrinkUnits(uint32_t old, unsigned oldNu, unsigned newNu) {
    unsigned i0 = units2Indx_[oldNu - 1];
    unsigned i1 = units2Indx_[newNu - 1];
    if (i0 == i1) return old;
    if (freeList_[i1] != 0) {
        uint32_t p = RemoveNode(i1);
        std::memmove(base_.get() + p, base_.get() + old, U2B(newNu));
        InsertNode(old, i0);
        return p;
    }
    SplitBlock(old, i0, i1);
    return old;
}

}  // namespace rar::unpack4
