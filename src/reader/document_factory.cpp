#include "reader/document_factory.h"

#include "reader/content_kind.h"
#include "reader/dictionary_document.h"
#include "reader/fb2_document.h"
#include "reader/image_document.h"
#include "reader/palm_sources.h"
#include "reader/text_document.h"
#include "reader/zip_member_source.h"
#include "reader/zip_scan.h"
#include "text/messages.h"

#include <QFileInfo>

namespace lbv {
namespace {

// Palm and TCR books are text packed inside the file; readers see the unpacked text.
std::unique_ptr<ByteSource> Unpack(std::unique_ptr<ByteSource> raw, QString& error)
{
    if (IsPalmTextDatabase(*raw))
        return PdbTextSource::Open(std::move(raw), error);
    if (IsTcrFile(*raw))
        return TcrTextSource::Open(std::move(raw), error);
    return raw;
}

std::unique_ptr<ByteSource> OpenMember(const QString& path, const QString& archivePath,
    const QString& memberPath, const BookSourceOptions& options, QString& error)
{
    QString ignored;
    std::shared_ptr<ByteSource> archive
        = FileByteSource::Open(archivePath, options.fileBufSize, ignored);
    if (!archive) {
        error = MessageText(Msg::CantOpenZipFile);
        return nullptr;
    }
    const auto directory = ZipDirectory::Scan(*archive, options.zipEncoding, error);
    if (!directory)
        return nullptr;
    const ZipMember* member = directory->Find(memberPath);
    if (!member) {
        error = MessageText(Msg::ReaderFileNotFound).arg(path);
        return nullptr;
    }
    return std::make_unique<ZipMemberSource>(archive, *member, options.fileBufSize);
}

} // namespace

bool SplitArchiveMemberPath(const QString& path, QString& archivePath, QString& memberPath)
{
    // Inside an archive the path goes on past the archive's own file name.
    for (qsizetype slash = path.lastIndexOf(u'/'); slash > 0;
         slash = path.lastIndexOf(u'/', slash - 1)) {
        const QFileInfo info(path.left(slash));
        if (info.isDir())
            return false;
        if (info.isFile()) {
            archivePath = path.left(slash);
            memberPath = path.mid(slash + 1);
            return true;
        }
    }
    return false;
}

std::unique_ptr<ByteSource> OpenBookSource(
    const QString& path, const BookSourceOptions& options, QString& error)
{
    if (QFileInfo(path).isFile()) {
        auto file = FileByteSource::Open(path, options.fileBufSize, error);
        return file ? Unpack(std::move(file), error) : nullptr;
    }
    QString archivePath;
    QString memberPath;
    if (SplitArchiveMemberPath(path, archivePath, memberPath)) {
        auto member = OpenMember(path, archivePath, memberPath, options, error);
        return member ? Unpack(std::move(member), error) : nullptr;
    }
    error = FileOpenError(path);
    return nullptr;
}

int DetectSourceKind(ByteSource& source)
{
    QByteArray sample(kContentSampleSize, Qt::Uninitialized);
    const int64_t got = source.ReadAt(0, sample.data(), sample.size());
    sample.resize(qsizetype(std::max<int64_t>(got, 0)));
    return DetectContentKind(sample);
}

std::unique_ptr<DocumentSource> CreateDocument(std::unique_ptr<ByteSource> source, int kind,
    int codePage, DocumentOptions options, QString& error)
{
    error.clear();
    std::unique_ptr<DocumentSource> document;
    switch (kind) {
    case kTextLinePerParagraph:
    case kTextIndentedFirstLine:
    case kTextMacLinePerParagraph:
    case kTextMacIndentedFirstLine:
        document = std::make_unique<TextDocument>(std::move(source), std::move(options), kind);
        break;
    case kDocumentFb2:
        document = std::make_unique<Fb2Document>(std::move(source), std::move(options));
        break;
    case kDocumentPng:
    case kDocumentJpeg:
        document = std::make_unique<ImageDocument>(std::move(source), std::move(options),
            kind == kDocumentPng ? PictureKind::Png : PictureKind::Jpeg);
        break;
    default:
        return nullptr;
    }
    if (!document->Load(codePage)) {
        error = document->ErrorText();
        return nullptr; // the document's arena goes with it
    }
    return document;
}

bool IsDictionarySource(ByteSource& source)
{
    char magic[4];
    return source.ReadAt(0, magic, 4) == 4 && QByteArrayView(magic, 4) == "DICq";
}

std::unique_ptr<DocumentSource> OpenDocument(const QString& path, int kind, int codePage,
    const BookSourceOptions& sourceOptions, DocumentOptions options, QString& error)
{
    std::unique_ptr<ByteSource> source = OpenBookSource(path, sourceOptions, error);
    if (!source)
        return nullptr;
    if (kind < 0)
        kind = IsDictionarySource(*source) ? kDocumentDictionary : DetectSourceKind(*source);
    if (kind != kDocumentDictionary)
        return CreateDocument(std::move(source), kind, codePage, std::move(options), error);
    error.clear();
    auto dictionary = std::make_unique<DictionaryDocument>(path, std::move(source));
    if (!dictionary->Load(codePage)) {
        error = dictionary->ErrorText();
        return nullptr;
    }
    return dictionary;
}

} // namespace lbv
