#pragma once
// What the book list shows of a book beyond its catalog fields: the size class of its file with
// the size text, the year cell and the details line.
#include "catalog/libravon_doc.h"

#include <QString>

namespace lbv {

// The class picks the row's colour pair: foreground entry int(class), background int(class) + 4
// of the list's eight-colour table.
enum class BookSizeClass : int { Short = 0, Normal = 1, Long = 2, NotAvailable = 3 };

struct BookSizeInfo {
    BookSizeClass sizeClass = BookSizeClass::NotAvailable;
    QString text; // "N/A", bytes up to 5120, else whole kilobytes with "K"

    int ForegroundIndex() const { return int(sizeClass); }
    int BackgroundIndex() const { return int(sizeClass) + 4; }
};

BookSizeInfo BookSizeOfBytes(qint64 bytes);
// Sized by the file the book path names (the archive for a book inside one); "N/A" when the
// book is offline or its file cannot be examined.
BookSizeInfo BookSizeOf(const CBook& book, const CLibravonDoc& catalog);

// Empty for the year 0 (not known).
QString BookYearText(int year);
// "first last -- size (added date)", with "(group)" after the names outside the default group;
// the date in the locale's short form.
QString BookDetailsLine(const CBook& book, const QString& sizeText);

} // namespace lbv
