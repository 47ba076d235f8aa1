#include "gui/common/font_color.h"

#include "settings/settings_store.h"
#include "settings/startup_defaults.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

#include <algorithm>

namespace lbv {

namespace {

constexpr quint8 kNonAntialiasedQuality = 3;
const QString kSettingsSection = QStringLiteral("Settings");

int ScreenDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

} // namespace

QColor ToQColor(ColorRef color)
{
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

ColorRef ToColorRef(const QColor& color)
{
    return RgbColor(quint8(color.red()), quint8(color.green()), quint8(color.blue()));
}

QFont ToQFont(const FontRecord& record)
{
    QFont font;
    const QString face = record.FaceName();
    if (!face.isEmpty())
        font.setFamily(face);
    // A stored height may be anything; keep the pixel size within what a screen font can be.
    const qint64 pixels = record.height < 0 ? -qint64(record.height) : qint64(record.height);
    if (pixels > 0)
        font.setPixelSize(int(std::min<qint64>(pixels, 1000)));
    if (record.weight > 0)
        font.setWeight(QFont::Weight(std::clamp(record.weight, 1, 1000)));
    font.setItalic(record.italic != 0);
    font.setUnderline(record.underline != 0);
    font.setStrikeOut(record.strikeOut != 0);
    if (record.quality == FontRecord::kAntialiasedQuality
        || record.quality == FontRecord::kClearTypeQuality)
        font.setStyleStrategy(QFont::PreferAntialias);
    else if (record.quality == kNonAntialiasedQuality)
        font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

FontRecord ToFontRecord(const QFont& font, int dpi)
{
    FontRecord record;
    const int pixels
        = font.pixelSize() > 0 ? font.pixelSize() : MulDiv(qRound(font.pointSizeF()), dpi, 72);
    record.height = -pixels;
    record.weight = int(font.weight());
    record.italic = font.italic() ? 1 : 0;
    record.underline = font.underline() ? 1 : 0;
    record.strikeOut = font.strikeOut() ? 1 : 0;
    record.quality = font.styleStrategy() & QFont::NoAntialias ? kNonAntialiasedQuality
                                                               : FontRecord::kAntialiasedQuality;
    record.SetFaceName(font.family());
    return record;
}

QFont ReadFont(SettingsStore& store, const QString& name, int points)
{
    return ToQFont(ReadFontSetting(store, name, points, ScreenDpi()));
}

void WriteFont(SettingsStore& store, const QString& name, const QFont& font)
{
    WriteFontSetting(store, name, ToFontRecord(font, ScreenDpi()));
}

QColor ReadColor(SettingsStore& store, const QString& name, ColorRef defaultColor)
{
    return ToQColor(ColorRef(store.GetProfileInt(kSettingsSection, name, qint32(defaultColor))));
}

QColor ReadStartupColor(SettingsStore& store, const QString& name, const QPalette& palette)
{
    const SystemColors system {
        ToColorRef(palette.color(QPalette::Base)), ToColorRef(palette.color(QPalette::WindowText))};
    qint32 fallback = 0;
    for (const IntSettingDefault& entry : StartupIntDefaults())
        if (entry.section == kSettingsSection && entry.name == name)
            fallback = entry.Resolve(system);
    return ReadColor(store, name, ColorRef(fallback));
}

} // namespace lbv
