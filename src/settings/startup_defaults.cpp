#include "settings/startup_defaults.h"

#include "settings/font_record.h"
#include "settings/settings_store.h"

namespace lbv {
namespace {

using Source = IntSettingDefault::Source;

constexpr IntSettingDefault kIntDefaults[] = {
    {u"BooksView", u"ShowHGrid", 1, Source::Fixed},
    {u"BooksView", u"ShowVGrid", 0, Source::Fixed},
    {u"BooksView", u"ShowHGridEx", 0, Source::Fixed},
    {u"BooksView", u"ShowBookCount", 1, Source::Fixed},
    {u"ImportView", u"ShowHGrid", 1, Source::Fixed},
    {u"ImportView", u"ShowVGrid", 0, Source::Fixed},
    {u"ImportView", u"ShowHGridEx", 1, Source::Fixed},
    {u"Settings", u"ColorShortBookFG", qint32(RgbColor(100, 100, 100)), Source::Fixed},
    {u"Settings", u"ColorShortBookBG", 0, Source::SystemWindow},
    {u"Settings", u"ColorBookFG", 0, Source::SystemWindowText},
    {u"Settings", u"ColorBookBG", 0, Source::SystemWindow},
    {u"Settings", u"ColorLongBookFG", qint32(RgbColor(115, 128, 247)), Source::Fixed},
    {u"Settings", u"ColorLongBookBG", 0, Source::SystemWindow},
    {u"Settings", u"ColorNABookFG", 0, Source::SystemWindowText},
    {u"Settings", u"ColorNABookBG", qint32(RgbColor(255, 225, 225)), Source::Fixed},
    {u"Settings", u"ColorPreviewBG", qint32(RgbColor(240, 240, 240)), Source::Fixed},
    {u"Settings", u"ColorPreviewFG", 0, Source::SystemWindowText},
    // The import log's levels: plain info, warnings on pale yellow, errors red on pale red,
    // debug lines grey.
    {u"Settings", u"LogInfoFG", 0, Source::SystemWindowText},
    {u"Settings", u"LogInfoBG", 0, Source::SystemWindow},
    {u"Settings", u"LogWarningFG", qint32(RgbColor(128, 80, 0)), Source::Fixed},
    {u"Settings", u"LogWarningBG", qint32(RgbColor(255, 248, 208)), Source::Fixed},
    {u"Settings", u"LogErrorFG", qint32(RgbColor(176, 0, 0)), Source::Fixed},
    {u"Settings", u"LogErrorBG", qint32(RgbColor(255, 225, 225)), Source::Fixed},
    {u"Settings", u"LogDebugFG", qint32(RgbColor(128, 128, 128)), Source::Fixed},
    {u"Settings", u"LogDebugBG", 0, Source::SystemWindow},
    {u"Settings", u"FastPrefetchBufferSize", 4096, Source::Fixed},
    {u"Settings", u"UseClearType", 0, Source::Fixed},
};

constexpr FontSettingDefault kFontDefaults[] = {
    {u"BookViewFont", 10},
    {u"BookDetailsFont", 8},
    {u"LogViewFont", 8},
};

// Read in place of a string option to learn that it is missing.
const QString kMissingText = QStringLiteral("-12345");

void EnsureString(SettingsStore& store, const QString& name, const QString& defaultValue)
{
    if (store.GetProfileString(QString(), name, kMissingText) == kMissingText && !store.Autorun())
        store.WriteProfileString(QString(), name, defaultValue);
}

} // namespace

qint32 IntSettingDefault::Resolve(const SystemColors& colors) const
{
    switch (source) {
    case Source::SystemWindow:
        return qint32(colors.window);
    case Source::SystemWindowText:
        return qint32(colors.windowText);
    case Source::Fixed:
        break;
    }
    return value;
}

std::span<const IntSettingDefault> StartupIntDefaults()
{
    return kIntDefaults;
}

std::span<const FontSettingDefault> StartupFontDefaults()
{
    return kFontDefaults;
}

void EnsureStartupDefaults(SettingsStore& store, const StartupEnvironment& environment)
{
    EnsureString(store, QStringLiteral("LastIndex"), QString());
    for (const IntSettingDefault& entry : kIntDefaults)
        store.EnsureProfileInt(
            entry.section.toString(), entry.name.toString(), entry.Resolve(environment.colors));
    for (const FontSettingDefault& font : kFontDefaults)
        ReadFontSetting(store, font.name.toString(), font.points, environment.dpi);
    EnsureString(store, QStringLiteral("GenreDict"), environment.genreDictPath);
    EnsureString(store, QStringLiteral("GenreLang"), QStringLiteral("en"));
}

} // namespace lbv
