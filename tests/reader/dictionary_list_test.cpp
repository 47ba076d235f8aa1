#include "reader/dictionary_list.h"
#include "reader/dictionary_writer.h"
#include "settings/memory_settings_backend.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;

TEST(DictionaryList, SettingSelectsAnEntryAfterTheDisabledOne)
{
    DictionaryList list = DictionaryList::FromSetting(QStringLiteral("2?/d/en.dic?*/d/ru.dic"));
    EXPECT_EQ(list.Current(), 2);
    EXPECT_EQ(list.CurrentPath(), QStringLiteral("/d/ru.dic"));
    EXPECT_EQ(list.EntryNames(),
        QStringList({QStringLiteral("Dictionary disabled"), QStringLiteral("/d/en.dic"),
            QStringLiteral("/d/ru.dic")}));
    EXPECT_EQ(list.ToSetting(), QStringLiteral("2?/d/en.dic?/d/ru.dic"));

    for (const char* value : {"3?/a.dic?/b.dic", "-1?/a.dic", "x?/a.dic", "", "1"}) {
        const DictionaryList disabled = DictionaryList::FromSetting(QString::fromLatin1(value));
        EXPECT_EQ(disabled.Current(), 0) << value;
        EXPECT_FALSE(disabled.IsEnabled());
        EXPECT_TRUE(disabled.CurrentPath().isEmpty());
    }
}

TEST(DictionaryList, RemovingAnEntryKeepsTheCurrentDictionary)
{
    DictionaryList list = DictionaryList::FromSetting(QStringLiteral("2?/a.dic?/b.dic"));
    list.Add(QStringLiteral("/c.dic"));
    list.Remove(1);
    EXPECT_EQ(list.CurrentPath(), QStringLiteral("/b.dic"));
    list.Remove(1);
    EXPECT_EQ(list.Current(), 0);
    EXPECT_EQ(list.ToSetting(), QStringLiteral("0?/c.dic"));
    list.Remove(0); // the disabled entry stays
    list.Remove(5);
    EXPECT_EQ(list.Paths(), QStringList(QStringLiteral("/c.dic")));

    SettingsStore store(std::make_unique<MemorySettingsBackend>());
    list.SetCurrent(1);
    list.Save(store);
    EXPECT_EQ(store.GetProfileString(QStringLiteral("Parameters"), QStringLiteral("Dictionary")),
        QStringLiteral("1?/c.dic"));
    EXPECT_EQ(DictionaryList::Load(store).CurrentPath(), QStringLiteral("/c.dic"));
}

TEST(DictionaryList, OpeningTheCurrentDictionaryExplainsFailure)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.dic"));
    ASSERT_TRUE(
        WriteDictionary(good, {{QStringLiteral("word"), QStringLiteral("meaning")}}, {}, nullptr));
    const QString missing = dir.filePath(QStringLiteral("missing.dic"));
    QString message = QStringLiteral("stale");

    EXPECT_TRUE(
        OpenCurrentDictionary(DictionaryList::FromSetting(QStringLiteral("1?") + good), &message));
    EXPECT_TRUE(message.isEmpty());
    EXPECT_FALSE(
        OpenCurrentDictionary(DictionaryList::FromSetting(QStringLiteral("0?") + good), &message));
    EXPECT_TRUE(message.isEmpty());
    EXPECT_FALSE(OpenCurrentDictionary(
        DictionaryList::FromSetting(QStringLiteral("1?") + missing), &message));
    EXPECT_EQ(message,
        QStringLiteral("Can't open dictionary: ") + missing + QStringLiteral(": File not found"));
}
