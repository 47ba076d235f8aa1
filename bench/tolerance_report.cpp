// How tolerant the header reader and the reader are of the books in a folder: every file below
// DIR (and every member of the ZIP archives there) goes through both, and each counts as read
// strictly, read after its markup was repaired, or refused. Refused files are listed with their
// first error; the last two lines are the header reader's and the reader's counts.
#include "import/book_header.h"
#include "import/zip_file.h"
#include "reader/document_factory.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <cstdio>

namespace {

// The scan reads no more than this of a file before the header reader asks for more.
constexpr qsizetype kPrefetch = 4096;

struct Tally {
    int strict = 0;
    int repaired = 0;
    int refused = 0;

    void Count(bool read, const QString& repairNote)
    {
        if (!read)
            ++refused;
        else if (repairNote.isEmpty())
            ++strict;
        else
            ++repaired;
    }
    void Print() const
    {
        std::printf("strict: %d, repaired: %d, refused: %d\n", strict, repaired, refused);
    }
};

void PrintRefusal(const char* who, const QString& path, const QString& error)
{
    std::printf("%s refused %s: %s\n", who, qPrintable(path), qPrintable(error.simplified()));
}

// One book: `headerPath` and `compression` as the import scan would make them, `readerPath` as
// the reader opens it.
void Check(const QString& headerPath, int compression, const QString& readerPath,
    const QByteArray& bytes, Tally& headers, Tally& reader)
{
    lbv::CBookHeader header(headerPath, bytes.size());
    header.compression = compression;
    QString error;
    const bool headerRead
        = header.LoadFromBytes(bytes.first(std::min(bytes.size(), kPrefetch)), &error);
    headers.Count(headerRead, header.markupRepair);
    if (!headerRead)
        PrintRefusal("header reader", headerPath, error);

    const auto document = lbv::OpenDocument(readerPath, -1, -1, {}, {}, error);
    reader.Count(document != nullptr, document ? document->RepairNote() : QString());
    if (!document)
        PrintRefusal("reader", readerPath, error);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tolerance_report DIR\n");
        return 2;
    }
    Tally headers;
    Tally reader;
    QDirIterator files(
        QString::fromLocal8Bit(argv[1]), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        if (!bytes.startsWith("PK\x03\x04")) {
            Check(path, lbv::CompressionNone, path, bytes, headers, reader);
            continue;
        }
        try {
            lbv::CZipFile zip;
            zip.Open(path, 'r');
            for (const lbv::CZipInfo& member : zip.Members()) {
                if (member.fileName.endsWith(u'/'))
                    continue;
                Check(lbv::CombinedMemberPath(path, member.fileName), lbv::CompressionZip,
                    path + u'/' + member.fileName, zip.Read(member.fileName), headers, reader);
            }
        } catch (const lbv::ZipError& failure) {
            PrintRefusal("archive", path, failure.Text());
        }
    }
    headers.Print();
    reader.Print();
    return 0;
}
