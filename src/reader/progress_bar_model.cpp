#include "reader/progress_bar_model.h"

#include <QStringList>
#include <algorithm>

namespace lbv {
namespace {

constexpr int kPreviousSectionZone = 13;
constexpr int kNextSectionZone = 14;

QString PositionText(const ProgressBarState& state)
{
    const int64_t at = state.position / kProgressLengthUnit;
    if (!(state.items & kProgressLength))
        return QString::number(at);
    const int64_t units = (state.length + kProgressLengthUnit - 1) / kProgressLengthUnit;
    return QStringLiteral("%1/%2").arg(at).arg(units);
}

int TickX(const ProgressBarLayout& layout, int64_t position, int64_t length)
{
    const int64_t clamped = std::clamp<int64_t>(position, 0, length);
    return layout.gaugeLeft + int(layout.GaugeWidth() * clamped / length);
}

// Ticks of one kind only when there are few enough to tell apart.
std::vector<int> Ticks(
    const ProgressBarLayout& layout, const std::vector<int64_t>& positions, int64_t length)
{
    std::vector<int> ticks;
    if (length <= 0 || int64_t(positions.size()) >= layout.GaugeWidth() / 3)
        return ticks;
    for (int64_t position : positions)
        ticks.push_back(TickX(layout, position, length));
    return ticks;
}

// The text cut at the end with "…" until it fits; nothing fits in no room.
QString Elide(const QString& text, int room, const TextWidth& textWidth)
{
    if (textWidth(text) <= room)
        return text;
    for (qsizetype keep = text.size() - 1; keep > 0; --keep) {
        QString cut = text.left(keep);
        while (cut.endsWith(u' '))
            cut.chop(1);
        cut += u'…';
        if (textWidth(cut) <= room)
            return cut;
    }
    return {};
}

} // namespace

QStringList ProgressBarTexts(const ProgressBarState& state)
{
    QStringList texts;
    if ((state.items & kProgressBattery) && state.battery && *state.battery >= 0)
        texts << (*state.battery > 100 ? QStringLiteral("AC")
                                       : QStringLiteral("%1%").arg(*state.battery));
    if (state.items & kProgressTime)
        texts << QStringLiteral("%1:%2")
                     .arg(state.hour, 2, 10, QLatin1Char('0'))
                     .arg(state.minute, 2, 10, QLatin1Char('0'));
    if ((state.items & kProgressSpeed) && state.autoscrollSpeed)
        texts << QString::number(*state.autoscrollSpeed);
    if (state.items & kProgressPosition)
        texts << PositionText(state);
    return texts;
}

ProgressBarLayout LayOutProgressBar(
    const ProgressBarState& state, int width, int gap, const TextWidth& textWidth)
{
    ProgressBarLayout layout;
    layout.width = width;
    int right = width;
    for (const QString& text : ProgressBarTexts(state)) {
        right -= textWidth(text);
        layout.texts.push_back({text, right});
        right -= gap;
    }
    layout.textsLeft = layout.texts.empty() ? width : layout.texts.back().x;
    const int room = layout.texts.empty() ? width : std::max(layout.textsLeft - gap, 0);
    if (state.items & kProgressChapter) {
        layout.chapterTitle = Elide(state.chapterTitle, room, textWidth);
        return layout;
    }
    layout.gauge = true;
    layout.gaugeRight = std::max(layout.textsLeft - kProgressGaugeInset, layout.gaugeLeft);
    if (state.length > 0)
        layout.gaugeFilled = TickX(layout, state.position, state.length) - layout.gaugeLeft;
    layout.sectionTicks = Ticks(layout, state.sections, state.length);
    layout.bookmarkTicks = Ticks(layout, state.bookmarks, state.length);
    return layout;
}

ProgressBarTap TapProgressBar(const ProgressBarLayout& layout, int x, int64_t bodyLength)
{
    if (x < kPreviousSectionZone)
        return {ProgressBarTap::Action::PreviousSection};
    if (x >= layout.width - kNextSectionZone)
        return {ProgressBarTap::Action::NextSection};
    const int left = kProgressGaugeInset;
    const int right = layout.gauge ? layout.gaugeRight : layout.width - kProgressGaugeInset;
    if (right <= left || bodyLength <= 0)
        return {};
    const int along = std::clamp(x, left, right) - left;
    return {ProgressBarTap::Action::Jump, bodyLength * along / (right - left)};
}

} // namespace lbv
