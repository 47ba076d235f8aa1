#pragma once
// A tree or list view that draws the shelf's grid lines, the extended grid below its rows too.
#include "gui/common/grid_delegate.h"

#include <QTreeView>

namespace lbv {

class CGridTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit CGridTreeView(QWidget* parent = nullptr);
    // With a delegate of the view's own kind (editors, say), which the view then owns.
    CGridTreeView(CGridDelegate* delegate, QWidget* parent);

    void SetGridLines(GridLines lines);
    GridLines Lines() const { return delegate_->Lines(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CGridDelegate* delegate_;
};

} // namespace lbv
