#include "gui/common/grid_tree_view.h"

#include <QPainter>

namespace lbv {

CGridTreeView::CGridTreeView(QWidget* parent)
    : CGridTreeView(new CGridDelegate, parent)
{
}

CGridTreeView::CGridTreeView(CGridDelegate* delegate, QWidget* parent)
    : QTreeView(parent)
    , delegate_(delegate)
{
    delegate_->setParent(this);
    setItemDelegate(delegate_);
}

void CGridTreeView::SetGridLines(GridLines lines)
{
    delegate_->SetGridLines(lines);
    viewport()->update();
}

void CGridTreeView::paintEvent(QPaintEvent* event)
{
    QTreeView::paintEvent(event);
    if (!delegate_->Lines().extended || !model())
        return;
    // The last visible row's bottom; with no rows the lines start at the top.
    int lastBottom = -1;
    int rowHeight = fontMetrics().height() + 4;
    QModelIndex last = model()->index(model()->rowCount() - 1, 0);
    while (last.isValid() && isExpanded(last) && model()->rowCount(last) > 0)
        last = model()->index(model()->rowCount(last) - 1, 0, last);
    if (last.isValid()) {
        const QRect rect = visualRect(last);
        lastBottom = rect.bottom();
        rowHeight = rect.height();
    }
    QPainter painter(viewport());
    delegate_->PaintBelowRows(painter, *this, lastBottom, rowHeight);
}

} // namespace lbv
