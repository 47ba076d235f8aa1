#include "reader/content_kind.h"
#include "reader/dictionary_writer.h"
#include "reader/fixed_width_measurer.h"
#include "reader/reader_session.h"
#include "reader_test_support.h"
#include "text/messages.h"
#include "zip_test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;
using namespace lbv::test;

namespace {

class ReaderSessionTest : public ::testing::Test {
protected:
    ReaderSessionTest()
        : store_(MemoryStore())
    {
    }

    std::unique_ptr<ReaderSession> NewSession()
    {
        auto session = std::make_unique<ReaderSession>(
            *store_, measurer_, [this](const QString& text) { messages_ << text; });
        return session;
    }

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QString Book(const QString& name = u"book.fb2"_qs)
    {
        QByteArray body;
        for (int i = 0; i < 40; ++i)
            body += "<section><title><p>  Chapter " + QByteArray::number(i)
                + " </p><image l:href=\"#pic\"/><p>of it</p></title><p>text "
                + QByteArray::number(i) + "</p></section>";
        return Write(name, Fb2Body(body));
    }

    // Stores a state for the path as an earlier run would have left it.
    void Remember(const QString& path, int format, const BookPosition& position = {})
    {
        BookState state(*store_, path);
        state.SetFormat(format);
        state.SetPosition(position);
        state.Save();
    }

    std::unique_ptr<SettingsStore> store_;
    FixedWidthMeasurer measurer_;
    QTemporaryDir dir_;
    QStringList messages_;
};

} // namespace

