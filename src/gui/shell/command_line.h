#pragma once
// What the program's command line asks for: the read-only autorun mode and one file to open.
#include <QString>
#include <QStringList>

namespace lbv {

// What the desktop entry's actions ask for once the library is open.
enum class StartAction { None, NewLibrary, OpenLibrary };

struct CommandLine {
    bool autorun = false;
    QString file; // an index (see IsIndexFileName) or a book for the reader; empty when none
    StartAction action = StartAction::None;
    bool help = false; // --help or -h: print UsageText() and stop
    bool version = false; // --version: print VersionText() and stop
};

// `arguments` without the program name, as QApplication leaves them. The autorun switch is the
// word "autorun" after "/" or "-" in any letter case; "--new-library", "--open-library",
// "--help" ("-h") and "--version" are the long options; the first other argument that is not an
// option ("-..." ) names the file. Paths may start with "/", so only the switch itself is one.
CommandLine ParseCommandLine(const QStringList& arguments);

// What a second start hands to the running program: its file made absolute against
// `currentFolder` (the running program has its own), and its action. Autorun is not handed over.
QStringList HandOverArguments(const CommandLine& line, const QString& currentFolder);

QString UsageText();
QString VersionText();

// True when the path names an index file: its extension is ".lvf" in any letter case.
bool IsIndexFileName(const QString& path);

// The path with its extension replaced by ".lvf" (appended when it has none): the name proposed
// when a catalog is saved as a compressed index.
QString WithIndexExtension(const QString& path);

} // namespace lbv
