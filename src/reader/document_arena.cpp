#include "reader/document_arena.h"

#include <cstring>
#include <new>

namespace lbv {

DocumentArena::DocumentArena(std::size_t firstBlock) : arena_(firstBlock, &counter_) { }

void* DocumentArena::CountingResource::do_allocate(std::size_t size, std::size_t alignment)
{
    void* p = ::operator new(size, std::align_val_t(alignment));
    bytes += int64_t(size);
    return p;
}

void DocumentArena::CountingResource::do_deallocate(
    void* p, std::size_t size, std::size_t alignment)
{
    ::operator delete(p, size, std::align_val_t(alignment));
    bytes -= int64_t(size);
}

// A string is stored as its length in two units followed by its units.
uint32_t StringPool::Add(std::u16string_view text)
{
    const std::size_t need = text.size() + 2;
    if (need > kBlockUnits) {
        if (blocks_.size() >= (1u << (32 - kOffsetBits)) - 1)
            return kNone;
        auto* block = static_cast<char16_t*>(memory_->allocate(need * 2, 2));
        const uint32_t length = uint32_t(text.size());
        std::memcpy(block, &length, 4);
        std::memcpy(block + 2, text.data(), text.size() * 2);
        blocks_.push_back(block);
        return uint32_t(blocks_.size() - 1) << kOffsetBits;
    }
    if (used_ + need > kBlockUnits) {
        if (blocks_.size() >= (1u << (32 - kOffsetBits)) - 1)
            return kNone;
        blocks_.push_back(static_cast<char16_t*>(memory_->allocate(kBlockUnits * 2, 2)));
        lastOrdinary_ = uint32_t(blocks_.size() - 1);
        used_ = 0;
    }
    char16_t* at = blocks_[lastOrdinary_] + used_;
    const uint32_t length = uint32_t(text.size());
    std::memcpy(at, &length, 4);
    std::memcpy(at + 2, text.data(), text.size() * 2);
    const uint32_t handle = (lastOrdinary_ << kOffsetBits) | used_;
    used_ += uint32_t(need);
    return handle;
}

std::u16string_view StringPool::View(uint32_t handle) const
{
    const uint32_t block = handle >> kOffsetBits;
    if (handle == kNone || block >= blocks_.size())
        return {};
    const char16_t* at = blocks_[block] + (handle & ((1u << kOffsetBits) - 1));
    uint32_t length;
    std::memcpy(&length, at, 4);
    return {at + 2, length};
}

} // namespace lbv
