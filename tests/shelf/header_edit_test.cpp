#include "catalog/libravon_doc.h"
#include "import/book_placement.h"
#include "import/stored_book.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "shelf/book_header_edit.h"
#include "shelf/header_accessor.h"
#include "text/messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

QString TitleInfo(const QString& authorNames, const QString& title = QStringLiteral("Foundation"))
{
    return u"<genre>sf</genre><author>" + authorNames + u"</author><book-title>" + title
        + u"</book-title><date>1951</date>";
}

const QString kIvarKessel
    = QStringLiteral("<first-name>Ivar</first-name><last-name>Kessel</last-name>");

QByteArray Fb2(const QString& titleInfo)
{
    return (u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
            u"<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\"><description>"
            u"<title-info>"
        + titleInfo
        + u"</title-info></description><body><section><p>Text.</p></section></body>"
          u"</FictionBook>")
        .toUtf8();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The parameter sheet as a script: edits the header and closes with OK or Cancel.
class ScriptedSheet : public HeaderSheet {
public:
    bool LoadDescription(const QString&, QString* error) override
    {
        ++loads;
        if (!descriptionLoads)
            *error = QStringLiteral("Loading fb2-header.xml: ERROR! missing");
        return descriptionLoads;
    }
    bool Edit(HeaderAccessor& accessor) override
    {
        ++shows;
        lastName = accessor.Get(kLastNameXPath, kNotSetValue);
        authorChangedBeforeEdit = accessor.AuthorChanged();
        if (edit)
            edit(accessor);
        return ok;
    }

    std::function<void(HeaderAccessor&)> edit;
    bool ok = true;
    bool descriptionLoads = true;
    int loads = 0;
    int shows = 0;
    QString lastName;
    bool authorChangedBeforeEdit = false;
};

class RecordingEditUi : public HeaderEditUi {
public:
    void ShowMessage(const QString& text) override { messages << text; }
    void ShowError(const QString& text) override { errors << text; }
    bool AskYesNo(const QString& caption, const QString& question) override
    {
        questions << caption + u'|' + question;
        return answer;
    }
    void RebuildBookList() override { ++rebuilds; }
    void RefreshShelf() override { ++refreshes; }

    bool answer = true;
    QStringList messages;
    QStringList errors;
    QStringList questions;
    int rebuilds = 0;
    int refreshes = 0;
};

class BookHeaderEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog_.path = dir_.filePath(QStringLiteral("library/index.lvf"));
        catalog_.compressFiles = false;
        settings_.WriteProfileString(QStringLiteral("Settings"), QStringLiteral("BookCharset"),
            QStringLiteral("65001,utf-8"));
    }

    // Files a book at its standard place and catalogues it with these catalog values.
    CBook* AddBook(
        const QString& first, const QString& last, const QString& title, const QString& titleInfo)
    {
        CBookHeader header;
        header.firstName = first;
        header.lastName = last;
        header.title = title;
        header.genre = QStringLiteral("sf");
        header.year = 1951;
        header.format = FormatFb2;
        const QByteArray bytes = Fb2(titleInfo);
        QString error;
        EXPECT_FALSE(
            PlaceBookFile(header, StorageOptionsOf(catalog_), &bytes, false, &error).isEmpty())
            << qPrintable(error);
        catalog_.AddBook(header, false);
        CBook* book = catalog_.FindBook(header);
        book->added = 86400;
        catalog_.SetModified(false);
        return book;
    }
    CBook* AddFoundation()
    {
        return AddBook(QStringLiteral("Ivar"), QStringLiteral("Kessel"),
            QStringLiteral("Foundation"), TitleInfo(kIvarKessel));
    }

    HeaderEditResult Edit(CBook& book)
    {
        return EditBookHeader(book, catalog_, settings_, sheet_, ui_);
    }

    QString Library(const QString& relative) const
    {
        return dir_.filePath(QStringLiteral("library/") + relative);
    }

    static QString HeaderValue(const CBook& book, QStringView xpath)
    {
        QString error;
        XmlDocumentPtr document = LoadStoredBookDocument(book.file, book.compression, &error);
        if (!document)
            return error;
        document->SetSelectionNamespaces(FictionBookSelectionNamespaces());
        return HeaderAccessor(*document).Get(xpath, kNotSetValue);
    }

    std::vector<CBook*> Books() const
    {
        std::vector<CBook*> books;
        for (const auto& author : catalog_.Authors())
            for (const auto& group : author->Groups())
                for (const auto& book : group->Books())
                    books.push_back(book.get());
        return books;
    }

    // No record may point at a file that is gone.
    void ExpectEveryBookFileExists() const
    {
        for (const CBook* book : Books())
            EXPECT_TRUE(QFileInfo(book->StoredFilePath()).isFile()) << qPrintable(book->file);
    }

    QTemporaryDir dir_;
    CLibravonDoc catalog_;
    SettingsStore settings_ {std::make_unique<MemorySettingsBackend>()};
    ScriptedSheet sheet_;
    RecordingEditUi ui_;
};

} // namespace

