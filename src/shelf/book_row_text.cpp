#include "shelf/book_row_text.h"

#include "import/book_placement.h"
#include "import/import_list.h"
#include "text/messages.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

namespace lbv {

BookSizeInfo BookSizeOfBytes(qint64 bytes)
{
    return {BookSizeClass(RowSizeClass(bytes)), RowSizeText(bytes)};
}

BookSizeInfo BookSizeOf(const CBook& book, const CLibravonDoc& catalog)
{
    const QString path = ActualBookPath(book, catalog);
    if (path.isEmpty())
        return {BookSizeClass::NotAvailable, QStringLiteral("N/A")};
    const QFileInfo file(StoredFileOnDisk(path, book.compression));
    if (!file.isFile())
        return {BookSizeClass::NotAvailable, QStringLiteral("N/A")};
    return BookSizeOfBytes(file.size());
}

QString BookYearText(int year)
{
    return year == 0 ? QString() : QString::number(year);
}

QString BookDetailsLine(const CBook& book, const QString& sizeText)
{
    const CAuthor* author = book.Author();
    const QString first = author ? author->firstName : QString();
    const QString last = author ? author->lastName : QString();
    const QString added = QLocale().toString(
        QDateTime::fromSecsSinceEpoch(book.added).date(), QLocale::ShortFormat);
    if (!book.group || book.group->name == kDefaultGroupName)
        return MessageText(Msg::DetailsInDefaultGroup).arg(first, last, sizeText, added);
    return MessageText(Msg::DetailsInGroup).arg(first, last, book.group->name, sizeText, added);
}

} // namespace lbv
