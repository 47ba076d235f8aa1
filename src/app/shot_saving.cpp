#include "app/shot_saving.h"

#include <QPixmap>
#include <QScreen>
#include <QTextStream>
#include <QWidget>

namespace lbv {
namespace {

void Report(bool saved, const QString& path)
{
    QTextStream(stdout) << (saved ? "saved " : "could not save ") << path << Qt::endl;
}

} // namespace

void SaveShot(QWidget& widget, const QString& path)
{
    Report(widget.grab().save(path), path);
}

void SaveScreenShot(QWidget& window, const QString& path)
{
    const QRect area = window.geometry();
    Report(window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).save(path),
        path);
}

} // namespace lbv