TEST_F(BookHeaderEdit, MissingLastNameIsFilledInAndWrittenEvenWithoutFurtherEdits)
{
    CBook* book = AddBook(QStringLiteral("Ivar"), QStringLiteral("Kessel"),
        QStringLiteral("Foundation"), TitleInfo(QStringLiteral("<first-name>Ivar</first-name>")));
    const QString path = book->file;

    EXPECT_EQ(Edit(*book), HeaderEditResult::Saved);
    EXPECT_EQ(sheet_.lastName, u"Kessel");
    EXPECT_TRUE(sheet_.authorChangedBeforeEdit);
    ASSERT_EQ(ui_.questions.size(), 1);
    EXPECT_EQ(ui_.questions[0],
        u"Book changed|The book header was changed.\r\nDo you want to write changes?");
    EXPECT_TRUE(ui_.errors.isEmpty()) << qPrintable(ui_.errors.join(u'\n'));

    ASSERT_EQ(Books().size(), 1U);
    CBook* filed = Books().front();
    EXPECT_EQ(filed->file, path);
    EXPECT_EQ(filed->added, 86400);
    EXPECT_EQ(HeaderValue(*filed, kLastNameXPath), u"Kessel");
    EXPECT_TRUE(catalog_.IsModified());
}

TEST_F(BookHeaderEdit, ARefiledBookAsksForTheWholeShelfEvenWhenNoGroupWent)
{
    CBook* book = AddFoundation();
    AddBook(QStringLiteral("Ivar"), QStringLiteral("Kessel"), QStringLiteral("Empire"),
        TitleInfo(kIvarKessel, QStringLiteral("Empire")));
    sheet_.edit
        = [](HeaderAccessor& accessor) { accessor.Set(kMiddleNameXPath, QStringLiteral("R.")); };

    EXPECT_EQ(Edit(*book), HeaderEditResult::Saved);
    // The old record was freed: a search result still listing it must not be shown again.
    EXPECT_EQ(ui_.refreshes, 1);
    EXPECT_EQ(ui_.rebuilds, 0);
}

TEST_F(BookHeaderEdit, MiddleNameChangeRefilesTheBookAndKeepsItsOnlyFile)
{
    catalog_.compressFiles = true;
    CBook* book = AddFoundation();
    CGroup* favourites = catalog_.CreateGroup(book->group->author, QStringLiteral("Favourites"));
    ASSERT_TRUE(catalog_.MoveBookToGroup(book, favourites));
    const QString path = book->file;
    sheet_.edit
        = [](HeaderAccessor& accessor) { accessor.Set(kMiddleNameXPath, QStringLiteral("R.")); };

    EXPECT_EQ(Edit(*book), HeaderEditResult::Saved);
    ASSERT_EQ(Books().size(), 1U);
    CBook* filed = Books().front();
    // Removed and added again: into the default group, same path, same import date.
    EXPECT_EQ(filed->group->name, kDefaultGroupName);
    EXPECT_EQ(filed->file, path);
    EXPECT_EQ(filed->added, 86400);
    EXPECT_EQ(ui_.refreshes, 1); // "Favourites" went with the book
    ExpectEveryBookFileExists();
    EXPECT_EQ(HeaderValue(*filed, kMiddleNameXPath), u"R.");
}

