#pragma once
// The Import page's list: one row per candidate book, each owning its book header, in the order
// the sources were added. The worker of a run reads the rows and writes their status while the
// GUI thread shows them and may add more, so every access goes through the list's own lock.
#include "import/book_header.h"

#include <QString>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace lbv {

class CImportSource;

// The row texts of a header: for a book inside an archive, the archive is the directory and the
// member's name (without extension) the file name.
QString RowDirectory(const CBookHeader& header);
QString RowFileName(const CBookHeader& header);
QString RowExtension(const CBookHeader& header); // with its dot, as ".fb2"; empty when none
// Up to 5120 bytes the number itself, above that whole kilobytes with a "K".
QString RowSizeText(qint64 bytes);
// Which icon a size gets: 0 up to 5120 bytes, 1 up to 102400 bytes, 2 above.
int RowSizeClass(qint64 bytes);

// What the list shows of one row, copied out under the lock.
struct ImportRowView {
    QString directory;
    QString fileName;
    QString extension;
    QString size;
    int sizeClass = 0;
    bool checked = true;
    QString status;
    QString time; // when the status was last set, "HH:mm:ss"
};

// Rows are addressed by index, and a run removes rows when it ends, possibly before the GUI has
// heard of it: every access by index tolerates an index that is no longer there.
class ImportList {
public:
    // Takes over the source's headers, then those of its children, depth first, as checked rows
    // (a run imports checked rows only); the source is left empty. Returns the rows added.
    int AddSource(CImportSource& source);
    void AddHeader(std::unique_ptr<CBookHeader> header);
    // Moves every row of `other` to the end, in order, leaving `other` empty; returns how many
    // came. A list filled on a scan thread is handed over this way in one short step.
    qsizetype TakeRows(ImportList& other);

    qsizetype Count() const;
    // A row that a run removed meanwhile (the GUI reads while the worker works) gives an empty
    // view.
    ImportRowView Row(qsizetype index) const;
    bool IsChecked(qsizetype index) const; // false for a row that is not there
    // False (and nothing changed) for a row that is not there.
    bool SetChecked(qsizetype index, bool checked);
    // The row's header, copied: a run works on the copy and leaves the row as it was found.
    // Empty for a row that is not there.
    std::optional<CBookHeader> HeaderCopy(qsizetype index) const;
    // Sets the status and stamps the row with the current time; a missing row is ignored.
    void SetStatus(qsizetype index, const QString& status);

    // While a run is active the run's worker is the only one to change the rows: removing rows
    // is refused, so the indexes the worker walks stay valid.
    void SetRunActive(bool active);
    bool IsRunActive() const;

    // Drops the rows whose check mark is clear, keeping the others in order; returns how many
    // went. The run calls it as it ends.
    qsizetype RemoveUnchecked();
    // False when the row is not there or a run is active.
    bool RemoveRow(qsizetype index);
    // False when a run is active.
    bool Clear();

private:
    struct Entry {
        std::unique_ptr<CBookHeader> header;
        bool checked = true;
        QString status;
        QString time;
    };

    Entry* Find(qsizetype index);
    const Entry* Find(qsizetype index) const;

    mutable std::mutex mutex_;
    std::vector<Entry> rows_;
    bool runActive_ = false;
};

} // namespace lbv
