#include "settings/font_record.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "settings/startup_defaults.h"

#include <gtest/gtest.h>

using namespace lbv;

namespace {

const QString kSettings = QStringLiteral("Settings");

StartupEnvironment Environment()
{
    StartupEnvironment environment;
    environment.colors.window = RgbColor(250, 250, 250);
    environment.colors.windowText = RgbColor(10, 20, 30);
    environment.dpi = 96;
    environment.genreDictPath = QStringLiteral("/opt/libravon/genre-dict.xml");
    return environment;
}

} // namespace

TEST(StartupDefaults, FirstStartWritesEveryDefault)
{
    auto owned = std::make_unique<MemorySettingsBackend>();
    MemorySettingsBackend* backend = owned.get();
    SettingsStore store(std::move(owned));
    EnsureStartupDefaults(store, Environment());

    EXPECT_EQ(backend->ReadString(QString(), QStringLiteral("LastIndex")), QString());
    EXPECT_EQ(backend->ReadString(QString(), QStringLiteral("GenreDict")),
        QStringLiteral("/opt/libravon/genre-dict.xml"));
    EXPECT_EQ(backend->ReadString(QString(), QStringLiteral("GenreLang")), QStringLiteral("en"));
    EXPECT_EQ(backend->ValueNames(QStringLiteral("BooksView")).size(), 4);
    EXPECT_EQ(backend->ValueNames(QStringLiteral("ImportView")).size(), 3);
    EXPECT_EQ(backend->ValueNames(kSettings).size(), 20 + 3);
    EXPECT_EQ(backend->ReadInt(QStringLiteral("ImportView"), QStringLiteral("ShowHGridEx")), 1);
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("ColorShortBookFG")), 0x646464);
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("ColorLongBookFG")), 0xF78073);
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("ColorNABookBG")), 0xE1E1FF);
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("ColorPreviewBG")), 0xF0F0F0);
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("LogErrorFG")), 0x0000B0);
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("ColorBookBG")), 0xFAFAFA);
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("ColorPreviewFG")), 0x1E140A);
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("FastPrefetchBufferSize")), 4096);
    EXPECT_EQ(backend->ReadBinary(kSettings, QStringLiteral("BookViewFont")),
        DefaultFontRecord(10, 96).ToBytes());
    EXPECT_EQ(backend->ReadBinary(kSettings, QStringLiteral("LogViewFont")),
        DefaultFontRecord(8, 96).ToBytes());
    EXPECT_TRUE(backend->ChildSections(QStringLiteral("MainWindow")).isEmpty());
}

TEST(StartupDefaults, KeepStoredValuesAndWriteNothingInAutorun)
{
    auto owned = std::make_unique<MemorySettingsBackend>();
    MemorySettingsBackend* backend = owned.get();
    backend->WriteString(QString(), QStringLiteral("LastIndex"), QStringLiteral("/lib/a.lvf"));
    backend->WriteInt(kSettings, QStringLiteral("UseClearType"), 1);
    SettingsStore store(std::move(owned));
    EnsureStartupDefaults(store, Environment());
    EXPECT_EQ(
        backend->ReadString(QString(), QStringLiteral("LastIndex")), QStringLiteral("/lib/a.lvf"));
    EXPECT_EQ(backend->ReadInt(kSettings, QStringLiteral("UseClearType")), 1);
    EXPECT_EQ(FontRecord::FromBytes(*backend->ReadBinary(kSettings, QStringLiteral("BookViewFont")))
                  ->quality,
        5);

    auto emptyOwned = std::make_unique<MemorySettingsBackend>();
    MemorySettingsBackend* empty = emptyOwned.get();
    SettingsStore autorun(std::move(emptyOwned), true);
    EnsureStartupDefaults(autorun, Environment());
    EXPECT_TRUE(empty->ChildSections(QString()).isEmpty());
    EXPECT_TRUE(empty->ValueNames(QString()).isEmpty());
}
