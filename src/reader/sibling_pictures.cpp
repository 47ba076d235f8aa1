#include "reader/sibling_pictures.h"

#include "reader/content_kind.h"
#include "reader/zip_scan.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace lbv {
namespace {

bool IsPicture(const QString& name, bool insideArchive)
{
    return FileKindByName(name, insideArchive) == FileKind::Image;
}

QStringList FolderPictures(const QString& folder)
{
    QStringList names;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files))
        if (IsPicture(name, false))
            names << dir.filePath(name);
    return names;
}

QStringList ArchivePictures(
    const QString& archivePath, const QString& memberPath, const BookSourceOptions& options)
{
    QString error;
    const auto archive = FileByteSource::Open(archivePath, options.fileBufSize, error);
    if (!archive)
        return {};
    const auto directory = ZipDirectory::Scan(*archive, options.zipEncoding, error);
    if (!directory)
        return {};
    const qsizetype slash = memberPath.lastIndexOf(u'/');
    const QString folderPath = slash < 0 ? QString() : memberPath.left(slash);
    const ZipFolder* folder = &directory->Root();
    for (const QString& part : folderPath.split(u'/', Qt::SkipEmptyParts))
        if (!folder || !(folder = folder->Folder(part)))
            return {};
    const QString prefix = archivePath + u'/' + (slash < 0 ? QString() : folderPath + u'/');
    QStringList names;
    for (const ZipMember& member : folder->members)
        if (IsPicture(member.name, true))
            names << prefix + member.name;
    return names;
}

} // namespace

QStringList SiblingPictures(const QString& path, const BookSourceOptions& options)
{
    QString archivePath;
    QString memberPath;
    QStringList pictures = QFileInfo(path).isFile() ? FolderPictures(QFileInfo(path).absolutePath())
        : SplitArchiveMemberPath(path, archivePath, memberPath)
        ? ArchivePictures(archivePath, memberPath, options)
        : QStringList();
    std::sort(pictures.begin(), pictures.end(),
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return pictures;
}

std::optional<QString> SiblingPicture(
    const QString& path, int step, const BookSourceOptions& options)
{
    const QStringList pictures = SiblingPictures(path, options);
    const QString absolute = QFileInfo(path).isFile() ? QFileInfo(path).absoluteFilePath() : path;
    const qsizetype at = pictures.indexOf(absolute);
    if (at < 0 || at + step < 0 || at + step >= pictures.size())
        return std::nullopt;
    return pictures[at + step];
}

} // namespace lbv
