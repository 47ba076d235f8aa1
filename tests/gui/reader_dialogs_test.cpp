#include "gui/reader/contents_dialog.h"
#include "gui/reader/dictionaries_dialog.h"
#include "gui/reader/file_info_dialog.h"
#include "gui/reader/find_text_dialog.h"
#include "gui/reader/open_file_dialog.h"
#include "gui/reader/reader_view.h"
#include "raw_zip.h"
#include "reader/book_state.h"
#include "reader/dictionary_list.h"
#include "reader/dictionary_writer.h"
#include "reader/key_map.h"
#include "reader/reader_session.h"
#include "reader/reader_settings.h"
#include "scripted_reader_dialogs.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "reader_test_books.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

class ReaderDialogsTest : public ::testing::Test {
protected:
    ReaderDialogsTest()
        : store(std::make_unique<MemorySettingsBackend>())
    {
    }

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = folder.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // Sixty sections of a title and one paragraph; the paragraphs of sections 5 and 40 hold the
    // word looked for, once in capitals.
    static QByteArray Book()
    {
        QByteArray body;
        for (int i = 0; i < 60; ++i) {
            const QByteArray word = i == 5 ? "Needle" : i == 40 ? "needle" : "straw";
            body += "<section><title><p>Chapter " + QByteArray::number(i) + "</p></title><p>Some "
                + word + " in a line of text " + QByteArray::number(i) + "</p></section>";
        }
        return test::ReaderBook(body);
    }

    std::unique_ptr<CReaderView> OpenView(const QString& path)
    {
        auto view
            = std::make_unique<CReaderView>(store, [this](const QString& text) { errors << text; });
        auto owned = std::make_unique<ScriptedReaderDialogs>();
        dialogs = owned.get();
        view->SetDialogs(std::move(owned));
        view->resize(300, 200);
        EXPECT_TRUE(view->Open(path));
        return view;
    }

    // Types the text into the Find dialog and presses Find Next; the preset is remembered.
    void AnswerFind(const QString& text, bool matchCase = false)
    {
        dialogs->operate = [this, text, matchCase](QDialog& dialog) {
            auto* what = dialog.findChild<QLineEdit*>(QStringLiteral("findWhat"));
            presets << what->text();
            what->setText(text);
            dialog.findChild<QCheckBox*>(QStringLiteral("matchCase"))->setChecked(matchCase);
            QTest::mouseClick(
                dialog.findChild<QPushButton*>(QStringLiteral("findNext")), Qt::LeftButton);
        };
    }

    // Whether the page shown at the view's position carries the found-text highlight.
    static bool HighlightShown(CReaderView& view)
    {
        const Page page = view.Session().Formatter()->LayoutPage(view.Session().Position());
        for (const LayoutLine& line : page.lines)
            for (const uint16_t attribute : line.attributes)
                if (attribute & kAttrFound)
                    return true;
        return false;
    }

    // Enter on a list row, as the user presses it.
    static void Activate(QListWidget& list, const QString& name)
    {
        const QList<QListWidgetItem*> found = list.findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        list.setCurrentItem(found.front());
        QTest::keyClick(&list, Qt::Key_Return);
    }

    SettingsStore store;
    QTemporaryDir folder;
    QStringList errors;
    QStringList presets;
    ScriptedReaderDialogs* dialogs = nullptr;
};

