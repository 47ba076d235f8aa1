#include "gui/reader/qt_text_measurer.h"
#include "gui/reader/reader_view.h"
#include "reader/book_state.h"
#include "reader/key_map.h"
#include "reader/reader_session.h"
#include "reader/reader_settings.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

TEST(QtTextMeasurer, MetricsAndAdvancesFollowTheFontAndRepeatsComeFromTheCache)
{
    QtTextMeasurer measurer(QStringLiteral("DejaVu Sans"), 1, 4, 96);
    const FontKey plain {14, 0, 0};
    const FontMetrics metrics = measurer.Metrics(plain);
    const QFontMetrics qt(measurer.FontFor(plain));
    EXPECT_EQ(metrics.ascent, qt.ascent());
    EXPECT_GE(metrics.height, qt.ascent() + qt.descent());
    EXPECT_EQ(metrics.hyphenWidth, qt.horizontalAdvance(QLatin1Char('-')));
    EXPECT_EQ(measurer.FontFor(plain).pixelSize(), 14);
    EXPECT_TRUE(measurer.FontFor({14, FontKey::Bold | FontKey::Italic, 0}).bold());

    // A Cyrillic word, a space and a character outside the basic plane (a surrogate pair).
    const QString text = QStringLiteral("Щи да каша ") + QString::fromUcs4(U"\U0001F600");
    std::vector<int> advances(std::size_t(text.size()), -1);
    measurer.Advances(plain, text, advances.data());
    for (qsizetype i = 0; i + 2 < text.size(); ++i)
        EXPECT_EQ(advances[std::size_t(i)], qt.horizontalAdvance(text[i])) << i;
    EXPECT_EQ(advances.back(), 0); // the low surrogate adds nothing
    EXPECT_EQ(measurer.AdvanceHits(), 4); // the repeated "а" and spaces

    const int64_t lookups = measurer.AdvanceLookups();
    measurer.Advances(plain, text, advances.data());
    EXPECT_EQ(measurer.AdvanceHits(), 4 + lookups);
}

class ReaderViewTest : public ::testing::Test {
protected:
    ReaderViewTest()
        : store(std::make_unique<MemorySettingsBackend>())
    {
    }

