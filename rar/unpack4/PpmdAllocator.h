#pragma once
// Memory of the PPMd (variant H) model: one block holding the text area that
// grows up from the bottom and 12-byte units handed out from the top, with
// free lists per unit count. Everything in the block is addressed by 32-bit
// offsets, so the model behaves the same way whatever the host's pointer
// size; when the block is full the model restarts, exactly as the encoder did,
// which is why the allocation policy (and its glueing of free blocks) must
// follow the format's rules to the letter.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace rar::unpack4 {

class PpmdAllocator {
public:
    static constexpr uint32_t kUnitSize = 12;
    static constexpr unsigned kNumIndexes = 38;

    PpmdAllocator();

    // Reserves sizeMb megabytes (1..256); keeps the block if the size is the same.
    bool Start(unsigned sizeMb);
    void Stop();
    bool Allocated() const { return base_ != nullptr; }
    uint32_t Size() const { return size_; }

    // Empties the block (text area and units) for a model restart.
    void Init();

    uint8_t* Base() const { return base_.get(); }
    template <class T>
    T* At(uint32_t off) const { return reinterpret_cast<T*>(base_.get() + off); }

    uint32_t AllocContext();
    uint32_t AllocUnits(unsigned nu);
    uint32_t ExpandUnits(uint32_t old, unsigned oldNu);
    uint32_t ShrinkUnits(uint32_t old, unsigned oldNu, unsigned newNu);
    void FreeUnits(uint32_t p, unsigned nu) { InsertNode(p, units2Indx_[nu - 1]); }

    // Text area: model symbols are appended at text_; it may not reach unitsStart_.
    uint32_t text_ = 0;
    uint32_t unitsStart_ = 0;
    // One past the last usable byte of the block (offsets above it are invalid).
    uint32_t heapEnd_ = 0;

private:
    uint32_t AllocUnitsRare(unsigned indx);
    void InsertNode(uint32_t p, unsigned indx);
    uint32_t RemoveNode(unsigned indx);
    void SplitBlock(uint32_t p, unsigned oldIndx, unsigned newIndx);
    void GlueFreeBlocks();
    uint32_t U2B(unsigned nu) const { return kUnitSize * nu; }

    std::unique_ptr<uint8_t[]> base_;
    uint32_t size_ = 0;     // bytes of the model memory proper
    uint32_t loUnit_ = 0;
    uint32_t hiUnit_ = 0;
    unsigned glueCount_ = 0;
    uint32_t freeList_[kNumIndexes] = {};
    uint8_t indx2Units_[kNumIndexes];
    uint8_t units2Indx_[128];
};

}  // namespace rar::unpack4
