#include "gui/common/font_color.h"
#include "gui/options/buttons_dialog.h"
#include "gui/options/options_page.h"
#include "gui/options/reader_options_page.h"
#include "gui/reader/dictionaries_dialog.h"
#include "gui/options/styles_dialog.h"
#include "gui/reader/qt_text_measurer.h"
#include "gui/reader/reader_color_table.h"
#include "gui/reader/reader_view.h"
#include "reader/key_map.h"
#include "reader/reader_session.h"
#include "reader/reader_settings.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "reader_test_books.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

// The Reader tab beside an open reader view, wired as the main frame wires them.
class ReaderOptionsPageTest : public ::testing::Test {
protected:
    void Open(bool autorun = false)
    {
        store = std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>(), autorun);
        view = std::make_unique<CReaderView>(
            *store, [this](const QString& text) { errors << text; });
        view->resize(300, 200);
        page = std::make_unique<COptionsPage>(*store);
        page->SetReaderView(view.get());
        QObject::connect(
            page.get(), &COptionsPage::settingChanged, view.get(), &CReaderView::SettingChanged);
        spy = std::make_unique<QSignalSpy>(page.get(), &COptionsPage::settingChanged);
        reader = page->ReaderOptions();
    }

    QString WriteBook(const QString& name = S("book.fb2"))
    {
        QByteArray body;
        for (int i = 0; i < 60; ++i)
            body += "<section><title><p>Chapter " + QByteArray::number(i)
                + "</p></title><p>Text of chapter " + QByteArray::number(i)
                + " and a few more words</p></section>\n";
        return test::WriteBookFile(folder.filePath(name), test::ReaderBook(body));
    }

    QStringList Announced()
    {
        QStringList names;
        for (const QList<QVariant>& call : *spy)
            names << call.at(0).toString();
        spy->clear();
        return names;
    }

    template<typename T> T* Child(const char* name)
    {
        T* child = reader->findChild<T*>(S(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    int Parameter(const char* name, int otherwise = -12345)
    {
        return store->GetProfileInt(kParametersSection, S(name), otherwise);
    }

    static void Choose(QComboBox* combo, int index)
    {
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
    }

    static void Press(QWidget& widget, Qt::Key key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &press);
    }

    QColor PageBackground() { return view->grab().toImage().pixelColor(1, 1); }

    QTemporaryDir folder;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<CReaderView> view;
    std::unique_ptr<COptionsPage> page;
    std::unique_ptr<QSignalSpy> spy;
    CReaderOptionsPage* reader = nullptr;
    QStringList errors;
};

TEST_F(ReaderOptionsPageTest, DisplayControlsWriteTheWholeGroupAndTheOpenBookFollows)
{
    Open();
    ASSERT_TRUE(view->Open(WriteBook()));
    EXPECT_EQ(Child<QSpinBox>("FontSize")->value(), 12);
    EXPECT_TRUE(Child<QCheckBox>("FontBold")->isChecked());

    Child<QSpinBox>("FontSize")->setValue(17);
    EXPECT_EQ(Announced(), QStringList {S("ReaderDisplay")});
    // The group is written together, the face as stored although it may not be installed.
    EXPECT_EQ(store->GetProfileString(kParametersSection, S("FontFace")), S("Tahoma"));
    for (const char* name :
        {"FontClearType", "FontBold", "Orientation", "Columns", "Hyphenate", "Justify", "Margins"})
        EXPECT_NE(Parameter(name), -12345) << name;
    EXPECT_EQ(Parameter("FontSize"), 17);
    EXPECT_EQ(view->Session().Parameters().fontSize, 17);

    Choose(Child<QComboBox>("FontClearType"), 2); // "Standard"
    EXPECT_EQ(Parameter("FontClearType"), 2);
    EXPECT_EQ(view->Measurer().FontFor({14, 0, 0}).styleStrategy() & QFont::NoSubpixelAntialias,
        QFont::NoSubpixelAntialias);
    Choose(Child<QComboBox>("Orientation"), 1);
    EXPECT_EQ(Parameter("Orientation"), 900);
    EXPECT_EQ(view->Session().Parameters().orientation, 900);
    Child<QSpinBox>("Columns")->setValue(2);
    EXPECT_EQ(view->Session().Parameters().columns, 2);
    Child<QCheckBox>("Hyphenate")->setChecked(true);
    EXPECT_EQ(Parameter("Hyphenate"), 1);
    Child<QCheckBox>("OneLineLess")->setChecked(true);
    EXPECT_EQ(Parameter("OneLineLess"), 1);
    EXPECT_EQ(Announced().size(), 5);

    // Chosen fonts are stored by family.
    auto* font = Child<QFontComboBox>("FontFace");
    ASSERT_GT(font->count(), 0);
    Choose(font, 0);
    EXPECT_EQ(
        store->GetProfileString(kParametersSection, S("FontFace")), font->currentFont().family());
    EXPECT_EQ(Child<QLabel>("fontSample")->font().family(), font->currentFont().family());
}

TEST_F(ReaderOptionsPageTest, ProgressBarItemsAndDefaultEncodingAreStoredAndAnnounced)
{
    Open();
    EXPECT_TRUE(Child<QCheckBox>("ShowProgress")->isChecked());
    // The default 5 is position (1) and autoscroll speed (4).
    EXPECT_TRUE(Child<QCheckBox>("ProgressBar/1")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>("ProgressBar/4")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>("ProgressBar/32")->isChecked());

    Child<QCheckBox>("ProgressBar/32")->setChecked(true);
    Child<QCheckBox>("ProgressBar/1")->setChecked(false);
    EXPECT_EQ(Parameter("ProgressBar"), 36);
    Child<QCheckBox>("ShowProgress")->setChecked(false);
    EXPECT_EQ(Parameter("ShowProgress"), 0);
    EXPECT_EQ(view->Session().Parameters().showProgress, 0);
    EXPECT_EQ(Announced(), QStringList(3, S("ReaderProgressBar")));

    auto* defaults = Child<QComboBox>("DefEncoding");
    EXPECT_EQ(defaults->currentIndex(), 0);
    EXPECT_EQ(defaults->currentText(), S("Automatic"));
    Choose(defaults, 3);
    EXPECT_EQ(Parameter("DefEncoding"), 2);
    EXPECT_EQ(view->Session().Parameters().defEncoding, 2);
    EXPECT_EQ(Announced(), QStringList {S("ReaderDefEncoding")});
}

TEST_F(ReaderOptionsPageTest, AChangedColourIsWrittenPreviewedAndPainted)
{
    Open();
    ASSERT_TRUE(view->Open(WriteBook()));
    EXPECT_EQ(PageBackground(), QColor(Qt::white));
    reader->SetColorChooser([](QWidget*, const QColor&) { return QColor(10, 20, 30); });
    auto* list = Child<QListWidget>("readerColors");
    ASSERT_EQ(list->count(), kReaderColorCount);
    list->setCurrentRow(int(ReaderColor::Background));
    Child<QPushButton>("changeColor")->click();
    EXPECT_EQ(store->GetProfileInt(kColorsSection, S("Background"), 0), 0x1E140A);
    EXPECT_EQ(Announced(), QStringList {S("ReaderColors")});
    EXPECT_EQ(PageBackground(), QColor(10, 20, 30));
    // A background previews the text on it.
    const QPalette preview = Child<QLabel>("colorPreview")->palette();
    EXPECT_EQ(preview.color(QPalette::Window), QColor(10, 20, 30));
    EXPECT_EQ(preview.color(QPalette::WindowText), QColor(Qt::black));

    reader->SetColorChooser([](QWidget*, const QColor&) { return std::nullopt; });
    Child<QPushButton>("changeColor")->click();
    EXPECT_TRUE(Announced().isEmpty());
}

TEST_F(ReaderOptionsPageTest, FormatReadsTheOpenBookAnotherWayAndFollowsTheBook)
{
    Open();
    auto* format = Child<QComboBox>("fileFormat");
    auto* encoding = Child<QComboBox>("encoding");
    EXPECT_FALSE(format->isEnabled());
    EXPECT_FALSE(encoding->isEnabled());
    ASSERT_EQ(format->count(), 8);
    EXPECT_EQ(format->itemText(5), S("FB2"));
    EXPECT_EQ(format->itemText(7), S("JPEG image"));

    const QString book = WriteBook();
    ASSERT_TRUE(view->Open(book));
    EXPECT_TRUE(format->isEnabled());
    EXPECT_EQ(format->currentData().toInt(), -1);
    view->Session().SetPosition({40, 0, 0});
    const int paragraph = view->Session().Position().paragraph;

    Choose(format, 1); // plain text, a line per paragraph
    EXPECT_EQ(view->Session().State()->Format(), 0);
    EXPECT_EQ(view->Session().Position().paragraph, paragraph);
    Choose(encoding, 2);
    EXPECT_EQ(view->Session().State()->Encoding(), 1);
    EXPECT_EQ(format->currentData().toInt(), 0);

    // A kind the book can't be read as leaves it open as it was, and the combo says so.
    Choose(format, 6); // PNG image
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(view->Session().State()->Format(), 0);
    EXPECT_EQ(format->currentData().toInt(), 0);

    // Another book shows its own way of reading.
    ASSERT_TRUE(view->Open(WriteBook(S("other.fb2"))));
    EXPECT_EQ(format->currentData().toInt(), -1);
    EXPECT_EQ(encoding->currentData().toInt(), -1);
    ASSERT_TRUE(view->Open(book));
    EXPECT_EQ(format->currentData().toInt(), 0);
}

TEST_F(ReaderOptionsPageTest, StylesRoundTripAndTheBookIsReloadedAtItsPlace)
{
    Open();
    ASSERT_TRUE(view->Open(WriteBook()));
    view->Session().SetPosition({40, 0, 0});
    const int paragraph = view->Session().Position().paragraph;
    reader->SetDialogRunner([](QDialog& dialog) {
        auto* element = dialog.findChild<QComboBox*>(S("element"));
        const int emphasis = element->findText(S("Emphasis"));
        EXPECT_GE(emphasis, 0);
        element->setCurrentIndex(element->findText(S("Paragraph")));
        auto* first = dialog.findChild<QSpinBox*>(S("firstLineIndent"));
        EXPECT_EQ(first->value(), 3);
        first->setValue(0); // inherit
        element->setCurrentIndex(emphasis);
        Choose(dialog.findChild<QComboBox*>(S("fontSize")), 7); // "+2"
        Choose(dialog.findChild<QComboBox*>(S("underline")), 1);
        dialog.findChild<QSpinBox*>(S("leftIndent"))->setValue(-7);
        dialog.accept();
        return true;
    });
    Child<QPushButton>("styles")->click();
    EXPECT_EQ(Announced(), QStringList {S("ReaderStyles")});
    EXPECT_EQ(store->GetProfileString(kStylesSection, S("Paragraph")),
        S("127,127,127,127,127,127,127,127,127"));
    EXPECT_EQ(
        store->GetProfileString(kStylesSection, S("Emphasis")), S("2,127,127,1,5,127,-7,127,127"));
    const ElementStyleTable& styles = view->Session().Styles();
    EXPECT_EQ(styles.Row(styles.FindStyleName(S("Emphasis"))).size, 2);
    EXPECT_EQ(view->Session().Position().paragraph, paragraph);

    // Opened again, the dialog shows what was stored; cancelled, it writes nothing.
    reader->SetDialogRunner([](QDialog& dialog) {
        auto* element = dialog.findChild<QComboBox*>(S("element"));
        element->setCurrentIndex(element->findText(S("Emphasis")));
        EXPECT_EQ(dialog.findChild<QComboBox*>(S("fontSize"))->currentText(), S("+2"));
        EXPECT_EQ(dialog.findChild<QComboBox*>(S("color"))->currentText(), S("HL 5"));
        EXPECT_EQ(dialog.findChild<QComboBox*>(S("underline"))->currentText(), S("On"));
        EXPECT_EQ(dialog.findChild<QSpinBox*>(S("leftIndent"))->value(), -7);
        dialog.findChild<QSpinBox*>(S("leftIndent"))->setValue(9);
        return false;
    });
    Child<QPushButton>("styles")->click();
    EXPECT_TRUE(Announced().isEmpty());
    EXPECT_EQ(
        store->GetProfileString(kStylesSection, S("Emphasis")), S("2,127,127,1,5,127,-7,127,127"));
}

TEST_F(ReaderOptionsPageTest, AnyKeyCanBeBoundInButtonsAndThenWorksInTheView)
{
    Open();
    ASSERT_TRUE(view->Open(WriteBook()));
    reader->SetDialogRunner([](QDialog& dialog) {
        auto* keys = dialog.findChild<QListWidget*>(S("keys"));
        const int before = keys->count();
        EXPECT_EQ(keys->item(0)->text(), S("Enter/Action"));
        auto* add = dialog.findChild<QPushButton*>(S("addKey"));
        // A key with a command already is only selected.
        add->click();
        Press(dialog, Qt::Key_F2);
        EXPECT_EQ(keys->count(), before);
        EXPECT_EQ(keys->currentItem()->text(), S("F2"));
        EXPECT_EQ(dialog.findChild<QComboBox*>(S("action"))->currentText(), S("Rotate"));
        // A desktop key without one is added; a modifier alone keeps the wait going.
        add->click();
        Press(dialog, Qt::Key_Shift);
        EXPECT_TRUE(static_cast<CButtonsDialog&>(dialog).WaitingForKey());
        Press(dialog, Qt::Key_N);
        EXPECT_FALSE(static_cast<CButtonsDialog&>(dialog).WaitingForKey());
        EXPECT_EQ(keys->count(), before + 1);
        EXPECT_EQ(keys->currentItem()->text(), S("Key 4e"));
        auto* action = dialog.findChild<QComboBox*>(S("action"));
        Choose(action, action->findText(S("Page forward")));
        dialog.accept();
        return true;
    });
    Child<QPushButton>("buttons")->click();
    EXPECT_EQ(Announced(), QStringList {S("Keys")});
    EXPECT_EQ(store->GetProfileString(kKeysSection, S("List")), S("78"));
    EXPECT_EQ(store->GetProfileInt(kKeysSection, S("78"), 0), int(ReaderCommand::PageForward));

    const int before = view->Session().Position().paragraph;
    Press(*view, Qt::Key_N);
    EXPECT_GT(view->Session().Position().paragraph, before);
}

TEST_F(ReaderOptionsPageTest, TheDictionariesDialogAnnouncesTheChosenDictionary)
{
    Open();
    reader->SetDialogRunner([](QDialog& dialog) {
        EXPECT_NE(qobject_cast<CDictionariesDialog*>(&dialog), nullptr);
        dialog.accept();
        return true;
    });
    Child<QPushButton>("dictionaries")->click();
    EXPECT_EQ(Announced(), QStringList {S("ReaderCurrentDict")});
}

TEST_F(ReaderOptionsPageTest, InAutorunTheBookFollowsButNothingIsPersisted)
{
    Open(true);
    ASSERT_TRUE(view->Open(WriteBook()));
    auto* font = Child<QFontComboBox>("FontFace");
    Choose(font, font->count() - 1);
    Child<QSpinBox>("FontSize")->setValue(20);
    Child<QCheckBox>("ProgressBar/2")->setChecked(true);
    reader->SetColorChooser([](QWidget*, const QColor&) { return QColor(Qt::red); });
    Child<QPushButton>("changeColor")->click();
    EXPECT_EQ(view->Session().Parameters().fontSize, 20);
    EXPECT_EQ(view->Session().Parameters().fontFace, font->currentFont().family());
    EXPECT_TRUE(store->ValueNames(kParametersSection).isEmpty());
    EXPECT_TRUE(store->ValueNames(kColorsSection).isEmpty());
}

} // namespace
