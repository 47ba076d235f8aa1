#pragma once
// Saving the screenshot tour's pictures, each reported on standard output.
#include <QString>

class QWidget;

namespace lbv {

// The widget as it paints itself.
void SaveShot(QWidget& widget, const QString& path);
// The screen over the window, with the pop-ups and boxes open on it.
void SaveScreenShot(QWidget& window, const QString& path);

} // namespace lbv
