#pragma once
// The key-value store the reader's settings are read from and written to: sections with named
// integers and strings. The program's settings store backs it; tests use MemorySettingsStore.
#include <QHash>
#include <QString>

namespace lbv {

class ReaderSettingsStore {
public:
    virtual ~ReaderSettingsStore() = default;
    virtual int GetInt(const QString& section, const QString& name, int defaultValue) const = 0;
    virtual QString GetString(
        const QString& section, const QString& name, const QString& defaultValue) const = 0;
    virtual void WriteInt(const QString& section, const QString& name, int value) = 0;
    virtual void WriteString(const QString& section, const QString& name, const QString& value) = 0;
};

// A store that keeps everything in memory; integers and strings share one name space per
// section, as they do in the registry form of the settings.
class MemorySettingsStore final : public ReaderSettingsStore {
public:
    int GetInt(const QString& section, const QString& name, int defaultValue) const override;
    QString GetString(
        const QString& section, const QString& name, const QString& defaultValue) const override;
    void WriteInt(const QString& section, const QString& name, int value) override;
    void WriteString(const QString& section, const QString& name, const QString& value) override;
    bool Contains(const QString& section, const QString& name) const;

private:
    QHash<QString, QString> values_; // key: section + "\" + name
};

} // namespace lbv
