#include "import/stored_book.h"

#include "catalog/file_name_mask.h"
#include "import/book_header.h"
#include "import/zip_file.h"
#include "text/book_encoding.h"
#include "text/messages.h"

#include <QFile>
#include <QFileInfo>

namespace lbv {
namespace {

thread_local ArchiveReuse* tArchiveReuse = nullptr;

bool ReadArchiveMember(const QString& path, QByteArray* bytes, QString* error)
{
    QString archive;
    QString member;
    SplitMemberPath(path, &archive, &member);
    if (member.isEmpty()) {
        *error = MessageText(Msg::BadZipMemberPath) + path;
        return false;
    }
    try {
        if (tArchiveReuse) {
            *bytes = tArchiveReuse->Archive(archive).Read(member);
            return true;
        }
        CZipFile zip;
        zip.Open(archive, 'r');
        *bytes = zip.Read(member);
        return true;
    } catch (const ZipError& failure) {
        *error = QStringLiteral("ZIP: ") + failure.Text();
        return false;
    }
}

bool ReadPlainBook(const QString& path, QByteArray* bytes, QString* error)
{
    QFile file(path);
    // Only regular files: a pipe or a device would block or never end.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        *error = MessageText(Msg::CantOpenFile).arg(path);
        return false;
    }
    const qint64 size = file.size();
    if (size > kLargestBookFile) {
        *error = MessageText(Msg::CantReadFile).arg(path);
        return false;
    }
    *bytes = file.read(size);
    if (bytes->size() != size) {
        *error = MessageText(Msg::CantOpenFile).arg(path);
        return false;
    }
    return true;
}

// The text as it is handed to the parser: its own declaration dropped (the text is decoded
// already, so the encoding it names no longer holds), nothing before the first tag or after the
// last one, and a plain declaration in front.
QString NormalizedBookText(QStringView text)
{
    const qsizetype start = text.indexOf(u'<');
    if (start > 0)
        text = text.sliced(start);
    text = text.sliced(XmlDeclarationLength(text));
    const qsizetype first = text.indexOf(u'<');
    const qsizetype last = text.lastIndexOf(u'>');
    if (first < 0 || last < first)
        return text.toString();
    return u"<?xml version=\"1.0\"?>" + text.sliced(first, last - first + 1);
}

} // namespace

ArchiveReuse::ArchiveReuse()
    : outer_(tArchiveReuse)
{
    tArchiveReuse = this;
}

ArchiveReuse::~ArchiveReuse()
{
    tArchiveReuse = outer_;
}

CZipFile& ArchiveReuse::Archive(const QString& path)
{
    const QFileInfo info(path);
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    if (zip_ && zip_->IsOpen() && path == path_ && size == size_ && modified == modified_)
        return *zip_;
    zip_.reset();
    auto zip = std::make_unique<CZipFile>();
    zip->Open(path, 'r');
    zip_ = std::move(zip);
    path_ = path;
    size_ = size;
    modified_ = modified;
    return *zip_;
}

bool StoredBookExists(const QString& path, int compression)
{
    QString file = path;
    QString member;
    if (compression == CompressionZip && !SplitMemberPath(path, &file, &member))
        return false;
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable())
        return false;
    if (member.isEmpty())
        return true;
    try {
        CZipFile zip;
        zip.Open(file, 'r');
        return zip.Find(member) != nullptr;
    } catch (const ZipError&) {
        return false;
    }
}

bool ReadStoredBookBytes(const QString& path, int compression, QByteArray* bytes, QString* error)
{
    bytes->clear();
    switch (compression) {
    case CompressionZip:
        return ReadArchiveMember(path, bytes, error);
    case CompressionGzip:
        *error = MessageText(Msg::GzipNotSupported);
        return false;
    default:
        return ReadPlainBook(path, bytes, error);
    }
}

bool ReadStoredBookPrefix(
    const QString& path, int compression, qint64 maxBytes, QByteArray* bytes, QString* error)
{
    if (compression != CompressionNone) {
        if (!ReadStoredBookBytes(path, compression, bytes, error))
            return false;
        bytes->truncate(qsizetype(std::min<qint64>(bytes->size(), maxBytes)));
        return true;
    }
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        *error = MessageText(Msg::CantOpenFile).arg(path);
        return false;
    }
    *bytes = file.read(std::min(file.size(), maxBytes));
    return true;
}

XmlDocumentPtr LoadStoredBookDocument(
    const QString& path, int compression, QString* error, int* encoding, QString* markupRepair)
{
    QByteArray bytes;
    if (!ReadStoredBookBytes(path, compression, &bytes, error))
        return nullptr;
    const QString text = DecodeBookBytes(bytes, encoding);
    bytes.clear();
    // A declaration is optional in XML; a file that has none must at least start with a tag.
    if (!text.contains(u"<?xml ") && !text.startsWith(u'<')) {
        *error = MessageText(Msg::NotAnXmlFile).arg(path);
        return nullptr;
    }
    QString ignored;
    return LoadFb2Text(NormalizedBookText(text), error, markupRepair ? markupRepair : &ignored);
}

} // namespace lbv
