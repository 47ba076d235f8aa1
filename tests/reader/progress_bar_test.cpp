#include "reader/battery_status.h"
#include "reader/book_progress.h"
#include "reader/progress_bar_model.h"
#include "reader_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

// Every character 5 pixels wide.
int FiveEach(const QString& text)
{
    return int(text.size()) * 5;
}

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(ProgressBarModel, TextsComeFromTheRightInTheirOrder)
{
    ProgressBarState state;
    state.items = kProgressBattery | kProgressTime | kProgressSpeed | kProgressPosition;
    state.battery = 57;
    state.hour = 9;
    state.minute = 5;
    state.position = 5000;
    state.length = 10000;
    EXPECT_EQ(ProgressBarTexts(state), (QStringList {u"57%"_qs, u"09:05"_qs, u"2"_qs}));

    state.autoscrollSpeed = 800;
    state.battery = kBatteryOnMains;
    state.items |= kProgressLength;
    EXPECT_EQ(ProgressBarTexts(state), (QStringList {u"AC"_qs, u"09:05"_qs, u"800"_qs, u"2/5"_qs}));

    state.items = kProgressBattery; // unknown battery: nothing shown
    state.battery.reset();
    EXPECT_TRUE(ProgressBarTexts(state).isEmpty());

    const ProgressBarLayout layout
        = LayOutProgressBar({.items = kProgressTime | kProgressPosition}, 200, 4, FiveEach);
    ASSERT_EQ(layout.texts.size(), 2u);
    EXPECT_EQ(layout.texts[0].x, 175); // "00:00"
    EXPECT_EQ(layout.texts[1].x, 166); // "0"
    EXPECT_EQ(layout.textsLeft, 166);
}

TEST(ProgressBarModel, GaugeAndTicksOrTheChapterTitle)
{
    ProgressBarState state;
    state.items = 0;
    state.position = 250;
    state.length = 1000;
    state.sections = {0, 500};
    state.bookmarks = std::vector<int64_t>(10, 100);
    ProgressBarLayout layout = LayOutProgressBar(state, 128, 4, FiveEach);
    ASSERT_TRUE(layout.gauge);
    EXPECT_EQ(layout.gaugeLeft, 14);
    EXPECT_EQ(layout.gaugeRight, 114);
    EXPECT_EQ(layout.gaugeFilled, 25);
    EXPECT_EQ(layout.sectionTicks, (std::vector<int> {14, 64}));
    EXPECT_EQ(layout.bookmarkTicks.size(), 10u);
    // 34 bookmarks are not fewer than a third of the 100 pixels: none drawn.
    state.bookmarks = std::vector<int64_t>(34, 100);
    EXPECT_TRUE(LayOutProgressBar(state, 128, 4, FiveEach).bookmarkTicks.empty());

    state.items = kProgressChapter;
    state.chapterTitle = u"A rather long chapter"_qs;
    layout = LayOutProgressBar(state, 54, 4, FiveEach);
    EXPECT_FALSE(layout.gauge);
    EXPECT_EQ(layout.chapterTitle, u"A rather…"_qs);
}

TEST(ProgressBarModel, TapsStepAtTheEndsAndJumpInBetween)
{
    const ProgressBarLayout bar = LayOutProgressBar({.items = 0}, 128, 4, FiveEach);
    EXPECT_EQ(TapProgressBar(bar, 12, 1000).action, ProgressBarTap::Action::PreviousSection);
    EXPECT_EQ(TapProgressBar(bar, 114, 1000).action, ProgressBarTap::Action::NextSection);
    const ProgressBarTap middle = TapProgressBar(bar, 64, 1000);
    EXPECT_EQ(middle.action, ProgressBarTap::Action::Jump);
    EXPECT_EQ(middle.position, 500);
    EXPECT_EQ(TapProgressBar(bar, 13, 1000).position, 0); // clamped to the gauge

    // Too narrow for a gauge: the ends still step, nothing divides by zero.
    for (int width : {28, 20, 1}) {
        const ProgressBarLayout narrow = LayOutProgressBar({.items = 0}, width, 4, FiveEach);
        for (int x = -5; x < width + 5; ++x)
            EXPECT_NE(TapProgressBar(narrow, x, 1000).action, ProgressBarTap::Action::Jump);
    }
}

