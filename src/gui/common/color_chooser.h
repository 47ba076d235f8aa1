#pragma once
// Asking the user for a colour, behind a function type so tests can answer instead.
#include <QColor>
#include <functional>
#include <optional>

class QWidget;

namespace lbv {

// Asks for a colour starting from the given one; null when cancelled.
using ColorChooser = std::function<std::optional<QColor>(QWidget*, const QColor&)>;

// The desktop's colour dialog.
std::optional<QColor> AskColor(QWidget* parent, const QColor& initial);

} // namespace lbv
