#pragma once
// Paints the book list: each row in the colours of its book's size class, and below a selected
// row the preview band (format icons, the details line and the word-wrapped annotation), which
// makes selected rows taller.
#include "gui/common/grid_delegate.h"

#include <QColor>
#include <QFont>
#include <QPixmap>

#include <array>

class QAbstractItemView;

namespace lbv {

class BookListModel;
class CBook;
class CatalogSession;

// The eight colours of the size classes: foregrounds 0..3, backgrounds 4..7.
using SizeClassColors = std::array<QColor, 8>;

class CBookListDelegate final : public CGridDelegate {
    Q_OBJECT
public:
    // `view` shows `model`; the band spans the view's width and follows its selection.
    // Records are read under the session's lock.
    CBookListDelegate(QAbstractItemView& view, const BookListModel& model, CatalogSession& session);

    void SetSizeClassColors(const SizeClassColors& colors) { sizeColors_ = colors; }
    void SetPreviewColors(const QColor& background, const QColor& text);
    void SetPreviewFont(const QFont& font) { previewFont_ = font; }
    // How much of a book file annotation loading reads.
    void SetPrefetchSize(int bytes) { prefetchSize_ = bytes; }
    const QFont& PreviewFont() const { return previewFont_; }

    // The preview band under the row: 0 for a row that is not selected.
    int BandHeight(int row) const;
    void PaintBand(QPainter* painter, const QRect& band, int row, bool listFocused) const;
    // The selection changed: selected rows grow or shrink.
    void RowHeightChanged(int row);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    struct BandLayout {
        std::vector<const QPixmap*> icons;
        QRect details; // relative to the band's top left
        QRect annotation;
        QString detailsText;
        QString annotationText;
        int height = 0;
    };
    BandLayout Layout(CBook& book, int row, int width) const;

    QAbstractItemView& view_;
    const BookListModel& model_;
    CatalogSession& session_;
    SizeClassColors sizeColors_;
    QColor previewBackground_;
    QColor previewText_;
    QFont previewFont_;
    int prefetchSize_ = 4096;
    std::array<QPixmap, 4> icons_;
};

} // namespace lbv