TEST_F(BookHeaderEdit, TitleChangeRenamesTheFileAndUpdatesTheRecordInPlace)
{
    catalog_.compressFiles = true;
    CBook* book = AddFoundation();
    const QString oldArchive = book->StoredFilePath();
    sheet_.edit = [](HeaderAccessor& accessor) {
        accessor.Set(kBookTitleXPath, QStringLiteral("Second Foundation"));
    };

    EXPECT_EQ(Edit(*book), HeaderEditResult::Saved);
    ASSERT_EQ(Books().size(), 1U);
    EXPECT_EQ(Books().front(), book);
    EXPECT_EQ(book->title, u"Second Foundation");
    EXPECT_EQ(book->file,
        Library(QStringLiteral("Ivar Kessel/Ivar Kessel. Second Foundation.zip@Ivar Kessel. Second "
                               "Foundation.fb2")));
    EXPECT_FALSE(QFileInfo::exists(oldArchive));
    ExpectEveryBookFileExists();
    EXPECT_EQ(ui_.rebuilds, 1);
    EXPECT_EQ(ui_.refreshes, 0);
    EXPECT_TRUE(catalog_.IsModified());
    EXPECT_EQ(catalog_.FindBook(BookDescription {QStringLiteral("Ivar"), QStringLiteral("Kessel"),
                  QStringLiteral("Second Foundation")}),
        book);
}

TEST_F(BookHeaderEdit, YearChangeUpdatesTheRecordWithoutRefiling)
{
    CBook* book = AddFoundation();
    const QString path = book->file;
    sheet_.edit = [](HeaderAccessor& accessor) {
        accessor.Set(QStringLiteral("/fb:FictionBook/fb:description/fb:title-info/fb:date"),
            QStringLiteral("1953"));
    };
    EXPECT_EQ(Edit(*book), HeaderEditResult::Saved);
    EXPECT_EQ(book->year, 1953);
    EXPECT_EQ(book->file, path);
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(ui_.rebuilds, 1);
}

// A title differing only in letter case is another file here: the old one must go.
TEST_F(BookHeaderEdit, LetterCaseOnlyRenameReplacesTheOldFile)
{
    CBook* book = AddFoundation();
    const QString oldPath = book->file;
    sheet_.edit = [](HeaderAccessor& accessor) {
        accessor.Set(kBookTitleXPath, QStringLiteral("FOUNDATION"));
    };
    EXPECT_EQ(Edit(*book), HeaderEditResult::Saved);
    EXPECT_EQ(book->file, Library(QStringLiteral("Ivar Kessel/Ivar Kessel. FOUNDATION.fb2")));
    EXPECT_FALSE(QFileInfo::exists(oldPath));
    ExpectEveryBookFileExists();
}

TEST_F(BookHeaderEdit, AuthorChangeMovesTheBookAndDropsTheEmptyFolder)
{
    CBook* book = AddFoundation();
    const QString oldPath = book->file;
    sheet_.edit = [](HeaderAccessor& accessor) {
        accessor.Set(kLastNameXPath, QStringLiteral("Kessel-Ward"));
    };
    EXPECT_EQ(Edit(*book), HeaderEditResult::Saved);
    ASSERT_EQ(catalog_.Authors().size(), 1U);
    EXPECT_EQ(catalog_.Authors().front()->lastName, u"Kessel-Ward");
    EXPECT_FALSE(QFileInfo::exists(oldPath));
    EXPECT_FALSE(QFileInfo::exists(Library(QStringLiteral("Ivar Kessel"))));
    EXPECT_TRUE(QFileInfo::exists(
        Library(QStringLiteral("Ivar Kessel-Ward/Ivar Kessel-Ward. Foundation.fb2"))));
    EXPECT_EQ(ui_.refreshes, 1);
    ExpectEveryBookFileExists();
}