TEST_F(ReaderDialogsTest, FindGoesToEachHitWithHistoryAndBeepsPastTheLast)
{
    auto view = OpenView(Write(QStringLiteral("book.fb2"), Book()));
    ReaderSession& session = view->Session();
    AnswerFind(QStringLiteral("needle"));
    view->RunCommand(int(ReaderCommand::Find));
    const ReadingPosition first = session.Position();
    EXPECT_GT(first.paragraph, 5); // the title paragraphs come before
    EXPECT_LT(first.paragraph, 40);
    EXPECT_TRUE(HighlightShown(*view));

    view->RunCommand(int(ReaderCommand::FindNext));
    const ReadingPosition second = session.Position();
    EXPECT_GT(second.paragraph, first.paragraph);
    EXPECT_TRUE(HighlightShown(*view));
    EXPECT_EQ(dialogs->beeps, 0);

    view->RunCommand(int(ReaderCommand::FindNext));
    EXPECT_EQ(dialogs->beeps, 1);
    EXPECT_EQ(session.Position().paragraph, second.paragraph);

    // Each hit was a jump: Back walks to the first hit, then to the start.
    view->RunCommand(int(ReaderCommand::Back));
    EXPECT_EQ(session.Position().paragraph, first.paragraph);
    view->RunCommand(int(ReaderCommand::Back));
    EXPECT_EQ(session.Position().paragraph, 0);

    // With Match case only the capitalised word is found; the dialog offers the last text.
    AnswerFind(QStringLiteral("needle"), true);
    view->RunCommand(int(ReaderCommand::Find));
    EXPECT_EQ(session.Position().paragraph, second.paragraph);
    EXPECT_EQ(presets.last(), QStringLiteral("needle"));
    AnswerFind(QStringLiteral("hay"));
    view->RunCommand(int(ReaderCommand::Find));
    EXPECT_EQ(dialogs->beeps, 2);
    EXPECT_EQ(session.Position().paragraph, second.paragraph);
}

TEST_F(ReaderDialogsTest, FindStartsWithTheSelectionAndCancelChangesNothing)
{
    auto view = OpenView(Write(QStringLiteral("book.fb2"), Book()));
    view->SetSelectionSource([] { return QStringLiteral("line of\ntext"); });
    dialogs->operate = [this](QDialog& dialog) {
        presets << dialog.findChild<QLineEdit*>(QStringLiteral("findWhat"))->text();
        dialog.reject();
    };
    view->RunCommand(int(ReaderCommand::Find));
    EXPECT_EQ(presets, QStringList {QStringLiteral("line of")});
    EXPECT_EQ(view->Session().Position().paragraph, 0);
    EXPECT_EQ(dialogs->beeps, 0);

    // Find next with nothing searched yet asks what to find.
    view->RunCommand(int(ReaderCommand::FindNext));
    EXPECT_EQ(dialogs->runs, 2);
    CFindTextDialog empty(QString(), false);
    EXPECT_FALSE(empty.findChild<QPushButton*>(QStringLiteral("findNext"))->isEnabled());
}

TEST_F(ReaderDialogsTest, ContentsDeletesOnlyConfirmedBookmarksAndGoesToTheChosenEntry)
{
    const QString book = Write(QStringLiteral("book.fb2"), Book());
    auto view = OpenView(book);
    BookState& state = *view->Session().State();
    state.AddBookmark({33, 2, 0}, QStringLiteral("My mark"));
    view->Session().SaveState();
    ASSERT_EQ(BookState(store, book).BookmarkCount(), 1);
    const int sections = int(state.Entries().size()) - 1;

    int chosenSection = -1;
    dialogs->operate = [&](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("entries"));
        auto* remove = dialog.findChild<QPushButton*>(QStringLiteral("deleteBookmark"));
        ASSERT_EQ(list->count(), sections + 1);
        const QList<QListWidgetItem*> marks
            = list->findItems(QStringLiteral("My mark"), Qt::MatchContains);
        ASSERT_EQ(marks.size(), 1);
        EXPECT_TRUE(marks.front()->text().startsWith(u' ')); // inside its section
        list->setCurrentRow(3);
        EXPECT_FALSE(remove->isEnabled()); // a section
        list->setCurrentItem(marks.front());
        ASSERT_TRUE(remove->isEnabled());
        dialogs->yes = false;
        QTest::mouseClick(remove, Qt::LeftButton);
        EXPECT_EQ(list->count(), sections + 1);
        dialogs->yes = true;
        QTest::mouseClick(remove, Qt::LeftButton);
        EXPECT_EQ(list->count(), sections);
        chosenSection = 20;
        list->setCurrentRow(chosenSection);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("goTo")), Qt::LeftButton);
    };
    view->RunCommand(int(ReaderCommand::Contents));
    EXPECT_EQ(dialogs->questions, QStringList(2, QStringLiteral("Confirm|Delete this bookmark?")));
    EXPECT_EQ(state.BookmarkCount(), 0);
    ASSERT_EQ(chosenSection, 20);
    EXPECT_EQ(view->Session().Position().paragraph, state.Entries()[20].position.paragraph);
    view->RunCommand(int(ReaderCommand::Back));
    EXPECT_EQ(view->Session().Position().paragraph, 0);

    // The deletion is stored: the bookmark doesn't come back with the book.
    view->SaveOnClose();
    EXPECT_EQ(BookState(store, book).BookmarkCount(), 0);
}

