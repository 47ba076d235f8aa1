#include "reader/style_choices.h"

#include "text/messages.h"

#include <algorithm>

namespace lbv {
namespace {

constexpr int kMinSizeStep = -5;
constexpr int kMaxSizeStep = 10;
constexpr int kHighlightSlots = 7;

QList<StyleChoice> SizeChoices()
{
    QList<StyleChoice> choices;
    for (int step = kMinSizeStep; step <= kMaxSizeStep; ++step)
        choices.append({QString::asprintf("%+d", step), step});
    return choices;
}

QList<StyleChoice> ColourChoices()
{
    QList<StyleChoice> choices {{MessageText(Msg::StyleColorNormal), 0}};
    for (int slot = 1; slot <= kHighlightSlots; ++slot)
        choices.append({MessageText(Msg::StyleColorHighlight).arg(slot), slot});
    return choices;
}

QList<StyleChoice> WithInherit(QList<StyleChoice> choices)
{
    choices.append({MessageText(Msg::StyleInherit), kInherit});
    return choices;
}

} // namespace

const QList<StyleChoice>& StyleChoices(StyleField field)
{
    static const QList<StyleChoice> sizes = WithInherit(SizeChoices());
    static const QList<StyleChoice> colours = WithInherit(ColourChoices());
    static const QList<StyleChoice> aligns
        = WithInherit({{MessageText(Msg::AlignDefault), 0}, {MessageText(Msg::AlignRight), 1},
            {MessageText(Msg::AlignCenter), 2}, {MessageText(Msg::AlignJustified), 4}});
    static const QList<StyleChoice> switches
        = WithInherit({{MessageText(Msg::SwitchOff), 0}, {MessageText(Msg::SwitchOn), 1}});
    switch (field) {
    case StyleField::Size:
        return sizes;
    case StyleField::Colour:
        return colours;
    case StyleField::Align:
        return aligns;
    default:
        return switches;
    }
}

int StyleChoiceIndex(StyleField field, int value)
{
    if (field == StyleField::Size && value != kInherit)
        value = std::clamp(value, kMinSizeStep, kMaxSizeStep);
    const QList<StyleChoice>& choices = StyleChoices(field);
    for (int i = 0; i < choices.size(); ++i)
        if (choices[i].value == value)
            return i;
    return int(choices.size()) - 1;
}

int StyleFieldValue(const ElementStyle& style, StyleField field)
{
    switch (field) {
    case StyleField::Size:
        return style.size;
    case StyleField::Colour:
        return style.colour;
    case StyleField::Align:
        return style.align;
    case StyleField::Bold:
        return style.bold;
    case StyleField::Italic:
        return style.italic;
    case StyleField::Underline:
        return style.underline;
    }
    return kInherit;
}

void SetStyleField(ElementStyle& style, StyleField field, int value)
{
    switch (field) {
    case StyleField::Size:
        style.size = int8_t(value);
        break;
    case StyleField::Colour:
        style.colour = uint8_t(value);
        break;
    case StyleField::Align:
        style.align = uint8_t(value);
        break;
    case StyleField::Bold:
        style.bold = uint8_t(value);
        break;
    case StyleField::Italic:
        style.italic = uint8_t(value);
        break;
    case StyleField::Underline:
        style.underline = uint8_t(value);
        break;
    }
}

int IndentFromEntry(int entered)
{
    return entered == 0 ? kInherit : std::clamp(entered, -100, 100);
}

int IndentForEntry(int stored)
{
    return stored == kInherit ? 0 : stored;
}

std::vector<int> EditableStyleRows(const ElementStyleTable& table)
{
    std::vector<int> rows;
    for (int i = 1; i < table.RowCount(); ++i) {
        const ElementStyle& row = table.Row(i);
        // Rows named with "*" are never stored, so edits to them would vanish.
        if ((row.behaviour & kBehaviourStyle) && !row.name.isEmpty() && !row.name.startsWith(u'*'))
            rows.push_back(i);
    }
    return rows;
}

} // namespace lbv
