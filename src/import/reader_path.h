#pragma once
// The path under which the reader opens a book the user names: a library book inside a ZIP
// archive is given as "archive@member" (as the catalog stores it) or as the archive alone (its
// first member), while the reader reads members as "archive/member".
#include <QString>

namespace lbv {

// False with the reason when an archive can't be listed or holds nothing.
bool ReaderPath(const QString& path, QString* readerPath, QString* error);

} // namespace lbv
