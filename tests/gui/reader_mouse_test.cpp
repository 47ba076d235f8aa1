#include "scripted_reader_dialogs.h"
#include "gui/reader/reader_view.h"
#include "gui/reader/text_popup.h"
#include "reader/dictionary_list.h"
#include "reader/dictionary_writer.h"
#include "reader/key_map.h"
#include "reader/page_hit_test.h"
#include "reader/page_transform.h"
#include "reader/reader_session.h"
#include "settings/memory_settings_backend.h"
#include "text/messages.h"
#include "reader_test_books.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

const QString kLinks = QStringLiteral("See note [1], the end, nowhere and the web.");
const QString kWords = QStringLiteral("The engine stopped quietly.");

class ReaderMouseTest : public ::testing::Test {
protected:
    ReaderMouseTest()
        : store(std::make_unique<MemorySettingsBackend>())
    {
    }

    // Links to a footnote, to a section further on, to a missing anchor and to the web; then
    // enough text for several pages, and long Russian words that break with hyphens.
    QString WriteBook()
    {
        QByteArray filler;
        for (int i = 0; i < 40; ++i)
            filler += "<p>Filler paragraph " + QByteArray::number(i) + " of the story.</p>";
        return test::WriteBookFile(folder.filePath(QStringLiteral("book.fb2")),
            test::ReaderBook("<section>"
                   "<title><p>The start</p></title><p>See note <a l:href=\"#n1\" "
                   "type=\"note\">[1]</a>, the <a l:href=\"#end\">"
                   "end</a>, <a l:href=\"#none\">nowhere</a> and the <a "
                   "l:href=\"http://example.org\">web</a>.</p><p>The engine stopped quietly.</p>"
                   "<p>Переосвидетельствование достопримечательностей высокопревосходительства"
                   "</p>"
            + filler
                + "</section><section id=\"end\"><title><p>The end</p></title><p>Last "
                  "words.</p></section>",
                "<body name=\"notes\"><section id=\"n1\"><p>The note itself.</p></section></body>"));
    }

    std::unique_ptr<CReaderView> OpenView(int width = 300)
    {
        auto view = std::make_unique<CReaderView>(store, [](const QString&) {});
        auto scripted = std::make_unique<ScriptedReaderDialogs>();
        dialogs = scripted.get();
        view->SetDialogs(std::move(scripted));
        view->resize(width, 200);
        EXPECT_TRUE(view->Open(WriteBook()));
        return view;
    }

    static int ParagraphOf(CReaderView& view, const QString& text)
    {
        DocumentSource& document = *view.Session().Document();
        for (int i = 0; i < document.ParagraphCount(0); ++i)
            if (document.GetParagraph(0, i).text.startsWith(text))
                return i;
        ADD_FAILURE() << "no paragraph " << text.toStdString();
        return -1;
    }

    // Where a character of the shown page is drawn, through the view's rotation.
    static QPoint PointOf(CReaderView& view, int paragraph, int offset)
    {
        ReaderSession& session = view.Session();
        const Page page = session.Formatter()->LayoutPage(session.Position());
        for (const LayoutLine& line : page.lines) {
            if (line.start.paragraph != paragraph || offset < line.start.offset
                || offset >= line.start.offset + line.length)
                continue;
            int x = LineLeft(line, session.Formatter()->Geometry());
            for (int i = 0; i < offset - line.start.offset; ++i)
                x += line.advances[std::size_t(i)];
            const PagePoint client
                = PageTransform(view.width(), view.height(), session.Parameters().orientation)
                      .ToClient(x + 1, line.y + line.height / 2);
            return {client.x, client.y};
        }
        ADD_FAILURE() << "no character " << paragraph << ":" << offset << " on the page";
        return {};
    }

    static void Send(QWidget& view, QEvent::Type type, const QPoint& at, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, at, view.mapToGlobal(at),
            type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
    }

    static void Tap(QWidget& view, const QPoint& at)
    {
        Send(view, QEvent::MouseButtonPress, at, Qt::LeftButton);
        Send(view, QEvent::MouseButtonRelease, at, Qt::NoButton);
    }

