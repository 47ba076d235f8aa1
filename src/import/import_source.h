#pragma once
// One thing on the import list: a file, a folder or a ZIP archive, and the book headers found in
// it. Only a prefix of each file or archive member is read (the prefetch size).
#include "import/book_header.h"

#include <QSet>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

namespace lbv {

class SettingsStore;

// The setting FastPrefetchBufferSize (section Settings, default 4096), raised to at least 2048
// and held to at most 16 MiB.
int ImportPrefetchSize(SettingsStore& settings);

// The text ReadArchive gives when the path cannot be opened as a ZIP archive at all.
inline constexpr char16_t kNotAZipArchive[] = u"Not a ZIP file";

class CImportSource {
public:
    explicit CImportSource(const QString& sourcePath, int prefetchSize)
        : path(sourcePath)
        , prefetchSize_(prefetchSize)
    {
    }

    // Fills the source from its path: a folder is walked recursively (entries whose name starts
    // with "." are skipped; a folder reached twice through links is walked once), a ZIP archive
    // gives one header per book member, any other file one header. True when at least one header
    // was found here or below. Messages for the user, several joined by CR LF, go to `error`.
    bool Scan(QString* error);
    // Once `cancel` is set, a folder walk stops at its next entry, keeping what it found so far
    // (a window closing must not wait for a whole tree).
    void SetCancel(const std::atomic<bool>* cancel) { cancel_ = cancel; }
    // The two leaf readers: one plain file, and the members of a ZIP archive (which fails with
    // exactly kNotAZipArchive when the path is no archive).
    bool ReadPlainFile(QString* error);
    bool ReadArchive(QString* error);

    const QString path;
    std::vector<std::unique_ptr<CBookHeader>> headers; // in archive order
    std::vector<std::unique_ptr<CImportSource>> children; // folder entries that gave books

private:
    bool Scan(QString* error, QSet<QString>* visitedFolders);
    bool ScanFolder(QString* error, QSet<QString>* visitedFolders);

    const int prefetchSize_;
    const std::atomic<bool>* cancel_ = nullptr;
};

} // namespace lbv
