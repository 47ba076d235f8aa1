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

// The three int settings of section "BooksView" named `prefix` + "ShowHGrid", "ShowVGrid" and
// "ShowHGridEx", each non-zero for on.
GridLines ReadGridLines(SettingsStore& store, const QString& prefix, GridLines defaults);

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
