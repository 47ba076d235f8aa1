#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kBookmarks = QStringLiteral("Bookmarks");

// The store owns its backend; tests keep a pointer to look at what reached it.
class SettingsStoreTest : public ::testing::Test {
protected:
    SettingsStore& Make(bool autorun, const QByteArray& ini = {})
    {
        auto owned = std::make_unique<MemorySettingsBackend>();
        backend = owned.get();
        backend->WriteInt(kSettings, QStringLiteral("ColorBookFG"), 0x123456);
        backend->WriteInt(kSettings, QStringLiteral("UseClearType"), 1);
        backend->WriteString(QString(), QStringLiteral("LastIndex"), QStringLiteral("/lib/a.lvf"));
        QString iniPath;
        if (!ini.isNull()) {
            iniPath = dir.filePath(QStringLiteral("libravon.ini"));
            QFile file(iniPath);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(ini);
        }
        store = std::make_unique<SettingsStore>(std::move(owned), autorun, iniPath);
        return *store;
    }

    QTemporaryDir dir;
    MemorySettingsBackend* backend = nullptr;
    std::unique_ptr<SettingsStore> store;
};

class RecordingReporter : public ErrorReporter {
public:
    void ShowError(const QString& caption, const QString& text) override
    {
        shown << caption + u'|' + text;
    }
    QStringList shown;
};

} // namespace

TEST_F(SettingsStoreTest, AutorunReadsTheIniFileFirstAndFallsBackToTheBackend)
{
    auto& s = Make(true,
        "[Settings]\nColorBookFG=255\nusecleartype=0xDEADFACE\nColorPreviewFG=0x00FF00\n"
        "BookTitle=0xDEADFACE\nWho=a, b\n[General]\nGenreLang=ru\n");

    EXPECT_EQ(s.GetProfileInt(kSettings, QStringLiteral("ColorBookFG"), 7), 255);
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("ColorBookFG")), 0x123456);
    // Names match in any letter case; the ini's own marker means "not here".
    EXPECT_EQ(s.GetProfileInt(QStringLiteral("SETTINGS"), QStringLiteral("colorbookfg"), 7), 255);
    EXPECT_EQ(s.GetProfileInt(kSettings, QStringLiteral("UseClearType"), 7), 1);
    EXPECT_EQ(s.GetProfileInt(kSettings, QStringLiteral("ColorPreviewFG"), 7), 0x00FF00);
    EXPECT_EQ(s.GetProfileString(kSettings, QStringLiteral("BookTitle"), QStringLiteral("d")),
        QStringLiteral("d"));
    EXPECT_EQ(s.GetProfileString(kSettings, QStringLiteral("Who")), QStringLiteral("a,b"));
    // [General] is the top level of an INI file.
    EXPECT_EQ(s.GetProfileString(QString(), QStringLiteral("GenreLang")), QStringLiteral("ru"));
    EXPECT_EQ(
        s.GetProfileString(QString(), QStringLiteral("LastIndex")), QStringLiteral("/lib/a.lvf"));
    EXPECT_EQ(s.GetProfileInt(kSettings, QStringLiteral("Missing"), 7), 7);
}

TEST_F(SettingsStoreTest, TheIniFileCountsOnlyInAutorunMode)
{
    auto& s = Make(false, "[Settings]\nColorBookFG=255\n");
    EXPECT_EQ(s.GetProfileInt(kSettings, QStringLiteral("ColorBookFG"), 7), 0x123456);

    auto& missing = Make(true);
    EXPECT_TRUE(missing.IniPath().isEmpty());
    EXPECT_EQ(missing.GetProfileInt(kSettings, QStringLiteral("ColorBookFG"), 7), 0x123456);
}

