#pragma once
// The program's temporary files: copies of archive members made for converting, opening or
// exporting a book, in a folder of this process's own below the system's temporary folder.
#include <QString>
#include <utility>

namespace lbv {

// The process's private temporary folder ("Libravon-" and a random part, mode 0700, removed
// when the process ends), made on first use and again should it vanish or the system's
// temporary folder change. Empty when it can't be made.
QString TempFolder();

// A path in the temporary folder for a file named after the base name of `fileName` (any folder
// part is dropped): the name itself, else the name with a counter "01" to "99" before the
// extension, whichever is free first. Empty with the reason when the folder can't be made or all
// 100 names are taken.
QString MakeTempFileName(const QString& fileName, QString* error);

// For a book stored as a ZIP member (`compression` CompressionZip), a new temporary file with
// the member's bytes; its path, which the caller deletes when done. A plain book needs no copy:
// empty path and empty error. Failures give an empty path and the reason.
QString ExtractToTempFile(const QString& path, int compression, QString* error);

// Deletes a temporary copy (none for an empty path) however the work on it ends.
class TemporaryCopy {
public:
    explicit TemporaryCopy(QString path)
        : path_(std::move(path))
    {
    }
    ~TemporaryCopy();
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

private:
    const QString path_;
};

} // namespace lbv
