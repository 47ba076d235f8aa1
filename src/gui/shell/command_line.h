#pragma once
// What the program's command line asks for: the read-only autorun mode and one file to open.
#include <QString>
#include <QStringList>

namespace lbv {

struct CommandLine {
    bool autorun = false;
    QString file; // an index (see IsIndexFileName) or a book for the reader; empty when none
};

// `arguments` without the program name, as QApplication leaves them. The autorun switch is the
// word "autorun" after "/" or "-" in any letter case; the first other argument that is not an
// option ("-..." ) names the file. Paths may start with "/", so only the switch itself is one.
CommandLine ParseCommandLine(const QStringList& arguments);

// True when the path names an index file: its extension is ".lvf" in any letter case.
bool IsIndexFileName(const QString& path);

// The path with its extension replaced by ".lvf" (appended when it has none): the name proposed
// when a catalog is saved as a compressed index.
QString WithIndexExtension(const QString& path);

} // namespace lbv
