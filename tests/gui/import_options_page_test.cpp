#include "convert/converter.h"
#include "convert/converter_options.h"
#include "gui/options/converter_options_dialog.h"
#include "gui/options/import_options_page.h"
#include "gui/options/options_page.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace lbv;
using namespace Qt::StringLiterals;

namespace {

const QString kSettings = u"Settings"_s;
const QString kAny2Fb2 = u"Any2FB2"_s;

QStringList Names(QSignalSpy& spy)
{
    QStringList names;
    for (const QList<QVariant>& call : spy)
        names << call.at(0).toString();
    spy.clear();
    return names;
}

class ImportOptionsPageTest : public ::testing::Test {
protected:
    CImportOptionsPage* Open(bool autorun = false)
    {
        settings
            = std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>(), autorun);
        page = std::make_unique<COptionsPage>(*settings);
        spy = std::make_unique<QSignalSpy>(page.get(), &COptionsPage::settingChanged);
        return page->ImportOptions();
    }

    template<typename T> T* Child(const QString& name) { return page->findChild<T*>(name); }
    QString Result() { return Child<QLabel>(u"RenameBookMaskResult"_s)->text(); }

    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<COptionsPage> page;
    std::unique_ptr<QSignalSpy> spy;
};

class ConverterOptionsDialogTest : public ::testing::Test {
protected:
    CConverterOptionsDialog& Open(bool available = true)
    {
        dialog = std::make_unique<CConverterOptionsDialog>(settings, available);
        spy = std::make_unique<QSignalSpy>(dialog.get(), &CConverterOptionsDialog::settingChanged);
        return *dialog;
    }
    template<typename T> T* Child(const QString& name) { return dialog->findChild<T*>(name); }
    QString Stored(const QString& name) { return settings.GetProfileString(kAny2Fb2, name); }
    QString Problem() { return Child<QLabel>(u"problem"_s)->text(); }

    SettingsStore settings {std::make_unique<MemorySettingsBackend>()};
    std::unique_ptr<CConverterOptionsDialog> dialog;
    std::unique_ptr<QSignalSpy> spy;
};

} // namespace

TEST_F(ImportOptionsPageTest, EveryControlWritesItsSettingAtOnceAndAnnouncesIt)
{
    CImportOptionsPage* import = Open();
    import->SetFolderChooser([](QWidget*, const QString&) { return u"/srv/failed"_s;
});

QTest::keyClicks(Child<QLineEdit>(u"ConvertedFilesDir"_s), u"/c"_s);
EXPECT_EQ(settings->GetProfileString(kSettings, u"ConvertedFilesDir"_s), u"/c"_s);
EXPECT_EQ(Names(*spy), (QStringList {u"ConvertedFilesDir"_s, u"ConvertedFilesDir"_s}));
QTest::mouseClick(Child<QPushButton>(u"FailedFilesDirBrowse"_s), Qt::LeftButton);
EXPECT_EQ(Child<QLineEdit>(u"FailedFilesDir"_s)->text(), u"/srv/failed"_s);
EXPECT_EQ(settings->GetProfileString(kSettings, u"FailedFilesDir"_s), u"/srv/failed"_s);
QTest::keyClicks(Child<QLineEdit>(u"LogFilesDir"_s), u"l"_s);
EXPECT_EQ(Names(*spy), (QStringList {u"FailedFilesDir"_s, u"LogFilesDir"_s}));

// The switches start from their defaults: only ZIP compression is on.
for (const auto& [key, initially] : {std::pair {u"CopyFailedFiles"_s, false},
         std::pair {u"WriteLogs"_s, false}, std::pair {u"UseZipCompression"_s, true}}) {
    auto* check = Child<QCheckBox>(key);
    ASSERT_NE(check, nullptr) << qPrintable(key);
    EXPECT_EQ(check->isChecked(), initially) << qPrintable(key);
    check->click();
    EXPECT_EQ(settings->GetProfileInt(kSettings, key, -1), initially ? 0 : 1);
    EXPECT_EQ(Names(*spy), QStringList {key});
}

auto* charset = Child<QComboBox>(u"BookCharset"_s);
EXPECT_EQ(charset->count(), 117);
EXPECT_EQ(charset->currentData().toString(), u"1251,windows-1251"_s);
QTest::keyClick(charset, Qt::Key_Down);
EXPECT_EQ(
    settings->GetProfileString(kSettings, u"BookCharset"_s), charset->currentData().toString());
EXPECT_NE(charset->currentData().toString(), u"1251,windows-1251"_s);
auto* existing = Child<QComboBox>(u"ExistingBookAction"_s);
EXPECT_EQ(existing->currentText(), u"Ask me what to do"_s);
QTest::keyClick(existing, Qt::Key_Down);
EXPECT_EQ(settings->GetProfileInt(kSettings, u"ExistingBookAction"_s, -1), 1);
EXPECT_EQ(Names(*spy), (QStringList {u"BookCharset"_s, u"ExistingBookAction"_s}));
}

