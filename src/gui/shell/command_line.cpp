#include "gui/shell/command_line.h"

#include <QDir>
#include <QFileInfo>

namespace lbv {

namespace {

bool IsAutorunSwitch(const QString& argument)
{
    return (argument.startsWith(QLatin1Char('/')) || argument.startsWith(QLatin1Char('-')))
        && argument.mid(1).compare(QLatin1String("autorun"), Qt::CaseInsensitive) == 0;
}

const QString kNewLibrary = QStringLiteral("--new-library");
const QString kOpenLibrary = QStringLiteral("--open-library");

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine result;
    for (const QString& argument : arguments) {
        if (IsAutorunSwitch(argument))
            result.autorun = true;
        else if (argument == kNewLibrary)
            result.action = StartAction::NewLibrary;
        else if (argument == kOpenLibrary)
            result.action = StartAction::OpenLibrary;
        else if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            result.help = true;
        else if (argument == QLatin1String("--version"))
            result.version = true;
        else if (result.file.isEmpty() && !argument.isEmpty()
            && !argument.startsWith(QLatin1Char('-')))
            result.file = argument;
    }
    return result;
}

QStringList HandOverArguments(const CommandLine& line, const QString& currentFolder)
{
    QStringList arguments;
    if (line.action == StartAction::NewLibrary)
        arguments.append(kNewLibrary);
    else if (line.action == StartAction::OpenLibrary)
        arguments.append(kOpenLibrary);
    if (!line.file.isEmpty())
        arguments.append(QDir::cleanPath(QDir(currentFolder).absoluteFilePath(line.file)));
    return arguments;
}

QString UsageText()
{
    return QStringLiteral(
        "Usage: libravon [options] [FILE]\n"
        "Libravon manages a library of FictionBook (FB2) e-books and reads them.\n"
        "\n"
        "FILE is a library index to open (a name ending in .lvf) or a book to read.\n"
        "\n"
        "Options:\n"
        "  -autorun, /autorun  read-only mode: nothing is written but bookmarks and the\n"
        "                      window placement\n"
        "  --new-library       create a new library once the program has started\n"
        "  --open-library      choose a library to open once the program has started\n"
        "  -h, --help          print this help and exit\n"
        "  --version           print the version and exit\n"
        "\n"
        "While Libravon runs, starting it again hands FILE (or the action) to the running\n"
        "window, unless the reader's \"one instance only\" setting is off.\n");
}

QString VersionText()
{
    return QStringLiteral("libravon " LBV_VERSION "\n");
}

bool IsIndexFileName(const QString& path)
{
    return path.endsWith(QLatin1String(".lvf"), Qt::CaseInsensitive);
}

QString WithIndexExtension(const QString& path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    // A dot in a folder name is not an extension; QFileInfo only looks at the file name.
    const QString stem = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    return stem + QLatin1String(".lvf");
}

} // namespace lbv
