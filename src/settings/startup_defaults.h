#pragma once
// The options every start makes sure of (writing the missing ones outside autorun mode), with the
// defaults the options pages share.
#include "settings/color_ref.h"

#include <QString>
#include <QStringView>
#include <span>

namespace lbv {

class SettingsStore;

// The desktop's colours, which only the GUI knows.
struct SystemColors {
    ColorRef window = RgbColor(255, 255, 255);
    ColorRef windowText = RgbColor(0, 0, 0);
};

struct IntSettingDefault {
    enum class Source { Fixed, SystemWindow, SystemWindowText };
    QStringView section;
    QStringView name;
    qint32 value; // when the source is Fixed
    Source source;

    qint32 Resolve(const SystemColors& colors) const;
};

struct FontSettingDefault {
    QStringView name; // in section "Settings"
    int points;
};

// The integer and colour options in the order they are ensured.
std::span<const IntSettingDefault> StartupIntDefaults();
std::span<const FontSettingDefault> StartupFontDefaults();

struct StartupEnvironment {
    SystemColors colors;
    int dpi = 96; // the screen's vertical dots per inch, for the default font heights
    QString genreDictPath; // the dictionary file shipped with the program
};

// LastIndex (""), the integers and colours, the three fonts, GenreDict and GenreLang ("en"):
// each one missing is written, except in autorun mode.
void EnsureStartupDefaults(SettingsStore& store, const StartupEnvironment& environment);

} // namespace lbv
