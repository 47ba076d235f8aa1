// The shared-mime-info package as a desktop reads it: installed into a data folder of its own
// beside the system's database.
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kPackaging = QStringLiteral(LBV_PACKAGING_DIR);
const QString kIndexType = QStringLiteral("application/x-libravon-index");

class MimeTypes : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // QMimeDatabase reads its folders once per process, so they are set before its first use.
        static QTemporaryDir data;
        const QString packages = data.filePath(QStringLiteral("mime/packages"));
        QDir().mkpath(packages);
        QFile::copy(kPackaging + QStringLiteral("/com.marrowfield.Libravon.mime.xml"),
            packages + QStringLiteral("/com.marrowfield.Libravon.xml"));
        // Compiled as an installation compiles it, when the tool is there; Qt reads the XML too.
        if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
            compiled = QProcess::execute(QStringLiteral("update-mime-database"),
                           {data.filePath(QStringLiteral("mime"))})
                == 0;
        else
            compiled = true;
        qputenv("XDG_DATA_DIRS", QFile::encodeName(data.path()) + ":/usr/local/share:/usr/share");
    }

    static QString Write(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }

    static inline bool compiled = false;
    QMimeDatabase database;
    QTemporaryDir files;
};

const QByteArray kGzipBytes
    = QByteArray::fromHex("1f8b08000000000000034b4a4cce4e2d0600b0a2f08f06000000");

} // namespace

TEST_F(MimeTypes, IndexIsKnownByItsNameWithGzipContentButOtherGzipFilesStayGzip)
{
    ASSERT_TRUE(compiled);
    const QMimeType index = database.mimeTypeForName(kIndexType);
    ASSERT_TRUE(index.isValid());
    EXPECT_TRUE(index.inherits(QStringLiteral("application/gzip")));
    EXPECT_TRUE(index.suffixes().contains(QStringLiteral("lvf")));

    EXPECT_EQ(
        database.mimeTypeForFile(Write(files, QStringLiteral("index.lvf"), kGzipBytes)).name(),
        kIndexType);
    EXPECT_EQ(
        database.mimeTypeForFile(Write(files, QStringLiteral("INDEX.LVF"), kGzipBytes)).name(),
        kIndexType);
    // A gzip file without the name is not taken for an index.
    EXPECT_EQ(database.mimeTypeForFile(Write(files, QStringLiteral("backup"), kGzipBytes)).name(),
        QStringLiteral("application/gzip"));
    EXPECT_EQ(database.mimeTypeForData(kGzipBytes).name(), QStringLiteral("application/gzip"));
}

TEST_F(MimeTypes, BooksAndEveryTypeOfTheDesktopEntryAreKnown)
{
    EXPECT_EQ(
        database.mimeTypeForFile(QStringLiteral("Novel.fb2"), QMimeDatabase::MatchExtension).name(),
        QStringLiteral("application/x-fictionbook+xml"));
    EXPECT_EQ(
        database.mimeTypeForFile(QStringLiteral("Novel.fb2.zip"), QMimeDatabase::MatchExtension)
            .name(),
        QStringLiteral("application/x-zip-compressed-fb2"));

    QFile entry(kPackaging + QStringLiteral("/com.marrowfield.Libravon.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QRegularExpression mimeLine(
        QStringLiteral("^MimeType=(.*)$"), QRegularExpression::MultilineOption);
    const QStringList types = mimeLine.match(QString::fromUtf8(entry.readAll()))
                                  .captured(1)
                                  .split(u';', Qt::SkipEmptyParts);
    ASSERT_EQ(types.size(), 3);
    for (const QString& type : types)
        EXPECT_TRUE(database.mimeTypeForName(type).isValid()) << type.toStdString();
}
