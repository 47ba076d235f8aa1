#include "reader/palm_sources.h"

#include "text/messages.h"

#include <algorithm>
#include <cstring>

namespace lbv {
namespace {

constexpr int kPdbHeaderSize = 78;
constexpr char kTcrSignature[] = "!!8-Bit!!";
constexpr int kTcrSignatureSize = 9;
constexpr int kTcrBlockCodes = 4096;

uint16_t Be16(const unsigned char* p)
{
    return uint16_t(p[0] << 8 | p[1]);
}

uint32_t Be32(const unsigned char* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

bool ReadExactly(ByteSource& source, int64_t position, void* buffer, int64_t size)
{
    return source.ReadAt(position, static_cast<char*>(buffer), size) == size;
}

// Copies from a sequence of unpacked pieces found by text offset.
template <class Piece, class Load>
int64_t ReadPieces(const std::vector<Piece>& pieces, int64_t textSize, int64_t position,
    char* buffer, int64_t size, const QByteArray& cached, Load load)
{
    if (position < 0 || size < 0)
        return -1;
    int64_t done = 0;
    while (done < size && position + done < textSize) {
        const int64_t at = position + done;
        const auto it = std::upper_bound(pieces.begin(), pieces.end(), at,
            [](int64_t offset, const Piece& piece) { return offset < piece.textOffset; });
        const std::size_t index = std::size_t(it - pieces.begin()) - 1;
        if (!load(index))
            return done > 0 ? done : -1;
        const int64_t inPiece = at - pieces[index].textOffset;
        const int64_t n = std::min<int64_t>(size - done, cached.size() - inPiece);
        if (n <= 0)
            break;
        std::memcpy(buffer + done, cached.constData() + inPiece, std::size_t(n));
        done += n;
    }
    return done;
}

QString Ratio(Msg text, int64_t fileSize, int64_t textSize)
{
    const double ratio = textSize > 0 ? double(fileSize) / double(textSize) : 0.0;
    return MessageText(text).arg(ratio, 0, 'f', 2);
}

} // namespace

bool IsPalmTextDatabase(ByteSource& source)
{
    char typeAndCreator[8];
    return ReadExactly(source, 60, typeAndCreator, 8)
        && std::memcmp(typeAndCreator, "TEXtREAd", 8) == 0;
}

bool IsTcrFile(ByteSource& source)
{
    char signature[kTcrSignatureSize];
    return ReadExactly(source, 0, signature, kTcrSignatureSize)
        && std::memcmp(signature, kTcrSignature, kTcrSignatureSize) == 0;
}

bool ExpandPalmDoc(QByteArrayView packed, int limit, QByteArray& text)
{
    text.clear();
    text.reserve(limit);
    const auto put = [&](char c) {
        if (text.size() >= limit)
            return false;
        text.append(c);
        return true;
    };
    for (qsizetype i = 0; i < packed.size();) {
        const unsigned char b = uchar(packed[i++]);
        if (b >= 1 && b <= 8) {
            for (int n = 0; n < b && i < packed.size(); ++n)
                if (!put(packed[i++]))
                    return false;
        } else if (b < 0x80) {
            if (!put(char(b)))
                return false;
        } else if (b < 0xC0) {
            if (i >= packed.size())
                break;
            const int pair = (b << 8 | uchar(packed[i++])) & 0x3FFF;
            const int distance = pair >> 3;
            const int length = (pair & 7) + 3;
            if (distance == 0 || distance > text.size())
                break;
            for (int n = 0; n < length; ++n)
                if (!put(text[text.size() - distance]))
                    return false;
        } else {
            if (!put(' ') || !put(char(b ^ 0x80)))
                return false;
        }
    }
    return true;
}

std::unique_ptr<PdbTextSource> PdbTextSource::Open(
    std::unique_ptr<ByteSource> file, QString& error)
{
    error = MessageText(Msg::InvalidPdbFile);
    unsigned char header[kPdbHeaderSize];
    if (!ReadExactly(*file, 0, header, kPdbHeaderSize)
        || std::memcmp(header + 60, "TEXtREAd", 8) != 0)
        return nullptr;
    const int recordCount = Be16(header + 76);
    if (recordCount < 1)
        return nullptr;
    // The record list is bounded by the count in the header, so a false count can ask for at
    // most 64K entries, and only as many as the file really holds are read.
    std::vector<unsigned char> list(std::size_t(recordCount) * 8);
    if (!ReadExactly(*file, kPdbHeaderSize, list.data(), int64_t(list.size())))
        return nullptr;
    const int64_t fileSize = file->Size();
    const auto offsetOf = [&](int record) { return int64_t(Be32(list.data() + record * 8)); };

    unsigned char first[16];
    const int64_t record0 = offsetOf(0);
    if (!ReadExactly(*file, record0, first, 16))
        return nullptr;
    const int compression = Be16(first);
    const int textRecords = std::min<int>(Be16(first + 8), recordCount - 1);
    const int recordSize = Be16(first + 10);
    if ((compression != 1 && compression != 2 && compression != 257) || recordSize == 0)
        return nullptr;

    auto source = std::unique_ptr<PdbTextSource>(new PdbTextSource(std::move(file)));
    source->compressed_ = compression == 2;
    source->recordSize_ = recordSize;
    QByteArray packed, text;
    for (int r = 1; r <= textRecords; ++r) {
        const int64_t start = offsetOf(r);
        const int64_t end = r + 1 < recordCount ? offsetOf(r + 1) : fileSize;
        if (start < record0 || end < start || end > fileSize)
            return nullptr;
        const int64_t fileBytes = end - start;
        int64_t textBytes = fileBytes;
        if (source->compressed_) {
            if (fileBytes > 2 * int64_t(recordSize) + 16)
                return nullptr; // no record packs that badly; its text would not fit
            packed.resize(qsizetype(fileBytes));
            if (!ReadExactly(*source->file_, start, packed.data(), fileBytes)
                || !ExpandPalmDoc(packed, recordSize, text))
                return nullptr;
            textBytes = text.size();
        } else if (fileBytes > recordSize) {
            return nullptr;
        }
        source->records_.push_back({start, fileBytes, source->textSize_});
        source->textSize_ += textBytes;
    }
    error.clear();
    return source;
}

bool PdbTextSource::LoadRecord(std::size_t index, QByteArray& text)
{
    if (index == cachedRecord_)
        return true;
    const Record& record = records_[index];
    QByteArray bytes(qsizetype(record.fileSize), Qt::Uninitialized);
    if (!ReadExactly(*file_, record.fileOffset, bytes.data(), record.fileSize))
        return false;
    if (compressed_) {
        if (!ExpandPalmDoc(bytes, recordSize_, text))
            return false;
    } else {
        text = std::move(bytes);
    }
    cachedRecord_ = index;
    return true;
}

int64_t PdbTextSource::ReadAt(int64_t position, char* buffer, int64_t size)
{
    return ReadPieces(records_, textSize_, position, buffer, size, cachedText_,
        [this](std::size_t index) { return LoadRecord(index, cachedText_); });
}

QString PdbTextSource::Description() const
{
    if (!compressed_)
        return MessageText(Msg::SourcePdbNotPacked);
    return Ratio(Msg::SourcePdbPacked, file_->Size(), textSize_);
}

int64_t PdbTextSource::MemoryUsed() const
{
    return file_->MemoryUsed() + int64_t(records_.size() * sizeof(Record)) + cachedText_.capacity();
}

std::unique_ptr<TcrTextSource> TcrTextSource::Open(
    std::unique_ptr<ByteSource> file, QString& error)
{
    error = MessageText(Msg::InvalidTcrFile);
    if (!IsTcrFile(*file))
        return nullptr;
    auto source = std::unique_ptr<TcrTextSource>(new TcrTextSource(std::move(file)));
    int64_t position = kTcrSignatureSize;
    int entryLength[256];
    for (int code = 0; code < 256; ++code) {
        unsigned char length = 0;
        if (!ReadExactly(*source->file_, position, &length, 1))
            return nullptr;
        QByteArray entry(length, Qt::Uninitialized);
        if (!ReadExactly(*source->file_, position + 1, entry.data(), length))
            return nullptr;
        position += 1 + length;
        entryLength[code] = length;
        source->dictionary_.push_back(std::move(entry));
    }
    const int64_t fileSize = source->file_->Size();
    std::vector<unsigned char> codes(kTcrBlockCodes);
    for (int64_t at = position; at < fileSize; at += kTcrBlockCodes) {
        const int64_t count = std::min<int64_t>(kTcrBlockCodes, fileSize - at);
        if (!ReadExactly(*source->file_, at, codes.data(), count))
            return nullptr;
        int32_t length = 0;
        for (int64_t i = 0; i < count; ++i)
            length += entryLength[codes[std::size_t(i)]];
        source->blocks_.push_back({at, int32_t(count), length, source->textSize_});
        source->textSize_ += length;
    }
    error.clear();
    return source;
}

bool TcrTextSource::LoadBlock(std::size_t index)
{
    if (index == cachedBlock_)
        return true;
    const Block& block = blocks_[index];
    QByteArray codes(block.codedBytes, Qt::Uninitialized);
    if (!ReadExactly(*file_, block.fileOffset, codes.data(), block.codedBytes))
        return false;
    cachedText_.clear();
    cachedText_.reserve(block.textLength);
    for (char code : codes)
        cachedText_.append(dictionary_[uchar(code)]);
    cachedBlock_ = index;
    return true;
}

int64_t TcrTextSource::ReadAt(int64_t position, char* buffer, int64_t size)
{
    return ReadPieces(blocks_, textSize_, position, buffer, size,
        cachedText_, [this](std::size_t index) { return LoadBlock(index); });
}

QString TcrTextSource::Description() const
{
    return Ratio(Msg::SourceTcrPacked, file_->Size(), textSize_);
}

int64_t TcrTextSource::MemoryUsed() const
{
    int64_t bytes = file_->MemoryUsed() + int64_t(blocks_.size() * sizeof(Block));
    for (const QByteArray& entry : dictionary_)
        bytes += entry.size();
    return bytes + cachedText_.capacity();
}

} // namespace lbv
