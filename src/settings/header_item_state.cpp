#include "settings/header_item_state.h"

#include <QRegularExpression>

namespace lbv {

std::optional<HeaderItemState> ParseHeaderItemState(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(\d{1,9})\s+(\d{1,9})\s+([0-9A-Fa-f]{1,8})\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    HeaderItemState state;
    state.width = match.captured(1).toInt();
    state.order = match.captured(2).toInt();
    state.format = match.captured(3).toUInt(nullptr, 16);
    return state;
}

QString FormatHeaderItemState(const HeaderItemState& state)
{
    return QStringLiteral("%1 %2 %3")
        .arg(state.width)
        .arg(state.order)
        .arg(state.format, 8, 16, QLatin1Char('0'));
}

HeaderLayout ResolveHeaderLayout(const QStringList& stored, int columnCount)
{
    HeaderLayout layout;
    layout.widths.resize(std::size_t(columnCount));
    layout.formats.resize(std::size_t(columnCount));
    std::vector<int> orders;
    std::vector<bool> taken(std::size_t(columnCount), false);
    bool ordersValid = true;
    for (int column = 0; column < columnCount; ++column) {
        const std::optional<HeaderItemState> state = ParseHeaderItemState(stored.value(column));
        if (!state) {
            ordersValid = false;
            continue;
        }
        if (state->width > 0 && state->width <= HeaderItemState::kMaxWidth)
            layout.widths[std::size_t(column)] = state->width;
        layout.formats[std::size_t(column)] = state->format & ~HeaderItemState::kSortArrowFlags;
        if (state->order >= columnCount || taken[std::size_t(state->order)]) {
            ordersValid = false;
            continue;
        }
        taken[std::size_t(state->order)] = true;
        orders.push_back(state->order);
    }
    if (ordersValid && columnCount > 0)
        layout.orders = std::move(orders);
    return layout;
}

} // namespace lbv
