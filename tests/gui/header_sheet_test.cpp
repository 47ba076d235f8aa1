#include "catalog/libravon_doc.h"
#include "gui/sheets/parameter_sheet_dialog.h"
#include "gui/shelf/book_list_ctrl.h"
#include "gui/shelf/book_list_model.h"
#include "gui/shelf/shelf_dialogs.h"
#include "gui/shell/catalog_session.h"
#include "import/book_placement.h"
#include "import/stored_book.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "shelf/book_header_edit.h"
#include "shelf/genre_dictionary.h"
#include "text/messages.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace lbv;
using namespace Qt::StringLiterals;

namespace {

const QString kTitleXPath = u"/fb:FictionBook/fb:description/fb:title-info/fb:book-title"_s;

// Answers the boxes and runs the header sheet as a script instead of modally.
class SheetDialogs : public ShelfDialogs {
public:
    bool AskYesNo(QWidget*, const QString& caption, const QString&) override
    {
        questions << caption;
        return true;
    }
    void ShowError(QWidget*, const QString& text) override { errors << text; }
    void ShowMessage(QWidget*, const QString& text) override { errors << text; }
    std::optional<QString> AskText(
        QWidget*, const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<Filter> EditFilter(QWidget*, const Filter&, SettingsStore&) override
    {
        return std::nullopt;
    }
    bool RunSheet(QDialog& dialog) override
    {
        auto& sheet = static_cast<ParameterSheetDialog&>(dialog);
        if (edit)
            edit(sheet);
        sheet.accept();
        return sheet.result() == QDialog::Accepted;
    }

    std::function<void(ParameterSheetDialog&)> edit;
    QStringList questions;
    QStringList errors;
};

QLineEdit* TitleEditor(ParameterSheetDialog& dialog)
{
    ParameterSheet sheet;
    QString error;
    EXPECT_TRUE(LoadParameterSheet(HeaderSheetPath(), &sheet, &error)) << qPrintable(error);
    for (qsizetype i = 0; i < sheet.items.size(); ++i)
        if (sheet.items[i].name == kTitleXPath)
            return dialog.findChild<QLineEdit*>(u"sheetEditor%1"_s.arg(i));
    return nullptr;
}

class HeaderSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.path = dir.filePath(u"library/index.lvf"_s);
        doc.compressFiles = false;
        MakeList(false);
    }
    void MakeList(bool autorun)
    {
        list.reset();
        settings
            = std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>(), autorun);
        settings->WriteProfileString(u"Settings"_s, u"BookCharset"_s, u"65001,utf-8"_s);
        list = std::make_unique<CBookListCtrl>(session, *settings, dialogs, genres);
    }
    CBook* AddFoundation()
    {
        CBookHeader header;
        header.firstName = u"Ivar"_s;
        header.lastName = u"Kessel"_s;
        header.title = u"Foundation"_s;
        header.format = FormatFb2;
        const QByteArray bytes
            = u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<FictionBook "
              u"xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\"><description><title-info>"
              u"<genre>sf</genre><author><first-name>Ivar</first-name><last-name>Kessel"
              u"</last-name></author><book-title>Foundation</book-title></title-info>"
              u"</description><body><section><p>Text.</p></section></body></FictionBook>"_s
                  .toUtf8();
        QString error;
        EXPECT_FALSE(PlaceBookFile(header, StorageOptionsOf(doc), &bytes, false, &error).isEmpty())
            << qPrintable(error);
        doc.AddBook(header, false);
        CBook* book = doc.FindBook(header);
        doc.SetModified(false);
        list->ShowGroup(&doc, book->group);
        list->selectionModel()->select(list->Model().index(0, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return book;
    }
    QByteArray Contents(const CBook& book) const
    {
        QFile file(ActualBookPath(book, doc));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    CatalogSession session;
    CLibravonDoc& doc = session.Catalog();
    GenreDictionary genres;
    SheetDialogs dialogs;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<CBookListCtrl> list;
};

TEST_F(HeaderSheetTest, OkWithoutEditsWritesAndAsksNothing)
{
    CBook* book = AddFoundation();
    const QByteArray before = Contents(*book);
    QString shownTitle;
    dialogs.edit = [&](ParameterSheetDialog& dialog) {
        if (QLineEdit* title = TitleEditor(dialog))
            shownTitle = title->text();
    };
    list->ShowProperties();
    EXPECT_EQ(shownTitle, u"Foundation"_s);
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(Contents(*book), before);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(HeaderSheetTest, TitleChangeRefilesTheBookAndShowsItAgain)
{
    CBook* book = AddFoundation();
    const QString oldPath = ActualBookPath(*book, doc);
    dialogs.edit = [](ParameterSheetDialog& dialog) {
        QLineEdit* title = TitleEditor(dialog);
        ASSERT_NE(title, nullptr);
        title->setText(u"Second Foundation"_s);
    };
    list->ShowProperties();
    EXPECT_EQ(dialogs.questions, QStringList {MessageText(Msg::BookChangedCaption)});
    EXPECT_TRUE(dialogs.errors.isEmpty());
    ASSERT_EQ(list->Model().rowCount(), 1);
    const CBook* shown = list->Model().BookAt(0);
    EXPECT_EQ(shown->title, u"Second Foundation"_s);
    const QString newPath = ActualBookPath(*shown, doc);
    EXPECT_NE(newPath, oldPath);
    EXPECT_TRUE(QFileInfo::exists(newPath));
    EXPECT_FALSE(QFileInfo::exists(oldPath));
    EXPECT_TRUE(Contents(*shown).contains("Second Foundation"));
}

TEST_F(HeaderSheetTest, AutorunShowsTheSheetReadOnly)
{
    MakeList(true);
    CBook* book = AddFoundation();
    const QByteArray before = Contents(*book);
    bool readOnly = false;
    dialogs.edit = [&](ParameterSheetDialog& dialog) {
        QLineEdit* title = TitleEditor(dialog);
        ASSERT_NE(title, nullptr);
        readOnly = title->isReadOnly();
    };
    list->ShowProperties();
    EXPECT_TRUE(readOnly);
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(Contents(*book), before);
}

} // namespace
