#pragma once
// The files that ship with the program (help book, genre dictionary, ...): where they are looked
// up, and the help book written out from its compiled-in copy when it is missing.
#include "settings/program_folders.h"

#include <QString>
#include <QStringList>

namespace lbv {

inline const QString kHelpBookName = QStringLiteral("Libravon.fb2");

// The help book's path. When it is in none of `folders` and `mayWrite` is set, the compiled-in
// copy is written to the first folder that accepts it. Empty when there is still none.
QString EnsureHelpBook(const QStringList& folders, bool mayWrite);

// The compiled-in help book.
QByteArray HelpBookResource();

} // namespace lbv
