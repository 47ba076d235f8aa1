#include "gui/common/font_color.h"
#include "gui/options/options_page.h"
#include "gui/options/shelf_options_page.h"
#include "settings/font_record.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "shelf/genre_dictionary.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

class ShelfOptionsPageTest : public ::testing::Test {
protected:
    CShelfOptionsPage& Open(bool autorun = false)
    {
        settings
            = std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>(), autorun);
        page = std::make_unique<COptionsPage>(*settings);
        spy = std::make_unique<QSignalSpy>(page.get(), &COptionsPage::settingChanged);
        return *page->ShelfOptions();
    }

    QStringList Announced()
    {
        QStringList names;
        for (const QList<QVariant>& call : *spy)
            names << call.at(0).toString();
        spy->clear();
        return names;
    }

    template<typename T> T* Child(const char* name) { return page->findChild<T*>(S(name)); }

    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<COptionsPage> page;
    std::unique_ptr<QSignalSpy> spy;
};

TEST_F(ShelfOptionsPageTest, CheckBoxesShowTheViewsDefaultsWriteAtOnceAndAnnounceTheirGroup)
{
    Open();
    auto* authorVGrid = Child<QCheckBox>("BooksView/AuthorTree_ShowVGrid");
    ASSERT_NE(authorVGrid, nullptr);
    EXPECT_FALSE(authorVGrid->isChecked());
    EXPECT_TRUE(Child<QCheckBox>("BooksView/ShowHGrid")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>("ImportView/ShowHGridEx")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>("BooksView/ExpandGroups")->isChecked());

    authorVGrid->setChecked(true);
    EXPECT_EQ(settings->GetProfileInt(S("BooksView"), S("AuthorTree_ShowVGrid"), 0), 1);
    Child<QCheckBox>("ImportView/ShowVGrid")->setChecked(true);
    Child<QCheckBox>("BooksView/SearchAfterEnter")->setChecked(true);
    EXPECT_EQ(Announced(),
        (QStringList {S("AuthorTree_Grid"), S("LogView_Grid"), S("SearchAfterEnter")}));

    // Cleartype changes how every font is read: their names follow its own, in order.
    Child<QCheckBox>("UseClearType")->setChecked(true);
    EXPECT_EQ(settings->GetProfileInt(S("Settings"), S("UseClearType"), 0), 1);
    EXPECT_EQ(Announced(),
        (QStringList {
            S("UseClearType"), S("BookViewFont"), S("BookDetailsFont"), S("LogViewFont")}));
}

TEST_F(ShelfOptionsPageTest, ColoursAreCompletedOnOpeningAndAChosenOneIsWrittenAndShown)
{
    CShelfOptionsPage& shelf = Open();
    // Absent colours were written with their defaults when the page opened.
    EXPECT_EQ(settings->GetProfileInt(S("Settings"), S("ColorNABookBG"), -1),
        qint32(RgbColor(255, 225, 225)));
    EXPECT_EQ(settings->GetProfileInt(S("BooksView"), S("DoubleClickStyle"), -1), 0);

    std::optional<QColor> answer;
    QColor offered;
    shelf.SetColorChooser([&](QWidget*, const QColor& initial) {
        offered = initial;
        return answer;
    });
    Child<QPushButton>("ColorNABookBG")->click(); // cancelled
    EXPECT_EQ(offered, QColor(255, 225, 225));
    EXPECT_TRUE(Announced().isEmpty());

    answer = QColor(10, 20, 30);
    Child<QPushButton>("ColorNABookBG")->click();
    EXPECT_EQ(settings->GetProfileInt(S("Settings"), S("ColorNABookBG"), -1),
        qint32(RgbColor(10, 20, 30)));
    EXPECT_EQ(Announced(), QStringList {S("ColorNABookBG")});
    EXPECT_EQ(Child<QLabel>("ColorNABookFGSample")->palette().color(QPalette::Window),
        QColor(10, 20, 30));

    auto* doubleClick = Child<QComboBox>("DoubleClickStyle");
    Q_EMIT doubleClick->activated(1);
    EXPECT_EQ(settings->GetProfileInt(S("BooksView"), S("DoubleClickStyle"), -1), 1);
    EXPECT_EQ(Announced(), QStringList {S("DoubleClickStyle")});
}

