#pragma once
// Colours as the settings store keeps them: 32-bit values laid out as 0x00BBGGRR, stored as
// integers. The GUI converts them to QColor.
#include <QtGlobal>

namespace lbv {

using ColorRef = quint32;

constexpr ColorRef RgbColor(quint8 red, quint8 green, quint8 blue)
{
    return ColorRef(red) | ColorRef(green) << 8 | ColorRef(blue) << 16;
}
constexpr quint8 RedOf(ColorRef color)
{
    return quint8(color);
}
constexpr quint8 GreenOf(ColorRef color)
{
    return quint8(color >> 8);
}
constexpr quint8 BlueOf(ColorRef color)
{
    return quint8(color >> 16);
}

} // namespace lbv
