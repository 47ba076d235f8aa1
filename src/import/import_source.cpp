#include "import/import_source.h"

#include "import/zip_file.h"
#include "settings/settings_store.h"
#include "text/messages.h"
#include "text/zip_layout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <limits>
#include <unzip.h>

namespace lbv {
namespace {

constexpr int kSmallestPrefetch = 2048;
// A header that needs more than this is no header; a huge setting must not make every scanned
// file cost that much memory.
constexpr int kLargestPrefetch = 16 * 1024 * 1024;
constexpr int kLongestZipName = 0xFFFF;

void AppendError(QString* error, const QString& text)
{
    if (text.isEmpty())
        return;
    if (!error->isEmpty())
        error->append(u"\r\n");
    error->append(text);
}

struct FilePrefix {
    enum Outcome { Read, CantOpen, Empty, Short } outcome = CantOpen;
    QByteArray bytes;
    qint64 size = 0;
};

// Only regular files are opened: a named pipe or a device would block the scan or never end.
FilePrefix ReadFilePrefix(const QFileInfo& info, int prefetchSize)
{
    FilePrefix prefix;
    // Unbuffered: one read of the prefix, not a larger buffer filled behind it.
    QFile file(info.filePath());
    if (!info.isFile() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return prefix;
    prefix.size = file.size();
    if (prefix.size == 0) {
        prefix.outcome = FilePrefix::Empty;
        return prefix;
    }
    const qint64 wanted = std::min<qint64>(prefix.size, prefetchSize);
    prefix.bytes = file.read(wanted);
    prefix.outcome = prefix.bytes.size() == wanted ? FilePrefix::Read : FilePrefix::Short;
    return prefix;
}

// Whether the file may be a ZIP archive: one starts with a local header ("PK"), or with a
// program stub ("MZ") in a self-extracting archive. Anything else is read as a plain file at
// once, without letting the archive reader search the last 64 KB of every book for a directory.
bool MayBeArchive(QByteArrayView prefix)
{
    return prefix.startsWith("PK") || prefix.startsWith("MZ");
}

struct UnzipCloser {
    void operator()(void* zip) const { unzClose(zip); }
};

// Up to `wanted` bytes from the start of the current member; fewer when it cannot be read.
QByteArray ReadMemberPrefix(unzFile zip, qint64 wanted)
{
    QByteArray bytes;
    if (unzOpenCurrentFile(zip) != UNZ_OK)
        return bytes;
    bytes.resize(qsizetype(wanted));
    qint64 got = 0;
    while (got < wanted) {
        const int count = unzReadCurrentFile(zip, bytes.data() + got, unsigned(wanted - got));
        if (count <= 0)
            break;
        got += count;
    }
    unzCloseCurrentFile(zip);
    bytes.truncate(qsizetype(got));
    return bytes;
}

// The header of a plain file from its prefix; the file's path is the source's.
bool AddPlainFile(CImportSource& source, const FilePrefix& prefix, QString* error)
{
    switch (prefix.outcome) {
    case FilePrefix::CantOpen:
        *error = MessageText(Msg::CantOpenFile).arg(source.path);
        return false;
    case FilePrefix::Empty:
        *error = MessageText(Msg::EmptyFile).arg(source.path);
        return false;
    case FilePrefix::Short:
        *error = MessageText(Msg::CantReadFile).arg(source.path);
        return false;
    case FilePrefix::Read:
        break;
    }
    auto header = std::make_unique<CBookHeader>(source.path, prefix.size);
    if (!header->LoadFromBytes(prefix.bytes, error))
        return false;
    source.headers.push_back(std::move(header));
    return true;
}

QString JoinPath(const QString& folder, const QString& name)
{
    return folder.endsWith(u'/') ? QString(folder + name) : QString(folder + u'/' + name);
}

} // namespace

int ImportPrefetchSize(SettingsStore& settings)
{
    const qint32 size = settings.GetProfileInt(
        QStringLiteral("Settings"), QStringLiteral("FastPrefetchBufferSize"), 4096);
    return std::clamp(size, kSmallestPrefetch, kLargestPrefetch);
}

bool CImportSource::Scan(QString* error)
{
    QSet<QString> visitedFolders;
    return Scan(error, &visitedFolders);
}

bool CImportSource::Scan(QString* error, QSet<QString>* visitedFolders)
{
    const QFileInfo info(path);
    if (info.isDir())
        return ScanFolder(error, visitedFolders);

    const FilePrefix prefix = ReadFilePrefix(info, prefetchSize_);
    if (prefix.outcome == FilePrefix::Read && MayBeArchive(prefix.bytes)
        && !IsPackedDocument(path)) {
        QString archiveError;
        if (ReadArchive(&archiveError)) {
            AppendError(error, archiveError);
            return true;
        }
        if (archiveError != QStringView(kNotAZipArchive)) {
            // The members' own failures say why; the closing line names the archive, so a run
            // over many archives still tells them apart.
            AppendError(error, archiveError);
            AppendError(error, MessageText(Msg::NotAZipFile) + u' ' + path);
            return false;
        }
    }
    QString fileError;
    const bool found = AddPlainFile(*this, prefix, &fileError);
    AppendError(error, fileError);
    return found;
}

bool CImportSource::ScanFolder(QString* error, QSet<QString>* visitedFolders)
{
    // Links may lead back up the tree; each real folder is walked once.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty() || visitedFolders->contains(canonical))
        return false;
    visitedFolders->insert(canonical);

    const QStringList names = QDir(path).entryList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names) {
        if (cancel_ && *cancel_)
            break;
        if (name.startsWith(u'.'))
            continue;
        auto child = std::make_unique<CImportSource>(JoinPath(path, name), prefetchSize_);
        child->SetCancel(cancel_);
        QString childError;
        if (child->Scan(&childError, visitedFolders))
            children.push_back(std::move(child));
        AppendError(error, childError);
    }
    return !children.empty();
}

bool CImportSource::ReadPlainFile(QString* error)
{
    return AddPlainFile(*this, ReadFilePrefix(QFileInfo(path), prefetchSize_), error);
}

bool CImportSource::ReadArchive(QString* error)
{
    std::unique_ptr<void, UnzipCloser> zip(
        QFileInfo(path).isFile() ? unzOpen64(QFile::encodeName(path).constData()) : nullptr);
    if (!zip) {
        *error = QString::fromUtf16(kNotAZipArchive);
        return false;
    }
    QByteArray name(kLongestZipName + 1, Qt::Uninitialized);
    // A member is read by its name: of two that share one only the first can be, so the
    // others are not offered at all.
    QSet<QString> memberNames;
    for (int status = unzGoToFirstFile(zip.get()); status == UNZ_OK;
         status = unzGoToNextFile(zip.get())) {
        unz_file_info64 info {};
        if (unzGetCurrentFileInfo64(
                zip.get(), &info, name.data(), uLong(name.size()), nullptr, 0, nullptr, 0)
            != UNZ_OK)
            break;
        const QByteArray storedName
            = name.first(qsizetype(std::min<uLong>(info.size_filename, kLongestZipName)));
        if (storedName.endsWith('/') || storedName.endsWith('\\'))
            continue;
        const QString memberName
            = NormalizedMemberName(DecodeZipText(storedName, quint16(info.flag)));
        const QString memberPath = CombinedMemberPath(path, memberName);
        if (memberNames.contains(memberName)) {
            AppendError(error, MessageText(Msg::DuplicateZipMember) + memberPath);
            continue;
        }
        memberNames.insert(memberName);
        // The sizes in an archive are claims: never reserve more than the prefetch for them.
        const qint64 wanted
            = qint64(std::min<ZPOS64_T>(info.uncompressed_size, ZPOS64_T(prefetchSize_)));
        if (wanted == 0) {
            AppendError(error, MessageText(Msg::EmptyFile).arg(memberPath));
            continue;
        }
        const QByteArray bytes = ReadMemberPrefix(zip.get(), wanted);
        if (bytes.size() != wanted) {
            AppendError(error, MessageText(Msg::CantReadFileInsideZip) + memberPath);
            continue;
        }
        auto header = std::make_unique<CBookHeader>(memberPath,
            qint64(std::min<ZPOS64_T>(info.uncompressed_size, std::numeric_limits<qint64>::max())));
        header->compression = CompressionZip;
        QString headerError;
        if (header->LoadFromBytes(bytes, &headerError))
            headers.push_back(std::move(header));
        else
            AppendError(error, headerError);
    }
    return !headers.empty();
}

} // namespace lbv
