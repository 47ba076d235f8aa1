// The GUI suite runs inside a QApplication on the offscreen platform (unless told otherwise),
// with settings, data and temporary folders in a private folder, like every other suite.
#include <QApplication>
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
    setenv("XDG_DATA_DIRS", QByteArray(root + "/data-system").constData(), 1);
    setenv("XDG_CACHE_HOME", QByteArray(root + "/cache").constData(), 1);
    setenv("HOME", root.constData(), 1);
    const QByteArray runtime = root + "/runtime";
    QDir().mkpath(QFile::decodeName(runtime));
    QFile::setPermissions(QFile::decodeName(runtime), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("XDG_RUNTIME_DIR", runtime.constData(), 1);
    // Test discovery runs the binary at build time, where there may be no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Marrowfield"));
    QCoreApplication::setApplicationName(QStringLiteral("Libravon"));
    QStandardPaths::setTestModeEnabled(true);

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
