#include "settings/font_record.h"

#include "settings/settings_store.h"

#include <QtEndian>
#include <cstdlib>
#include <limits>

namespace lbv {
namespace {

constexpr qsizetype kIntFields = 5;
constexpr qsizetype kByteFieldsOffset = kIntFields * 4;
constexpr qsizetype kFaceOffset = kByteFieldsOffset + 8;
static_assert(kFaceOffset + FontRecord::kFaceUnits * 2 == FontRecord::kSize);

} // namespace

QString FontRecord::FaceName() const
{
    qsizetype length = 0;
    while (length < kFaceUnits && face[std::size_t(length)] != 0)
        ++length;
    return QString(reinterpret_cast<const QChar*>(face.data()), length);
}

void FontRecord::SetFaceName(QStringView name)
{
    qsizetype length = std::min(name.size(), kFaceUnits - 1);
    if (length > 0 && name[length - 1].isHighSurrogate())
        --length;
    face.fill(0);
    for (qsizetype i = 0; i < length; ++i)
        face[std::size_t(i)] = name[i].unicode();
}

QByteArray FontRecord::ToBytes() const
{
    QByteArray bytes(kSize, '\0');
    char* out = bytes.data();
    for (const qint32 field : {height, width, escapement, orientation, weight}) {
        qToLittleEndian(field, out);
        out += 4;
    }
    for (const quint8 field : {italic, underline, strikeOut, charSet, outPrecision, clipPrecision,
             quality, pitchAndFamily})
        *out++ = char(field);
    for (const char16_t unit : face) {
        qToLittleEndian(quint16(unit), out);
        out += 2;
    }
    return bytes;
}

std::optional<FontRecord> FontRecord::FromBytes(const QByteArray& bytes)
{
    if (bytes.size() != kSize)
        return std::nullopt;
    const uchar* in = reinterpret_cast<const uchar*>(bytes.constData());
    FontRecord record;
    for (qint32* field :
        {&record.height, &record.width, &record.escapement, &record.orientation, &record.weight}) {
        *field = qFromLittleEndian<qint32>(in);
        in += 4;
    }
    for (quint8* field : {&record.italic, &record.underline, &record.strikeOut, &record.charSet,
             &record.outPrecision, &record.clipPrecision, &record.quality, &record.pitchAndFamily})
        *field = *in++;
    for (char16_t& unit : record.face) {
        unit = char16_t(qFromLittleEndian<quint16>(in));
        in += 2;
    }
    return record;
}

qint32 MulDiv(qint32 number, qint32 numerator, qint32 denominator)
{
    if (denominator == 0)
        return -1;
    const qint64 product = qint64(number) * numerator;
    qint64 magnitude
        = (std::abs(product) + std::abs(qint64(denominator)) / 2) / std::abs(qint64(denominator));
    if ((product < 0) != (denominator < 0))
        magnitude = -magnitude;
    if (magnitude > std::numeric_limits<qint32>::max()
        || magnitude < std::numeric_limits<qint32>::min())
        return -1;
    return qint32(magnitude);
}

FontRecord DefaultFontRecord(int points, int dpi)
{
    FontRecord record;
    record.height = -MulDiv(points, dpi, 72);
    record.weight = FontRecord::kNormalWeight;
    record.quality = FontRecord::kAntialiasedQuality;
    record.pitchAndFamily = FontRecord::kSwissFamily;
    record.SetFaceName(u"Tahoma");
    return record;
}

namespace {

const QString kFontSection = QStringLiteral("Settings");

quint8 WantedQuality(SettingsStore& store)
{
    return store.GetProfileInt(kFontSection, QStringLiteral("UseClearType"), 0) != 0
        ? FontRecord::kClearTypeQuality
        : FontRecord::kAntialiasedQuality;
}

} // namespace

FontRecord ReadFontSetting(SettingsStore& store, const QString& name, int points, int dpi)
{
    const QString section = kFontSection;
    const std::optional<QByteArray> stored = store.GetProfileBinary(section, name);
    FontRecord record = DefaultFontRecord(points, dpi);
    if (stored)
        record = FontRecord::FromBytes(*stored).value_or(record);
    record.quality = WantedQuality(store);
    if (!stored && !store.Autorun())
        store.WriteProfileBinary(section, name, record.ToBytes());
    return record;
}

void WriteFontSetting(SettingsStore& store, const QString& name, FontRecord record)
{
    if (store.Autorun())
        return;
    record.quality = WantedQuality(store);
    store.WriteProfileBinary(kFontSection, name, record.ToBytes());
}

} // namespace lbv
