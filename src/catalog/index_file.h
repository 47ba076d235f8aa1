#pragma once
// What opening and saving the index file (CLibravonDoc::Open, Save, ParseIndex, BuildIndex)
// need from the user interface. The defaults show nothing and answer No, which suits scripts;
// the GUI shows message boxes and the wait cursor.
#include <QString>

namespace lbv {

class IndexFileUi {
public:
    virtual ~IndexFileUi() = default;
    // A message box with a stop icon.
    virtual void ShowError(const QString& text) { (void)text; }
    // A plain message box with an OK button only.
    virtual void ShowMessage(const QString& text) { (void)text; }
    // A Yes/No question with a question icon; true for Yes.
    virtual bool AskYesNo(const QString& question)
    {
        (void)question;
        return false;
    }
    virtual void BeginWait() { }
    virtual void EndWait() { }
};

// What ParseIndex leaves behind when the document is not a valid index.
enum class ParseFailure {
    EmptyCatalog, // the catalog is emptied and not modified (opening a file)
    KeepCatalog, // the catalog is left as it was (reloading after a plug-in changed the index)
};

// The file-name mask assumed when an index names none.
inline const QString kIndexDefaultMask = QStringLiteral("%f %l/%f %l. %t");

} // namespace lbv
