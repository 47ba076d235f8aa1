#pragma once
// Editing a catalog book's FB2 header: the header editor's sheet works on the book's document
// through a HeaderAccessor, the edited document is written back to the book's standard place
// (the new header may give it a new name), and the catalog is brought in line.
//
// A file is deleted only once the catalog no longer needs it: the old file after the catalog
// points at the new one, the new one when the catalog could not be updated; and never a file
// that is the same on disk as the one the book lives in.
#include <QString>

namespace lbv {

class CBook;
class CLibravonDoc;
class HeaderAccessor;
class SettingsStore;

// The header editor's parameter sheet; the GUI implements it.
class HeaderSheet {
public:
    virtual ~HeaderSheet() = default;
    // Reads the sheet description (an "fb2-header.xml" file); false with the reason.
    virtual bool LoadDescription(const QString& path, QString* error) = 0;
    // Shows the sheet modally over the book's header; true when it was closed with OK.
    virtual bool Edit(HeaderAccessor& accessor) = 0;
};

// What editing needs from the Shelf page; the GUI implements it.
class HeaderEditUi {
public:
    virtual ~HeaderEditUi() = default;
    // A plain message box.
    virtual void ShowMessage(const QString& text) = 0;
    // A message box with the caption "Error" and a stop icon.
    virtual void ShowError(const QString& text) = 0;
    // Yes/No with a question icon; true for Yes.
    virtual bool AskYesNo(const QString& caption, const QString& question) = 0;
    // The book list of the current group must be shown again (a book's columns changed).
    virtual void RebuildBookList() = 0;
    // The author tree must be rebuilt (authors or groups came or went); the book list with it.
    virtual void RefreshShelf() = 0;
};

enum class HeaderEditResult {
    Unchanged, // not an FB2 book, cancelled, nothing edited, autorun mode, or No to writing
    Failed, // stopped after an error message
    Saved, // the book was written and the catalog updated
};

// Where the program looks for "fb2-header.xml": beside the executable, then in ../share/libravon.
QString HeaderSheetPath();

// The whole edit of one catalog book (for a search result row, the record it stands for). `book`
// may be deleted on the way (a changed author files it anew): unless the result is Unchanged, the
// caller must not use the pointer again.
HeaderEditResult EditBookHeader(CBook& book, CLibravonDoc& catalog, SettingsStore& settings,
    HeaderSheet& sheet, HeaderEditUi& ui);

} // namespace lbv
