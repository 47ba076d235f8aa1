#include "reader/file_browser.h"

#include "reader/byte_source.h"
#include "reader/content_kind.h"
#include "reader/zip_scan.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace lbv {
namespace {

BrowseEntry::Kind KindOfFile(const QString& name, bool insideArchive, bool* shown)
{
    *shown = true;
    switch (FileKindByName(name, insideArchive)) {
    case FileKind::Archive:
        return BrowseEntry::Kind::Archive;
    case FileKind::Image:
        return BrowseEntry::Kind::Image;
    case FileKind::Document:
        return BrowseEntry::Kind::Document;
    case FileKind::Other:
        break;
    }
    *shown = false;
    return BrowseEntry::Kind::Document;
}

QString Join(const QString& location, const QString& name)
{
    return location.endsWith(u'/') ? QString(location + name) : QString(location + u'/' + name);
}

void AddFile(std::vector<BrowseEntry>& entries, const QString& location, const QString& name,
    bool insideArchive)
{
    bool shown = false;
    const BrowseEntry::Kind kind = KindOfFile(name, insideArchive, &shown);
    if (shown)
        entries.push_back({kind, name, Join(location, name)});
}

bool ListFolder(const QString& location, std::vector<BrowseEntry>& entries, QString* error)
{
    const QDir dir(location);
    if (!dir.exists() || !dir.isReadable()) {
        *error = FileOpenError(location);
        return false;
    }
    for (const QFileInfo& info :
        dir.entryInfoList(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Readable)) {
        if (info.isDir())
            entries.push_back(
                {BrowseEntry::Kind::Folder, info.fileName(), Join(location, info.fileName())});
        else
            AddFile(entries, location, info.fileName(), false);
    }
    return true;
}

// The archive and the folder path inside it, for a location that is an archive or lies in one.
bool SplitArchiveLocation(const QString& location, QString& archive, QString& inner)
{
    if (QFileInfo(location).isFile()) {
        archive = location;
        inner.clear();
        return true;
    }
    return SplitArchiveMemberPath(location, archive, inner);
}

bool ListArchive(const QString& location, const QString& archivePath, const QString& inner,
    const BookSourceOptions& options, std::vector<BrowseEntry>& entries, QString* error)
{
    const auto source = FileByteSource::Open(archivePath, options.fileBufSize, *error);
    if (!source)
        return false;
    const auto directory = ZipDirectory::Scan(*source, options.zipEncoding, *error);
    if (!directory)
        return false;
    const ZipFolder* folder = &directory->Root();
    for (const QString& part : inner.split(u'/', Qt::SkipEmptyParts)) {
        folder = folder->Folder(part);
        if (!folder) {
            *error = FileOpenError(location);
            return false;
        }
    }
    for (const ZipFolder& sub : folder->folders)
        entries.push_back({BrowseEntry::Kind::Folder, sub.name, Join(location, sub.name)});
    for (const ZipMember& member : folder->members)
        AddFile(entries, location, member.name, true);
    return true;
}

} // namespace

bool ListLocation(const QString& location, const BookSourceOptions& options,
    std::vector<BrowseEntry>* entries, QString* error)
{
    std::vector<BrowseEntry> listed;
    QString archive;
    QString inner;
    bool listedOk = false;
    if (QFileInfo(location).isDir())
        listedOk = ListFolder(location, listed, error);
    else if (SplitArchiveLocation(location, archive, inner))
        listedOk = ListArchive(location, archive, inner, options, listed, error);
    else
        *error = FileOpenError(location);
    if (!listedOk)
        return false;
    // Documents and pictures are listed together.
    const auto group
        = [](BrowseEntry::Kind kind) { return std::min(kind, BrowseEntry::Kind::Document); };
    std::stable_sort(listed.begin(), listed.end(), [&](const BrowseEntry& a, const BrowseEntry& b) {
        if (group(a.kind) != group(b.kind))
            return group(a.kind) < group(b.kind);
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    entries->clear();
    const QString parent = ParentLocation(location);
    if (!parent.isEmpty())
        entries->push_back({BrowseEntry::Kind::Parent, QStringLiteral(".."), parent});
    entries->insert(entries->end(), listed.begin(), listed.end());
    return true;
}

QString ParentLocation(const QString& location)
{
    QString path = location;
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0 || path == QLatin1String("/"))
        return {};
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString ListableLocation(const QString& stored, const BookSourceOptions& options)
{
    std::vector<BrowseEntry> entries;
    QString error;
    for (QString location = stored; !location.isEmpty(); location = ParentLocation(location))
        if (QFileInfo(location).isAbsolute() && ListLocation(location, options, &entries, &error))
            return location;
    return QDir::homePath();
}

} // namespace lbv
