#include "reader/text_document.h"

#include "reader/paragraph_search.h"
#include "reader/text_folding.h"
#include "text/code_pages.h"
#include "text/messages.h"

#include <algorithm>

namespace lbv {
namespace {

constexpr uint32_t kMaxParagraphBytes = 4096;
constexpr int kMaxContentsTitle = 89;
constexpr int kFirstLineIndent = 3;
constexpr int kDetectionSample = 4096;

struct LineEnd {
    uint32_t mask;
    uint32_t value;
};
constexpr LineEnd kModes[] = {{0xFF, 0x0A}, {0xFFFF, 0x0A20}, {0xFF, 0x0D}, {0xFFFF, 0x0D20}};

bool EndsParagraph(uint32_t lastBytes, const LineEnd& mode)
{
    return (lastBytes & mode.mask) == mode.value || (lastBytes & 0xFFFF) == 0x0A0A
        || lastBytes == 0x0D0A0D0A || (lastBytes & 0xFFFF) == 0x0D0D;
}

} // namespace

TextDocument::TextDocument(std::unique_ptr<ByteSource> source, DocumentOptions options, int mode)
    : source_(std::move(source)), options_(std::move(options)), mode_(std::clamp(mode, 0, 3)),
      records_(arena_.Resource())
{
}

bool TextDocument::Load(int codePage)
{
    // Offsets are 32 bits; text past 4 GB is not shown.
    const int64_t size = std::min<int64_t>(source_->Size(), UINT32_MAX - 1);
    if (codePage >= 0 && codePage < CodePageCount()) {
        codePage_ = codePage;
    } else {
        QByteArray sample(int(std::min<int64_t>(size, kDetectionSample)), Qt::Uninitialized);
        const int64_t got = source_->ReadAt(0, sample.data(), sample.size());
        codePage_ = DetectCodePageIndex(QByteArrayView(sample).first(std::max<int64_t>(got, 0)));
    }
    const auto& observer = options_.observer;
    if (observer.progress)
        observer.progress(0, size);

    const LineEnd& mode = kModes[mode_];
    std::vector<char> block(std::size_t(std::max(options_.fileBufSize, 4096)));
    bytes_.clear();
    previousLength_ = -1;
    candidateLength_ = -1;
    uint32_t lastBytes = 0;
    uint32_t start = 0;
    for (int64_t position = 0; position < size;) {
        const int64_t got
            = source_->ReadAt(position, block.data(), std::min<int64_t>(int64_t(block.size()), size - position));
        if (got <= 0)
            break; // what could be read stays readable
        for (int64_t i = 0; i < got; ++i) {
            const uint32_t at = uint32_t(position + i);
            const char byte = block[std::size_t(i)];
            if (at - start == kMaxParagraphBytes) {
                CloseParagraph(start, at);
                start = at;
            }
            lastBytes = lastBytes << 8 | uchar(byte);
            if (EndsParagraph(lastBytes, mode)) {
                CloseParagraph(start, at);
                start = at + 1;
            } else {
                bytes_.push_back(byte);
            }
        }
        position += got;
        if (observer.progress)
            observer.progress(position, size);
    }
    const uint32_t end = uint32_t(size);
    if (start < end)
        CloseParagraph(start, end);
    records_.push_back({end, totalLength_, 0});
    bytes_ = {};
    return true;
}

void TextDocument::CloseParagraph(uint32_t byteStart, uint32_t byteEnd)
{
    const int length = MeasureFolded(ConvertToUnicode(codePage_, QByteArrayView(bytes_.data(),
                                                                 qsizetype(bytes_.size()))))
                           .length;
    bytes_.clear();
    const uint32_t index = records_.size();
    records_.push_back({byteStart, totalLength_, byteEnd - byteStart});
    totalLength_ += uint32_t(length);

    // A short line between empty lines is taken for a heading.
    if (candidateLength_ >= 0 && length == 0 && options_.observer.contents)
        options_.observer.contents({int(index - 1), 1, 0, 1});
    candidateLength_ = -1;
    if (length >= 1 && length <= kMaxContentsTitle && previousLength_ <= 0)
        candidateLength_ = length;
    previousLength_ = length;
}

bool TextDocument::Valid(int body, int paragraph) const
{
    return body == 0 && paragraph >= 0 && uint32_t(paragraph) + 1 < records_.size();
}

int TextDocument::ParagraphCount(int body) const
{
    return body == 0 && records_.size() > 0 ? int(records_.size() - 1) : 0;
}

int TextDocument::ParagraphLength(int body, int paragraph) const
{
    if (!Valid(body, paragraph))
        return 0;
    return int(records_[uint32_t(paragraph) + 1].charOffset - records_[uint32_t(paragraph)].charOffset);
}

int64_t TextDocument::ParagraphStart(int body, int paragraph) const
{
    if (body != 0 || records_.size() == 0)
        return 0;
    return records_[uint32_t(std::clamp(paragraph, 0, ParagraphCount(0)))].charOffset;
}

int64_t TextDocument::BodyEnd(int body) const
{
    return body == 0 && records_.size() > 0 ? int64_t(totalLength_) : 0;
}

int TextDocument::ParagraphAtOffset(int body, int64_t offset) const
{
    const int count = ParagraphCount(body);
    if (offset == BodyEnd(body))
        return count;
    if (count == 0 || offset < 0 || offset > BodyEnd(body))
        return 0;
    return int(LastParagraphStartingBy(
        uint32_t(count), offset, [&](uint32_t i) { return records_[i].charOffset; }));
}

QString TextDocument::BodyName(int body) const
{
    return body == 0 ? MessageText(Msg::BodyMain) : QString();
}

QString TextDocument::DecodeRange(uint32_t offset, uint32_t length)
{
    bytes_.resize(length);
    const int64_t got = source_->ReadAt(offset, bytes_.data(), length);
    return ConvertToUnicode(codePage_, QByteArrayView(bytes_.data(), qsizetype(std::max<int64_t>(got, 0))));
}

ParagraphView TextDocument::GetParagraph(int body, int paragraph)
{
    ParagraphView view;
    if (!Valid(body, paragraph))
        return view;
    const Record& record = records_[uint32_t(paragraph)];
    const int length = ParagraphLength(body, paragraph);
    view.firstLineIndent = kFirstLineIndent;
    bool hyphenPending = false;
    if (length > 0) {
        QString text = DecodeRange(record.byteOffset, record.byteLength);
        AppendFolded(text, 0, false, view, hyphenPending);
    }
    FitToLength(view, length);
    return view;
}

int64_t TextDocument::MemoryUsed() const
{
    return arena_.BytesReserved() + source_->MemoryUsed() + int64_t(bytes_.capacity());
}

} // namespace lbv
