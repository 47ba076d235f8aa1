#include "gui/sheets/parameter_sheet_dialog.h"
#include "sheets/parameter_sheet.h"
#include "text/messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace lbv {
namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

class ParameterSheetDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(
            LoadParameterSheet(S(LBV_SOURCE_DIR "/resources/fb2-header.xml"), &sheet, &error))
            << error.toStdString();
    }

    qsizetype IndexOf(const char* label) const
    {
        for (qsizetype i = 0; i < sheet.items.size(); ++i)
            if (sheet.items[i].shortName == S(label))
                return i;
        ADD_FAILURE() << "no item " << label;
        return -1;
    }

    // A value of each item's type, as a book might hold it.
    QStringList SampleValues() const
    {
        QStringList values;
        for (const ParameterItem& item : sheet.items) {
            switch (item.type) {
            case ParameterType::MultiString:
                values << S("First paragraph\r\nSecond paragraph");
                break;
            case ParameterType::Number:
                values << S("12");
                break;
            case ParameterType::Float:
                values << S("2.0");
                break;
            case ParameterType::Date:
                values << S("2004-02-29");
                break;
            default:
                values << item.shortName.toLower().remove(u' ');
            }
        }
        return values;
    }

    template<typename Editor> Editor* EditorOf(ParameterSheetDialog& dialog, const char* label)
    {
        auto* widget
            = dialog.findChild<QWidget*>(QStringLiteral("sheetEditor%1").arg(IndexOf(label)));
        if (!widget)
            return nullptr;
        if (auto* editor = qobject_cast<Editor*>(widget))
            return editor;
        return widget->findChild<Editor*>();
    }

    ParameterSheet sheet;
};

TEST_F(ParameterSheetDialogTest, EveryHeaderItemRoundTripsUnchanged)
{
    const QStringList empty(sheet.items.size(), QString());
    // "2004" is a date as text only, and an uppercase genre breaks its rule: untouched, both
    // come back as they were and do not block OK.
    QStringList odd = SampleValues();
    odd[IndexOf("Date value")] = S("2004");
    odd[IndexOf("Genre")] = S("SF");
    odd[IndexOf("Annotation")] = S("One\nTwo");
    for (const QStringList& values : {SampleValues(), empty, odd}) {
        ParameterSheetDialog dialog(sheet, values);
        for (qsizetype i = 0; i < sheet.items.size(); ++i)
            EXPECT_NE(dialog.findChild<QWidget*>(QStringLiteral("sheetEditor%1").arg(i)), nullptr)
                << sheet.items[i].shortName.toStdString();
        EXPECT_EQ(dialog.Values(), values);
        EXPECT_TRUE(dialog.ChangedItems().isEmpty());
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
}

TEST_F(ParameterSheetDialogTest, EditorsShowAndReturnTypedValues)
{
    ParameterSheetDialog dialog(sheet, SampleValues());
    auto* title = EditorOf<QLineEdit>(dialog, "Title");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), S("title"));
    title->setText(S("New title"));

    auto* annotation = EditorOf<QPlainTextEdit>(dialog, "Annotation");
    ASSERT_NE(annotation, nullptr);
    EXPECT_EQ(annotation->toPlainText(), S("First paragraph\nSecond paragraph"));
    annotation->setPlainText(S("One\nTwo"));

    auto* date = EditorOf<QDateEdit>(dialog, "Date value");
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->date(), QDate(2004, 2, 29));
    date->setDate(QDate(2010, 5, 1));

    const QStringList values = dialog.Values();
    EXPECT_EQ(values[IndexOf("Title")], S("New title"));
    EXPECT_EQ(values[IndexOf("Annotation")], S("One\r\nTwo"));
    EXPECT_EQ(values[IndexOf("Date value")], S("2010-05-01"));
    EXPECT_EQ(dialog.ChangedItems(),
        QList<qsizetype>({IndexOf("Title"), IndexOf("Date value"), IndexOf("Annotation")}));
}

TEST_F(ParameterSheetDialogTest, OptionalDateCanBeLeftUnset)
{
    ParameterSheetDialog dialog(sheet, QStringList(sheet.items.size(), QString()));
    auto* set = EditorOf<QCheckBox>(dialog, "Date value");
    auto* date = EditorOf<QDateEdit>(dialog, "Date value");
    ASSERT_NE(set, nullptr);
    ASSERT_NE(date, nullptr);
    EXPECT_FALSE(set->isChecked());
    EXPECT_FALSE(date->isEnabled());
    EXPECT_EQ(date->text(), MessageText(Msg::SheetNotSet));

    set->setChecked(true);
    EXPECT_EQ(dialog.Values()[IndexOf("Date value")], QDate::currentDate().toString(Qt::ISODate));
    set->setChecked(false);
    EXPECT_TRUE(dialog.Values()[IndexOf("Date value")].isEmpty());
    // An optional number's empty state is the empty line.
    EXPECT_EQ(EditorOf<QLineEdit>(dialog, "Year published")->placeholderText(),
        MessageText(Msg::SheetNotSet));
}

