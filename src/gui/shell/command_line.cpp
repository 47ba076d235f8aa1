#include "gui/shell/command_line.h"

#include <QFileInfo>

namespace lbv {

namespace {

bool IsAutorunSwitch(const QString& argument)
{
    return (argument.startsWith(QLatin1Char('/')) || argument.startsWith(QLatin1Char('-')))
        && argument.mid(1).compare(QLatin1String("autorun"), Qt::CaseInsensitive) == 0;
}

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine result;
    for (const QString& argument : arguments) {
        if (IsAutorunSwitch(argument))
            result.autorun = true;
        else if (result.file.isEmpty() && !argument.isEmpty()
            && !argument.startsWith(QLatin1Char('-')))
            result.file = argument;
    }
    return result;
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