TEST_F(ImportOptionsPageTest, StoredValuesAreShownAndAnUnknownCharsetIsKept)
{
    auto backend = std::make_unique<MemorySettingsBackend>();
    backend->WriteString(kSettings, u"BookCharset"_s, u"20866,KOI8-R"_s);
    backend->WriteString(kSettings, u"ConvertedFilesDir"_s, u"/out"_s);
    backend->WriteInt(kSettings, u"ExistingBookAction"_s, 2);
    settings = std::make_unique<SettingsStore>(std::move(backend));
    page = std::make_unique<COptionsPage>(*settings);
    EXPECT_EQ(Child<QComboBox>(u"BookCharset"_s)->currentText(), u"Cyrillic (KOI8-R)"_s);
    EXPECT_EQ(Child<QComboBox>(u"ExistingBookAction"_s)->currentIndex(), 2);
    EXPECT_EQ(Child<QLineEdit>(u"ConvertedFilesDir"_s)->text(), u"/out"_s);

    settings->WriteProfileString(kSettings, u"BookCharset"_s, u"99999,martian"_s);
    page = std::make_unique<COptionsPage>(*settings);
    auto* charset = Child<QComboBox>(u"BookCharset"_s);
    EXPECT_EQ(charset->count(), 118);
    EXPECT_EQ(charset->currentData().toString(), u"99999,martian"_s);
}

TEST_F(ImportOptionsPageTest, TheResultFollowsTheMaskTheFolderAndTheCompression)
{
    Open();
    EXPECT_EQ(Result(), u"Кессель Ивар/Ивар Кессель. Прелюдия к основанию.zip"_s);
    QTest::keyClicks(Child<QLineEdit>(u"ConvertedFilesDir"_s), u"/out"_s);
    auto* mask = Child<QLineEdit>(u"RenameBookMask"_s);
    mask->clear();
    QTest::keyClicks(mask, u"%g/%t"_s);
    EXPECT_EQ(settings->GetProfileString(kSettings, u"RenameBookMask"_s), u"%g/%t"_s);
    EXPECT_EQ(Result(), u"/out/sf/Прелюдия к основанию.zip"_s);
    Child<QCheckBox>(u"UseZipCompression"_s)->click();
    EXPECT_EQ(Result(), u"/out/sf/Прелюдия к основанию.fb2"_s);
}

TEST_F(ImportOptionsPageTest, AutorunHasNoImportTab)
{
    Open(true);
    EXPECT_EQ(page->ImportOptions(), nullptr);
    auto* tabs = Child<QTabWidget>(u"optionsTabs"_s);
    for (int tab = 0; tab < tabs->count(); ++tab)
        EXPECT_NE(tabs->tabText(tab), u"Import"_s);
    EXPECT_EQ(Child<QLineEdit>(u"ConvertedFilesDir"_s), nullptr);
}

TEST_F(ImportOptionsPageTest, TheConverterOptionsButtonOpensTheDialogAndRelaysItsNames)
{
    CImportOptionsPage* import = Open();
    int opened = 0;
    import->SetConverterOptionsOpener(
        [&](QWidget*, SettingsStore& store, std::function<void(const QString&)> announce) {
            ++opened;
    EXPECT_EQ(&store, settings.get());
    announce(u"Any2DB2_NoPoems"_s);
});
QTest::mouseClick(Child<QPushButton>(u"ConverterOptions"_s), Qt::LeftButton);
EXPECT_EQ(opened, 1);
EXPECT_EQ(Names(*spy), QStringList {u"Any2DB2_NoPoems"_s});
}

