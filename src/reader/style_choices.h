#pragma once
// The choices the Styles dialog offers for an element style's fields, and how stored values are
// shown in them, so the dialog only wires widgets.
#include "reader/element_styles.h"

#include <QList>
#include <QString>
#include <vector>

namespace lbv {

enum class StyleField { Size, Colour, Align, Bold, Italic, Underline };

struct StyleChoice {
    QString text;
    int value;
};

// In the order offered, "Inherit" (kInherit) last.
const QList<StyleChoice>& StyleChoices(StyleField field);
// The choice that shows a stored value: sizes outside the offered steps show clamped, values
// with no choice of their own show as "Inherit".
int StyleChoiceIndex(StyleField field, int value);
int StyleFieldValue(const ElementStyle& style, StyleField field);
void SetStyleField(ElementStyle& style, StyleField field, int value);

// Indents are entered in -100..100, where 0 stands for inherit.
int IndentFromEntry(int entered);
int IndentForEntry(int stored);

// The rows the user may restyle: those pushing a style, with a name they are stored under.
std::vector<int> EditableStyleRows(const ElementStyleTable& table);

} // namespace lbv