    // A book of many short sections, several pages at any size used here.
    QString WriteBook()
    {
        QByteArray body;
        for (int i = 0; i < 60; ++i)
            body += "<section><title><p>Глава " + QByteArray::number(i) + "</p></title><p>Текст "
                + QByteArray::number(i) + " строки и ещё немного слов</p></section>";
        const QString path = folder.filePath(QStringLiteral("book.fb2"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\" encoding=\"utf-8\"?><FictionBook "
                   "xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\"><description><title-info>"
                   "<book-title>T</book-title></title-info></description><body>"
            + body + "</body></FictionBook>");
        return path;
    }

    std::unique_ptr<CReaderView> OpenView(int orientation = 0, int rotateButtons = 1)
    {
        store.WriteProfileInt(kParametersSection, QStringLiteral("Orientation"), orientation);
        store.WriteProfileInt(kParametersSection, QStringLiteral("RotateButtons"), rotateButtons);
        auto view = std::make_unique<CReaderView>(
            store, [this](const QString& text) { errors << text; });
        view->resize(300, 200);
        book = WriteBook();
        EXPECT_TRUE(view->Open(book));
        return view;
    }

    static void Press(QWidget& view, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(&view, &press);
    }

    static int Paragraph(CReaderView& view) { return view.Session().Position().paragraph; }

    SettingsStore store;
    QTemporaryDir folder;
    QString book;
    QStringList errors;
};

TEST_F(ReaderViewTest, ArrowKeysTurnWithTheRotationOnlyWhenRotateButtonsIsOn)
{
    auto upright = OpenView(0);
    Press(*upright, Qt::Key_Down);
    EXPECT_GT(Paragraph(*upright), 0);
    Press(*upright, Qt::Key_Up);
    EXPECT_EQ(Paragraph(*upright), 0);

    auto turned = OpenView(1800);
    Press(*turned, Qt::Key_Up); // upside down, up is forward
    EXPECT_GT(Paragraph(*turned), 0);

    auto fixed = OpenView(1800, 0);
    Press(*fixed, Qt::Key_Up);
    EXPECT_EQ(Paragraph(*fixed), 0);
    Press(*fixed, Qt::Key_Down);
    EXPECT_GT(Paragraph(*fixed), 0);
}

TEST_F(ReaderViewTest, ModifiedKeysAreLeftToTheFrameAndEndStopsOnTheLastPage)
{
    auto view = OpenView();
    QKeyEvent ctrlDigit(QEvent::KeyPress, Qt::Key_1, Qt::ControlModifier);
    QCoreApplication::sendEvent(view.get(), &ctrlDigit);
    EXPECT_FALSE(ctrlDigit.isAccepted());
    QKeyEvent ctrlPage(QEvent::KeyPress, Qt::Key_PageDown, Qt::ControlModifier);
    QCoreApplication::sendEvent(view.get(), &ctrlPage);
    EXPECT_EQ(Paragraph(*view), 0);

    Press(*view, Qt::Key_End);
    const ReadingPosition last = view->Session().Position();
    EXPECT_GT(last.paragraph, 0);
    Press(*view, Qt::Key_PageDown);
    Press(*view, Qt::Key_Space);
    EXPECT_EQ(view->Session().Position().paragraph, last.paragraph);
    EXPECT_FALSE(view->Session().Formatter()->AtBodyEnd(view->Session().Position()));
    view->RunCommand(int(ReaderCommand::Back)); // End was a jump
    EXPECT_EQ(Paragraph(*view), 0);
}

TEST_F(ReaderViewTest, AutoscrollStopsOnFocusLossAndAtTheBooksEnd)
{
    store.WriteProfileInt(kParametersSection, QStringLiteral("AutoScrollDelay"), 25000);
    auto view = OpenView();
    view->resize(300, 40); // a line or two a page: the end comes quickly
    view->show();
    view->activateWindow();
    view->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));

    view->RunCommand(int(ReaderCommand::StartAutoscroll));
    EXPECT_TRUE(view->Autoscrolling());
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(view.get(), &out);
    EXPECT_FALSE(view->Autoscrolling());

    Press(*view, Qt::Key_End);
    const ReadingPosition last = view->Session().Position();
    view->RunCommand(int(ReaderCommand::ToggleAutoscroll));
    EXPECT_TRUE(view->Autoscrolling());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view->Autoscrolling(); }, 5000));
    EXPECT_EQ(view->Session().Position().paragraph, last.paragraph);
}

TEST_F(ReaderViewTest, SpeedChangesAreStoredAtOnce)
{
    auto view = OpenView();
    view->RunCommand(int(ReaderCommand::SlowerAutoscroll));
    EXPECT_EQ(ReaderParameters::Load(store).autoScrollDelay, 825000);
    Press(*view, Qt::Key_Insert); // faster
    Press(*view, Qt::Key_Insert);
    EXPECT_EQ(ReaderParameters::Load(store).autoScrollDelay, 775000);
}

TEST_F(ReaderViewTest, ThePlaceIsSavedAtCloseInAutorunToo)
{
    for (const bool autorun : {false, true}) {
        SettingsStore runStore(std::make_unique<MemorySettingsBackend>(), autorun);
        CReaderView view(runStore, [](const QString&) {});
        view.resize(300, 200);
        book = WriteBook();
        ASSERT_TRUE(view.Open(book));
        Press(view, Qt::Key_PageDown);
        const ReadingPosition at = view.Session().Position();
        ASSERT_GT(at.paragraph, 0);
        view.SaveOnClose();
        BookState state(runStore, book);
        ASSERT_TRUE(state.Position()) << autorun;
        EXPECT_EQ(state.Position()->paragraph, at.paragraph) << autorun;
        EXPECT_EQ(state.Position()->offset, at.offset) << autorun;
    }
}

TEST_F(ReaderViewTest, AFailedOpenKeepsTheBookAndItsPage)
{
    auto view = OpenView();
    Press(*view, Qt::Key_PageDown);
    const int paragraph = Paragraph(*view);
    EXPECT_FALSE(view->Open(folder.filePath(QStringLiteral("missing.fb2"))));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(view->BookPath(), book);
    EXPECT_EQ(Paragraph(*view), paragraph);
}

} // namespace
