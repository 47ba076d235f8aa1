#pragma once
// Memory of one open document: an arena released in one step when the document closes, arrays
// that grow in chunks without moving their entries, and a pool of copied strings.
#include <cstdint>
#include <memory_resource>
#include <string_view>
#include <vector>

namespace lbv {

// Blocks grow from 16 KB to 256 KB and are never given back one by one: the whole arena goes
// when the document closes. (A standard monotonic resource doubles its blocks without bound,
// which can leave half of a large document's arena unused.)
class DocumentArena final : public std::pmr::memory_resource {
public:
    DocumentArena() = default;
    DocumentArena(const DocumentArena&) = delete;
    DocumentArena& operator=(const DocumentArena&) = delete;
    ~DocumentArena() override;

    std::pmr::memory_resource* Resource() { return this; }
    // Bytes obtained from the system for this document so far.
    int64_t BytesReserved() const { return reserved_; }

private:
    void* do_allocate(std::size_t size, std::size_t alignment) override;
    void do_deallocate(void*, std::size_t, std::size_t) override { }
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override
    {
        return this == &other;
    }
    char* NewBlock(std::size_t size);

    std::vector<char*> blocks_;
    char* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t blockSize_ = 16 * 1024;
    int64_t reserved_ = 0;
};

// Entries live in chunks of 1024 taken from the arena; an index stays valid forever.
template <class T>
class ChunkedArray {
public:
    static constexpr uint32_t kChunk = 1024;

    explicit ChunkedArray(std::pmr::memory_resource* memory) : memory_(memory), chunks_(memory) { }

    uint32_t size() const { return size_; }
    T& operator[](uint32_t i) { return chunks_[i / kChunk][i % kChunk]; }
    const T& operator[](uint32_t i) const { return chunks_[i / kChunk][i % kChunk]; }
    T& back() { return (*this)[size_ - 1]; }

    void push_back(const T& value)
    {
        if (size_ % kChunk == 0)
            chunks_.push_back(static_cast<T*>(memory_->allocate(sizeof(T) * kChunk, alignof(T))));
        chunks_[size_ / kChunk][size_ % kChunk] = value;
        ++size_;
    }

private:
    std::pmr::memory_resource* memory_;
    std::pmr::vector<T*> chunks_;
    uint32_t size_ = 0;
};

// Copied UTF-16 strings in blocks of 4096 bytes; a string longer than a block gets a block of
// its own. Handles are 32 bits; views stay valid as long as the pool.
class StringPool {
public:
    static constexpr uint32_t kNone = 0xFFFFFFFFu;

    explicit StringPool(std::pmr::memory_resource* memory) : memory_(memory), blocks_(memory) { }

    uint32_t Add(std::u16string_view text);
    std::u16string_view View(uint32_t handle) const;

private:
    static constexpr uint32_t kBlockUnits = 2048;
    static constexpr uint32_t kOffsetBits = 11; // a unit offset within a block

    std::pmr::memory_resource* memory_;
    std::pmr::vector<char16_t*> blocks_;
    uint32_t used_ = kBlockUnits; // units used in the last ordinary block
    uint32_t lastOrdinary_ = kNone;
};

} // namespace lbv
