#pragma once
// What the fuzz targets over library files do with one input: an index file opened as the
// program opens one, and an archive whose members are listed by the import scan and then read
// by the paths it listed, through the import and through the reader's own scan. The import tests
// run the same functions, so they keep building where no fuzzer does.
#include "catalog/libravon_doc.h"
#include "import/book_header.h"
#include "import/import_source.h"
#include "import/stored_book.h"
#include "reader/zip_member_source.h"
#include "reader/zip_scan.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <zlib.h>

namespace lbv::fuzz {

// A path in a folder of this process's own, holding `bytes`.
inline QString WriteInput(const QString& name, const QByteArray& bytes)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        __builtin_trap();
    file.write(bytes);
    return path;
}

// The first byte says whether the rest is gzip-packed first, as saved indexes are.
inline void OpenIndex(const QByteArray& input)
{
    if (input.isEmpty())
        return;
    QByteArray bytes = input.mid(1);
    if (input[0] & 1) {
        const QString packed = WriteInput(QStringLiteral("packed.lvf"), {});
        gzFile file = gzopen(QFile::encodeName(packed).constData(), "wb");
        gzwrite(file, bytes.constData(), unsigned(bytes.size()));
        gzclose(file);
        QFile reread(packed);
        reread.open(QIODevice::ReadOnly);
        bytes = reread.readAll();
    }
    CLibravonDoc catalog;
    catalog.Open(WriteInput(QStringLiteral("index.lvf"), bytes));
}

inline void ReadArchiveMembers(const QByteArray& bytes)
{
    const QString archive = WriteInput(QStringLiteral("books.zip"), bytes);
    CImportSource source(archive, 4096);
    QString error;
    source.Scan(&error);
    std::shared_ptr<ByteSource> file = FileByteSource::Open(archive, 8192, error);
    const auto directory = file ? ZipDirectory::Scan(*file, QString(), error) : nullptr;
    const ArchiveReuse reuse;
    for (const auto& header : source.headers) {
        QByteArray content;
        ReadStoredBookBytes(header->file, CompressionZip, &content, &error);
        QString path;
        QString member;
        if (!SplitMemberPath(header->file, &path, &member) || path != archive)
            __builtin_trap(); // a listed path that names another file
        // The reader looks the same path up in its own walk over the local headers.
        if (const ZipMember* found = directory ? directory->Find(member) : nullptr) {
            ZipMemberSource reader(file, *found, 8192);
            QByteArray again(std::min<qsizetype>(content.size() + 16, 1 << 20), Qt::Uninitialized);
            reader.ReadAt(0, again.data(), again.size());
        }
    }
}

} // namespace lbv::fuzz
