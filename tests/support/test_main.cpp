// Every test executable runs inside a QCoreApplication whose settings, data and temporary
// folders point into a private folder, so tests never touch the real user's files.
#include "test_sandbox.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QTemporaryDir sandbox(QDir::tempPath() + QStringLiteral("/lbv-test-XXXXXX"));
    if (!sandbox.isValid())
        return 2;
    lbv::test::RedirectUserFolders(QFile::encodeName(sandbox.path()));

    QCoreApplication app(argc, argv);
    lbv::test::NameTestApplication();

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
