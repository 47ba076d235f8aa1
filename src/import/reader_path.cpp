#include "import/reader_path.h"

#include "import/book_header.h"
#include "import/zip_file.h"

#include <QFile>
#include <QFileInfo>

namespace lbv::cli {
namespace {

bool IsZipArchive(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArray("PK\x03\x04", 4);
}

bool FirstMember(const QString& archive, QString* member, QString* error)
{
    try {
        CZipFile zip;
        zip.Open(archive, 'r');
        for (const CZipInfo& info : zip.Members()) {
            if (!info.fileName.endsWith(u'/')) {
                *member = info.fileName;
                return true;
            }
        }
        *error = QStringLiteral("%1 holds no book").arg(archive);
    } catch (const ZipError& failure) {
        *error = QStringLiteral("ZIP: ") + failure.Text();
    }
    return false;
}

} // namespace

bool ReaderPath(const QString& path, QString* readerPath, QString* error)
{
    QString archive;
    QString member;
    if (QFileInfo(path).isFile()) {
        if (!IsZipArchive(path)) {
            *readerPath = path;
            return true;
        }
        archive = path;
        if (!FirstMember(archive, &member, error))
            return false;
    } else if (!SplitMemberPath(path, &archive, &member)) {
        *readerPath = path; // the reader names what is wrong with it
        return true;
    }
    *readerPath = archive + u'/' + member;
    return true;
}

} // namespace lbv::cli
