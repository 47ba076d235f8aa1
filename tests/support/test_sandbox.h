#pragma once
// What every test program does before its tests run: the user's settings, data, cache and home
// folders point into a private folder, so that tests never touch the real user's files, and the
// application carries the program's names.
#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <cstdlib>

namespace lbv::test {

inline void RedirectUserFolders(const QByteArray& root)
{
    setenv("XDG_CONFIG_HOME", QByteArray(root + "/config").constData(), 1);
    setenv("XDG_CONFIG_DIRS", QByteArray(root + "/config-system").constData(), 1);
    setenv("XDG_DATA_HOME", QByteArray(root + "/data").constData(), 1);
    setenv("XDG_CACHE_HOME", QByteArray(root + "/cache").constData(), 1);
    setenv("HOME", root.constData(), 1);
}

// Call once the application object exists.
inline void NameTestApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Marrowfield"));
    QCoreApplication::setApplicationName(QStringLiteral("Libravon"));
    QStandardPaths::setTestModeEnabled(true);
}

} // namespace lbv::test
