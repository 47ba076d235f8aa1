#pragma once
// Synthetic FB2 libraries for benchmarks and demos: books by Cyrillic and Latin authors with
// genres, years, annotations, series, sections, emphasis, footnotes and, in some, a small PNG
// or JPEG cover; a share is written in windows-1251, the rest in UTF-8. Every book depends only
// on the seed and its number, so any book can be made again alone.
#include <QByteArray>
#include <QString>

namespace lbv {

struct SyntheticOptions {
    quint32 seed = 1;
    qint64 minBytes = 50 * 1024; // whole-file size range, reached to within a paragraph
    qint64 maxBytes = 500 * 1024;
    int cp1251Percent = 30;
    int coverPercent = 40;
    int authorCount = 2000; // books are spread over this many authors (half of them Cyrillic)
};

struct SyntheticBook {
    QString fileName; // "book-000042.fb2"
    QByteArray bytes;
    // The header as written, for checking what a reader makes of the bytes.
    QString firstName;
    QString lastName;
    QString title;
    QString genre; // the first genre
    int year = 0;
    bool windows1251 = false;
    bool hasCover = false;
};

SyntheticBook MakeSyntheticBook(const SyntheticOptions& options, int number);

struct SyntheticTotals {
    int books = 0;
    qint64 bytes = 0; // uncompressed book bytes
};

// Books 0 .. count-1 as files in folder (created when missing). False and a text on failure.
bool WriteSyntheticFolder(const SyntheticOptions& options, int count, const QString& folder,
    SyntheticTotals* totals, QString* error);
// Books 0 .. count-1 as deflated members of one new archive, replacing any file of that name.
bool WriteSyntheticArchive(const SyntheticOptions& options, int count, const QString& archivePath,
    SyntheticTotals* totals, QString* error);

} // namespace lbv
