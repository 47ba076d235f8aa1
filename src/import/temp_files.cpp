#include "import/temp_files.h"

#include "catalog/file_name_mask.h"
#include "import/book_header.h"
#include "import/stored_book.h"
#include "text/messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>
#include <mutex>

namespace lbv {
namespace {

constexpr int kMaxCounter = 99;

// What is left of a member or file name once its folders are gone; never a name that would
// step out of the temporary folder.
QString BaseFileName(const QString& fileName)
{
    const qsizetype slash = std::max(fileName.lastIndexOf(u'/'), fileName.lastIndexOf(u'\\'));
    const QString name = fileName.mid(slash + 1);
    if (name.isEmpty() || name == u"." || name == u"..")
        return QStringLiteral("book");
    return name;
}

bool IsTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString TempFolder()
{
    // A folder only this user can enter: nobody else can plant names in it or swap a copy
    // between its writing and its reading.
    static std::mutex mutex;
    static std::unique_ptr<QTemporaryDir> folder;
    const std::lock_guard lock(mutex);
    const QString systemFolder = QDir::tempPath();
    if (!folder || !folder->isValid() || !QFileInfo(folder->path()).isDir()
        || QFileInfo(folder->path()).path() != systemFolder)
        folder = std::make_unique<QTemporaryDir>(systemFolder + u"/Libravon-XXXXXX");
    return folder->isValid() ? folder->path() : QString();
}

QString MakeTempFileName(const QString& fileName, QString* error)
{
    const QString folder = TempFolder();
    if (folder.isEmpty()) {
        *error = MessageText(Msg::CantCreateTempFolder).arg(QDir::tempPath() + u"/Libravon-");
        return {};
    }
    const QString name = BaseFileName(fileName);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot < 0 ? name : name.left(dot);
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    const QString plain = folder + u'/' + base + extension;
    if (!IsTaken(plain))
        return plain;
    for (int counter = 1; counter <= kMaxCounter; ++counter) {
        const QString numbered = folder + u'/' + base
            + QStringLiteral("%1").arg(counter, 2, 10, QLatin1Char('0')) + extension;
        if (!IsTaken(numbered))
            return numbered;
    }
    *error = MessageText(Msg::TooManyTempFiles) + base + extension;
    return {};
}

QString ExtractToTempFile(const QString& path, int compression, QString* error)
{
    error->clear();
    if (compression == CompressionGzip) {
        *error = MessageText(Msg::GzipNotSupported);
        return {};
    }
    if (compression != CompressionZip)
        return {};
    QString archive;
    QString member;
    SplitMemberPath(path, &archive, &member);
    if (member.isEmpty()) {
        *error = MessageText(Msg::BadZipMemberPath) + path;
        return {};
    }
    const QString target = MakeTempFileName(member, error);
    if (target.isEmpty())
        return {};
    QByteArray bytes;
    if (!ReadStoredBookBytes(path, compression, &bytes, error))
        return {};
    // NewOnly: never write through a file or link that someone else put there meanwhile.
    QFile file(target);
    if (!file.open(
            QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner)) {
        *error = MessageText(Msg::CantCreateTempFile) + target;
        return {};
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.remove();
        *error = MessageText(Msg::CantCreateTempFile) + target;
        return {};
    }
    return target;
}

TemporaryCopy::~TemporaryCopy()
{
    if (!path_.isEmpty())
        QFile::remove(path_);
}

} // namespace lbv