TEST_F(ReaderDialogsTest, OpenFileEntersAnArchiveAndOpensAMemberThenStepsThroughItsPictures)
{
    const QByteArray png("\x89PNG\r\n\x1A\n\0\0\0\0", 12);
    const QString archive = Write(QStringLiteral("library/books.zip"),
        test::RawZip({{"novels/book.fb2", Book()}, {"pictures/b.png", png}, {"pictures/a.png", png},
            {"pictures/c.jpg", QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11)},
            {"readme.doc", "x"}}));
    Write(QStringLiteral("library/other.txt"), "text");
    store.WriteProfileString(
        kParametersSection, QStringLiteral("OpenPath"), folder.filePath(QStringLiteral("library")));
    auto view = OpenView(Write(QStringLiteral("start.fb2"), Book()));

    QStringList shown;
    const auto openMember = [&](const QString& sub, const QString& name) {
        return [&, sub, name](QDialog& dialog) {
            dialog.show(); // Enter goes to the default button, which a hidden dialog lacks
            auto* list = dialog.findChild<QListWidget*>(QStringLiteral("entries"));
            auto* location = dialog.findChild<QLabel*>(QStringLiteral("location"));
            shown << location->text();
            Activate(*list, QStringLiteral("books.zip"));
            shown << location->text();
            for (int row = 0; row < list->count(); ++row)
                shown << list->item(row)->text();
            Activate(*list, sub);
            Activate(*list, name);
        };
    };
    dialogs->operate = openMember(QStringLiteral("novels"), QStringLiteral("book.fb2"));
    view->ChooseFileToOpen();
    const QString library = folder.filePath(QStringLiteral("library"));
    EXPECT_EQ(shown,
        (QStringList {library, archive, QStringLiteral(".."), QStringLiteral("novels"),
            QStringLiteral("pictures")}));
    EXPECT_EQ(view->BookPath(), archive + QStringLiteral("/novels/book.fb2"));
    EXPECT_EQ(store.GetProfileString(kParametersSection, QStringLiteral("OpenPath")),
        archive + QStringLiteral("/novels"));

    // Opened next time inside the archive's folder; ".." leads back to the archive's top.
    shown.clear();
    dialogs->operate = [&](QDialog& dialog) {
        dialog.show();
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("entries"));
        shown << dialog.findChild<QLabel*>(QStringLiteral("location"))->text();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        const QRect up
            = list->visualItemRect(list->findItems(QStringLiteral(".."), Qt::MatchExactly).front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, up.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, up.center());
        Activate(*list, QStringLiteral("pictures"));
        Activate(*list, QStringLiteral("a.png"));
    };
    view->ChooseFileToOpen();
    EXPECT_EQ(shown, QStringList {archive + QStringLiteral("/novels")});
    const QString pictures = archive + QStringLiteral("/pictures/");
    ASSERT_EQ(view->BookPath(), pictures + QStringLiteral("a.png"));

    view->RunCommand(int(ReaderCommand::Forward));
    EXPECT_EQ(view->BookPath(), pictures + QStringLiteral("b.png"));
    view->RunCommand(int(ReaderCommand::Forward));
    EXPECT_EQ(view->BookPath(), pictures + QStringLiteral("c.jpg"));
    view->RunCommand(int(ReaderCommand::Forward)); // the last one: nothing further
    EXPECT_EQ(view->BookPath(), pictures + QStringLiteral("c.jpg"));
    view->RunCommand(int(ReaderCommand::Back));
    EXPECT_EQ(view->BookPath(), pictures + QStringLiteral("b.png"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(ReaderDialogsTest, OpenFileReportsABrokenArchiveAndStaysWhereItWas)
{
    const QString broken = Write(QStringLiteral("broken.zip"), "PK\x03\x04 cut short");
    store.WriteProfileString(kParametersSection, QStringLiteral("OpenPath"), folder.path());
    ScriptedReaderDialogs asks;
    COpenFileDialog dialog(store, {}, asks);
    dialog.show();
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("entries"));
    Activate(*list, QStringLiteral("broken.zip"));
    EXPECT_EQ(asks.errors.size(), 1);
    EXPECT_EQ(dialog.Location(), folder.path());
    // Cancelling stores nothing.
    store.WriteProfileString(kParametersSection, QStringLiteral("OpenPath"), QString());
    dialog.reject();
    EXPECT_TRUE(store.GetProfileString(kParametersSection, QStringLiteral("OpenPath")).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(broken));
}

TEST_F(ReaderDialogsTest, FileInformationTogglesBetweenTheDescriptionAndTheNotices)
{
    auto view = OpenView(Write(QStringLiteral("book.fb2"), Book()));
    QStringList texts;
    dialogs->operate = [&](QDialog& dialog) {
        auto& info = static_cast<CFileInfoDialog&>(dialog);
        auto* toggle = dialog.findChild<QPushButton*>(QStringLiteral("toggle"));
        texts << info.ShownText();
        QTest::mouseClick(toggle, Qt::LeftButton);
        texts << info.ShownText();
        QTest::mouseClick(toggle, Qt::LeftButton);
        texts << info.ShownText();
        dialog.reject();
    };
    view->ShowFileInformation();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("Path: ") + view->BookPath()));
    EXPECT_TRUE(texts[0].contains(QStringLiteral("Compression: None")));
    for (const char* library : {"Expat", "Independent JPEG Group", "libpng", "zlib"})
        EXPECT_TRUE(texts[1].contains(QLatin1String(library))) << library;
    EXPECT_EQ(texts[2], texts[0]);
}

