#include "gui/common/grid_delegate.h"

#include "settings/settings_store.h"
#include "settings/shelf_view_settings.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QPainter>
#include <QTreeView>

namespace lbv {

namespace {

QColor GridColor(const QPalette& palette)
{
    return palette.color(QPalette::Mid);
}

} // namespace

GridLines ReadGridLines(SettingsStore& store, QStringView announcement)
{
    // The table lists each view's three options in this order.
    GridLines lines;
    bool* const targets[] = {&lines.horizontal, &lines.vertical, &lines.extended};
    int next = 0;
    for (const ShelfViewSetting& setting : ShelfViewSettings())
        if (setting.announcement == announcement && next < 3)
            *targets[next++] = ReadShelfViewSetting(store, setting.section, setting.key);
    return lines;
}

void CGridDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    PaintGrid(painter, option);
}

void CGridDelegate::PaintGrid(QPainter* painter, const QStyleOptionViewItem& option) const
{
    if (!lines_.horizontal && !lines_.vertical)
        return;
    painter->save();
    painter->setPen(GridColor(option.palette));
    const QRect& cell = option.rect;
    if (lines_.horizontal)
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    if (lines_.vertical)
        painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->restore();
}

void CGridDelegate::PaintBelowRows(
    QPainter& painter, const QAbstractItemView& view, int lastRowBottom, int rowHeight) const
{
    if (!lines_.extended || rowHeight <= 0)
        return;
    const QRect area = view.viewport()->rect();
    painter.save();
    painter.setPen(GridColor(view.palette()));
    for (int y = lastRowBottom + rowHeight; y <= area.bottom(); y += rowHeight)
        painter.drawLine(area.left(), y, area.right(), y);
    if (lines_.vertical)
        if (const auto* tree = qobject_cast<const QTreeView*>(&view))
            for (int section = 0; section < tree->header()->count(); ++section) {
                const int x = tree->header()->sectionViewportPosition(section)
                    + tree->header()->sectionSize(section) - 1;
                painter.drawLine(x, lastRowBottom, x, area.bottom());
            }
    painter.restore();
}

} // namespace lbv
