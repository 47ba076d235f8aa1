#pragma once
// What the formatter needs from a drawing surface: font metrics and character advances for the
// font a set of character attributes selects at a rotation, and the surface's horizontal DPI.
// The font rules (which font an attribute set means) are data here, so every measurer (the Qt
// one of the reader view, the fixed-width one of tests and the command line) applies them alike.
#include <QString>
#include <QStringView>
#include <cstdint>

namespace lbv {

// The key of a font: pixel height, style flags and rotation (tenths of a degree).
struct FontKey {
    enum Flags : uint8_t { Bold = 1, Italic = 2, Underline = 4 };
    int pixelHeight = 12;
    uint8_t flags = 0;
    int rotation = 0;

    friend bool operator==(const FontKey&, const FontKey&) = default;
};

// What the text parameters add to a character's attributes when choosing its font.
struct FontBase {
    int fontSize = 12; // FontSize: the base pixel height, size steps are added
    bool fontBold = false; // FontBold: the whole text bold
    int rotation = 0;
};

// The signed size step of attribute bits 0..5.
int SizeStep(uint16_t attribute);
// The font of a character: FontSize plus its size step (at least 1 pixel), bold when its bit or
// FontBold says so, italic and underline from its bits, and the rotation.
FontKey FontKeyFor(uint16_t attribute, const FontBase& base);

// A font as the surface creates it, in the terms of a logical-font record: the requested
// character height (negative), weight, escapement and orientation equal to the rotation, the
// quality the FontClearType setting names, and the face.
struct FontSpec {
    enum class Quality { NonAntialiased, ClearType, Antialiased };
    int height = -12;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    int escapement = 0;
    int orientation = 0;
    Quality quality = Quality::ClearType;
    QString face;
};
// clearType: the FontClearType setting (1 ClearType, 2 antialiased, anything else neither).
FontSpec FontSpecFor(const FontKey& key, const QString& face, int clearType);

struct FontMetrics {
    int height = 0; // ascent + descent + external leading
    int ascent = 0;
    int hyphenWidth = 0; // the advance of "-"
};

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual FontMetrics Metrics(const FontKey& font) = 0;
    // One advance per UTF-16 unit of text, in pixels, into advances[0..text.size()).
    virtual void Advances(const FontKey& font, QStringView text, int* advances) = 0;
    // Horizontal pixels per inch (indents are in 1/25 inch).
    virtual int DpiX() const = 0;
};

} // namespace lbv
