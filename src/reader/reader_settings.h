#pragma once
// The reader's settings of sections "Parameters" and "Colors": defaults, the ranges values are
// clamped to when used, and reading and writing them in the settings store.
#include "settings/settings_store.h"

#include <QString>
#include <array>
#include <cstdint>

namespace lbv {

inline const QString kParametersSection = QStringLiteral("Parameters");
inline const QString kColorsSection = QStringLiteral("Colors");
inline const QString kStylesSection = QStringLiteral("Styles");
inline const QString kKeysSection = QStringLiteral("Keys");

// Block size of file reads: below 8192 becomes 8192, above 1048576 becomes 1048576, then the
// value is rounded down to a power of two.
int ClampFileBufSize(int bytes);
// The advanced parameters dialog enters the buffer in kilobytes (8..1024).
int FileBufSizeFromKilobytes(int kilobytes);
int ClampFontCacheSize(int count); // 2..32
// Autoscroll's step period in microseconds: at least what "faster" can reach from its 50000
// floor, at most 10 seconds, so the timer is never busy and "slower" can't overflow.
inline constexpr int kMinAutoScrollDelay = 25000;
inline constexpr int kMaxAutoScrollDelay = 10000000;
int ClampAutoScrollDelay(int microseconds);
// Books whose state is kept: at least the one being read, or pruning would forget it too.
int ClampNumBookmarks(int count);
// The font size the Bigger and Smaller font commands keep to, in pixels.
inline constexpr int kMinFontSize = 6;
inline constexpr int kMaxFontSize = 96;
// Gamma is stored multiplied by 1,000,000; the decoders use it clamped to 1..5.
double GammaFromSetting(int stored);

struct ReaderParameters {
    QString fontFace = QStringLiteral("Tahoma");
    int fontSize = 12;
    int fontBold = 1;
    int fontClearType = 1; // 0 none, 1 ClearType, 2 standard antialiasing
    int orientation = 0; // tenths of a degree: 0, 900, 1800, 2700
    int columns = 1;
    int margins = 3;
    int justify = 1;
    int hyphenate = 0;
    int oneLineLess = 0;
    int showProgress = 1;
    int progressBar = 5; // 1 position, 2 time, 4 speed, 8 battery, 16 length, 32 chapter
    int defEncoding = -1; // code page index, -1 automatic
    int autoScrollDelay = 800000; // microseconds
    int rotateButtons = 1;
    int autoRepeatLimit = 0;
    int fontCacheSize = 6;
    int fileBufSize = 16384;
    int numBookmarks = 64;
    int allowOnlyOneInstance = 1;
    int saveToFiles = 0;
    int gamma = 2200000;
    QString openPath;
    QString zipEncoding;
    QString dictionary;

    // Values are clamped where their users need a range (buffer, font cache, orientation,
    // columns): a hand-edited store can't break the reader.
    static ReaderParameters Load(SettingsStore& store);
    void Store(SettingsStore& store) const;
    // The display group the options page writes together (announced as ReaderDisplay).
    void StoreDisplay(SettingsStore& store) const;
};

// What the advanced parameters dialog edits, as it shows it (the file buffer in kilobytes).
struct AdvancedParameters {
    bool allowOnlyOneInstance = true;
    bool rotateButtons = true;
    bool autoRepeatLimit = false;
    bool saveToFiles = false;
    int fontCacheSize = 6;
    int fileBufKilobytes = 16;
    int numBookmarks = 64;

    static AdvancedParameters From(const ReaderParameters& parameters);
    // Clamps the numbers (the buffer becomes bytes, a power of two) and writes only the values
    // that differ from `previous`, so a value the user left alone keeps its stored form.
    void StoreChanged(SettingsStore& store, const AdvancedParameters& previous) const;
};

// Colours are 0x00BBGGRR values, in the order of the colour slots and the options page.
enum class ReaderColor : int {
    Text,
    Highlight1,
    Highlight2,
    Highlight3,
    Highlight4,
    Highlight5,
    Highlight6,
    Highlight7,
    Background,
    HighlightedBackground,
    Gauge,
    SectionTick,
    BookmarkTick,
    UserInputColor,
    UserInputBackground,
    AutoscrollUnderline,
};
inline constexpr int kReaderColorCount = 16;

struct ReaderColors {
    std::array<uint32_t, kReaderColorCount> values;

    ReaderColors();
    uint32_t operator[](ReaderColor color) const { return values[std::size_t(color)]; }
    static QString Name(ReaderColor color); // the value name in section "Colors"
    static uint32_t Default(ReaderColor color);
    static ReaderColors Load(SettingsStore& store);
    // Writes only the colours that differ from `previous`, as the colours dialog does.
    void StoreChanged(SettingsStore& store, const ReaderColors& previous) const;
};

} // namespace lbv
