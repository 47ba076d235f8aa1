#pragma once
// The grid lines of the shelf's lists and trees: horizontal lines under rows, vertical lines
// between columns, and the "extended" horizontal grid that continues the row lines through the
// empty space below the last row. Each list's three settings choose them.
#include <QStyledItemDelegate>

class QAbstractItemView;

namespace lbv {

class SettingsStore;

struct GridLines {
    bool horizontal = false;
    bool vertical = false;
    bool extended = false;
    bool operator==(const GridLines&) const = default;
};

// A view's horizontal, vertical and extended grid options, named together by the announcement
// they share ("AuthorTree_Grid", "BooksView_Grid", "LogView_Grid"); unset ones take their defaults.
GridLines ReadGridLines(SettingsStore& store, QStringView announcement);

class CGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CGridDelegate(QObject* parent = nullptr)
        : QStyledItemDelegate(parent)
    {
    }

    void SetGridLines(GridLines lines) { lines_ = lines; }
    GridLines Lines() const { return lines_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    // The extended grid in the viewport area below the last row, with rows of `rowHeight`;
    // the view calls it after painting its rows.
    void PaintBelowRows(
        QPainter& painter, const QAbstractItemView& view, int lastRowBottom, int rowHeight) const;

protected:
    void PaintGrid(QPainter* painter, const QStyleOptionViewItem& option) const;

private:
    GridLines lines_;
};

} // namespace lbv