TEST_F(ConverterOptionsDialogTest, ShowsTheDefaultsTheConversionApplies)
{
    Open();
    const ConverterProperties applied = ReadConverterProperties(settings);
    int checked = 0;
    for (const ConverterProperty& property : applied) {
        const ConverterSetting* setting = FindConverterSetting(property.name);
        ASSERT_NE(setting, nullptr) << qPrintable(property.name);
        if (setting->kind != ConverterValueKind::Switch)
            continue;
        auto* check = Child<QCheckBox>(setting->Name());
        ASSERT_NE(check, nullptr) << qPrintable(setting->Name());
        EXPECT_EQ(check->isChecked(), property.value.toInt() != 0) << qPrintable(property.name);
        checked += check->isChecked();
    }
    EXPECT_EQ(checked, 3); // ConvertDash, RemoveOffsiteImages, RemoveExternalLinks
    EXPECT_TRUE(Child<QCheckBox>(u"Alow1000Fix"_s)->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(u"FollowLinks"_s)->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(u"TextFormat_Auto"_s)->isChecked());
    EXPECT_EQ(Child<QLineEdit>(u"HeadersRegexp"_s)->text(), DefaultHeadersRegexp());
    EXPECT_EQ(Child<QComboBox>(u"LinkDepth"_s)->currentIndex(), 0);
    // Opening writes nothing.
    EXPECT_TRUE(settings.ValueNames(kAny2Fb2).isEmpty());
}

TEST_F(ConverterOptionsDialogTest, EachChangeIsWrittenAndAnnouncedByItsName)
{
    Open();
    Child<QCheckBox>(u"NoPoems"_s)->click();
    Child<QCheckBox>(u"RemoveOffsiteImages"_s)->click();
    EXPECT_EQ(settings.GetProfileInt(kAny2Fb2, u"NoPoems"_s, -1), 1);
    EXPECT_EQ(settings.GetProfileInt(kAny2Fb2, u"RemoveOffsiteImages"_s, -1), 0);
    EXPECT_EQ(Names(*spy), (QStringList {u"Any2DB2_NoPoems"_s, u"Any2DB2_RemoveOffsiteImages"_s}));

    // The depth and the link expressions are offered only while links are followed.
    auto* depth = Child<QComboBox>(u"LinkDepth"_s);
    EXPECT_FALSE(depth->isEnabled());
    Child<QCheckBox>(u"FollowLinks"_s)->click();
    EXPECT_TRUE(depth->isEnabled());
    EXPECT_TRUE(Child<QLineEdit>(u"NeverFollowLinks"_s)->isEnabled());
    QTest::keyClick(depth, Qt::Key_Down);
    QTest::keyClick(depth, Qt::Key_Down);
    EXPECT_EQ(settings.GetProfileInt(kAny2Fb2, u"LinkDepth"_s, -1), 2);
    Child<QRadioButton>(u"TextFormat_EmptyLines"_s)->click();
    EXPECT_EQ(Stored(u"TextFormat"_s), u"EmptyLines"_s);
    QTest::keyClicks(Child<QLineEdit>(u"NeverFollowLinks"_s), u"^x"_s);
    EXPECT_EQ(Stored(u"NeverFollowLinks"_s), u"^x"_s);
    EXPECT_EQ(Names(*spy),
        (QStringList {u"Any2DB2_FollowLinks"_s, u"Any2FB2_LinkDepth"_s, u"Any2FB2_LinkDepth"_s,
            u"Any2FB2_TextFormat"_s, u"Any2FB2_NeverFollowLinks"_s,
            u"Any2FB2_NeverFollowLinks"_s}));

    // What the dialog wrote is what the conversion receives.
    const ConverterProperties applied = ReadConverterProperties(settings);
    const auto value = [&](const QString& name) {
        for (const ConverterProperty& property : applied)
            if (property.name == name)
                return property.value;
        return QVariant();
    };
    EXPECT_EQ(value(u"NoPoems"_s), QVariant(1));
    EXPECT_EQ(value(u"RemoveOffSiteImages"_s), QVariant(0));
    EXPECT_EQ(value(u"LinkDepth"_s), QVariant(2));
    EXPECT_EQ(value(u"TextType"_s), QVariant(2));
    EXPECT_EQ(value(u"NeverFollowLinks"_s), QVariant(u"^x"_s));
}

