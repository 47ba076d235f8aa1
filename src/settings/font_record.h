#pragma once
// The font record kept in font settings: the 92-byte Windows logical-font layout, little-endian,
// so stored values keep their form. The GUI converts it to QFont.
#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace lbv {

class SettingsStore;

struct FontRecord {
    static constexpr qsizetype kSize = 92;
    static constexpr qsizetype kFaceUnits = 32; // the name and its terminating zero
    static constexpr qint32 kNormalWeight = 400;
    static constexpr quint8 kAntialiasedQuality = 4;
    static constexpr quint8 kClearTypeQuality = 5;
    static constexpr quint8 kSwissFamily = 0x20;

    qint32 height = 0; // negative: character height in pixels
    qint32 width = 0;
    qint32 escapement = 0;
    qint32 orientation = 0;
    qint32 weight = 0;
    quint8 italic = 0;
    quint8 underline = 0;
    quint8 strikeOut = 0;
    quint8 charSet = 0;
    quint8 outPrecision = 0;
    quint8 clipPrecision = 0;
    quint8 quality = 0;
    quint8 pitchAndFamily = 0;
    std::array<char16_t, kFaceUnits> face {};

    // The name up to its terminating zero (all 32 units when there is none).
    QString FaceName() const;
    // Keeps at most 31 units, never half of a surrogate pair, and zero-fills the rest.
    void SetFaceName(QStringView name);

    QByteArray ToBytes() const;
    // Nothing unless the bytes are exactly kSize long.
    static std::optional<FontRecord> FromBytes(const QByteArray& bytes);

    bool operator==(const FontRecord&) const = default;
};

// number * numerator / denominator in 64 bits, rounded half away from zero; -1 when the
// denominator is zero or the result does not fit, as the Windows helper does.
qint32 MulDiv(qint32 number, qint32 numerator, qint32 denominator);

// "Tahoma" at the given size for a screen of `dpi` vertical dots per inch: height
// -MulDiv(points, dpi, 72), weight 400, antialiased quality, swiss family, other fields zero.
FontRecord DefaultFontRecord(int points, int dpi);

// A font setting of section "Settings": the stored record when it is exactly 92 bytes, else the
// default; its quality always follows "UseClearType" (5 when set, 4 otherwise). When nothing is
// stored and the store is not in autorun mode, the default is written, so the store then holds it.
// A stored value of another length is ignored but left as it is.
FontRecord ReadFontSetting(SettingsStore& store, const QString& name, int points, int dpi);
// Stores `record` as the font setting `name` with the quality "UseClearType" asks for; nothing is
// written in autorun mode.
void WriteFontSetting(SettingsStore& store, const QString& name, FontRecord record);

} // namespace lbv