TEST_F(SettingsStoreTest, AutorunWritesReachTheBackendOnlyForBookmarks)
{
    auto& s = Make(true, "[Settings]\nColorBookFG=255\n");

    EXPECT_TRUE(s.WriteProfileInt(kSettings, QStringLiteral("ColorBookFG"), 1));
    EXPECT_TRUE(s.WriteProfileInt(kSettings, QStringLiteral("NewInt"), 2));
    EXPECT_TRUE(
        s.WriteProfileString(QString(), QStringLiteral("LastIndex"), QStringLiteral("/b.lvf")));
    EXPECT_TRUE(s.WriteProfileString(
        QStringLiteral("bookMARKS"), QStringLiteral("x.fb2"), QStringLiteral("-1,-1,0,0,/x.fb2")));
    EXPECT_TRUE(s.WriteProfileString(
        QStringLiteral("Bookmarks\\x.fb2"), QString(), QStringLiteral("1,2,0")));
    EXPECT_TRUE(s.WriteProfileString(
        QStringLiteral("BookmarksOld"), QStringLiteral("y"), QStringLiteral("z")));

    // What was written is read back for the rest of the run, ahead of the ini file...
    EXPECT_EQ(s.GetProfileInt(kSettings, QStringLiteral("ColorBookFG"), 7), 1);
    EXPECT_EQ(s.GetProfileInt(kSettings, QStringLiteral("NewInt"), 7), 2);
    EXPECT_EQ(s.GetProfileString(QString(), QStringLiteral("LastIndex")), QStringLiteral("/b.lvf"));
    // ...but only the bookmarks reached the backend.
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("ColorBookFG")), 0x123456);
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("NewInt")), std::nullopt);
    EXPECT_EQ(
        backend->ReadString(QString(), QStringLiteral("LastIndex")), QStringLiteral("/lib/a.lvf"));
    EXPECT_EQ(backend->ReadString(QStringLiteral("bookMARKS"), QStringLiteral("x.fb2")),
        QStringLiteral("-1,-1,0,0,/x.fb2"));
    EXPECT_EQ(
        backend->ReadString(QStringLiteral("Bookmarks/x.fb2"), QString()), QStringLiteral("1,2,0"));
    EXPECT_TRUE(backend->ValueNames(QStringLiteral("BookmarksOld")).isEmpty());

    // Removals follow the same rule; binary values are the caller's decision.
    EXPECT_FALSE(s.RemoveValue(kSettings, QStringLiteral("UseClearType")));
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("UseClearType")), 1);
    EXPECT_TRUE(s.RemoveSection(QStringLiteral("Bookmarks/x.fb2")));
    EXPECT_EQ(
        s.GetProfileString(QStringLiteral("Bookmarks/x.fb2"), QString(), QStringLiteral("none")),
        QStringLiteral("none"));
    EXPECT_TRUE(s.WriteProfileBinary(
        QStringLiteral("MainWindow"), QStringLiteral("FrameWndPlacement"), QByteArray(44, 'p')));
    EXPECT_EQ(
        backend->ReadBinary(QStringLiteral("MainWindow"), QStringLiteral("FrameWndPlacement")),
        QByteArray(44, 'p'));
}

TEST_F(SettingsStoreTest, WrittenValuesAreServedFromTheCacheButReadsFillNothing)
{
    auto& s = Make(false);
    EXPECT_EQ(s.GetProfileInt(kSettings, QStringLiteral("ColorBookFG"), 7), 0x123456);
    backend->WriteInt(kSettings, QStringLiteral("ColorBookFG"), 99);
    EXPECT_EQ(s.GetProfileInt(kSettings, QStringLiteral("ColorBookFG"), 7), 99);

    EXPECT_TRUE(s.WriteProfileInt(kSettings, QStringLiteral("ColorBookFG"), 5));
    EXPECT_TRUE(s.WriteProfileString(kSettings, QStringLiteral("Name"), QStringLiteral("n")));
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("ColorBookFG")), 5);
    backend->WriteInt(kSettings, QStringLiteral("ColorBookFG"), 6);
    backend->WriteString(kSettings, QStringLiteral("Name"), QStringLiteral("m"));
    EXPECT_EQ(s.GetProfileInt(kSettings, QStringLiteral("ColorBookFG"), 7), 5);
    EXPECT_EQ(s.GetProfileString(kSettings, QStringLiteral("Name")), QStringLiteral("n"));
    // Keys are exact: another letter case is another key, and separators are one form.
    EXPECT_EQ(
        s.GetProfileString(QStringLiteral("settings"), QStringLiteral("Name"), QStringLiteral("d")),
        QStringLiteral("d"));
    s.WriteProfileString(QStringLiteral("Bookmarks\\b.fb2"), QString(), QStringLiteral("1,1,0"));
    EXPECT_EQ(
        s.GetProfileString(QStringLiteral("Bookmarks/b.fb2"), QString()), QStringLiteral("1,1,0"));

    // Removing through the store forgets cached values of that value or section only.
    s.WriteProfileString(kBookmarks, QStringLiteral("b.fb2"), QStringLiteral("-1,-1,0,0,/b.fb2"));
    ASSERT_TRUE(s.RemoveSection(QStringLiteral("Bookmarks/b.fb2")));
    EXPECT_EQ(
        s.GetProfileString(QStringLiteral("Bookmarks/b.fb2"), QString(), QStringLiteral("gone")),
        QStringLiteral("gone"));
    EXPECT_EQ(s.GetProfileString(kBookmarks, QStringLiteral("b.fb2")),
        QStringLiteral("-1,-1,0,0,/b.fb2"));
    ASSERT_TRUE(s.RemoveValue(kBookmarks, QStringLiteral("b.fb2")));
    EXPECT_EQ(s.GetProfileString(kBookmarks, QStringLiteral("b.fb2"), QStringLiteral("gone")),
        QStringLiteral("gone"));
}