TEST_F(BookHeaderEdit, OnlyFb2BooksAreEdited)
{
    CBook* book = AddFoundation();
    book->format = FormatTxt;
    EXPECT_EQ(Edit(*book), HeaderEditResult::Unchanged);
    EXPECT_EQ(sheet_.loads, 0);
    EXPECT_TRUE(ui_.messages.isEmpty() && ui_.errors.isEmpty());
}

TEST_F(BookHeaderEdit, NothingIsWrittenUnlessConfirmedAndAllowed)
{
    CBook* book = AddFoundation();
    const QString path = book->file;
    const QByteArray original = ReadFile(path);
    sheet_.edit = [](HeaderAccessor& accessor) {
        accessor.Set(kBookTitleXPath, QStringLiteral("Second Foundation"));
    };
    auto expectUntouched = [&](const char* what) {
        EXPECT_EQ(ReadFile(path), original) << what;
        EXPECT_EQ(book->title, u"Foundation") << what;
        EXPECT_FALSE(catalog_.IsModified()) << what;
        EXPECT_EQ(QDir(Library(QStringLiteral("Ivar Kessel"))).entryList(QDir::Files).size(), 1)
            << what;
    };

    ui_.answer = false;
    EXPECT_EQ(Edit(*book), HeaderEditResult::Unchanged);
    EXPECT_EQ(ui_.questions.size(), 1);
    expectUntouched("No to the question");
    ui_.answer = true;

    sheet_.ok = false;
    EXPECT_EQ(Edit(*book), HeaderEditResult::Unchanged);
    expectUntouched("cancelled");
    sheet_.ok = true;

    sheet_.edit = [](HeaderAccessor& accessor) {
        accessor.Set(kBookTitleXPath, QStringLiteral("Second Foundation"));
        accessor.BlockWriting();
    };
    EXPECT_EQ(Edit(*book), HeaderEditResult::Unchanged);
    expectUntouched("blocked");

    sheet_.edit = nullptr; // OK without touching anything
    EXPECT_EQ(Edit(*book), HeaderEditResult::Unchanged);
    expectUntouched("no edit");

    SettingsStore autorun(std::make_unique<MemorySettingsBackend>(), true);
    sheet_.edit = [](HeaderAccessor& accessor) {
        accessor.Set(kBookTitleXPath, QStringLiteral("Second Foundation"));
    };
    EXPECT_EQ(EditBookHeader(*book, catalog_, autorun, sheet_, ui_), HeaderEditResult::Unchanged);
    expectUntouched("autorun");
    EXPECT_EQ(ui_.questions.size(), 1);
    EXPECT_TRUE(ui_.errors.isEmpty());
}

TEST_F(BookHeaderEdit, RefusesBooksOutsideTheirPlaceAndReportsUnreadableInput)
{
    CBook* book = AddFoundation();
    const QString standard = book->file;
    const QString elsewhere = dir_.filePath(QStringLiteral("elsewhere.fb2"));
    ASSERT_TRUE(QFile::copy(standard, elsewhere));
    book->file = elsewhere;
    sheet_.edit = [](HeaderAccessor& accessor) {
        accessor.Set(kBookTitleXPath, QStringLiteral("Second Foundation"));
    };
    EXPECT_EQ(Edit(*book), HeaderEditResult::Failed);
    ASSERT_EQ(ui_.errors.size(), 1);
    EXPECT_EQ(ui_.errors[0], MessageText(Msg::BookNotInStandardPlace));
    EXPECT_EQ(sheet_.shows, 1);
    EXPECT_TRUE(ui_.questions.isEmpty());
    EXPECT_EQ(ReadFile(elsewhere), ReadFile(standard));

    book->file = dir_.filePath(QStringLiteral("gone.fb2"));
    EXPECT_EQ(Edit(*book), HeaderEditResult::Failed);
    EXPECT_EQ(ui_.messages.size(), 1);
    EXPECT_EQ(sheet_.loads, 1);

    book->file = standard;
    sheet_.descriptionLoads = false;
    EXPECT_EQ(Edit(*book), HeaderEditResult::Failed);
    EXPECT_EQ(ui_.errors.last(), u"Loading fb2-header.xml: ERROR! missing");
    EXPECT_EQ(sheet_.shows, 1);
}

