#pragma once
// Facts of the ZIP format that the import's archive class and the reader's own scan share, so
// that both see the same archive: where its central directory lies, and what a member is
// called.
#include <QString>
#include <functional>

namespace lbv {

struct ZipEndRecord {
    // Where the central directory really starts in the file: right before the end records.
    // Negative or past the file in a damaged archive.
    qint64 directoryStart = 0;
    qint64 directorySize = 0;
    qint64 entryCount = 0;
    // What the file's offsets are off by: the length of a program stub in front of a
    // self-extracting archive (offsets count from the archive's own start), else 0.
    qint64 offsetShift = 0;
};

// Reads up to `size` bytes at `position`; the count read, or less on failure.
using ZipReadAt = std::function<qint64(qint64 position, char* buffer, qint64 size)>;

// Finds the end of central directory record of an archive of `fileSize` bytes: after a comment,
// and behind a ZIP64 end record and locator when the archive has them. False when there is none
// (or its figures need a ZIP64 record that is missing).
bool FindZipEndRecord(const ZipReadAt& readAt, qint64 fileSize, ZipEndRecord* record);

// A stored member name as every part of the program addresses it: "\" of archives made on
// Windows is "/", and control characters, which an index cannot keep, are "_".
QString NormalizedMemberName(QString name);

} // namespace lbv
