// The GUI suite runs inside a QApplication on the offscreen platform (unless told otherwise),
// with settings, data and temporary folders in a private folder, like every other suite.
#include "test_sandbox.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QTemporaryDir sandbox(QDir::tempPath() + QStringLiteral("/lbv-test-XXXXXX"));
    if (!sandbox.isValid())
        return 2;
    const QByteArray root = QFile::encodeName(sandbox.path());
    lbv::test::RedirectUserFolders(root);
    // The program's own data files are looked for in the data folders too.
    setenv("XDG_DATA_DIRS", QByteArray(root + "/data-system").constData(), 1);
    // The header editor's sheet is one of them.
    const QString programData = QFile::decodeName(root + "/data-system/libravon");
    QDir().mkpath(programData);
    QFile::copy(QStringLiteral(LBV_SOURCE_DIR "/resources/fb2-header.xml"),
        programData + QStringLiteral("/fb2-header.xml"));
    const QByteArray runtime = root + "/runtime";
    QDir().mkpath(QFile::decodeName(runtime));
    QFile::setPermissions(QFile::decodeName(runtime),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setenv("XDG_RUNTIME_DIR", runtime.constData(), 1);
    // Test discovery runs the binary at build time, where there may be no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    QApplication app(argc, argv);
    lbv::test::NameTestApplication();

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
