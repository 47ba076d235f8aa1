#pragma once
// Stored fonts and colours (FontRecord, ColorRef) as Qt's QFont and QColor, and back.
#include "settings/color_ref.h"
#include "settings/font_record.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <cstddef>

namespace lbv {

class SettingsStore;

QColor ToQColor(ColorRef color);
ColorRef ToColorRef(const QColor& color);

// Height below zero is the character height in pixels, above zero the cell height (taken as the
// pixel size too), zero the default size; weight 0 is normal; quality 4 or 5 prefers
// antialiasing, 3 turns it off.
QFont ToQFont(const FontRecord& record);
// The record of `font` in pixels: a point-sized font is converted at `dpi`.
FontRecord ToFontRecord(const QFont& font, int dpi);

// A font setting of section "Settings" (default size `points`) as a QFont for this screen.
QFont ReadFont(SettingsStore& store, const QString& name, int points);
// Stores `font` as a font setting of section "Settings" (not in autorun mode).
void WriteFont(SettingsStore& store, const QString& name, const QFont& font);
// A colour setting of section "Settings".
QColor ReadColor(SettingsStore& store, const QString& name, ColorRef defaultColor);
// A colour setting of section "Settings" that start-up ensures, with the same default when it is
// unset (system colours taken from `palette`).
QColor ReadStartupColor(SettingsStore& store, const QString& name, const QPalette& palette);

// The books' colours by size class (short, normal, long, size unknown): the four text colours,
// then the four backgrounds. The book list shows them; the Import page colours its rows by the
// first three of each.
inline const QString kBookColorKeys[]
    = {QStringLiteral("ColorShortBookFG"), QStringLiteral("ColorBookFG"),
        QStringLiteral("ColorLongBookFG"), QStringLiteral("ColorNABookFG"),
        QStringLiteral("ColorShortBookBG"), QStringLiteral("ColorBookBG"),
        QStringLiteral("ColorLongBookBG"), QStringLiteral("ColorNABookBG")};
inline constexpr std::size_t kBookBackgroundKeys = 4; // where the backgrounds begin

} // namespace lbv
