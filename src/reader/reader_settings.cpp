#include "reader/reader_settings.h"

#include <algorithm>
#include <bit>

namespace lbv {

int ClampFileBufSize(int bytes)
{
    const unsigned clamped = unsigned(std::clamp(bytes, 8192, 1048576));
    return int(std::bit_floor(clamped));
}

int FileBufSizeFromKilobytes(int kilobytes)
{
    return ClampFileBufSize(std::clamp(kilobytes, 8, 1024) * 1024);
}

int ClampFontCacheSize(int count)
{
    return std::clamp(count, 2, 32);
}

int ClampAutoScrollDelay(int microseconds)
{
    return std::clamp(microseconds, kMinAutoScrollDelay, kMaxAutoScrollDelay);
}

int ClampNumBookmarks(int count)
{
    return std::max(count, 1);
}

double GammaFromSetting(int stored)
{
    return std::clamp(stored / 1000000.0, 1.0, 5.0);
}

namespace {

int ValidOrientation(int value)
{
    return (value == 900 || value == 1800 || value == 2700) ? value : 0;
}

struct IntParameter {
    const char16_t* name;
    int ReaderParameters::*field;
};

// Every integer of section "Parameters" with the field that holds it.
constexpr IntParameter kIntParameters[] = {
    {u"FontSize", &ReaderParameters::fontSize},
    {u"FontBold", &ReaderParameters::fontBold},
    {u"FontClearType", &ReaderParameters::fontClearType},
    {u"Orientation", &ReaderParameters::orientation},
    {u"Columns", &ReaderParameters::columns},
    {u"Margins", &ReaderParameters::margins},
    {u"Justify", &ReaderParameters::justify},
    {u"Hyphenate", &ReaderParameters::hyphenate},
    {u"OneLineLess", &ReaderParameters::oneLineLess},
    {u"ShowProgress", &ReaderParameters::showProgress},
    {u"ProgressBar", &ReaderParameters::progressBar},
    {u"DefEncoding", &ReaderParameters::defEncoding},
    {u"AutoScrollDelay", &ReaderParameters::autoScrollDelay},
    {u"RotateButtons", &ReaderParameters::rotateButtons},
    {u"AutoRepeatLimit", &ReaderParameters::autoRepeatLimit},
    {u"FontCacheSize", &ReaderParameters::fontCacheSize},
    {u"FileBufSize", &ReaderParameters::fileBufSize},
    {u"NumBookmarks", &ReaderParameters::numBookmarks},
    {u"AllowOnlyOneInstance", &ReaderParameters::allowOnlyOneInstance},
    {u"SaveToFiles", &ReaderParameters::saveToFiles},
    {u"Gamma", &ReaderParameters::gamma},
};

struct StringParameter {
    const char16_t* name;
    QString ReaderParameters::*field;
};

constexpr StringParameter kStringParameters[] = {
    {u"FontFace", &ReaderParameters::fontFace},
    {u"OpenPath", &ReaderParameters::openPath},
    {u"ZipEncoding", &ReaderParameters::zipEncoding},
    {u"Dictionary", &ReaderParameters::dictionary},
};

// The display group besides FontFace.
constexpr const char16_t* kDisplayNames[] = {u"FontSize", u"FontClearType",
    u"FontBold", u"Orientation", u"Columns", u"Hyphenate", u"Justify", u"Margins"};

} // namespace

ReaderParameters ReaderParameters::Load(SettingsStore& store)
{
    ReaderParameters p;
    for (const auto& item : kIntParameters)
        p.*item.field = store.GetProfileInt(kParametersSection, QString::fromUtf16(item.name), p.*item.field);
    for (const auto& item : kStringParameters)
        p.*item.field
            = store.GetProfileString(kParametersSection, QString::fromUtf16(item.name), p.*item.field);
    p.fileBufSize = ClampFileBufSize(p.fileBufSize);
    p.fontCacheSize = ClampFontCacheSize(p.fontCacheSize);
    p.autoScrollDelay = ClampAutoScrollDelay(p.autoScrollDelay);
    p.numBookmarks = ClampNumBookmarks(p.numBookmarks);
    p.orientation = ValidOrientation(p.orientation);
    p.columns = std::max(p.columns, 1);
    p.margins = std::max(p.margins, 0);
    p.defEncoding = std::max(p.defEncoding, -1);
    if (p.fontFace.isEmpty())
        p.fontFace = ReaderParameters().fontFace;
    return p;
}

void ReaderParameters::Store(SettingsStore& store) const
{
    // Values that would make the reader forget every book or spin its timer are never stored.
    ReaderParameters stored = *this;
    stored.numBookmarks = ClampNumBookmarks(numBookmarks);
    stored.autoScrollDelay = ClampAutoScrollDelay(autoScrollDelay);
    for (const auto& item : kIntParameters)
        store.WriteProfileInt(kParametersSection, QString::fromUtf16(item.name), stored.*item.field);
    for (const auto& item : kStringParameters)
        store.WriteProfileString(kParametersSection, QString::fromUtf16(item.name), this->*item.field);
}

void ReaderParameters::StoreDisplay(SettingsStore& store) const
{
    store.WriteProfileString(kParametersSection, QStringLiteral("FontFace"), fontFace);
    for (const char16_t* display : kDisplayNames)
        for (const auto& item : kIntParameters)
            if (QStringView(display) == QStringView(item.name))
                store.WriteProfileInt(
                    kParametersSection, QString::fromUtf16(item.name), this->*item.field);
}

AdvancedParameters AdvancedParameters::From(const ReaderParameters& parameters)
{
    AdvancedParameters advanced;
    advanced.allowOnlyOneInstance = parameters.allowOnlyOneInstance != 0;
    advanced.rotateButtons = parameters.rotateButtons != 0;
    advanced.autoRepeatLimit = parameters.autoRepeatLimit != 0;
    advanced.saveToFiles = parameters.saveToFiles != 0;
    advanced.fontCacheSize = parameters.fontCacheSize;
    advanced.fileBufKilobytes = parameters.fileBufSize / 1024;
    advanced.numBookmarks = parameters.numBookmarks;
    return advanced;
}

void AdvancedParameters::StoreChanged(SettingsStore& store, const AdvancedParameters& previous) const
{
    const auto write = [&store](const char16_t* name, int value, int old) {
        if (value != old)
            store.WriteProfileInt(kParametersSection, QString::fromUtf16(name), value);
    };
    write(u"AllowOnlyOneInstance", allowOnlyOneInstance, previous.allowOnlyOneInstance);
    write(u"RotateButtons", rotateButtons, previous.rotateButtons);
    write(u"AutoRepeatLimit", autoRepeatLimit, previous.autoRepeatLimit);
    write(u"SaveToFiles", saveToFiles, previous.saveToFiles);
    write(u"FontCacheSize", ClampFontCacheSize(fontCacheSize), previous.fontCacheSize);
    write(u"FileBufSize", FileBufSizeFromKilobytes(fileBufKilobytes),
        previous.fileBufKilobytes * 1024);
    write(u"NumBookmarks", ClampNumBookmarks(numBookmarks), previous.numBookmarks);
}

namespace {

struct ColorDefault {
    const char16_t* name;
    uint32_t value;
};

constexpr ColorDefault kColorDefaults[kReaderColorCount] = {
    {u"Text", 0x000000},
    {u"Highlight 1", 0xC00000},
    {u"Highlight 2", 0x000081},
    {u"Highlight 3", 0xC000C0},
    {u"Highlight 4", 0x007000},
    {u"Highlight 5", 0x707000},
    {u"Highlight 6", 0x00C000},
    {u"Highlight 7", 0x808080},
    {u"Background", 0xFFFFFF},
    {u"Highlighted Background", 0xFFC010},
    {u"Gauge", 0x969696},
    {u"Section Tick", 0x000000},
    {u"Bookmark Tick", 0x0000FF},
    {u"User input color", 0x008000},
    {u"User input background", 0xC7E0CB},
    {u"Autoscroll underline", 0x000000},
};

} // namespace

ReaderColors::ReaderColors()
{
    for (int i = 0; i < kReaderColorCount; ++i)
        values[std::size_t(i)] = kColorDefaults[i].value;
}

QString ReaderColors::Name(ReaderColor color)
{
    return QString::fromUtf16(kColorDefaults[int(color)].name);
}

uint32_t ReaderColors::Default(ReaderColor color)
{
    return kColorDefaults[int(color)].value;
}

ReaderColors ReaderColors::Load(SettingsStore& store)
{
    ReaderColors colors;
    for (int i = 0; i < kReaderColorCount; ++i) {
        const int stored = store.GetProfileInt(kColorsSection, QString::fromUtf16(kColorDefaults[i].name),
            int(kColorDefaults[i].value));
        // Only the 24 colour bits mean anything in a COLORREF.
        colors.values[std::size_t(i)] = uint32_t(stored) & 0xFFFFFF;
    }
    return colors;
}

void ReaderColors::StoreChanged(SettingsStore& store, const ReaderColors& previous) const
{
    for (int i = 0; i < kReaderColorCount; ++i)
        if (values[std::size_t(i)] != previous.values[std::size_t(i)])
            store.WriteProfileInt(kColorsSection, QString::fromUtf16(kColorDefaults[i].name),
                int(values[std::size_t(i)]));
}

} // namespace lbv
