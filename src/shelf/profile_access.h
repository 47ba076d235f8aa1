#pragma once
// The four profile calls through which shelf code reads and writes its settings; the
// application's settings store provides them (tests use an in-memory one).
#include <QString>

namespace lbv {

class ProfileAccess {
public:
    virtual ~ProfileAccess() = default;
    virtual int GetProfileInt(const QString& section, const QString& name, int defaultValue) = 0;
    virtual bool WriteProfileInt(const QString& section, const QString& name, int value) = 0;
    virtual QString GetProfileString(
        const QString& section, const QString& name, const QString& defaultValue) = 0;
    virtual bool WriteProfileString(
        const QString& section, const QString& name, const QString& value) = 0;
};

} // namespace lbv
