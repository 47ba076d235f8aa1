#pragma once
// Where the files that ship with the programs (genre dictionary, help book, libravon.ini, ...) are
// looked up: beside the executable first, so a build tree or an unpacked copy runs as it is, then
// in the installed data folder found from the executable's own place, so any prefix works.
#include <QString>
#include <QStringList>

namespace lbv {

// The folders searched, in order: `executableFolder`, "../share/libravon" from it, then
// "libravon" in each XDG data folder (the user's own first).
QStringList ProgramFileFolders(const QString& executableFolder);

// The first existing `name` in `folders`, or an empty string.
QString FindProgramFile(const QString& name, const QStringList& folders);

// The running program's `name` from its folders; when none has it, the path beside the
// executable (where a written or reported file is expected).
QString ProgramFilePath(const QString& name);

} // namespace lbv
