// Every test executable runs inside a QCoreApplication whose settings, data and temporary
// folders point into a private folder, so tests never touch the real user's files.
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    QTemporaryDir sandbox(QDir::tempPath() + QStringLiteral("/lbv-test-XXXXXX"));
    if (!sandbox.isValid())
        return 2;
    const QByteArray root = QFile::encodeName(sandbox.path());
    setenv("XDG_CONFIG_HOME", QByteArray(root + "/config").constData(), 1);
    setenv("XDG_CONFIG_DIRS", QByteArray(root + "/config-system").constData(), 1);
    setenv("XDG_DATA_HOME", QByteArray(root + "/data").constData(), 1);
    setenv("XDG_CACHE_HOME", QByteArray(root + "/cache").constData(), 1);
    setenv("HOME", root.constData(), 1);

    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Marrowfield"));
    QCoreApplication::setApplicationName(QStringLiteral("Libravon"));
    QStandardPaths::setTestModeEnabled(true);

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
