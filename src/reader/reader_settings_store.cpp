#include "reader/reader_settings_store.h"

namespace lbv {
namespace {

QString Key(const QString& section, const QString& name)
{
    return section + u'\\' + name;
}

} // namespace

int MemorySettingsStore::GetInt(const QString& section, const QString& name, int defaultValue) const
{
    const auto it = values_.constFind(Key(section, name));
    if (it == values_.constEnd())
        return defaultValue;
    bool ok = false;
    const int value = it->toInt(&ok);
    return ok ? value : defaultValue;
}

QString MemorySettingsStore::GetString(
    const QString& section, const QString& name, const QString& defaultValue) const
{
    return values_.value(Key(section, name), defaultValue);
}

void MemorySettingsStore::WriteInt(const QString& section, const QString& name, int value)
{
    values_.insert(Key(section, name), QString::number(value));
}

void MemorySettingsStore::WriteString(
    const QString& section, const QString& name, const QString& value)
{
    values_.insert(Key(section, name), value);
}

bool MemorySettingsStore::Contains(const QString& section, const QString& name) const
{
    return values_.contains(Key(section, name));
}

} // namespace lbv