TEST_F(SettingsStoreTest, MalformedStoredValuesReadAsTheDefault)
{
    auto& s = Make(true, "[Settings]\nColorBookFG=red\nColorBookBG=99999999999\n");
    backend->WriteString(kSettings, QStringLiteral("ShowHGrid"), QStringLiteral("yes"));
    backend->WriteBinary(kSettings, QStringLiteral("Text"), QByteArray("\x01"));
    EXPECT_EQ(s.GetProfileInt(kSettings, QStringLiteral("ColorBookFG"), 7), 0x123456);
    EXPECT_EQ(s.GetProfileInt(kSettings, QStringLiteral("ColorBookBG"), 7), 7);
    EXPECT_EQ(s.GetProfileInt(kSettings, QStringLiteral("ShowHGrid"), 7), 7);
    EXPECT_EQ(s.GetProfileString(kSettings, QStringLiteral("Text"), QStringLiteral("d")),
        QStringLiteral("d"));
}

TEST_F(SettingsStoreTest, EnsureProfileIntWritesTheDefaultOnlyOutsideAutorun)
{
    auto& s = Make(false);
    EXPECT_EQ(s.EnsureProfileInt(kSettings, QStringLiteral("ColorBookFG"), 1), 0x123456);
    EXPECT_EQ(s.EnsureProfileInt(kSettings, QStringLiteral("ShowHGrid"), 1), 1);
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("ShowHGrid")), 1);
    // A stored value equal to the marker counts as absent and is reset.
    backend->WriteInt(kSettings, QStringLiteral("ColorBookBG"), SettingsStore::kAbsentMarker);
    EXPECT_EQ(s.EnsureProfileInt(kSettings, QStringLiteral("ColorBookBG"), 3), 3);
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("ColorBookBG")), 3);

    auto& autorun = Make(true, "[Settings]\nShowVGrid=4\n");
    EXPECT_EQ(autorun.EnsureProfileInt(kSettings, QStringLiteral("ShowHGrid"), 1), 1);
    EXPECT_EQ(autorun.EnsureProfileInt(kSettings, QStringLiteral("ShowVGrid"), 1), 4);
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("ShowHGrid")), std::nullopt);
    // Nothing was cached either: the default is not a value of the run.
    EXPECT_EQ(autorun.GetProfileInt(kSettings, QStringLiteral("ShowHGrid"), 9), 9);
}

TEST_F(SettingsStoreTest, ListsMergeTheIniFileInAutorunMode)
{
    auto& s = Make(true, "[Bookmarks]\nini.fb2=1,2,3,4,/ini.fb2\nini.fb2\\0=1,2,3,x\n");
    backend->WriteString(kBookmarks, QStringLiteral("own.fb2"), QStringLiteral("1,2,3,4,/own.fb2"));
    backend->WriteString(QStringLiteral("Bookmarks/own.fb2"), QString(), QStringLiteral("1,2,0"));
    EXPECT_EQ(s.ValueNames(kBookmarks),
        (QStringList {QStringLiteral("ini.fb2"), QStringLiteral("own.fb2")}));
    EXPECT_EQ(s.Subsections(kBookmarks),
        (QStringList {QStringLiteral("ini.fb2"), QStringLiteral("own.fb2")}));
    EXPECT_EQ(s.GetProfileString(QStringLiteral("Bookmarks/ini.fb2"), QStringLiteral("0")),
        QStringLiteral("1,2,3,x"));
}

TEST_F(SettingsStoreTest, ReportErrorShowsTheErrorCaptionThroughTheInstalledReporter)
{
    auto& s = Make(false);
    auto reporter = std::make_shared<RecordingReporter>();
    s.SetErrorReporter(reporter);
    s.ReportError(QStringLiteral("Can't open \"x\"."));
    s.ReportError(QString(3000, u'x'));
    ASSERT_EQ(reporter->shown.size(), 2);
    EXPECT_EQ(reporter->shown[0], QStringLiteral("Error|Can't open \"x\"."));
    EXPECT_EQ(reporter->shown[1].size(), 6 + 2048);
    s.SetErrorReporter(nullptr);
    s.ReportError(QStringLiteral("to stderr"));
    EXPECT_EQ(reporter->shown.size(), 2);
}

TEST(AppSettings, CanBeReplacedAndRestored)
{
    auto replacement
        = std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>(), true);
    SettingsStore* installed = replacement.get();
    auto previous = InstallAppSettings(std::move(replacement));
    EXPECT_EQ(&AppSettings(), installed);
    EXPECT_TRUE(AppSettings().Autorun());
    auto back = InstallAppSettings(std::move(previous));
    EXPECT_EQ(back.get(), installed);
    // With none installed, the user's own settings are used.
    EXPECT_FALSE(AppSettings().Autorun());
}