    static void Drag(QWidget& view, const QPoint& from, const QPoint& to)
    {
        Send(view, QEvent::MouseButtonPress, from, Qt::LeftButton);
        Send(view, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
        Send(view, QEvent::MouseMove, to, Qt::LeftButton);
        Send(view, QEvent::MouseButtonRelease, to, Qt::NoButton);
    }

    static TextPopup* Popup(CReaderView& view)
    {
        auto* popup = view.findChild<TextPopup*>(QStringLiteral("textPopup"));
        return popup && popup->isVisible() ? popup : nullptr;
    }

    void EnableDictionary(const QString& path)
    {
        DictionaryList list;
        list.Add(path);
        list.SetCurrent(1);
        list.Save(store);
    }

    QString WriteDictionary()
    {
        const QString path = folder.filePath(QStringLiteral("english.dic"));
        QString error;
        EXPECT_TRUE(lbv::WriteDictionary(path,
            {{u"engine"_qs, u"a machine"_qs}, {u"quiet"_qs, u"making little noise"_qs},
                {u"stop"_qs, u"to cease moving"_qs}},
            {}, &error))
            << error.toStdString();
        return path;
    }

    SettingsStore store;
    QTemporaryDir folder;
    ScriptedReaderDialogs* dialogs = nullptr;
};

TEST_F(ReaderMouseTest, LinksJumpWithAHistoryEntryAndDeadLinksBeep)
{
    // Upright and turned: a tap lands on what was drawn under it.
    for (const int orientation : {0, 2700}) {
        store.WriteProfileInt(kParametersSection, QStringLiteral("Orientation"), orientation);
        auto view = OpenView();
        ReaderSession& session = view->Session();
        const int links = ParagraphOf(*view, kLinks);
        const int start = session.Position().paragraph;
        Tap(*view, PointOf(*view, links, int(kLinks.indexOf(u"[1]")) + 1));
        EXPECT_EQ(session.Position().body, 1); // the footnote's body
        EXPECT_EQ(dialogs->beeps, 0);
        view->RunCommand(int(ReaderCommand::Back));
        EXPECT_EQ(session.Position().body, 0);
        EXPECT_EQ(session.Position().paragraph, start);

        Tap(*view, PointOf(*view, links, int(kLinks.indexOf(u"end"))));
        EXPECT_GT(session.Position().paragraph, 40); // the last section
        view->RunCommand(int(ReaderCommand::Back));
        EXPECT_EQ(session.Position().paragraph, start);
        view->RunCommand(int(ReaderCommand::Forward));
        EXPECT_GT(session.Position().paragraph, 40);
        view->RunCommand(int(ReaderCommand::Back));

        Tap(*view, PointOf(*view, links, int(kLinks.indexOf(u"nowhere"))));
        Tap(*view, PointOf(*view, links, int(kLinks.indexOf(u"web"))));
        EXPECT_EQ(dialogs->beeps, 2);
        EXPECT_EQ(session.Position().paragraph, start);
        // Without a dictionary a tap on a plain word does nothing.
        Tap(*view, PointOf(*view, ParagraphOf(*view, kWords), 5));
        EXPECT_FALSE(Popup(*view));
        EXPECT_EQ(dialogs->beeps, 2);
    }
}

TEST_F(ReaderMouseTest, AWordTapShowsItsArticleUntilAKeyOrClick)
{
    EnableDictionary(WriteDictionary());
    auto view = OpenView();
    const int words = ParagraphOf(*view, kWords);
    Tap(*view, PointOf(*view, words, int(kWords.indexOf(u"stopped")) + 2));
    TextPopup* popup = Popup(*view);
    ASSERT_TRUE(popup);
    EXPECT_TRUE(popup->Text().startsWith(u"stop  to cease moving"_qs))
        << popup->Text().toStdString();
    EXPECT_TRUE(popup->windowFlags() & Qt::FramelessWindowHint);
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_FALSE(Popup(*view));

    // "quietly" has no article of its own: the nearest is shown, marked as such.
    Tap(*view, PointOf(*view, words, int(kWords.indexOf(u"quietly"))));
    popup = Popup(*view);
    ASSERT_TRUE(popup);
    EXPECT_TRUE(popup->Text().startsWith(MessageText(Msg::ReaderNearestArticle) + u'\n'));
    QTest::mouseClick(popup, Qt::LeftButton);
    EXPECT_FALSE(Popup(*view));
    EXPECT_TRUE(dialogs->errors.isEmpty());
}

TEST_F(ReaderMouseTest, AMissingDictionaryIsReportedAtLookupAndWhenTheSettingChanges)
{
    auto view = OpenView();
    const int words = ParagraphOf(*view, kWords);
    EnableDictionary(folder.filePath(QStringLiteral("gone.dic")));
    view->SettingChanged(QStringLiteral("ReaderCurrentDict"));
    ASSERT_EQ(dialogs->errors.size(), 1);
    EXPECT_TRUE(dialogs->errors[0].startsWith(u"Can't open dictionary: "_qs));
    Tap(*view, PointOf(*view, words, 5));
    EXPECT_EQ(dialogs->errors.size(), 2);
    EXPECT_FALSE(Popup(*view));

    // Once the setting names a good one, taps find their articles.
    EnableDictionary(WriteDictionary());
    view->SettingChanged(QStringLiteral("ReaderCurrentDict"));
    Tap(*view, PointOf(*view, words, 5));
    ASSERT_TRUE(Popup(*view));
    EXPECT_TRUE(Popup(*view)->Text().startsWith(u"engine"_qs));
    EXPECT_EQ(dialogs->errors.size(), 2);
}

TEST_F(ReaderMouseTest, CopiedSelectionsLoseTheHyphensOfLineBreaks)
{
    store.WriteProfileInt(kParametersSection, QStringLiteral("Hyphenate"), 1);
    auto view = OpenView(120);
    ReaderSession& session = view->Session();
    const int longWords = ParagraphOf(*view, QStringLiteral("Переосвидетельствование"));
    const Page page = session.Formatter()->LayoutPage(session.Position());
    const LayoutLine* broken = nullptr;
    for (const LayoutLine& line : page.lines)
        if (line.hyphenated && line.start.paragraph == longWords && !broken)
            broken = &line;
    ASSERT_TRUE(broken) << "no line of the long words broke with a hyphen";
    const LayoutLine& next = *(broken + 1);
    dialogs->action = SelectionAction::Copy;
    Drag(*view, PointOf(*view, longWords, broken->start.offset),
        PointOf(*view, longWords, next.start.offset + next.length - 1));
    ASSERT_EQ(dialogs->lookupsOffered, std::vector<bool> {false});
    const QString copied = QApplication::clipboard()->text();
    const QString paragraph = session.Document()->GetParagraph(0, longWords).text;
    EXPECT_EQ(copied,
        paragraph.mid(
            broken->start.offset, next.start.offset + next.length - broken->start.offset));
    EXPECT_FALSE(copied.contains(u'-'));
}

TEST_F(ReaderMouseTest, ASelectionBecomesABookmarkWhoseTapShowsItsText)
{
    EnableDictionary(WriteDictionary());
    auto view = OpenView();
    const int words = ParagraphOf(*view, kWords);
    dialogs->action = SelectionAction::AddBookmark;
    dialogs->bookmarkAnswer = QStringLiteral("A quiet engine");
    const int engine = int(kWords.indexOf(u"engine"));
    // While the menu is open the selection shows on the page's background in its colour.
    QColor selected, unselected;
    dialogs->duringMenu = [&] {
        const QImage shot = view->grab().toImage();
        const QPoint inside = PointOf(*view, words, engine + 2);
        selected = shot.pixelColor(inside.x(), inside.y() - 6);
        unselected = shot.pixelColor(PointOf(*view, words, 3).x(), inside.y() - 6); // the blank
    };
    Drag(*view, PointOf(*view, words, engine), PointOf(*view, words, engine + 5));
    EXPECT_EQ(dialogs->lookupsOffered, std::vector<bool> {true});
    EXPECT_EQ(dialogs->bookmarkPresets, QStringList {u"engine"_qs});
    EXPECT_EQ(selected, QColor(0xCB, 0xE0, 0xC7)); // "User input background"
    EXPECT_EQ(unselected, QColor(Qt::white));
    dialogs->duringMenu = nullptr;
    std::vector<BookEntry> bookmarks;
    for (const BookEntry& entry : view->Session().State()->Entries())
        if (entry.IsUserBookmark())
            bookmarks.push_back(entry);
    ASSERT_EQ(bookmarks.size(), 1u);
    EXPECT_EQ(bookmarks[0].text, u"A quiet engine");
    EXPECT_EQ(bookmarks[0].position.paragraph, words);
    EXPECT_EQ(bookmarks[0].position.offset, engine);

    // A tap on the bookmark's line shows its text, not the word's article.
    Tap(*view, PointOf(*view, words, 1));
    ASSERT_TRUE(Popup(*view));
    EXPECT_EQ(Popup(*view)->Text(), u"A quiet engine");
    Popup(*view)->close();

    // Cancelling the input adds nothing.
    dialogs->bookmarkAnswer.reset();
    Drag(*view, PointOf(*view, words, 0), PointOf(*view, words, 3));
    int count = 0;
    for (const BookEntry& entry : view->Session().State()->Entries())
        count += entry.IsUserBookmark();
    EXPECT_EQ(count, 1);

    // Looking the selection up shows its article.
    dialogs->action = SelectionAction::Lookup;
    const int stopped = int(kWords.indexOf(u"stopped"));
    Drag(*view, PointOf(*view, words, stopped), PointOf(*view, words, stopped + 6));
    ASSERT_TRUE(Popup(*view));
    EXPECT_TRUE(Popup(*view)->Text().startsWith(u"stop  "_qs));
}

TEST_F(ReaderMouseTest, ProgressBarTapsStepSectionsOrJumpAndStopAutoscroll)
{
    auto view = OpenView();
    ReaderSession& session = view->Session();
    const int bar = view->height() - 3;
    view->RunCommand(int(ReaderCommand::StartAutoscroll));
    ASSERT_TRUE(view->Autoscrolling());
    Tap(*view, {view->width() - 5, bar});
    EXPECT_FALSE(view->Autoscrolling());
    const int first = session.Position().paragraph; // the first section's title
    Tap(*view, {view->width() - 5, bar});
    EXPECT_GT(session.Position().paragraph, 40); // the last section
    Tap(*view, {5, bar});
    EXPECT_EQ(session.Position().paragraph, first);

    view->RunCommand(int(ReaderCommand::StartOfFile));
    Tap(*view, {view->width() / 3, bar});
    const ReadingPosition jumped = session.Position();
    EXPECT_GT(jumped.paragraph, 5);
    view->RunCommand(int(ReaderCommand::Back));
    EXPECT_EQ(session.Position().paragraph, 0);
    view->RunCommand(int(ReaderCommand::Forward));
    EXPECT_EQ(session.Position().paragraph, jumped.paragraph);
}

} // namespace
