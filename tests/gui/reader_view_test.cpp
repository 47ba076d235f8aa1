#include "gui/reader/qt_text_measurer.h"
#include "gui/reader/reader_view.h"
#include "reader/book_state.h"
#include "reader/key_map.h"
#include "reader/reader_session.h"
#include "reader/reader_settings.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "reader_test_books.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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
        return test::WriteBookFile(folder.filePath(QStringLiteral("book.fb2")), test::ReaderBook(body));
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

TEST_F(ReaderViewTest, HeldKeysRepeatOnlyWithoutAutoRepeatLimit)
{
    for (const int limit : {0, 1}) {
        store.WriteProfileInt(kParametersSection, QStringLiteral("AutoRepeatLimit"), limit);
        auto view = OpenView();
        QKeyEvent repeated(QEvent::KeyPress, Qt::Key_PageDown, {}, QString(), true);
        QCoreApplication::sendEvent(view.get(), &repeated);
        EXPECT_EQ(Paragraph(*view) > 0, limit == 0) << limit;
    }
}

TEST_F(ReaderViewTest, TheTimerStoresThePlaceWhileReading)
{
    auto view = OpenView();
    Press(*view, Qt::Key_PageDown);
    const int paragraph = Paragraph(*view);
    ASSERT_GT(paragraph, 0);
    const auto stored = [this] {
        const std::optional<BookPosition> position = BookState(store, book).Position();
        return position ? position->paragraph : -1;
    };
    EXPECT_NE(stored(), paragraph);
    auto* timer = view->findChild<QTimer*>(QStringLiteral("positionSaveTimer"));
    ASSERT_TRUE(timer);
    timer->start(1);
    QTRY_COMPARE(stored(), paragraph);
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

namespace {

TEST_F(ReaderViewTest, FontSizeCommandsStoreTheSizeWithinItsRangeAndLayOutAgain)
{
    store.WriteProfileInt(kParametersSection, QStringLiteral("FontSize"), kMaxFontSize - 1);
    auto view = OpenView();
    view->RunCommand(int(ReaderCommand::FontBigger));
    view->RunCommand(int(ReaderCommand::FontBigger));
    EXPECT_EQ(ReaderParameters::Load(store).fontSize, kMaxFontSize);
    EXPECT_EQ(view->Session().Formatter()->Settings().font.fontSize, kMaxFontSize);

    store.WriteProfileInt(kParametersSection, QStringLiteral("FontSize"), kMinFontSize + 1);
    view->SettingChanged(QStringLiteral("ReaderDisplay"));
    Press(*view, Qt::Key_PageDown);
    const ReadingPosition at = view->Session().Position();
    view->RunCommand(int(ReaderCommand::FontSmaller));
    view->RunCommand(int(ReaderCommand::FontSmaller));
    EXPECT_EQ(ReaderParameters::Load(store).fontSize, kMinFontSize);
    EXPECT_EQ(view->Session().Formatter()->Settings().font.fontSize, kMinFontSize);
    EXPECT_EQ(view->Session().Position().paragraph, at.paragraph); // the place is kept
}

TEST_F(ReaderViewTest, RecentBookCommandsOpenTheBooksNewestFirst)
{
    auto view = OpenView();
    const QString first = book;
    const QString second = folder.filePath(QStringLiteral("second.fb2"));
    ASSERT_TRUE(QFile::copy(first, second));
    QTest::qWait(2); // books are ordered by the millisecond they were left
    ASSERT_TRUE(view->Open(second)); // the first book's state is saved now
    QTest::qWait(2);
    view->Session().SaveState();
    ASSERT_EQ(RecentBooks(store, kRecentBookCount), (QStringList {second, first}));

    view->RunCommand(kFirstRecentBook + 1);
    EXPECT_EQ(view->BookPath(), first);
    view->RunCommand(kFirstRecentBook + kRecentBookCount - 1); // no such book: nothing happens
    EXPECT_EQ(view->BookPath(), first);
    EXPECT_TRUE(errors.isEmpty());
}

// A picture whose top half is red and bottom half blue, in a book with nothing else.
QByteArray PictureBook()
{
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            picture.setPixelColor(x, y, Qt::red);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    picture.save(&png, "PNG");
    return test::ReaderBook("<section><image l:href=\"#p.png\"/></section>",
        "<binary id=\"p.png\" content-type=\"image/png\">" + png.data().toBase64() + "</binary>");
}

// The mean x and y of the pixels of one colour.
QPointF Centre(const QImage& image, QColor colour)
{
    QPointF sum;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) {
                sum += QPointF(x, y);
                ++count;
            }
    return count ? sum / count : QPointF(-1, -1);
}

TEST_F(ReaderViewTest, PicturesStandUprightOnTheTurnedPage)
{
    const QString path = folder.filePath(QStringLiteral("picture.fb2"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(PictureBook());
    file.close();
    store.WriteProfileInt(kParametersSection, QStringLiteral("ShowProgress"), 0);
    // Where the page's top lies on the screen at each turn (the text turns counterclockwise).
    const std::pair<int, QPointF> upwards[] = {
        {0, {0, -1}}, {900, {-1, 0}}, {1800, {0, 1}}, {2700, {1, 0}}};
    for (const auto& [orientation, up] : upwards) {
        store.WriteProfileInt(kParametersSection, QStringLiteral("Orientation"), orientation);
        CReaderView view(store, [](const QString&) {});
        view.resize(200, 200);
        ASSERT_TRUE(view.Open(path));
        ASSERT_TRUE(view.PageShowsPicture());
        QImage shot(view.size(), QImage::Format_RGB32);
        view.render(&shot);
        const QPointF red = Centre(shot, Qt::red);
        const QPointF blue = Centre(shot, Qt::blue);
        ASSERT_GE(red.x(), 0) << orientation;
        ASSERT_GE(blue.x(), 0) << orientation;
        const QPointF fromBlueToRed = red - blue;
        EXPECT_GT(QPointF::dotProduct(fromBlueToRed, up), 5) << orientation;
    }
}

} // namespace