TEST(BatteryStatus, ReadsTheFirstBatteryOrMainsPower)
{
    QTemporaryDir root;
    EXPECT_FALSE(ReadBatteryStatus(root.path()));
    Write(root.filePath(u"BAT0/type"_qs), "Battery\n");
    Write(root.filePath(u"BAT0/capacity"_qs), "83\n");
    Write(root.filePath(u"AC/type"_qs), "Mains\n");
    Write(root.filePath(u"AC/online"_qs), "0\n");
    EXPECT_EQ(ReadBatteryStatus(root.path()), 83);
    Write(root.filePath(u"AC/online"_qs), "1\n");
    EXPECT_EQ(ReadBatteryStatus(root.path()), kBatteryOnMains);
}

TEST(BookProgress, OffsetsWithinTheBodyAndBackToPositions)
{
    // The description's paragraphs come before the body in the document's offsets; a long
    // annotation must not put the body's start part-way along the gauge.
    const auto loaded = test::LoadFb2(test::Fb2(
        "<description><title-info><book-title>T</book-title><annotation><p>"
        + QByteArray(400, 'x')
        + "</p></annotation></title-info></description><body>"
          "<section><title><p>One</p></title><p>abcdef</p></section>"
          "<section><title><p>Two</p></title><p>ghij</p></section></body>"));
    ASSERT_TRUE(loaded.ok);
    DocumentSource& document = *loaded.document;
    ASSERT_GT(document.ParagraphStart(0, 0), 0);
    const int64_t bodyStart = document.ParagraphStart(0, 0);
    auto store = test::MemoryStore();
    BookState state(*store, u"b.fb2"_qs);
    for (const ContentsEntry& entry : loaded.contents)
        state.AddSection({entry.paragraph, 0, entry.body}, entry.paragraphCount, entry.level,
            document.GetParagraph(0, entry.paragraph).text);
    ASSERT_EQ(state.Entries().size(), 2u);
    int ghij = 0;
    while (document.GetParagraph(0, ghij).text != u"ghij")
        ++ghij;
    state.AddBookmark({ghij, 1, 0}, u"mark"_qs);

    ProgressBarState atStart;
    FillBookProgress(atStart, document, state.Entries(), {0, 0, 0});
    EXPECT_EQ(atStart.position, 0);
    EXPECT_EQ(atStart.length, document.BodyEnd(0) - bodyStart);

    ProgressBarState progress;
    const ReadingPosition at {ghij, 2, 0};
    FillBookProgress(progress, document, state.Entries(), at);
    EXPECT_EQ(progress.position, document.ParagraphStart(0, ghij) + 2 - bodyStart);
    EXPECT_EQ(progress.length, atStart.length);
    EXPECT_EQ(progress.chapterTitle, u"Two");
    for (std::size_t i = 0; i < progress.sections.size(); ++i)
        EXPECT_EQ(progress.sections[i],
            document.ParagraphStart(0, loaded.contents[i].paragraph) - bodyStart);
    EXPECT_EQ(progress.bookmarks, std::vector<int64_t> {progress.position - 1});

    const ReadingPosition back = PositionAtOffset(document, 0, progress.position);
    EXPECT_EQ(back.paragraph, ghij);
    EXPECT_EQ(back.offset, 2);
    EXPECT_EQ(PositionAtOffset(document, 0, 1 << 30).paragraph, document.ParagraphCount(0));
    // Before the body: its first character (an empty paragraph there shares that offset).
    const ReadingPosition first = PositionAtOffset(document, 0, -5);
    EXPECT_EQ(document.ParagraphStart(0, first.paragraph) + first.offset, bodyStart);
}
