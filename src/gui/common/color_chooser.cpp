#include "gui/common/color_chooser.h"

#include <QColorDialog>

namespace lbv {

std::optional<QColor> AskColor(QWidget* parent, const QColor& initial)
{
    const QColor color = QColorDialog::getColor(initial, parent);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

} // namespace lbv
