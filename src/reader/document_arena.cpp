#include "reader/document_arena.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace lbv {

namespace {

constexpr std::size_t kLargestBlock = 256 * 1024;

} // namespace

DocumentArena::~DocumentArena()
{
    for (char* block : blocks_)
        ::operator delete(block);
}

char* DocumentArena::NewBlock(std::size_t size)
{
    char* block = static_cast<char*>(::operator new(size));
    blocks_.push_back(block);
    reserved_ += int64_t(size);
    return block;
}

void* DocumentArena::do_allocate(std::size_t size, std::size_t alignment)
{
    void* at = next_;
    if (at && std::align(alignment, size, at, left_)) {
        next_ = static_cast<char*>(at) + size;
        left_ -= size;
        return at;
    }
    if (size + alignment > blockSize_ / 4) {
        // A large request gets a block of its own; the current block stays in use.
        void* own = NewBlock(size + alignment);
        std::size_t space = size + alignment;
        return std::align(alignment, size, own, space);
    }
    next_ = NewBlock(blockSize_);
    left_ = blockSize_;
    blockSize_ = std::min(blockSize_ * 2, kLargestBlock);
    return do_allocate(size, alignment);
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
