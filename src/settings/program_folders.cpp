#include "settings/program_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace lbv {

QStringList ProgramFileFolders(const QString& executableFolder)
{
    QStringList folders {QDir::cleanPath(executableFolder),
        QDir::cleanPath(executableFolder + QLatin1String("/../share/libravon"))};
    for (const QString& data :
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders.append(QDir::cleanPath(data + QLatin1String("/libravon")));
    folders.removeDuplicates();
    return folders;
}

QString FindProgramFile(const QString& name, const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QString ProgramFilePath(const QString& name)
{
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString found = FindProgramFile(name, ProgramFileFolders(executableFolder));
    return found.isEmpty() ? QDir(executableFolder).filePath(name) : found;
}

} // namespace lbv
