#include "import/book_placement.h"

#include "catalog/libravon_doc.h"
#include "import/stored_book.h"
#include "import/zip_file.h"
#include "settings/settings_store.h"
#include "text/book_encoding.h"
#include "text/code_pages.h"
#include "text/messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>
#include <functional>

namespace lbv {
namespace {

QString ErrorText(const QString& text)
{
    return MessageText(Msg::ErrorPrefix) + text;
}

QString AlreadyExists(const QString& path)
{
    return MessageText(Msg::WarningPrefix) + MessageText(Msg::FileAlreadyExists).arg(path);
}

bool IsCharsetName(QStringView name)
{
    if (name.isEmpty())
        return false;
    for (const QChar c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != u'-' && c != u'_' && c != u'.'
            && c != u':')
            return false;
    return true;
}

// The text with the declaration it starts with (if any) replaced by one naming `charset`.
QString WithEncodingDeclaration(QStringView text, const QString& charset)
{
    if (text.startsWith(QChar(0xFEFF)))
        text = text.sliced(1);
    text = text.sliced(XmlDeclarationLength(text));
    return u"<?xml version=\"1.0\" encoding=\"" + charset + u"\"?>" + text;
}

// A new book file is readable by everyone, as the user's other files; a replaced one keeps its
// permissions.
QFile::Permissions NewFilePermissions(const QString& path)
{
    const QFileInfo existing(path);
    if (existing.isFile())
        return existing.permissions();
    return QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
        | QFile::ReadGroup | QFile::ReadOther;
}

// The folders missing on the way to `folder`, deepest first.
QStringList MissingFolders(const QString& folder)
{
    QStringList missing;
    for (QString path = QDir::cleanPath(QDir().absoluteFilePath(folder)); !QFileInfo::exists(path);
         path = QFileInfo(path).path()) {
        missing.append(path);
        if (QFileInfo(path).path() == path)
            break;
    }
    return missing;
}

// Writes a book file under a hidden name beside `target` (folder scans skip it) and renames it
// over the target at the end, so that until then an old file stays whole. `write` fills the
// hidden file, given its path; it returns false with the reason. A failed write removes the
// hidden file and the folders it created, leaving no empty author folders behind.
bool WriteThroughHiddenFile(const QString& target,
    const std::function<bool(const QString& partial, QString* error)>& write, QString* error)
{
    const QFileInfo info(target);
    const QStringList created = MissingFolders(info.path());
    const auto fail = [&](const QString& text) {
        if (!text.isEmpty())
            *error = text;
        for (const QString& folder : created)
            QDir().rmdir(folder);
        return false;
    };
    if (!CreateParentDirectories(target))
        return fail(ErrorText(MessageText(Msg::CantCreateFolderFor).arg(target)));
    QTemporaryFile partial(info.absolutePath() + u"/.libravon-XXXXXX." + info.suffix());
    if (!partial.open())
        return fail(ErrorText(MessageText(Msg::CantCreateFile).arg(target)));
    partial.close();
    if (!write(partial.fileName(), error)) {
        partial.remove();
        return fail({});
    }
    QFile::setPermissions(partial.fileName(), NewFilePermissions(target));
    if (std::rename(QFile::encodeName(partial.fileName()).constData(),
            QFile::encodeName(target).constData())
        != 0) {
        partial.remove();
        return fail(ErrorText(MessageText(Msg::CantCreateFile).arg(target)));
    }
    partial.setAutoRemove(false);
    return true;
}

// The standard path, or from 2 on the same with " (number)" after the book's name (of the
// archive and of its member alike), for a book whose name another one's file already takes.
QString NumberedPath(const BookDescription& book, const StorageOptions& storage, int number)
{
    QString name = storage.libraryFolder
        + ExpandMask(storage.fileNameMask, book.firstName, book.lastName, book.title, book.genre,
            CompressionNone);
    if (number > 1)
        name += QStringLiteral(" (%1)").arg(number);
    const QString extension = FormatExtension(book.format);
    if (!storage.compressFiles)
        return name + extension;
    return name + QStringLiteral(".zip@") + name.mid(name.lastIndexOf(u'/') + 1) + extension;
}

// Whether the book stored at `path` is the one described: the same names and title in its
// header, or, for files without one, the same bytes. Unreadable files are someone else's.
bool HoldsSameBook(
    const QString& path, int compression, const CBookHeader& book, const QByteArray& content)
{
    QByteArray bytes;
    QString error;
    if (!ReadStoredBookBytes(path, compression, &bytes, &error))
        return false;
    if (book.format != FormatFb2)
        return bytes == content;
    CBookHeader stored(path, bytes.size());
    return stored.LoadFromBytes(bytes, &error) && stored.firstName == book.firstName
        && stored.lastName == book.lastName && stored.title == book.title;
}

// Books whose names clean to the same file name never share a file: the first free numbered
// path, or the one already holding this very book. Empty with the error when none is left.
QString FreeTarget(const CBookHeader& header, const StorageOptions& storage,
    const QByteArray& content, QString* error)
{
    constexpr int kLastNumber = 999;
    const int compression = storage.compressFiles ? CompressionZip : CompressionNone;
    const QString standard = StandardPath(header, storage);
    for (int number = 1; number <= kLastNumber; ++number) {
        const QString target = NumberedPath(header, storage, number);
        QString file = target;
        QString member;
        if (compression == CompressionZip)
            SplitMemberPath(target, &file, &member);
        // The book's own file (rewritten after an edit) is its place whatever it holds now.
        const bool own = SameLibraryPath(target, header.file);
        if (!own && QFileInfo::exists(file) && !HoldsSameBook(target, compression, header, content))
            continue;
        if (number > 1)
            *error = MessageText(Msg::WarningPrefix)
                + MessageText(Msg::NameTakenByOtherBook).arg(standard, target);
        return target;
    }
    *error = ErrorText(MessageText(Msg::NoFreeFileName).arg(standard));
    return {};
}

} // namespace

StorageOptions StorageOptionsOf(const CLibravonDoc& catalog)
{
    return {catalog.fileNameMask, catalog.compressFiles, catalog.IndexFolder()};
}

QString StandardPath(const BookDescription& book, const StorageOptions& storage)
{
    return NumberedPath(book, storage, 1);
}

bool LiesInFolder(const QString& path, const QString& folder)
{
    const QString base = QDir::cleanPath(QDir(folder).absolutePath());
    const QString target = QDir::cleanPath(QDir(base).absoluteFilePath(path));
    return target.startsWith(base.endsWith(u'/') ? base : base + u'/');
}

QString ActualBookPath(const CBook& book, const CLibravonDoc& catalog)
{
    const QString path = book.file.isEmpty() ? book.DefaultFileName(catalog) : book.file;
    return StoredBookExists(path, book.compression) ? path : QString();
}

QString PlaceBookFile(CBookHeader& header, const StorageOptions& storage, const QByteArray* content,
    bool overwrite, QString* error)
{
    error->clear();
    if (header.format < FormatFb2 || header.format > FormatHtml) {
        *error = ErrorText(MessageText(Msg::UnsupportedImportType));
        return {};
    }
    const QString standard = StandardPath(header, storage);
    if (!content && SameLibraryPath(standard, header.file))
        return standard;
    if (!LiesInFolder(standard, storage.libraryFolder)) {
        *error = ErrorText(MessageText(Msg::TargetOutsideLibrary).arg(standard));
        return {};
    }

    QByteArray source;
    if (!content) {
        if (!ReadStoredBookBytes(header.file, header.compression, &source, error)) {
            *error = ErrorText(*error);
            return {};
        }
        if (source.isEmpty()) {
            *error = ErrorText(MessageText(Msg::EmptyFile).arg(header.file));
            return {};
        }
        content = &source;
    }
    const int compression = storage.compressFiles ? CompressionZip : CompressionNone;
    const QString target = FreeTarget(header, storage, *content, error);
    if (target.isEmpty())
        return {};
    QString writeError;
    const bool placed = storage.compressFiles
        ? WriteBookIntoArchive(target, *content, overwrite, &writeError)
        : WriteBookFile(target, *content, overwrite, &writeError);
    if (!error->isEmpty() && !writeError.isEmpty())
        *error += u'\n';
    *error += writeError;
    if (!placed)
        return {};
    header.file = target;
    header.compression = compression;
    return target;
}

bool WriteBookFile(const QString& path, const QByteArray& bytes, bool overwrite, QString* error)
{
    if (QFileInfo(path).isFile() && !overwrite) {
        *error = AlreadyExists(path);
        return true;
    }
    return WriteThroughHiddenFile(
        path,
        [&](const QString& partial, QString* failure) {
            QFile file(partial);
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                && file.write(bytes) == bytes.size() && file.flush())
                return true;
            *failure = ErrorText(MessageText(Msg::CantCreateFile).arg(path));
            return false;
        },
        error);
}

