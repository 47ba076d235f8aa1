#include "gui/reader/text_popup.h"

#include "gui/common/font_color.h"
#include "gui/reader/page_painter.h"
#include "reader/popup_layout.h"

#include <QKeyEvent>
#include <QPainter>

namespace lbv {

struct TextPopup::Content {
    Page page;
    PageGeometry geometry;
    FontBase base;
    ReaderColors colors;
};

TextPopup::TextPopup(QtTextMeasurer& measurer, QWidget* owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint)
    , measurer_(measurer)
    , content_(std::make_unique<Content>())
{
    setObjectName(QStringLiteral("textPopup"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TextPopup::~TextPopup() = default;

void TextPopup::ShowText(const QString& text, const PopupLayout& layout, const QRect& globalRect,
    const FontBase& base, const ReaderColors& colors)
{
    text_ = text;
    Content& content = *content_;
    content.base = base;
    content.colors = colors;
    content.page = Page {};
    content.page.lines = layout.lines;
    // The painter places lines inside a column's margin; the padding is the popup's margin and
    // its top as well.
    for (LayoutLine& line : content.page.lines)
        line.y += kPopupPadding;
    PageGeometry& geometry = content.geometry;
    geometry = PageGeometry {};
    geometry.columnWidth = layout.box.width;
    geometry.margin = kPopupPadding;
    geometry.textWidth = std::max(layout.box.width - 2 * kPopupPadding, 1);
    geometry.pageHeight = layout.box.height;
    geometry.rotation = base.rotation;
    setGeometry(globalRect);
    show();
    update();
}

void TextPopup::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const Content& content = *content_;
    painter.fillRect(rect(), ToQColor(ColorRef(content.colors[ReaderColor::Background])));
    const PageTransform transform(width(), height(), content.base.rotation);
    PaintPage(painter,
        PagePaint {content.page, content.geometry, transform, content.base, content.colors},
        measurer_);
    painter.setPen(ToQColor(ColorRef(content.colors[ReaderColor::Text])));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TextPopup::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    close();
}

void TextPopup::mousePressEvent(QMouseEvent* event)
{
    // A click outside a popup window closes it by itself; a click inside closes it as well.
    QWidget::mousePressEvent(event);
    close();
}

} // namespace lbv
