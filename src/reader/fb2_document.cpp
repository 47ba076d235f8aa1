#include "reader/fb2_document.h"

#include "reader/fb2_parser.h"
#include "reader/paragraph_search.h"
#include "reader/text_folding.h"
#include "text/book_encoding.h"
#include "text/code_pages.h"
#include "text/fb2_markup_repair.h"
#include "text/messages.h"

#include <QStringDecoder>
#include <algorithm>
#include <memory>

namespace lbv {
namespace {

// Repair holds the whole book several times over (bytes, text, repaired bytes); larger books
// are refused rather than risk the memory.
constexpr int64_t kLargestRepairedBook = 64 * 1024 * 1024;

QString ToQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

std::u16string_view ToView(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

} // namespace

Fb2Document::Fb2Document(std::unique_ptr<ByteSource> source, DocumentOptions options)
    : source_(std::move(source))
    , options_(std::move(options))
    , model_(arena_.Resource())
    , sourceDescription_(source_->Description())
{
}

bool Fb2Document::Load(int codePage)
{
    const ElementStyleTable& styles = options_.styles ? *options_.styles : DefaultElementStyles();
    // Contents entries wait for the parse to succeed: a failed one is parsed again repaired.
    std::vector<ContentsEntry> contents;
    LoadObserver strict {options_.observer.progress,
        [&contents](const ContentsEntry& entry) { contents.push_back(entry); }};
    repairNote_.clear();
    if (ParseFb2(*source_, codePage, options_.fileBufSize, styles, strict, model_, error_)) {
        if (options_.observer.contents)
            for (const ContentsEntry& entry : contents)
                options_.observer.contents(entry);
        return true;
    }
    if (error_ == MessageText(Msg::NotFictionBook2)
        || error_ == MessageText(Msg::XmlParserOutOfMemory))
        return false;
    return LoadRepaired(codePage);
}

bool Fb2Document::LoadRepaired(int codePage)
{
    const int64_t size = source_->Size();
    if (size > kLargestRepairedBook)
        return false;
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    if (source_->ReadAt(0, bytes.data(), size) != size)
        return false;
    const QString text = codePage >= 0 ? ConvertToUnicode(codePage, bytes) : DecodeBookBytes(bytes);
    bytes.clear();
    QByteArray repaired = RepairFb2Markup(text);
    if (repaired.isEmpty())
        return false;
    auto repairedSource = std::make_unique<MemoryByteSource>(std::move(repaired));
    // The partial model of the failed parse goes; its memory stays in the arena until closing.
    std::destroy_at(&model_);
    std::construct_at(&model_, arena_.Resource());
    const ElementStyleTable& styles = options_.styles ? *options_.styles : DefaultElementStyles();
    QString repairError;
    if (!ParseFb2(*repairedSource, -1, options_.fileBufSize, styles, options_.observer, model_,
            repairError))
        return false; // the strict parse's error says best what is wrong
    source_ = std::move(repairedSource);
    repairNote_ = error_;
    error_.clear();
    return true;
}

int64_t Fb2Document::MemoryUsed() const
{
    return arena_.BytesReserved() + source_->MemoryUsed() + int64_t(bytes_.capacity())
        + int64_t(units_.capacity() * sizeof(char16_t));
}

const BodyEntry* Fb2Document::Body(int body) const
{
    if (body < 0 || std::size_t(body) >= model_.bodies.size())
        return nullptr;
    return &model_.bodies[std::size_t(body)];
}

int64_t Fb2Document::Global(int body, int paragraph) const
{
    const BodyEntry* entry = Body(body);
    if (!entry || paragraph < 0 || uint32_t(paragraph) >= entry->paragraphCount)
        return -1;
    return int64_t(entry->firstParagraph) + paragraph;
}

uint32_t Fb2Document::OffsetOf(uint32_t global) const
{
    return global < model_.paragraphs.size() ? model_.paragraphs[global].offset
                                             : model_.totalLength;
}

int Fb2Document::ParagraphCount(int body) const
{
    const BodyEntry* entry = Body(body);
    return entry ? int(entry->paragraphCount) : 0;
}

int Fb2Document::ParagraphLength(int body, int paragraph) const
{
    const int64_t global = Global(body, paragraph);
    if (global < 0)
        return 0;
    return int(OffsetOf(uint32_t(global + 1)) - OffsetOf(uint32_t(global)));
}

int64_t Fb2Document::ParagraphStart(int body, int paragraph) const
{
    const BodyEntry* entry = Body(body);
    if (!entry)
        return 0;
    const uint32_t index = uint32_t(std::clamp<int64_t>(paragraph, 0, entry->paragraphCount));
    return OffsetOf(entry->firstParagraph + index);
}

int64_t Fb2Document::BodyEnd(int body) const
{
    const BodyEntry* entry = Body(body);
    return entry ? OffsetOf(entry->firstParagraph + entry->paragraphCount) : 0;
}

int Fb2Document::ParagraphAtOffset(int body, int64_t offset) const
{
    const BodyEntry* entry = Body(body);
    if (!entry)
        return 0;
    const int64_t start = OffsetOf(entry->firstParagraph);
    const int64_t end = BodyEnd(body);
    if (offset == end)
        return int(entry->paragraphCount);
    if (offset < start || offset > end)
        return 0;
    return int(LastParagraphStartingBy(entry->paragraphCount, offset,
        [&](uint32_t i) { return OffsetOf(entry->firstParagraph + i); }));
}

QString Fb2Document::BodyName(int body) const
{
    const BodyEntry* entry = Body(body);
    if (!entry)
        return {};
    if (entry->name == StringPool::kNone)
        return body == 0 ? MessageText(Msg::BodyMain) : QString();
    return ToQString(model_.strings.View(entry->name));
}

bool Fb2Document::FindAnchor(const QString& id, int& body, int& paragraph) const
{
    const auto it = model_.anchors.find(ToView(id));
    if (it == model_.anchors.end())
        return false;
    for (std::size_t b = 0; b < model_.bodies.size(); ++b) {
        const BodyEntry& entry = model_.bodies[b];
        if (it->second >= entry.firstParagraph
            && it->second < entry.firstParagraph + entry.paragraphCount) {
            body = int(b);
            paragraph = int(it->second - entry.firstParagraph);
            return true;
        }
    }
    return false;
}

QStringView Fb2Document::DecodeBytes(uint32_t offset, uint32_t count)
{
    bytes_.resize(count);
    const int64_t got = source_->ReadAt(offset, bytes_.data(), count);
    if (got < int64_t(count))
        return {};
    units_.resize(std::size_t(count) + 1);
    auto* out = reinterpret_cast<QChar*>(units_.data());
    const QByteArrayView bytes(bytes_.data(), qsizetype(count));
    const SourceDecoding& decoding = model_.decoding;
    switch (decoding.kind) {
    case SourceDecoding::Table:
    case SourceDecoding::Latin1:
        for (uint32_t i = 0; i < count; ++i) {
            const uchar b = uchar(bytes_[i]);
            units_[i] = decoding.kind == SourceDecoding::Table ? decoding.table[b] : char16_t(b);
        }
        return QStringView(out, qsizetype(count));
    case SourceDecoding::Utf16Le:
    case SourceDecoding::Utf16Be: {
        QStringDecoder decoder(decoding.kind == SourceDecoding::Utf16Le
                ? QStringDecoder::Utf16LE
                : QStringDecoder::Utf16BE,
            QStringDecoder::Flag::Stateless);
        return QStringView(out, decoder.appendToBuffer(out, bytes) - out);
    }
    case SourceDecoding::Utf8:
        break;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return QStringView(out, decoder.appendToBuffer(out, bytes) - out);
}

bool Fb2Document::AppendRun(const TextRun& run, ParagraphView& view, bool& hyphenPending)
{
    const uint16_t style = uint16_t(run.attributes & kRunStyleMask);
    if (run.attributes & kRunBlankBefore) {
        view.text.append(u' ');
        view.attributes.push_back(style);
    }
    if (run.attributes & kRunInline) {
        const char16_t units[2] = {char16_t(run.data & 0xFFFF), char16_t(run.data >> 16)};
        AppendFolded(QStringView(units, std::min<uint32_t>(run.length, 2)), style, true, view,
            hyphenPending);
    } else if (run.attributes & kRunPooled) {
        const std::u16string_view text = model_.strings.View(run.data);
        AppendFolded(QStringView(text.data(), qsizetype(text.size())), style, true, view,
            hyphenPending);
    } else {
        const QStringView text = DecodeBytes(run.data, run.length);
        if (text.isEmpty())
            return false; // the source changed under us: the rest of the paragraph stays blank
        AppendFolded(text, style, true, view, hyphenPending);
    }
    if (run.attributes & kRunBlankAfter) {
        view.text.append(u' ');
        view.attributes.push_back(style);
    }
    return true;
}

ParagraphView Fb2Document::GetParagraph(int body, int paragraph)
{
    ParagraphView view;
    const int64_t global = Global(body, paragraph);
    if (global < 0)
        return view;
    const ParagraphRecord& record = model_.paragraphs[uint32_t(global)];
    view.rightIndent = int(record.indents & 0x3FF);
    view.leftIndent = int(record.indents >> 10 & 0x3FF);
    view.firstLineIndent = int(record.indents >> 20 & 0x3FF);
    view.align = uint8_t(record.align & 0x7F);
    const int length = ParagraphLength(body, paragraph);
    if (record.IsImage()) {
        view.align |= kAlignImageParagraph;
        view.text = QString(length, u' ');
        view.attributes.assign(std::size_t(length), 0);
        view.links.append({0, 0, ToQString(model_.strings.View(record.runs))});
        return view;
    }
    for (uint32_t i = 0; i < record.LinkCount(); ++i) {
        const LinkRecord& link = model_.links[record.FirstLink() + i];
        view.links.append(
            {int(link.start), int(link.length), ToQString(model_.strings.View(link.target))});
    }
    view.text.reserve(length);
    view.attributes.reserve(std::size_t(length));
    const qsizetype linkCount = view.links.size();
    QList<ParagraphLink> images;
    bool hyphenPending = false;
    for (uint32_t i = 0; i < record.Count(); ++i) {
        const TextRun& run = model_.runs[record.First() + i];
        if (run.attributes & kRunImage) {
            const uint16_t style = uint16_t(run.attributes & kRunStyleMask);
            if (run.attributes & kRunBlankBefore) {
                view.text.append(u' ');
                view.attributes.push_back(style);
            }
            view.text.append(QChar(char16_t(linkCount + images.size())));
            view.attributes.push_back(style);
            const uint32_t id = run.data < model_.images.size() ? model_.images[run.data]
                                                                : StringPool::kNone;
            images.append({0, 0, ToQString(model_.strings.View(id))});
            continue;
        }
        if (!AppendRun(run, view, hyphenPending))
            break;
    }
    view.links.append(images);
    FitToLength(view, length);
    return view;
}

QByteArray Fb2Document::BinaryData(const BinaryRecord& binary)
{
    Base64Decoder decoder;
    std::vector<char> bytes;
    for (uint32_t i = 0; i < binary.runCount && !decoder.Ended(); ++i) {
        const TextRun& run = model_.runs[binary.firstRun + i];
        if (run.attributes & kRunPooled) {
            const std::u16string_view text = model_.strings.View(run.data);
            decoder.Feed(QStringView(text.data(), qsizetype(text.size())));
            continue;
        }
        bytes.resize(run.length);
        const int64_t got = source_->ReadAt(run.data, bytes.data(), run.length);
        if (got <= 0)
            break;
        // Base64 is ASCII in every encoding the parser accepts but UTF-16.
        if (model_.decoding.kind == SourceDecoding::Utf16Le
            || model_.decoding.kind == SourceDecoding::Utf16Be)
            decoder.Feed(DecodeBytes(run.data, run.length));
        else
            decoder.Feed(QByteArrayView(bytes.data(), qsizetype(got)));
    }
    return decoder.Take();
}

ImageHandle Fb2Document::GetImage(const QString& id, const ImageRequest& request)
{
    if (ImageHandle cached = images_.Find(id, request))
        return cached;
    const auto it = model_.binaryById.find(ToView(id));
    if (it == model_.binaryById.end())
        return nullptr;
    const BinaryRecord& binary = model_.binaries[it->second];
    const std::u16string_view type = model_.strings.View(binary.contentType);
    const PictureKind kind = PictureKindOfContentType(ToQString(type).toLatin1());
    ImageHandle image = DecodePicture(BinaryData(binary), kind, options_.gamma, request);
    if (image)
        images_.Add(id, request, image);
    return image;
}

} // namespace lbv