bool WriteBookIntoArchive(
    const QString& memberPath, const QByteArray& bytes, bool overwrite, QString* error)
{
    QString archive;
    QString member;
    SplitMemberPath(memberPath, &archive, &member);
    if (member.isEmpty()) {
        *error = ErrorText(MessageText(Msg::BadZipMemberPath) + memberPath);
        return false;
    }
    if (QFileInfo(archive).isFile() && !overwrite) {
        *error = AlreadyExists(archive);
        return true;
    }
    return WriteThroughHiddenFile(
        archive,
        [&](const QString& partial, QString* failure) {
            try {
                CZipFile zip;
                zip.Open(partial, 'w', ZipDeflated);
                CZipInfo info(member);
                info.compressType = ZipDeflated;
                zip.Write(info, bytes);
                zip.Close();
                return true;
            } catch (const ZipError& zipFailure) {
                *failure = ErrorText(QStringLiteral("ZIP: ") + zipFailure.Text());
                return false;
            }
        },
        error);
}

QString BookCharsetSetting(SettingsStore& settings)
{
    return settings.GetProfileString(QStringLiteral("Settings"), QStringLiteral("BookCharset"),
        QStringLiteral("1251,windows-1251"));
}

bool EncodeBookText(QStringView text, const QString& bookCharset, QByteArray* bytes, QString* error)
{
    const qsizetype comma = bookCharset.indexOf(u',');
    bool isNumber = false;
    const int number = QStringView(bookCharset).left(comma).trimmed().toInt(&isNumber);
    QString charset = comma < 0 ? QString() : bookCharset.mid(comma + 1).trimmed();
    int page = isNumber ? CodePageIndex(number) : -1;
    if (page < 0 && !charset.isEmpty())
        page = FindCodePage(charset);
    if (page < 0) {
        *error = ErrorText(MessageText(Msg::CantEncodeText)
                               .arg(QStringLiteral("unknown code page ") + bookCharset));
        return false;
    }
    // The name goes into the declaration: only a plain charset name may.
    if (!IsCharsetName(charset))
        charset = CodePageName(page);

    QString reason;
    if (!ConvertFromUnicode(page, WithEncodingDeclaration(text, charset), *bytes, reason,
            UnmappableCharacters::XmlReference)) {
        reason.replace(u'\r', u' ').replace(u'\n', u' ');
        *error = ErrorText(MessageText(Msg::CantEncodeText).arg(reason));
        return false;
    }
    if (CodePageNumber(page) == 65001)
        bytes->prepend("\xEF\xBB\xBF");
    return true;
}

bool SaveBookText(const QString& path, QStringView text, const QString& bookCharset, bool overwrite,
    QString* error)
{
    QByteArray bytes;
    return EncodeBookText(text, bookCharset, &bytes, error)
        && WriteBookFile(path, bytes, overwrite, error);
}

bool SaveBookTextInArchive(const QString& memberPath, QStringView text, const QString& bookCharset,
    bool overwrite, QString* error)
{
    QByteArray bytes;
    return EncodeBookText(text, bookCharset, &bytes, error)
        && WriteBookIntoArchive(memberPath, bytes, overwrite, error);
}

bool CreateDirectories(const QString& folder)
{
    return !folder.isEmpty() && QDir().mkpath(folder);
}

bool CreateParentDirectories(const QString& filePath)
{
    return CreateDirectories(QFileInfo(filePath).path());
}

} // namespace lbv