TEST_F(ParameterSheetDialogTest, InvalidEditKeepsTheSheetOpenWithItsMessage)
{
    ParameterSheetDialog dialog(sheet, SampleValues());
    dialog.show();
    auto* advanced = dialog.findChild<QCheckBox*>(S("sheetAdvanced"));
    auto* message = dialog.findChild<QLabel*>(S("sheetMessage"));
    ASSERT_NE(advanced, nullptr);
    ASSERT_NE(message, nullptr);
    auto* year = EditorOf<QLineEdit>(dialog, "Year published");
    EXPECT_FALSE(year->isVisible());

    year->setText(S("20x4"));
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(message->isVisible());
    EXPECT_EQ(
        message->text(), MessageText(Msg::SheetNotWholeNumber).arg(S("Year published"), S("20x4")));
    // The offending advanced item is brought into view.
    EXPECT_TRUE(advanced->isChecked());
    EXPECT_TRUE(year->isVisible());

    year->setText(S("2004"));
    EditorOf<QLineEdit>(dialog, "Title")->clear();
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(message->text(), MessageText(Msg::SheetValueRequired).arg(S("Title")));

    EditorOf<QLineEdit>(dialog, "Title")->setText(S("T"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(message->isVisible());
}

TEST_F(ParameterSheetDialogTest, AdvancedToggleAndReadOnlyUsage)
{
    ParameterSheetDialog dialog(sheet, SampleValues());
    dialog.show();
    auto* advanced = dialog.findChild<QCheckBox*>(S("sheetAdvanced"));
    EXPECT_EQ(advanced->text(), S("Advanced"));
    EXPECT_TRUE(EditorOf<QLineEdit>(dialog, "Title")->isVisible());
    EXPECT_FALSE(EditorOf<QLineEdit>(dialog, "Publisher")->isVisible());
    advanced->setChecked(true);
    EXPECT_TRUE(EditorOf<QLineEdit>(dialog, "Publisher")->isVisible());

    EXPECT_TRUE(EditorOf<QLineEdit>(dialog, "Document id")->isReadOnly());
    EXPECT_FALSE(EditorOf<QLineEdit>(dialog, "Title")->isReadOnly());
    dialog.SetReadOnly(true);
    EXPECT_TRUE(EditorOf<QLineEdit>(dialog, "Title")->isReadOnly());
    EXPECT_FALSE(EditorOf<QDateEdit>(dialog, "Date value")->isEnabled());
    dialog.SetReadOnly(false);
    EXPECT_TRUE(EditorOf<QLineEdit>(dialog, "Document id")->isReadOnly());
}

TEST_F(ParameterSheetDialogTest, HiddenItemsPassThroughAndChoicesKeepUnknownValues)
{
    ParameterSheet custom;
    ParameterItem hidden;
    hidden.name = S("secret");
    hidden.usage = kUsageHidden;
    ParameterItem choice;
    choice.name = S("lang");
    choice.shortName = S("Language");
    choice.usage = kUsageOptional;
    choice.restrictions = {{RestrictionKind::Choice, S("en")}, {RestrictionKind::Choice, S("ru")}};
    ParameterItem flag;
    flag.name = S("flag");
    flag.type = ParameterType::Boolean;
    custom.items = {hidden, choice, flag};

    ParameterSheetDialog dialog(custom, {S("kept"), S("de"), S("1")});
    EXPECT_EQ(dialog.findChild<QWidget*>(S("sheetEditor0")), nullptr);
    EXPECT_EQ(dialog.findChild<QCheckBox*>(S("sheetAdvanced"))->isVisibleTo(&dialog), false);
    auto* combo = qobject_cast<QComboBox*>(dialog.findChild<QWidget*>(S("sheetEditor1")));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText(), S("de"));
    EXPECT_EQ(dialog.Values(), QStringList({S("kept"), S("de"), S("1")}));

    combo->setCurrentText(S("ru"));
    qobject_cast<QCheckBox*>(dialog.findChild<QWidget*>(S("sheetEditor2")))->setChecked(false);
    EXPECT_EQ(dialog.Values(), QStringList({S("kept"), S("ru"), S("false")}));
}

} // namespace
} // namespace lbv
