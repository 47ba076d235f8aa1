#pragma once
// An in-memory settings store for shelf tests, keyed "section\name" as the real store keys them.
#include "shelf/profile_access.h"

#include <QMap>

namespace lbv {

class MemoryProfile : public ProfileAccess {
public:
    int GetProfileInt(const QString& section, const QString& name, int defaultValue) override
    {
        return ints.value(Key(section, name), defaultValue);
    }
    bool WriteProfileInt(const QString& section, const QString& name, int value) override
    {
        ints.insert(Key(section, name), value);
        return true;
    }
    QString GetProfileString(
        const QString& section, const QString& name, const QString& defaultValue) override
    {
        return strings.value(Key(section, name), defaultValue);
    }
    bool WriteProfileString(const QString& section, const QString& name, const QString& value) override
    {
        strings.insert(Key(section, name), value);
        return true;
    }

    static QString Key(const QString& section, const QString& name)
    {
        return section + QLatin1Char('\\') + name;
    }

    QMap<QString, int> ints;
    QMap<QString, QString> strings;
};

} // namespace lbv
