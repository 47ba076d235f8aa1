#include "gui/reader/page_painter.h"

#include "gui/common/font_color.h"
#include "reader/line_runs.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <algorithm>

namespace lbv {

namespace {

const QString kProgressBarFace = QStringLiteral("Tahoma");
constexpr int kProgressBarFontPixels = 9;
constexpr int kProgressBarGap = 4;

QFont ProgressBarFont()
{
    QFont font(kProgressBarFace);
    font.setPixelSize(kProgressBarFontPixels);
    return font;
}

QColor Color(uint32_t value)
{
    return ToQColor(ColorRef(value));
}

QColor Color(const ReaderColors& colors, ReaderColor slot)
{
    return Color(colors[slot]);
}

// The painter transform that puts page pixels where PageTransform puts them.
QTransform PageToClient(const PageTransform& transform)
{
    const PagePoint origin = transform.ToClient(0, 0);
    const PagePoint alongX = transform.ToClient(1, 0);
    const PagePoint alongY = transform.ToClient(0, 1);
    return QTransform(alongX.x - origin.x, alongX.y - origin.y, alongY.x - origin.x,
        alongY.y - origin.y, origin.x, origin.y);
}

QImage ImageOf(const DecodedImage& image)
{
    return QImage(reinterpret_cast<const uchar*>(image.rgb.constData()), image.width,
        image.height, image.width * 3, QImage::Format_RGB888);
}

// The picture's own (unturned) size: at 900 and 2700 the decoded pixels lie across.
QSize UnturnedSize(const DecodedImage& image, int rotation)
{
    return rotation == 900 || rotation == 2700 ? QSize(image.height, image.width)
                                               : QSize(image.width, image.height);
}

// Rows [top, top + height) of the unturned picture onto the page rectangle at (x, y), in client
// pixels: the same turn maps the picture's part and the page's rectangle.
void PaintPicture(QPainter& painter, const PageTransform& page, const DecodedImage& image,
    int x, int y, int top, int height)
{
    if (image.width <= 0 || image.height <= 0 || height <= 0)
        return;
    const QSize size = UnturnedSize(image, page.Rotation());
    const PageTransform within(image.width, image.height, page.Rotation());
    const QRect source = ClientRect(within, 0, top, size.width(), height);
    const QRect target = ClientRect(page, x, y, size.width(), height);
    painter.drawImage(target, ImageOf(image), source);
}

void PaintRun(QPainter& painter, const LayoutLine& line, const LineRun& run, int left,
    uint32_t pageBackground, QtTextMeasurer& measurer)
{
    const auto count = std::size_t(run.count);
    std::vector<int> xs(count);
    int width = 0;
    for (std::size_t i = 0; i < count; ++i) {
        xs[i] = width;
        width += line.advances[std::size_t(run.from) + i];
    }
    const int x = left + run.x;
    // The page is already filled with the background: only highlighted runs need their own.
    if (run.backgroundColor != pageBackground)
        painter.fillRect(QRect(x, line.y, width, line.height), Color(run.backgroundColor));
    painter.setPen(Color(run.textColor));
    const int baseline = line.y + line.ascent;
    const QStringView text = QStringView(line.text).mid(run.from, run.count);

    // Every character at its laid-out place (justification included), as glyphs; characters
    // the font lacks go through Qt's text drawing, which finds a font that has them.
    std::vector<quint32> glyphs(count);
    const QRawFont& raw = measurer.GlyphsFor(run.font, text, glyphs.data());
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(qsizetype(count));
    positions.reserve(qsizetype(count));
    std::vector<std::size_t> missing;
    for (std::size_t i = 0; i < count; ++i) {
        // Blanks leave no ink; skipping them spares the glyph cache a look-up each.
        if (text[qsizetype(i)] == QLatin1Char(' '))
            continue;
        if (glyphs[i] != 0) {
            indexes.append(glyphs[i]);
            positions.append(QPointF(x + xs[i], baseline));
        } else if (!text[qsizetype(i)].isSpace() && !text[qsizetype(i)].isLowSurrogate()) {
            missing.push_back(i);
        }
    }
    if (!indexes.isEmpty()) {
        QGlyphRun glyphRun;
        glyphRun.setRawFont(raw);
        glyphRun.setGlyphIndexes(indexes);
        glyphRun.setPositions(positions);
        painter.drawGlyphRun(QPointF(0, 0), glyphRun);
    }
    if (run.font.flags & FontKey::Underline) {
        // Glyph runs place their own underline badly under a turned painter: drawn by hand.
        const QFontMetrics metrics(measurer.FontFor(run.font));
        painter.fillRect(QRect(x, baseline + metrics.underlinePos(), width,
                             std::max(metrics.lineWidth(), 1)),
            painter.pen().color());
    }
    if (!missing.empty()) {
        painter.setFont(measurer.FontFor(run.font));
        for (std::size_t i : missing) {
            const qsizetype length = text[qsizetype(i)].isHighSurrogate() ? 2 : 1;
            painter.drawText(QPoint(x + xs[i], baseline), text.mid(qsizetype(i), length).toString());
        }
    }
}

} // namespace

QRect ClientRect(const PageTransform& transform, int x, int y, int width, int height)
{
    const PagePoint a = transform.ToClient(x, y);
    const PagePoint b = transform.ToClient(x + width - 1, y + height - 1);
    return QRect(QPoint(std::min(a.x, b.x), std::min(a.y, b.y)),
        QPoint(std::max(a.x, b.x), std::max(a.y, b.y)));
}

void PaintPage(QPainter& painter, const PagePaint& paint, QtTextMeasurer& measurer)
{
    const PageGeometry& geometry = paint.geometry;
    painter.save();
    const QTransform turn = PageToClient(paint.transform);
    for (const LayoutLine& line : paint.page.lines) {
        const int left = line.column * geometry.columnWidth + geometry.margin + line.x;
        if (line.image) {
            painter.resetTransform();
            PaintPicture(painter, paint.transform, *line.image, left, line.y, line.bandTop,
                line.height);
            continue;
        }
        for (const LineRun& run : LineRuns(line, measurer, paint.base, paint.colors)) {
            if (run.image) {
                painter.resetTransform();
                const DecodedImage& image = *run.image->image;
                PaintPicture(painter, paint.transform, image, left + run.x, line.y + run.top, 0,
                    UnturnedSize(image, paint.transform.Rotation()).height());
                continue;
            }
            painter.setTransform(turn);
            PaintRun(painter, line, run, left, paint.colors[ReaderColor::Background], measurer);
        }
    }
    if (paint.markY >= 0) {
        painter.setTransform(turn);
        painter.fillRect(QRect(0, paint.markY, geometry.columnWidth * geometry.columns, 1),
            Color(paint.colors, ReaderColor::AutoscrollUnderline));
    }
    painter.restore();
}

ProgressBarLayout LayOutProgressBarFor(const ProgressBarState& state, int width)
{
    const QFontMetrics metrics(ProgressBarFont());
    return LayOutProgressBar(state, width, kProgressBarGap,
        [&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
}

void PaintProgressBar(QPainter& painter, const PageTransform& transform, int height,
    const ProgressBarState& state, const ReaderColors& colors)
{
    const QFont font = ProgressBarFont();
    const QFontMetrics metrics(font);
    const int top = transform.PageHeight() - height;
    const ProgressBarLayout layout = LayOutProgressBarFor(state, transform.PageWidth());

    painter.save();
    painter.setTransform(PageToClient(transform));
    painter.setFont(font);
    painter.setPen(Color(colors, ReaderColor::Text));
    const int baseline = top + (height + metrics.ascent() - metrics.descent()) / 2;
    for (const ProgressBarText& text : layout.texts)
        painter.drawText(QPoint(text.x, baseline), text.text);
    if (!layout.chapterTitle.isEmpty()) {
        painter.drawText(QPoint(kProgressGaugeInset, baseline), layout.chapterTitle);
    } else if (layout.gauge && layout.GaugeWidth() > 0) {
        const int middle = top + height / 2;
        const QColor gauge = Color(colors, ReaderColor::Gauge);
        painter.fillRect(QRect(layout.gaugeLeft, middle, layout.GaugeWidth(), 1), gauge);
        painter.fillRect(QRect(layout.gaugeLeft, middle - 1, layout.gaugeFilled, 3), gauge);
        auto ticks = [&](const std::vector<int>& xs, ReaderColor slot) {
            for (int x : xs)
                painter.fillRect(QRect(x, middle - 3, 1, 7), Color(colors, slot));
        };
        ticks(layout.sectionTicks, ReaderColor::SectionTick);
        ticks(layout.bookmarkTicks, ReaderColor::BookmarkTick);
    }
    painter.restore();
}

} // namespace lbv
