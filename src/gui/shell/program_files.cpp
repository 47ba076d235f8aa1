#include "gui/shell/program_files.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

// Resources of a static library must be registered by name from outside any namespace.
static void InitHelpResource()
{
    Q_INIT_RESOURCE(help);
}

namespace lbv {

QByteArray HelpBookResource()
{
    InitHelpResource();
    QFile resource(QStringLiteral(":/help/") + kHelpBookName);
    return resource.open(QIODevice::ReadOnly) ? resource.readAll() : QByteArray();
}

QString EnsureHelpBook(const QStringList& folders, bool mayWrite)
{
    QString path = FindProgramFile(kHelpBookName, folders);
    if (!path.isEmpty() || !mayWrite)
        return path;
    const QByteArray book = HelpBookResource();
    if (book.isEmpty())
        return {};
    for (const QString& folder : folders) {
        // Installed program folders are usually read-only; the user's data folder may not exist.
        if (!QDir().mkpath(folder))
            continue;
        QSaveFile file(QDir(folder).filePath(kHelpBookName));
        if (file.open(QIODevice::WriteOnly) && file.write(book) == book.size() && file.commit())
            return file.fileName();
    }
    return {};
}

} // namespace lbv
