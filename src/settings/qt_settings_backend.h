#pragma once
// Settings in QSettings' native INI files: the user's own file under the XDG config folder (read
// and written), and the machine-wide one under the XDG config dirs (read only), which is where
// lists such as the plug-in registrations may also be kept.
#include "settings/settings_backend.h"

#include <QSettings>
#include <memory>

namespace lbv {

// The program's profile key.
inline QString ProfileOrganisation()
{
    return QStringLiteral("Marrowfield");
}
inline QString ProfileApplication()
{
    return QStringLiteral("Libravon");
}

class QtSettingsBackend : public SettingsBackend {
public:
    // Neither scope falls back to the other; lists that want both read them together.
    static std::unique_ptr<QtSettingsBackend> UserScope(
        const QString& organisation, const QString& application);
    static std::unique_ptr<QtSettingsBackend> SystemScope(
        const QString& organisation, const QString& application);

    QString FileName() const { return settings_.fileName(); }
    bool IsReadOnly() const { return readOnly_; }
    // Writes pending changes now (Qt otherwise writes them when the event loop is idle or the
    // backend is destroyed).
    bool Flush() override;

protected:
    QVariant Read(const QString& section, const QString& name) const override;
    bool Write(const QString& section, const QString& name, const QVariant& value) override;
    bool Remove(const QString& section, const QString& name) override;
    bool RemoveTree(const QString& section) override;
    QStringList ListValues(const QString& section) const override;
    QStringList ListSections(const QString& section) const override;

private:
    QtSettingsBackend(
        QSettings::Scope scope, const QString& organisation, const QString& application);

    // QSettings has no unnamed values, so a section's default value gets a reserved name.
    static QString StoredName(const QString& name);
    static QString Key(const QString& section, const QString& name);
    bool CanWrite() const;

    mutable QSettings settings_; // groups are entered and left inside const reads
    bool readOnly_;
};

} // namespace lbv
