#pragma once
// The progress bar under the reader's page: which texts it shows from the right (battery, time,
// autoscroll speed, position), and on the left either the chapter title or a gauge of the
// position within the body with ticks for sections and bookmarks; and what a tap on it does.
// Coordinates run along the bar from its left end, whatever the rotation.
#include "reader/book_state.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace lbv {

// The ProgressBar setting's bits.
enum ProgressBarItem : int {
    kProgressPosition = 1,
    kProgressTime = 2,
    kProgressSpeed = 4,
    kProgressBattery = 8,
    kProgressLength = 16,
    kProgressChapter = 32,
};

inline constexpr int kProgressBarTapHeight = 10; // the bottom rows that count as the bar
inline constexpr int kProgressGaugeInset = 14;
inline constexpr int kProgressLengthUnit = 2048; // characters per unit of the document length

struct ProgressBarState {
    int items = 5; // ProgressBar bits
    std::optional<int> battery; // percent; above 100 on mains power
    int hour = 0;
    int minute = 0;
    std::optional<int> autoscrollSpeed; // while autoscrolling
    int64_t position = 0; // characters from the body's start
    int64_t length = 0; // characters of the body
    QString chapterTitle;
    std::vector<int64_t> sections; // positions within the body
    std::vector<int64_t> bookmarks;
};

struct ProgressBarText {
    QString text;
    int x = 0; // left edge
};

struct ProgressBarLayout {
    int width = 0;
    std::vector<ProgressBarText> texts; // right to left
    int textsLeft = 0; // where the right-hand texts begin (the width without any)
    QString chapterTitle; // cut with "…" to fit; empty when the gauge shows
    bool gauge = false;
    int gaugeLeft = kProgressGaugeInset;
    int gaugeRight = 0; // exclusive
    int gaugeFilled = 0; // pixels from gaugeLeft
    std::vector<int> sectionTicks; // x positions
    std::vector<int> bookmarkTicks;

    int GaugeWidth() const { return std::max(gaugeRight - gaugeLeft, 0); }
};

// The bar's texts in the order they are placed from the right (each item only when its bit is
// set; the speed only while autoscrolling).
QStringList ProgressBarTexts(const ProgressBarState& state);

// textWidth: the pixel width of a text in the bar's font.
using TextWidth = std::function<int(const QString&)>;
ProgressBarLayout LayOutProgressBar(
    const ProgressBarState& state, int width, int gap, const TextWidth& textWidth);

struct ProgressBarTap {
    enum class Action { None, PreviousSection, NextSection, Jump };
    Action action = Action::None;
    int64_t position = 0; // for Jump: characters from the body's start
};
// Near the left end previous section, near the right end next section, elsewhere the body's
// position at the tap's fraction of the gauge (of the bar inside its insets when the chapter
// title shows), the tap's x kept within that span. A bar too narrow for a span only steps.
ProgressBarTap TapProgressBar(const ProgressBarLayout& layout, int x, int64_t bodyLength);

} // namespace lbv
