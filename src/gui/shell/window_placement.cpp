#include "gui/shell/window_placement.h"

#include <QWidget>
#include <QtEndian>

namespace lbv {

namespace {

constexpr int kRecordSize = 44;

void Put(QByteArray& bytes, qint32 value)
{
    char field[4];
    qToLittleEndian(value, field);
    bytes.append(field, 4);
}

qint32 Get(const QByteArray& bytes, int index)
{
    return qFromLittleEndian<qint32>(bytes.constData() + 4 * index);
}

} // namespace

QByteArray EncodePlacement(const WindowPlacement& placement)
{
    QByteArray bytes;
    bytes.reserve(kRecordSize);
    Put(bytes, kRecordSize);
    Put(bytes, qint32(placement.flags));
    Put(bytes, qint32(placement.showState));
    Put(bytes, placement.minimizedPosition.x());
    Put(bytes, placement.minimizedPosition.y());
    Put(bytes, placement.maximizedPosition.x());
    Put(bytes, placement.maximizedPosition.y());
    // The stored rectangle is exclusive of its right and bottom edges.
    Put(bytes, placement.normal.left());
    Put(bytes, placement.normal.top());
    Put(bytes, placement.normal.left() + placement.normal.width());
    Put(bytes, placement.normal.top() + placement.normal.height());
    return bytes;
}

std::optional<WindowPlacement> DecodePlacement(const QByteArray& bytes)
{
    if (bytes.size() != kRecordSize || Get(bytes, 0) != kRecordSize)
        return std::nullopt;
    WindowPlacement placement;
    placement.flags = quint32(Get(bytes, 1));
    placement.showState = quint32(Get(bytes, 2));
    placement.minimizedPosition = QPoint(Get(bytes, 3), Get(bytes, 4));
    placement.maximizedPosition = QPoint(Get(bytes, 5), Get(bytes, 6));
    const QPoint topLeft(Get(bytes, 7), Get(bytes, 8));
    placement.normal = QRect(topLeft, QSize(Get(bytes, 9) - topLeft.x(), Get(bytes, 10) - topLeft.y()));
    return placement;
}

bool IsOnScreen(const WindowPlacement& placement, const QList<QRect>& screens)
{
    if (!placement.normal.isValid())
        return false;
    for (const QRect& screen : screens)
        if (screen.intersects(placement.normal))
            return true;
    return false;
}

WindowPlacement CapturePlacement(const QWidget& window)
{
    WindowPlacement placement;
    if (window.isMaximized())
        placement.showState = WindowPlacement::ShowMaximized;
    else if (window.isMinimized())
        placement.showState = WindowPlacement::ShowMinimized;
    placement.normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    return placement;
}

void ShowWithPlacement(QWidget& window, const WindowPlacement& placement)
{
    window.setGeometry(placement.normal);
    if (placement.showState == WindowPlacement::ShowMaximized)
        window.showMaximized();
    else
        window.show();
}

} // namespace lbv
