#include "reader/dictionary_document.h"

#include "reader/paragraph_search.h"
#include "text/messages.h"

#include <QDir>
#include <QFileInfo>

namespace lbv {

DictionaryDocument::DictionaryDocument(QString path, std::unique_ptr<ByteSource> source)
    : path_(std::move(path))
    , source_(std::move(source))
{
}

bool DictionaryDocument::CopyToTemporaryFile()
{
    // Straight in the system's temporary folder, made 0600 with a random name: a shared folder
    // of fixed name could be planted by another user, who could then swap the copy.
    copy_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + u"/Libravon-XXXXXX.dic");
    if (!copy_->open()) {
        error_ = MessageText(Msg::ReaderFileIoError).arg(path_);
        return false;
    }
    QByteArray block(1 << 16, Qt::Uninitialized);
    for (int64_t at = 0; at < source_->Size();) {
        const int64_t got = source_->ReadAt(at, block.data(), block.size());
        if (got <= 0 || copy_->write(block.constData(), got) != got) {
            error_ = MessageText(Msg::ReaderFileIoError).arg(path_);
            return false;
        }
        at += got;
    }
    copy_->close();
    return true;
}

bool DictionaryDocument::Load(int)
{
    const bool copied = !QFileInfo(path_).isFile();
    if (copied && !CopyToTemporaryFile())
        return false;
    dictionary_ = Dictionary::Open(copied ? copy_->fileName() : path_, &error_);
    if (!dictionary_) {
        if (copied) // the message names the book the user opened, not the copy
            error_.replace(copy_->fileName(), path_);
        return false;
    }
    starts_.assign(1, 0);
    starts_.reserve(std::size_t(dictionary_->LineCount()) + 1);
    for (int line = 0; line < dictionary_->LineCount(); ++line)
        starts_.push_back(starts_.back() + dictionary_->Line(line, false).text.size());
    return true;
}

ParagraphView DictionaryDocument::GetParagraph(int body, int paragraph)
{
    ParagraphView view;
    if (body != 0 || paragraph < 0 || paragraph >= ParagraphCount(0))
        return view;
    DictionaryParagraph line = dictionary_->Line(paragraph, true);
    view.text = std::move(line.text);
    view.attributes.assign(line.attributes.begin(), line.attributes.end());
    // A block that could not be read now keeps the length it was measured with.
    view.text.resize(ParagraphLength(0, paragraph), u' ');
    view.attributes.resize(std::size_t(view.text.size()), 0);
    return view;
}

int DictionaryDocument::ParagraphCount(int body) const
{
    return body == 0 && !starts_.empty() ? int(starts_.size()) - 1 : 0;
}

int DictionaryDocument::ParagraphLength(int body, int paragraph) const
{
    if (paragraph < 0 || paragraph >= ParagraphCount(body))
        return 0;
    return int(starts_[std::size_t(paragraph) + 1] - starts_[std::size_t(paragraph)]);
}

int64_t DictionaryDocument::ParagraphStart(int body, int paragraph) const
{
    if (ParagraphCount(body) == 0 || paragraph < 0)
        return 0;
    return starts_[std::size_t(std::min(paragraph, ParagraphCount(body)))];
}

int64_t DictionaryDocument::BodyEnd(int body) const
{
    return ParagraphStart(body, ParagraphCount(body));
}

int DictionaryDocument::ParagraphAtOffset(int body, int64_t offset) const
{
    const int count = ParagraphCount(body);
    if (count == 0 || offset < 0 || offset > BodyEnd(body))
        return 0;
    if (offset == BodyEnd(body))
        return count;
    return int(LastParagraphStartingBy(
        uint32_t(count), offset, [this](uint32_t i) { return starts_[i]; }));
}

QString DictionaryDocument::BodyName(int body) const
{
    return body == 0 ? MessageText(Msg::BodyMain) : QString();
}

int64_t DictionaryDocument::MemoryUsed() const
{
    return int64_t(starts_.capacity() * sizeof(int64_t)) + source_->MemoryUsed();
}

QString DictionaryDocument::SourceDescription() const
{
    return source_->Description();
}

} // namespace lbv
