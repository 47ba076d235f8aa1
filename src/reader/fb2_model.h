#pragma once
// The compact model of a parsed FB2 book: text runs (mostly byte ranges of the source, decoded
// again when a paragraph is read), paragraph, link and binary records, bodies and anchors, all
// allocated from the document's arena.
#include "reader/document_arena.h"

#include <array>

#include <memory_resource>
#include <string_view>
#include <unordered_map>

namespace lbv {

// Run attribute bits above the 16 character style bits.
inline constexpr uint32_t kRunStyleMask = 0x0000FFFF;
inline constexpr uint32_t kRunCdata = 0x01000000;
inline constexpr uint32_t kRunBlankBefore = 0x02000000;
inline constexpr uint32_t kRunPooled = 0x04000000; // data: string pool handle
inline constexpr uint32_t kRunInline = 0x08000000; // data: up to two UTF-16 units
inline constexpr uint32_t kRunBlankAfter = 0x10000000;
inline constexpr uint32_t kRunImage = 0x80000000; // data: index into the image references

// Neither pooled nor inline: data is the byte offset in the source, length the byte count;
// otherwise length counts UTF-16 units.
struct TextRun {
    uint32_t data;
    uint32_t length;
    uint32_t attributes;
};

inline constexpr uint32_t kIndexBits = 22;
inline constexpr uint32_t kIndexLimit = 1u << kIndexBits;
inline constexpr uint32_t kMaxPerParagraph = 1023;
inline constexpr int kMaxIndent = 500;
inline constexpr uint32_t kImageParagraphFlag = 0x80;

struct ParagraphRecord {
    uint32_t runs; // first run (22 bits), run count (10 bits); an image paragraph: the id
    uint32_t offset; // characters before the paragraph in the document
    uint32_t links; // first link (22 bits), link count (10 bits)
    uint32_t indents; // right, left, first line: 10 bits each, 0..500
    uint32_t align; // low byte; kImageParagraphFlag marks an image paragraph

    uint32_t First() const { return runs & (kIndexLimit - 1); }
    uint32_t Count() const { return runs >> kIndexBits; }
    uint32_t FirstLink() const { return links & (kIndexLimit - 1); }
    uint32_t LinkCount() const { return links >> kIndexBits; }
    bool IsImage() const { return align & kImageParagraphFlag; }
};

inline uint32_t PackIndex(uint32_t first, uint32_t count)
{
    return first | count << kIndexBits;
}

struct LinkRecord {
    uint32_t start;
    uint32_t length;
    uint32_t target; // pool handle of the href as written
};

struct BinaryRecord {
    uint32_t id; // pool handles
    uint32_t contentType;
    uint32_t runCount;
    uint32_t firstRun;
};

struct BodyEntry {
    uint32_t firstParagraph;
    uint32_t paragraphCount;
    uint32_t name; // pool handle, StringPool::kNone without a name
};

// How byte-range runs are turned back into text: the way expat read the document.
struct SourceDecoding {
    enum Kind { Utf8, Utf16Le, Utf16Be, Latin1, Table } kind = Utf8;
    std::array<char16_t, 256> table {};
};

struct Fb2Model {
    explicit Fb2Model(std::pmr::memory_resource* memory)
        : runs(memory), paragraphs(memory), links(memory), binaries(memory), images(memory),
          bodies(memory), anchors(memory), binaryById(memory), strings(memory)
    {
    }

    ChunkedArray<TextRun> runs;
    ChunkedArray<ParagraphRecord> paragraphs;
    ChunkedArray<LinkRecord> links;
    ChunkedArray<BinaryRecord> binaries;
    ChunkedArray<uint32_t> images; // pool handles of inline image ids
    std::pmr::vector<BodyEntry> bodies;
    // Keys are views into the string pool, which never moves its strings.
    std::pmr::unordered_map<std::u16string_view, uint32_t> anchors; // id → paragraph
    std::pmr::unordered_map<std::u16string_view, uint32_t> binaryById;
    StringPool strings;
    uint32_t totalLength = 0; // characters in the whole document
    SourceDecoding decoding;
};

} // namespace lbv
