#include "settings/settings_backend.h"

#include <limits>

namespace lbv {

QString NormalizedSection(QStringView section)
{
    QString result;
    result.reserve(section.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i <= section.size(); ++i) {
        if (i < section.size() && section[i] != u'/' && section[i] != u'\\')
            continue;
        if (i > start) {
            if (!result.isEmpty())
                result += u'/';
            result += section.mid(start, i - start);
        }
        start = i + 1;
    }
    return result;
}

bool IsValidValueName(QStringView name)
{
    return !name.contains(u'/') && !name.contains(u'\\');
}

std::optional<qint32> ParseSettingsInt(QStringView text)
{
    text = text.trimmed();
    bool ok = false;
    qint64 value = 0;
    if (text.startsWith(u"0x", Qt::CaseInsensitive))
        value = qint64(text.mid(2).toULongLong(&ok, 16));
    else
        value = text.toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<qint32>::min()
        || value > qint64(std::numeric_limits<quint32>::max()))
        return std::nullopt;
    return qint32(quint32(value));
}

std::optional<qint32> SettingsBackend::ReadInt(const QString& section, const QString& name) const
{
    if (!IsValidValueName(name))
        return std::nullopt;
    const QVariant value = Read(NormalizedSection(section), name);
    switch (value.typeId()) {
    case QMetaType::Int:
        return value.toInt();
    case QMetaType::UInt:
        return qint32(value.toUInt());
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::QString:
        return ParseSettingsInt(value.toString());
    default:
        return std::nullopt;
    }
}

std::optional<QString> SettingsBackend::ReadString(
    const QString& section, const QString& name) const
{
    if (!IsValidValueName(name))
        return std::nullopt;
    const QVariant value = Read(NormalizedSection(section), name);
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::QStringList:
        // The INI reader splits unquoted text at commas; the text as written is wanted.
        return value.toStringList().join(u',');
    default:
        return std::nullopt;
    }
}

std::optional<QByteArray> SettingsBackend::ReadBinary(
    const QString& section, const QString& name) const
{
    if (!IsValidValueName(name))
        return std::nullopt;
    const QVariant value = Read(NormalizedSection(section), name);
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return value.toByteArray();
}

bool SettingsBackend::WriteInt(const QString& section, const QString& name, qint32 value)
{
    return IsValidValueName(name) && Write(NormalizedSection(section), name, QVariant(value));
}

bool SettingsBackend::WriteString(const QString& section, const QString& name, const QString& value)
{
    return IsValidValueName(name) && Write(NormalizedSection(section), name, QVariant(value));
}

bool SettingsBackend::WriteBinary(
    const QString& section, const QString& name, const QByteArray& value)
{
    return IsValidValueName(name) && Write(NormalizedSection(section), name, QVariant(value));
}

QStringList SettingsBackend::ValueNames(const QString& section) const
{
    return ListValues(NormalizedSection(section));
}

QStringList SettingsBackend::ChildSections(const QString& section) const
{
    return ListSections(NormalizedSection(section));
}

bool SettingsBackend::RemoveValue(const QString& section, const QString& name)
{
    return IsValidValueName(name) && Remove(NormalizedSection(section), name);
}

bool SettingsBackend::RemoveSection(const QString& section)
{
    const QString normalized = NormalizedSection(section);
    return !normalized.isEmpty() && RemoveTree(normalized);
}

} // namespace lbv
