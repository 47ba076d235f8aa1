#include "gui/shelf/book_list_delegate.h"

#include "catalog/libravon_doc.h"
#include "gui/shelf/book_list_model.h"
#include "gui/shell/catalog_session.h"
#include "shelf/book_annotation.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QPainter>

#include <climits>

// Resources of a static library must be registered by name from outside any namespace.
static void InitBookListResource()
{
    Q_INIT_RESOURCE(book_list);
}

namespace lbv {
namespace {

enum Icon { IconFb2 = 0, IconZip = 1, IconTxt = 2, IconNotAtStandardPlace = 3 };
constexpr int kIconSize = 16;
constexpr int kIconStep = 20;
constexpr int kMargin = 4;
constexpr int kDetailsGap = 10;
constexpr int kMinimumBand = 20;
constexpr int kTextFlags = Qt::TextWordWrap | Qt::TextExpandTabs;

int TextHeight(const QFontMetrics& metrics, int width, const QString& text)
{
    if (text.isEmpty() || width <= 0)
        return 0;
    return metrics.boundingRect(QRect(0, 0, width, INT_MAX / 2), kTextFlags, text).height();
}

// The icons live in this static library's resources, which are registered on first use.
QPixmap BookListIcon(const char* name)
{
    static const bool registered = (InitBookListResource(), true);
    (void)registered;
    return QPixmap(QStringLiteral(":/book-list/") + QLatin1String(name));
}

} // namespace

CBookListDelegate::CBookListDelegate(
    QAbstractItemView& view, const BookListModel& model, CatalogSession& session)
    : CGridDelegate(&view)
    , view_(view)
    , model_(model)
    , session_(session)
    , icons_ {BookListIcon("fb2.xpm"), BookListIcon("zip.xpm"), BookListIcon("txt.xpm"),
          BookListIcon("not-standard-place.xpm")}
{
    const QPalette palette = view.palette();
    for (std::size_t i = 0; i < 4; ++i) {
        sizeColors_[i] = palette.color(QPalette::WindowText);
        sizeColors_[i + 4] = palette.color(QPalette::Base);
    }
    previewBackground_ = palette.color(QPalette::AlternateBase);
    previewText_ = palette.color(QPalette::WindowText);
}

void CBookListDelegate::SetPreviewColors(const QColor& background, const QColor& text)
{
    previewBackground_ = background;
    previewText_ = text;
}

CBookListDelegate::BandLayout CBookListDelegate::Layout(CBook& book, int row, int width) const
{
    const auto lock = session_.ReadLock();
    BandLayout layout;
    if (book.format == FormatFb2)
        layout.icons.push_back(&icons_[IconFb2]);
    else if (book.format == FormatTxt)
        layout.icons.push_back(&icons_[IconTxt]);
    if (book.compression == CompressionZip)
        layout.icons.push_back(&icons_[IconZip]);
    const CLibravonDoc* catalog = model_.Catalog();
    if (catalog && !book.IsAtStandardPlace(*catalog))
        layout.icons.push_back(&icons_[IconNotAtStandardPlace]);

    const QFontMetrics metrics(previewFont_);
    const int detailsLeft = kMargin + kIconStep * int(layout.icons.size()) + kDetailsGap;
    layout.detailsText = model_.index(row, model_.DetailsColumn()).data().toString();
    const int detailsWidth = width - detailsLeft - kDetailsGap;
    layout.details = QRect(detailsLeft, 2, std::max(detailsWidth, 0),
        TextHeight(metrics, detailsWidth, layout.detailsText));

    if (catalog && LoadAnnotation(book, *catalog, prefetchSize_))
        layout.annotationText = book.annotation.join(u'\n');
    // The annotation runs under the details line and, so as not to touch them, the icons.
    const int annotationTop
        = std::max(layout.details.bottom(), layout.icons.empty() ? 0 : 2 + kIconSize) + 1;
    const int annotationWidth = width - 2 * kMargin;
    layout.annotation = QRect(kMargin, annotationTop, std::max(annotationWidth, 0),
        TextHeight(metrics, annotationWidth, layout.annotationText));
    layout.height = std::max(layout.annotation.bottom() + 3, kMinimumBand);
    return layout;
}

int CBookListDelegate::BandHeight(int row) const
{
    const QItemSelectionModel* selection = view_.selectionModel();
    CBook* book = model_.BookAt(row);
    if (!book || !selection || !selection->isRowSelected(row, {}))
        return 0;
    return Layout(*book, row, view_.viewport()->width()).height;
}

void CBookListDelegate::PaintBand(
    QPainter* painter, const QRect& band, int row, bool listFocused) const
{
    CBook* book = model_.BookAt(row);
    if (!book)
        return;
    const BandLayout layout = Layout(*book, row, band.width());
    painter->save();
    painter->fillRect(band, previewBackground_);
    int x = band.left() + kMargin;
    for (const QPixmap* icon : layout.icons) {
        painter->drawPixmap(x, band.top() + 2, *icon);
        x += kIconStep;
    }
    painter->setFont(previewFont_);
    painter->setPen(listFocused ? view_.palette().color(QPalette::WindowText) : previewText_);
    painter->drawText(layout.details.translated(band.topLeft()), kTextFlags, layout.detailsText);
    painter->drawText(
        layout.annotation.translated(band.topLeft()), kTextFlags, layout.annotationText);
    painter->restore();
}

void CBookListDelegate::RowHeightChanged(int row)
{
    Q_EMIT sizeHintChanged(model_.index(row, 0));
}

void CBookListDelegate::initStyleOption(
    QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const int sizeClass = index.data(BookListModel::SizeClassRole).toInt();
    option->backgroundBrush = sizeColors_[std::size_t(sizeClass + 4)];
    option->palette.setColor(QPalette::Text, sizeColors_[std::size_t(sizeClass)]);
}

QSize CBookListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rheight() += BandHeight(index.row());
    return size;
}

} // namespace lbv