TEST_F(ShelfOptionsPageTest, ChosenFontsAreStoredWithTheCleartypeQualityButNeverInAutorun)
{
    const QFont chosen(S("Serif"), 17);
    for (bool autorun : {false, true}) {
        CShelfOptionsPage& shelf = Open(autorun);
        shelf.SetFontChooser([&](QWidget*, const QFont&) { return chosen; });
        Child<QPushButton>("BookDetailsFont")->click();
        EXPECT_EQ(Announced(), QStringList {S("BookDetailsFont")});
        EXPECT_EQ(Child<QLabel>("ColorPreviewFGSample")->font().family(), S("Serif"));
        const auto stored = settings->GetProfileBinary(S("Settings"), S("BookDetailsFont"));
        EXPECT_EQ(stored.has_value(), !autorun);
        if (autorun) {
            EXPECT_EQ(settings->GetProfileInt(S("Settings"), S("ColorNABookBG"), -1), -1);
            EXPECT_EQ(settings->GetProfileInt(S("BooksView"), S("DoubleClickStyle"), -1), -1);
            continue;
        }
        EXPECT_EQ(FontRecord::FromBytes(*stored)->quality, FontRecord::kAntialiasedQuality);
        Child<QCheckBox>("UseClearType")->setChecked(true);
        const auto resaved = settings->GetProfileBinary(S("Settings"), S("BookDetailsFont"));
        EXPECT_EQ(FontRecord::FromBytes(*resaved)->quality, FontRecord::kClearTypeQuality);
        EXPECT_EQ(FontRecord::FromBytes(*resaved)->FaceName(), S("Serif"));
    }
}

TEST_F(ShelfOptionsPageTest, ChoosingAGenreLanguageReloadsTheDictionaryOrSaysWhyNot)
{
    auto store = [this](const char* key, const char* value) {
        settings->WriteProfileString(QString(), S(key), S(value));
    };
    settings = std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>());
    store("GenreDict", LBV_SOURCE_DIR "/resources/genre-dict.xml");
    store("GenreLang", "en");
    QString error;
    ASSERT_TRUE(LoadProgramGenreDictionary(*settings, &error)) << error.toStdString();
    store("GenreLang", "EN");
    page = std::make_unique<COptionsPage>(*settings);
    spy = std::make_unique<QSignalSpy>(page.get(), &COptionsPage::settingChanged);
    QStringList messages;
    page->ShelfOptions()->SetMessageShower(
        [&](QWidget*, const QString& text) { messages << text; });

    auto* languages = Child<QComboBox>("GenreLang");
    ASSERT_EQ(languages->count(), 2);
    EXPECT_EQ(languages->currentText(), S("English")); // found case-insensitively
    const QString englishTitle = ProgramGenreDictionary().Roots().first().title;
    Q_EMIT languages->activated(languages->findData(S("ru")));
    EXPECT_EQ(settings->GetProfileString(QString(), S("GenreLang"), {}), S("ru"));
    EXPECT_NE(ProgramGenreDictionary().Roots().first().title, englishTitle);
    EXPECT_EQ(languages->currentData().toString(), S("ru"));
    EXPECT_EQ(Announced(), QStringList {S("GenreLang")});
    EXPECT_TRUE(messages.isEmpty());

    store("GenreDict", "/nonexistent/genre-dict.xml");
    Q_EMIT languages->activated(languages->findData(S("en")));
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(Announced(), QStringList {S("GenreLang")});

    // Later tests find the dictionary as the program starts with it.
    store("GenreDict", LBV_SOURCE_DIR "/resources/genre-dict.xml");
    ASSERT_TRUE(LoadProgramGenreDictionary(*settings, &error));
}

} // namespace
