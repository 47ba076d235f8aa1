#pragma once
// A key-value store laid out like the registry: sections nest ("Bookmarks/<book>"; "\" separates
// as well), section "" is the top level, and each section holds named integer, string and binary
// values. The value named "" is the section's default value.
//
// Not thread-safe; the settings store serializes access to its backends.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace lbv {

// Canonical form of a section path: segments joined by "/", empty segments dropped.
QString NormalizedSection(QStringView section);
// A value name may not contain "/" or "\": it would address a value of another section.
bool IsValidValueName(QStringView name);

class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;

    // Typed reads give nothing when the value is absent or of another kind. Text holding a
    // decimal or "0x" hexadecimal number within 32 bits (signed or unsigned) reads as an
    // integer, as the text form of the store cannot tell numbers from strings.
    std::optional<qint32> ReadInt(const QString& section, const QString& name) const;
    std::optional<QString> ReadString(const QString& section, const QString& name) const;
    std::optional<QByteArray> ReadBinary(const QString& section, const QString& name) const;

    // False when the store is read-only or the name invalid.
    bool WriteInt(const QString& section, const QString& name, qint32 value);
    bool WriteString(const QString& section, const QString& name, const QString& value);
    bool WriteBinary(const QString& section, const QString& name, const QByteArray& value);

    QStringList ValueNames(const QString& section) const;
    QStringList ChildSections(const QString& section) const;
    // True when the value is gone afterwards (also when it never existed).
    bool RemoveValue(const QString& section, const QString& name);
    // Removes the section's values and every section below it; a value of the parent section
    // with the same name stays. The top level cannot be removed.
    bool RemoveSection(const QString& section);

    // Makes written values durable; false when they could not be written.
    virtual bool Flush() { return true; }

protected:
    // Called with a normalized section and a valid name.
    virtual QVariant Read(const QString& section, const QString& name) const = 0;
    virtual bool Write(const QString& section, const QString& name, const QVariant& value) = 0;
    virtual bool Remove(const QString& section, const QString& name) = 0;
    virtual bool RemoveTree(const QString& section) = 0;
    virtual QStringList ListValues(const QString& section) const = 0;
    virtual QStringList ListSections(const QString& section) const = 0;
};

// Parses a stored integer: decimal, or hexadecimal after "0x"; values up to 0xFFFFFFFF wrap to
// their 32-bit signed form like a registry number read as int.
std::optional<qint32> ParseSettingsInt(QStringView text);

} // namespace lbv
