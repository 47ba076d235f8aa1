#pragma once
// Combined member paths, "archive@member": how the catalog and the import name a book inside a
// ZIP archive. Names may hold "@" themselves (an author "user@host", a folder "/home/me@box"),
// so the cut is chosen by what is on disk and by the form the library writes.
#include <QString>

namespace lbv {

// Splits a combined member path into the archive path (at least one character) and the member
// name. A single "@" is the cut. With several, the cut is, in this order: the first "@" after an
// existing ".zip" file, the first "@" after any existing file, the first ".zip@" (an archive the
// library is about to write), and the first "@" (indexes naming archives that are gone). A path
// without "@", or with it only in first position, is a plain file path: `archive` receives it
// whole and `member` is empty. Returns whether a member name was cut off.
bool SplitMemberPath(const QString& path, QString* archive, QString* member);
QString CombinedMemberPath(const QString& archive, const QString& member);

// Whether the index can store the path as it is: XML holds no control characters, and the
// index writer would drop them, leaving a path that names nothing.
bool IsStorablePath(const QString& path);

} // namespace lbv
