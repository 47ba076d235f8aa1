#pragma once
// A plain-text book: paragraphs found by the text mode's line ends, 12 bytes kept per paragraph,
// text decoded again from the source with the book's code page when a paragraph is read.
#include "reader/byte_source.h"
#include "reader/document_arena.h"
#include "reader/document_options.h"
#include "reader/document_source.h"

#include <memory>
#include <vector>

namespace lbv {

class TextDocument final : public DocumentSource {
public:
    // mode: 0..3, see DocumentKind.
    TextDocument(std::unique_ptr<ByteSource> source, DocumentOptions options, int mode);

    ParagraphView GetParagraph(int body, int paragraph) override;
    int ParagraphCount(int body) const override;
    int ParagraphLength(int body, int paragraph) const override;
    int64_t ParagraphStart(int body, int paragraph) const override;
    int64_t BodyEnd(int body) const override;
    int ParagraphAtOffset(int body, int64_t offset) const override;
    int DetectedCodePage() const override { return codePage_; }
    int Mode() const { return mode_; }
    QString BodyName(int body) const override;
    bool Load(int codePage) override;
    QString ErrorText() const override { return error_; }
    int64_t MemoryUsed() const override;
    QString SourceDescription() const override { return source_->Description(); }

private:
    struct Record {
        uint32_t byteOffset;
        uint32_t charOffset;
        uint32_t byteLength;
    };

    bool Valid(int body, int paragraph) const;
    void CloseParagraph(uint32_t byteStart, uint32_t byteEnd);
    QString DecodeRange(uint32_t offset, uint32_t length);

    std::unique_ptr<ByteSource> source_;
    DocumentOptions options_;
    int mode_;
    int codePage_ = 0;
    DocumentArena arena_;
    ChunkedArray<Record> records_; // one per paragraph plus a closing record
    uint32_t totalLength_ = 0;
    int previousLength_ = 0; // -1 before the first paragraph
    int candidateLength_ = 0; // a possible contents entry waits for an empty paragraph
    QString error_;
    std::vector<char> bytes_;
};

} // namespace lbv
