#pragma once
// The main window's stored placement: the 44-byte record kept in section "MainWindow", value
// "FrameWndPlacement" (length, flags, show state, minimized and maximized positions, and the
// normal rectangle as left, top, right, bottom; 32-bit little-endian fields).
#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QRect>

#include <optional>

class QWidget;

namespace lbv {

struct WindowPlacement {
    enum ShowState : quint32 { ShowNormal = 1, ShowMinimized = 2, ShowMaximized = 3 };

    quint32 flags = 0;
    quint32 showState = ShowNormal;
    QPoint minimizedPosition {-1, -1};
    QPoint maximizedPosition {-1, -1};
    QRect normal; // the window's rectangle when neither minimized nor maximized
};

QByteArray EncodePlacement(const WindowPlacement& placement);
// Null unless `bytes` is a record of exactly 44 bytes whose length field says so.
std::optional<WindowPlacement> DecodePlacement(const QByteArray& bytes);

// A placement is worth restoring only when its normal rectangle lies at least partly on one of
// the screens, so a window is never restored out of sight.
bool IsOnScreen(const WindowPlacement& placement, const QList<QRect>& screens);

WindowPlacement CapturePlacement(const QWidget& window);
// Applies the rectangle and shows the window in its stored state. A window closed while
// minimized comes back as a normal window, so that it never starts out of sight.
void ShowWithPlacement(QWidget& window, const WindowPlacement& placement);

} // namespace lbv