TEST_F(BookHeaderEdit, FailedWriteLeavesBookAndCatalogAsTheyWere)
{
    CBook* book = AddFoundation();
    const QByteArray original = ReadFile(book->file);
    // A file where the new author's folder would have to be.
    QFile blocker(Library(QStringLiteral("Ivar Kessel-Ward")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    sheet_.edit = [](HeaderAccessor& accessor) {
        accessor.Set(kLastNameXPath, QStringLiteral("Kessel-Ward"));
    };
    EXPECT_EQ(Edit(*book), HeaderEditResult::Failed);
    ASSERT_EQ(ui_.errors.size(), 1);
    EXPECT_TRUE(ui_.errors[0].startsWith(u"Error: ")) << qPrintable(ui_.errors[0]);
    EXPECT_EQ(Books(), std::vector<CBook*> {book});
    EXPECT_EQ(ReadFile(book->file), original);
    EXPECT_FALSE(catalog_.IsModified());
}

TEST_F(BookHeaderEdit, FailedRemovalDeletesTheNewFileNotTheOldOne)
{
    CBook* book = AddFoundation();
    const QByteArray original = ReadFile(book->file);
    // A record its group does not hold: the catalog refuses to remove it.
    CBook stray;
    stray.group = book->group;
    stray.title = book->title;
    stray.file = book->file;
    stray.year = book->year;
    sheet_.edit = [](HeaderAccessor& accessor) {
        accessor.Set(kLastNameXPath, QStringLiteral("Kessel-Ward"));
    };
    EXPECT_EQ(Edit(stray), HeaderEditResult::Failed);
    EXPECT_EQ(ui_.errors, QStringList {MessageText(Msg::ErrorDeletingBook)});
    EXPECT_EQ(ReadFile(book->file), original);
    EXPECT_FALSE(QFileInfo::exists(Library(QStringLiteral("Ivar Kessel-Ward"))));
    EXPECT_EQ(Books(), std::vector<CBook*> {book});
}

TEST_F(BookHeaderEdit, FailedAdditionKeepsEveryFileTheCatalogNeeds)
{
    CBook* book = AddFoundation();
    const QString oldPath = book->file;
    // The edited header names a book the catalog already has at that very place.
    CBook* twin
        = AddBook(QStringLiteral("Ivar"), QStringLiteral("Ward"), QStringLiteral("Foundation"),
            TitleInfo(QStringLiteral("<first-name>Ivar</first-name><last-name>Ward</last-name>")));
    sheet_.edit
        = [](HeaderAccessor& accessor) { accessor.Set(kLastNameXPath, QStringLiteral("Ward")); };
    EXPECT_EQ(Edit(*book), HeaderEditResult::Failed);
    EXPECT_EQ(ui_.errors, QStringList {MessageText(Msg::ErrorAddingBook)});
    EXPECT_EQ(Books(), std::vector<CBook*> {twin});
    ExpectEveryBookFileExists();
    EXPECT_TRUE(QFileInfo::exists(oldPath)); // the catalog-less copy is not thrown away
    EXPECT_EQ(ui_.refreshes, 1);
}

TEST_F(BookHeaderEdit, ABookWithoutAStoredPathIsEditedAtItsStandardPlace)
{
    CBook* book = AddFoundation();
    const QString standard = book->file;
    book->file.clear(); // as an index may hold it: the standard place is implied
    sheet_.edit = [](HeaderAccessor& accessor) {
        accessor.Set(kBookTitleXPath, QStringLiteral("Second Foundation"));
    };

    EXPECT_EQ(Edit(*book), HeaderEditResult::Saved) << qPrintable(ui_.errors.join(u'\n'));
    EXPECT_TRUE(ui_.messages.isEmpty()) << qPrintable(ui_.messages.join(u'\n'));
    EXPECT_EQ(book->title, u"Second Foundation");
    EXPECT_EQ(HeaderValue(*book, kBookTitleXPath), u"Second Foundation");
    EXPECT_FALSE(QFileInfo::exists(standard));
    ExpectEveryBookFileExists();
}
