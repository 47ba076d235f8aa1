#include "shelf/book_header_edit.h"

#include "catalog/libravon_doc.h"
#include "import/book_placement.h"
#include "import/stored_book.h"
#include "settings/program_folders.h"
#include "settings/settings_store.h"
#include "shelf/header_accessor.h"
#include "text/messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace lbv {
namespace {

struct KeyField {
    QStringView xpath;
    QString catalogValue;
};

// Same inode when both exist (hard links, symbolic links, letter case on a case-insensitive
// file system all count as the same file); otherwise the same absolute path.
bool SameFileOnDisk(const QString& a, const QString& b)
{
    struct stat first { };
    struct stat second { };
    if (::stat(QFile::encodeName(a).constData(), &first) == 0
        && ::stat(QFile::encodeName(b).constData(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath())
        == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

// Whether a record's file is `file` or a member of it.
bool BookUsesFile(const CBook& book, const QString& file)
{
    const QStringView path(book.file);
    if (path.size() < file.size()
        || path.first(file.size()).compare(file, Qt::CaseInsensitive) != 0)
        return false;
    if (path.size() != file.size()
        && !(book.compression == CompressionZip && path[file.size()] == u'@'))
        return false;
    // Paths differing in letter case name one file only on a case-insensitive file system.
    return path.startsWith(file) || SameFileOnDisk(path.first(file.size()).toString(), file);
}

bool CatalogUsesFile(const CLibravonDoc& catalog, const QString& file)
{
    for (const auto& author : catalog.Authors())
        for (const auto& group : author->Groups())
            for (const auto& book : group->Books())
                if (BookUsesFile(*book, file))
                    return true;
    return false;
}

// Deletes a book file the catalog does not need, and its folder when that is left empty.
void DeleteUnusedFile(const CLibravonDoc& catalog, const QString& file, const QString& keep)
{
    if (SameFileOnDisk(file, keep) || CatalogUsesFile(catalog, file))
        return;
    if (QFile::remove(file))
        QDir().rmdir(QFileInfo(file).path());
}

void FillMissingKeyFields(HeaderAccessor& accessor, const KeyField (&fields)[3])
{
    for (const KeyField& field : fields)
        if (accessor.Get(field.xpath, kNotSetValue) == kNotSetValue)
            accessor.Set(field.xpath, field.catalogValue);
}

// Copies what the edited header changed into the book; true when anything did.
bool UpdateBookInPlace(CBook& book, const CBookHeader& header)
{
    bool changed = false;
    auto copy = [&changed](auto& field, const auto& value) {
        if (field != value) {
            field = value;
            changed = true;
        }
    };
    copy(book.title, header.title);
    copy(book.year, header.year);
    copy(book.genre, header.genre);
    // The placement may have renamed the file (a new title under the mask) or packed it anew.
    copy(book.file, header.file);
    copy(book.compression, header.compression);
    copy(book.extras, header.extras);
    return changed;
}

} // namespace

QString HeaderSheetPath()
{
    return ProgramFilePath(QStringLiteral("fb2-header.xml"));
}

HeaderEditResult EditBookHeader(CBook& book, CLibravonDoc& catalog, SettingsStore& settings,
    HeaderSheet& sheet, HeaderEditUi& ui)
{
    if (book.format != FormatFb2)
        return HeaderEditResult::Unchanged;
    const bool atStandardPlace = book.IsAtStandardPlace(catalog);
    // A record without a stored path stands for the book at its standard place.
    const QString bookFile = book.file.isEmpty() ? book.DefaultFileName(catalog) : book.file;
    const QString oldFile = StoredFileOnDisk(bookFile, book.compression);

    QString error;
    XmlDocumentPtr document = LoadStoredBookDocument(bookFile, book.compression, &error);
    if (!document) {
        ui.ShowMessage(error);
        return HeaderEditResult::Failed;
    }
    document->SetSelectionNamespaces(FictionBookSelectionNamespaces(document->Doc()));
    HeaderAccessor accessor(*document);
    const CAuthor* author = book.Author();
    const KeyField keyFields[] = {
        {kFirstNameXPath, author ? author->firstName : QString()},
        {kLastNameXPath, author ? author->lastName : QString()},
        {kBookTitleXPath, book.title},
    };
    FillMissingKeyFields(accessor, keyFields);

    if (!sheet.LoadDescription(HeaderSheetPath(), &error)) {
        ui.ShowError(error);
        return HeaderEditResult::Failed;
    }
    if (!sheet.Edit(accessor) || !accessor.DocumentWritten() || accessor.WritingBlocked()
        || settings.Autorun())
        return HeaderEditResult::Unchanged;

    // Names or a title cleared in the editor come back from the catalog before the header is
    // read, so the file never loses them and the book keeps a place in the catalog.
    FillMissingKeyFields(accessor, keyFields);
    CBookHeader header;
    header.file = bookFile;
    header.format = book.format;
    header.compression = book.compression;
    if (!header.ReadTitleInfo(*document, &error)) {
        ui.ShowError(error);
        return HeaderEditResult::Failed;
    }
    if (!atStandardPlace) {
        ui.ShowError(MessageText(Msg::BookNotInStandardPlace));
        return HeaderEditResult::Failed;
    }
    if (!ui.AskYesNo(MessageText(Msg::BookChangedCaption), MessageText(Msg::HeaderChangedWrite)))
        return HeaderEditResult::Unchanged;

    QByteArray bytes;
    if (!EncodeBookText(document->Xml(), BookCharsetSetting(settings), &bytes, &error)
        || PlaceBookFile(header, StorageOptionsOf(catalog), &bytes, true, &error).isEmpty()) {
        ui.ShowError(error);
        return HeaderEditResult::Failed;
    }
    const QString newFile = StoredFileOnDisk(header.file, header.compression);

    if (!accessor.AuthorChanged()) {
        if (UpdateBookInPlace(book, header)) {
            catalog.RecordsChanged();
            catalog.SetModified(true);
            ui.RebuildBookList();
        }
        DeleteUnusedFile(catalog, oldFile, newFile);
        return HeaderEditResult::Saved;
    }

    // The book is filed anew, under the (possibly new) author's default group.
    const qint64 importDate = book.added;
    if (!catalog.RemoveBook(&book)) {
        DeleteUnusedFile(catalog, newFile, oldFile);
        ui.ShowError(MessageText(Msg::ErrorDeletingBook));
        return HeaderEditResult::Failed;
    }
    const bool bookCreated = !catalog.FindBook(header);
    const bool bookAdded = catalog.AddBook(header, false);
    if (bookAdded && bookCreated)
        if (CBook* filed = catalog.FindBook(header))
            filed->added = importDate; // an edit is no new import
    // The old record is gone: a list or a search result may still point at it, and the
    // counts of both authors changed, so the whole shelf is shown afresh.
    ui.RefreshShelf();
    if (!bookAdded) {
        // Adding is refused only when a record already at the new file stands for the book, so
        // the new file stays in use; the old file, now without a record, is kept as it is.
        DeleteUnusedFile(catalog, newFile, oldFile);
        ui.ShowError(MessageText(Msg::ErrorAddingBook));
        return HeaderEditResult::Failed;
    }
    DeleteUnusedFile(catalog, oldFile, newFile);
    return HeaderEditResult::Saved;
}

} // namespace lbv
