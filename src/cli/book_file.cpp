#include "cli/book_file.h"

#include "catalog/catalog_records.h"
#include "import/book_header.h"
#include "import/temp_files.h"
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

// The combined member path of the archive's first member.
bool FirstMemberPath(const QString& archive, QString* memberPath, QString* error)
{
    try {
        CZipFile zip;
        zip.Open(archive, 'r');
        for (const CZipInfo& member : zip.Members()) {
            if (!member.fileName.endsWith(u'/')) {
                *memberPath = CombinedMemberPath(archive, member.fileName);
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

BookFile::~BookFile()
{
    if (!tempFile_.isEmpty())
        QFile::remove(tempFile_);
}

bool BookFile::Open(const QString& path, QString* error)
{
    QString memberPath;
    if (QFileInfo(path).isFile()) {
        if (!IsZipArchive(path)) {
            path_ = path;
            return true;
        }
        if (!FirstMemberPath(path, &memberPath, error))
            return false;
    } else {
        QString archive;
        QString member;
        if (!SplitMemberPath(path, &archive, &member)) {
            path_ = path; // the reader names what is wrong with it
            return true;
        }
        memberPath = path;
    }
    tempFile_ = ExtractToTempFile(memberPath, CompressionZip, error);
    path_ = tempFile_.isEmpty() ? memberPath : tempFile_;
    return error->isEmpty();
}

} // namespace lbv::cli
