#pragma once
// The files that ship with the program (help book, genre dictionary, ...): where they are looked
// up, and the help book written out from its compiled-in copy when it is missing.
#include <QString>
#include <QStringList>

namespace lbv {

// The folders searched for a program file, in order: the executable's folder, the installed
// data folder ("../share/libravon" from the executable), then "libravon" in each XDG data folder
// (the user's own first).
QStringList ProgramFileFolders(const QString& executableFolder);

// The first existing `name` in `folders`, or an empty string.
QString FindProgramFile(const QString& name, const QStringList& folders);

inline const QString kHelpBookName = QStringLiteral("Libravon.fb2");

// The help book's path. When it is in none of `folders` and `mayWrite` is set, the compiled-in
// copy is written to the first folder that accepts it. Empty when there is still none.
QString EnsureHelpBook(const QStringList& folders, bool mayWrite);

// The compiled-in help book.
QByteArray HelpBookResource();

} // namespace lbv