TEST_F(ReaderDialogsTest, DictionariesAddOnlyFilesThatOpenAndOkStoresAndAnnounces)
{
    const QString bad = Write(QStringLiteral("bad.dic"), "not a dictionary");
    const QString good = folder.filePath(QStringLiteral("good.dic"));
    QString error;
    ASSERT_TRUE(
        WriteDictionary(good, {{QStringLiteral("stop"), QStringLiteral("halt")}}, {}, &error))
        << error.toStdString();
    store.WriteProfileString(
        kParametersSection, QStringLiteral("Dictionary"), QStringLiteral("1?/gone/first.dic"));

    ScriptedReaderDialogs asks;
    CDictionariesDialog dialog(store, nullptr, &asks);
    QSignalSpy announced(&dialog, &CDictionariesDialog::settingChanged);
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("entries"));
    auto* remove = dialog.findChild<QPushButton*>(QStringLiteral("remove"));
    auto* add = dialog.findChild<QPushButton*>(QStringLiteral("add"));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Dictionary disabled"));
    EXPECT_EQ(list->currentRow(), 1);

    asks.files = {bad, good, good};
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(asks.errors.size(), 1);
    EXPECT_TRUE(asks.errors[0].startsWith(QStringLiteral("Can't open dictionary: ")));
    EXPECT_EQ(list->count(), 2);
    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(add, Qt::LeftButton); // the same file again is only chosen
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->currentRow(), 2);

    list->setCurrentRow(0);
    EXPECT_FALSE(remove->isEnabled());
    list->setCurrentRow(1);
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(list->count(), 2);
    list->setCurrentRow(1);
    dialog.accept();

    const DictionaryList stored = DictionaryList::Load(store);
    EXPECT_EQ(stored.Paths(), QStringList {good});
    EXPECT_EQ(stored.Current(), 1);
    ASSERT_EQ(announced.size(), 1);
    EXPECT_EQ(announced[0][0].toString(), QStringLiteral("ReaderCurrentDict"));
}

TEST_F(ReaderDialogsTest, CancelledDictionariesLeaveTheSettingAlone)
{
    store.WriteProfileString(
        kParametersSection, QStringLiteral("Dictionary"), QStringLiteral("1?/x/first.dic"));
    ScriptedReaderDialogs asks;
    CDictionariesDialog dialog(store, nullptr, &asks);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("remove")), Qt::LeftButton);
    dialog.reject();
    EXPECT_EQ(store.GetProfileString(kParametersSection, QStringLiteral("Dictionary")),
        QStringLiteral("1?/x/first.dic"));
}

} // namespace
