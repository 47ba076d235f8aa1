#include "import/import_options.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

#include <gtest/gtest.h>

using namespace lbv;
using namespace Qt::StringLiterals;

TEST(ImportOptions, WriteLogsIsOffUntilChosenAndOddActionsAsk)
{
    SettingsStore settings(std::make_unique<MemorySettingsBackend>());
    ImportOptions options = ReadImportOptions(settings);
    EXPECT_FALSE(options.writeLogs);
    EXPECT_TRUE(options.useZipCompression);

    settings.WriteProfileInt(u"Settings"_s, u"WriteLogs"_s, 1);
    settings.WriteProfileInt(u"Settings"_s, u"ExistingBookAction"_s, 7);
    options = ReadImportOptions(settings);
    EXPECT_TRUE(options.writeLogs);
    EXPECT_EQ(options.existingBookAction, ExistingBookAction::Ask);
}

TEST(ImportOptions, TheMaskExampleJoinsFolderExpandedMaskAndExtension)
{
    const QString mask = ImportOptions().renameBookMask;
    EXPECT_EQ(RenameMaskExample(u"/home/u/Converted"_s, mask, true),
        u"/home/u/Converted/Кессель Ивар/Ивар Кессель. Прелюдия к основанию.zip"_s);
    EXPECT_EQ(RenameMaskExample(u"/home/u/Converted/"_s, u"%G/%T"_s, false),
        u"/home/u/Converted/sf/Preljudija k osnovaniju.fb2"_s);
    // No folder yet: the name alone. No mask: nothing, as the conversion refuses it.
    EXPECT_EQ(RenameMaskExample(QString(), u"%t"_s, false), u"Прелюдия к основанию.fb2"_s);
    EXPECT_TRUE(RenameMaskExample(u"/x"_s, QString(), true).isEmpty());
}