TEST_F(ConverterOptionsDialogTest, ABrokenExpressionIsShownWithItsReasonAndNotWritten)
{
    settings.WriteProfileString(kAny2Fb2, u"HeadersRegexp"_s, u"^Part"_s);
    Open();
    auto* headers = Child<QLineEdit>(u"HeadersRegexp"_s);
    QTest::keyClicks(headers, u"(x"_s);
    EXPECT_EQ(Stored(u"HeadersRegexp"_s), u"^Part"_s);
    EXPECT_TRUE(Problem().startsWith(u"Not saved: HeadersRegexp: invalid regular expression"_s))
        << qPrintable(Problem());
    QTest::keyClick(headers, Qt::Key_Backspace);
    QTest::keyClick(headers, Qt::Key_Backspace);
    EXPECT_EQ(Stored(u"HeadersRegexp"_s), u"^Part"_s);
    EXPECT_TRUE(Problem().isEmpty());
    EXPECT_EQ(Names(*spy), QStringList {u"Any2FB2_HeadersRegexp"_s});
}

TEST_F(ConverterOptionsDialogTest, RuleListsAreEditedInTwoColumnsAndStoredOnlyWhenValid)
{
    settings.WriteProfileString(kAny2Fb2, u"OnLoad"_s, u"a\tb\nc"_s);
    Open();
    auto* view = Child<QTreeView>(u"OnLoad"_s);
    QAbstractItemModel& model = *view->model();
    ASSERT_EQ(model.rowCount(), 3); // two rules and the blank row for a new one
    EXPECT_EQ(model.index(0, 1).data().toString(), u"b"_s);

    ASSERT_TRUE(model.setData(model.index(2, 0), u"\\d+"_s));
    ASSERT_TRUE(model.setData(model.index(2, 1), u"N"_s));
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(Stored(u"OnLoad"_s), u"a\tb\nc\n\\d+\tN"_s);

    ASSERT_TRUE(model.setData(model.index(1, 0), u"[c"_s));
    EXPECT_EQ(Stored(u"OnLoad"_s), u"a\tb\nc\n\\d+\tN"_s);
    EXPECT_TRUE(Problem().contains(u"invalid regular expression \"[c\""_s));
    EXPECT_FALSE(model.index(1, 0).data(Qt::ToolTipRole).toString().isEmpty());

    // Emptying a rule removes it, and the list is valid again.
    ASSERT_TRUE(model.setData(model.index(1, 0), QString()));
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(Stored(u"OnLoad"_s), u"a\tb\n\\d+\tN"_s);
    EXPECT_TRUE(Problem().isEmpty());
    EXPECT_EQ(
        Names(*spy), (QStringList {u"Any2FB2_OnLoad"_s, u"Any2FB2_OnLoad"_s, u"Any2FB2_OnLoad"_s}));
}

TEST_F(ConverterOptionsDialogTest, ColumnWidthsComeBackUnderTheNameTheyWereStoredUnder)
{
    Open();
    Child<QTreeView>(u"OnResult"_s)->header()->resizeSection(0, 321);
    dialog.reset();
    EXPECT_TRUE(Stored(u"OnResultHeaderItem_0"_s).startsWith(u"321 "_s));
    EXPECT_FALSE(Stored(u"OnLoadHeaderItem_1"_s).isEmpty());
    Open();
    EXPECT_EQ(Child<QTreeView>(u"OnResult"_s)->header()->sectionSize(0), 321);
}

TEST_F(ConverterOptionsDialogTest, WithoutAConverterEveryControlIsDisabled)
{
    Open(false);
    for (const char16_t* name : {u"NoPoems", u"HeadersRegexp", u"OnLoad", u"TextFormat_Auto"})
        EXPECT_FALSE(Child<QWidget>(QString::fromUtf16(name))->isEnabled());
    EXPECT_FALSE(Problem().isEmpty());
}
