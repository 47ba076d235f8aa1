#pragma once
// Text packed in a Palm database (PDB/PRC of type "TEXt", creator "REAd", plain or PalmDOC
// compressed) or in a TCR file, exposed as a byte source over the unpacked text. Only the
// record or block index is kept; each read unpacks one record or block.
#include "reader/byte_source.h"

#include <QByteArray>
#include <QByteArrayView>
#include <memory>
#include <vector>

namespace lbv {

bool IsPalmTextDatabase(ByteSource& source);
bool IsTcrFile(ByteSource& source);

// PalmDOC decompression of one record into at most `limit` bytes; false when the output would
// exceed the limit. A back-reference before the start of the output ends the record.
bool ExpandPalmDoc(QByteArrayView packed, int limit, QByteArray& text);

class PdbTextSource final : public ByteSource {
public:
    // Null with "Invalid or unsupported PDB file" when the header or a record is broken.
    static std::unique_ptr<PdbTextSource> Open(std::unique_ptr<ByteSource> file, QString& error);

    int64_t Size() const override { return textSize_; }
    int64_t ReadAt(int64_t position, char* buffer, int64_t size) override;
    QString Description() const override;
    int64_t MemoryUsed() const override;

private:
    struct Record {
        int64_t fileOffset;
        int64_t fileSize;
        int64_t textOffset;
    };

    explicit PdbTextSource(std::unique_ptr<ByteSource> file) : file_(std::move(file)) { }
    bool LoadRecord(std::size_t index, QByteArray& text);

    std::unique_ptr<ByteSource> file_;
    bool compressed_ = false;
    int recordSize_ = 0;
    std::vector<Record> records_;
    int64_t textSize_ = 0;
    std::size_t cachedRecord_ = SIZE_MAX;
    QByteArray cachedText_;
};

class TcrTextSource final : public ByteSource {
public:
    // Null with "Invalid or unsupported TCR file" when the header or dictionary is short.
    static std::unique_ptr<TcrTextSource> Open(std::unique_ptr<ByteSource> file, QString& error);

    int64_t Size() const override { return textSize_; }
    int64_t ReadAt(int64_t position, char* buffer, int64_t size) override;
    QString Description() const override;
    int64_t MemoryUsed() const override;

private:
    struct Block {
        int64_t fileOffset;
        int32_t codedBytes;
        int32_t textLength;
        int64_t textOffset;
    };

    explicit TcrTextSource(std::unique_ptr<ByteSource> file) : file_(std::move(file)) { }
    bool LoadBlock(std::size_t index);

    std::unique_ptr<ByteSource> file_;
    std::vector<QByteArray> dictionary_;
    std::vector<Block> blocks_;
    int64_t textSize_ = 0;
    std::size_t cachedBlock_ = SIZE_MAX;
    QByteArray cachedText_;
};

} // namespace lbv