TEST_F(ReaderSessionTest, OpensWithContentsAndComesBackToTheSavedPlace)
{
    const QString path = Book();
    auto session = NewSession();
    ASSERT_TRUE(session->Open(path));
    ASSERT_TRUE(session->State());
    const auto& entries = session->State()->Entries();
    ASSERT_EQ(entries.size(), 40u);
    EXPECT_EQ(entries[1].text, u"Chapter 1 of it"); // title paragraphs joined, picture left out
    EXPECT_EQ(entries[1].titleParagraphs, 3);

    session->SetPosition({entries[7].position.paragraph, 2, 0});
    session->Close();

    auto again = NewSession();
    ASSERT_TRUE(again->Open(path));
    EXPECT_EQ(again->Position().paragraph, entries[7].position.paragraph);
    EXPECT_EQ(again->Position().offset, 2);
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(ReaderSessionTest, AFailedOpenKeepsTheOpenBookAndSaysWhy)
{
    const QString path = Book();
    auto session = NewSession();
    ASSERT_TRUE(session->Open(path));
    session->SetPosition({5, 0, 0});
    DocumentSource* document = session->Document();

    EXPECT_FALSE(session->Open(dir_.filePath(u"missing.fb2"_qs)));
    EXPECT_EQ(messages_,
        QStringList {MessageText(Msg::ReaderFileNotFound).arg(dir_.filePath(u"missing.fb2"_qs))});
    EXPECT_EQ(session->Document(), document);
    EXPECT_EQ(session->Path(), path);
    EXPECT_EQ(session->Position().paragraph, 5);
}

TEST_F(ReaderSessionTest, AStoredFormatThatNoLongerFitsFallsBackToDetection)
{
    const QString text = Write(u"story.txt"_qs, "Once upon a time\nthere was a book.\n");
    Remember(text, kDocumentPng); // left by a picture of the same name elsewhere
    auto session = NewSession();
    ASSERT_TRUE(session->Open(text));
    EXPECT_EQ(session->State()->Format(), -1);
    session->Close();
    EXPECT_EQ(BookState(*store_, text).Format(), -1);

    const QString book = Book(u"other.fb2"_qs);
    Remember(book, 99); // no such kind
    ASSERT_TRUE(session->Open(book));
    EXPECT_EQ(session->State()->Format(), -1);
    EXPECT_TRUE(messages_.isEmpty());

    // A format the user picks now is held to: the failure is told and the book stays as it was.
    EXPECT_FALSE(session->Reopen(kDocumentPng, -1));
    EXPECT_EQ(messages_.size(), 1);
    EXPECT_EQ(session->Path(), book);
}

TEST_F(ReaderSessionTest, ClosingPrunesButNeverTheOpenBook)
{
    store_->WriteProfileInt(kParametersSection, u"NumBookmarks"_qs, 0);
    Remember(u"/elsewhere/old.fb2"_qs, -1);
    const QString path = Book();
    auto session = NewSession();
    ASSERT_TRUE(session->Open(path));
    session->SetPosition({3, 0, 0});
    session->Close();
    EXPECT_EQ(RecentBooks(*store_, 10), QStringList {path});
    EXPECT_EQ(BookState(*store_, path).Position()->paragraph, 3);
}

TEST_F(ReaderSessionTest, StartTakesTheCommandLineThenRecentBooksThenTheHelpBook)
{
    const QString book = Book();
    const QString help = Book(u"Libravon.fb2"_qs);
    auto session = NewSession();
    EXPECT_TRUE(session->Start(book, help));
    EXPECT_EQ(session->Path(), book);
    session->Close();

    // An index file on the command line is not a book; the recent book opens instead.
    auto second = NewSession();
    EXPECT_TRUE(second->Start(dir_.filePath(u"library.lvf"_qs), help));
    EXPECT_EQ(second->Path(), book);
    EXPECT_TRUE(messages_.isEmpty());

    // Recent books that are gone give one message, then the help book opens.
    QFile::remove(book);
    Remember(u"/gone/a.fb2"_qs, -1);
    auto third = NewSession();
    EXPECT_TRUE(third->Start(QString(), help));
    EXPECT_EQ(messages_, QStringList {MessageText(Msg::CantOpenRecentBooks)});
    EXPECT_EQ(third->Path(), help);
}

TEST_F(ReaderSessionTest, WithoutRecentBooksOrHelpThePageStaysEmpty)
{
    auto session = NewSession();
    EXPECT_FALSE(session->Start(QString(), dir_.filePath(u"Libravon.fb2"_qs)));
    EXPECT_EQ(messages_, QStringList {MessageText(Msg::CantOpenHelpFile)});
    EXPECT_FALSE(session->IsOpen());
}

TEST_F(ReaderSessionTest, LibraryPathsGoThroughTheResolver)
{
    const QString book = Book();
    auto session = NewSession();
    session->SetPathResolver([&](const QString& path, QString* readerPath, QString* error) {
        if (path != u"lib@book")
            return *error = u"no such book"_qs, false;
        *readerPath = book;
        return true;
    });
    EXPECT_TRUE(session->Open(u"lib@book"_qs));
    EXPECT_EQ(session->Path(), book);
    EXPECT_FALSE(session->Open(u"lib@other"_qs));
    EXPECT_EQ(messages_, QStringList {u"no such book"_qs});
}

TEST_F(ReaderSessionTest, StyleChangesRebuildTheTableAndKeepThePlace)
{
    const QString path = Book();
    auto session = NewSession();
    ASSERT_TRUE(session->Open(path));
    int paragraph = 0;
    while (!session->Document()->GetParagraph(0, paragraph).text.startsWith(u"text 3"))
        ++paragraph;
    session->JumpTo({paragraph, 1, 0});
    const int row = session->Styles().FindStyleName(u"Paragraph"_qs);
    ASSERT_GE(row, 0);
    ElementStyle changed = session->Styles().Row(row);
    changed.bold = 1;
    store_->WriteProfileString(kStylesSection, changed.name, changed.SettingsValue());

    ASSERT_TRUE(session->ReloadStyles());
    EXPECT_EQ(session->Styles().Row(row).bold, 1);
    EXPECT_EQ(session->Position().paragraph, paragraph);
    EXPECT_EQ(session->Position().offset, 1);
    EXPECT_EQ(session->State()->Entries().size(), 40u); // contents not doubled
    const ParagraphView text = session->Document()->GetParagraph(0, paragraph);
    ASSERT_FALSE(text.attributes.empty());
    EXPECT_TRUE(text.attributes[0] & kAttrBold);
    // The jump made before the change still leads back.
    ASSERT_TRUE(session->Back());
    EXPECT_EQ(session->Position().paragraph, 0);
}

TEST_F(ReaderSessionTest, ADictionaryOpensAsABookOfArticles)
{
    const QString path = dir_.filePath(u"words.dic"_qs);
    QString error;
    ASSERT_TRUE(WriteDictionary(
        path, {{u"apple"_qs, u"a fruit\n  round"_qs}, {u"book"_qs, u"pages"_qs}}, {}, &error))
        << error.toStdString();
    auto session = NewSession();
    ASSERT_TRUE(session->Open(path)) << messages_.join(u' ').toStdString();
    DocumentSource& document = *session->Document();
    EXPECT_EQ(BodyTexts(document, 0),
        (QStringList {u"apple  a fruit"_qs, u"\u00A0\u00A0round"_qs, u"book  pages"_qs}));
    const ParagraphView headword = document.GetParagraph(0, 0);
    EXPECT_TRUE(headword.attributes[0] & kAttrBold);
    EXPECT_FALSE(headword.attributes[7] & kAttrBold);
    EXPECT_EQ(document.ParagraphAtOffset(0, document.ParagraphStart(0, 3)), 3);
    EXPECT_EQ(document.BodyEnd(0), document.ParagraphStart(0, document.ParagraphCount(0)));

    // Inside an archive it reads the same, through a copy of its own.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString archive = Write(u"words.zip"_qs, MakeZip({{"dic/words.dic", file.readAll()}}));
    ASSERT_TRUE(session->Open(archive + u"/dic/words.dic"_qs));
    EXPECT_EQ(BodyTexts(*session->Document(), 0).size(), 3);
    EXPECT_TRUE(session->Document()->SourceDescription().startsWith(u"ZIP"));
}

TEST_F(ReaderSessionTest, BackAndForwardWalkTheJumpsOrThePicturesBeside)
{
    auto session = NewSession();
    ASSERT_TRUE(session->Open(Book()));
    session->SetPosition({4, 0, 0});
    const int before = session->Position().paragraph;
    session->JumpTo({30, 0, 0});
    const int after = session->Position().paragraph;
    EXPECT_TRUE(session->Back());
    EXPECT_EQ(session->Position().paragraph, before);
    EXPECT_FALSE(session->Back());
    EXPECT_TRUE(session->Forward());
    EXPECT_EQ(session->Position().paragraph, after);

    const QByteArray png("\x89PNG\r\n\x1A\n\0\0\0\0", 12);
    const QString first = Write(u"a.png"_qs, png);
    const QString second = Write(u"b.png"_qs, png);
    ASSERT_TRUE(session->Open(first));
    EXPECT_FALSE(session->Back());
    EXPECT_TRUE(session->Forward());
    EXPECT_EQ(session->Path(), second);
    EXPECT_FALSE(session->Forward());
}
