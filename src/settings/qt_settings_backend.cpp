#include "settings/qt_settings_backend.h"

#include <QFile>

namespace lbv {
namespace {

const QString kDefaultValueName = QStringLiteral("(Default)");

// Enters a group for the lifetime of the object; the top level needs none.
class GroupScope {
public:
    GroupScope(QSettings& settings, const QString& section)
        : settings_(settings)
        , entered_(!section.isEmpty())
    {
        if (entered_)
            settings_.beginGroup(section);
    }
    ~GroupScope()
    {
        if (entered_)
            settings_.endGroup();
    }
    GroupScope(const GroupScope&) = delete;
    GroupScope& operator=(const GroupScope&) = delete;

private:
    QSettings& settings_;
    bool entered_;
};

} // namespace

QtSettingsBackend::QtSettingsBackend(
    QSettings::Scope scope, const QString& organisation, const QString& application)
    : settings_(QSettings::NativeFormat, scope, organisation, application)
    , readOnly_(scope == QSettings::SystemScope)
{
    settings_.setFallbacksEnabled(false);
    // Qt rewrites a file it could not fully parse without the broken lines on the next write;
    // a copy keeps the user's hand edits.
    settings_.childGroups();
    if (!readOnly_ && settings_.status() == QSettings::FormatError) {
        const QString copy = settings_.fileName() + u".bad";
        QFile::remove(copy);
        QFile::copy(settings_.fileName(), copy);
    }
}

std::unique_ptr<QtSettingsBackend> QtSettingsBackend::UserScope(
    const QString& organisation, const QString& application)
{
    return std::unique_ptr<QtSettingsBackend>(
        new QtSettingsBackend(QSettings::UserScope, organisation, application));
}

std::unique_ptr<QtSettingsBackend> QtSettingsBackend::SystemScope(
    const QString& organisation, const QString& application)
{
    return std::unique_ptr<QtSettingsBackend>(
        new QtSettingsBackend(QSettings::SystemScope, organisation, application));
}

QString QtSettingsBackend::StoredName(const QString& name)
{
    return name.isEmpty() ? kDefaultValueName : name;
}

QString QtSettingsBackend::Key(const QString& section, const QString& name)
{
    return section.isEmpty() ? StoredName(name) : section + u'/' + StoredName(name);
}

bool QtSettingsBackend::CanWrite() const
{
    return !readOnly_ && settings_.isWritable();
}

bool QtSettingsBackend::Flush()
{
    if (readOnly_)
        return true;
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

QVariant QtSettingsBackend::Read(const QString& section, const QString& name) const
{
    return settings_.value(Key(section, name));
}

bool QtSettingsBackend::Write(const QString& section, const QString& name, const QVariant& value)
{
    if (!CanWrite())
        return false;
    settings_.setValue(Key(section, name), value);
    return true;
}

bool QtSettingsBackend::Remove(const QString& section, const QString& name)
{
    if (!CanWrite())
        return false;
    const GroupScope group(settings_, section);
    const QString stored = StoredName(name);
    if (!settings_.contains(stored))
        return true;
    // QSettings::remove takes the subsection of the same name along; it is put back.
    QSettings::SettingsMap subsection;
    settings_.beginGroup(stored);
    const QStringList below = settings_.allKeys();
    for (const QString& key : below)
        subsection.insert(key, settings_.value(key));
    settings_.endGroup();
    settings_.remove(stored);
    for (auto it = subsection.cbegin(); it != subsection.cend(); ++it)
        settings_.setValue(stored + u'/' + it.key(), it.value());
    return true;
}

bool QtSettingsBackend::RemoveTree(const QString& section)
{
    if (!CanWrite())
        return false;
    // Removing key by key leaves the parent's value of the same name, which
    // QSettings::remove(section) would take along.
    const GroupScope group(settings_, section);
    const QStringList keys = settings_.allKeys();
    for (const QString& key : keys)
        settings_.remove(key);
    return true;
}

QStringList QtSettingsBackend::ListValues(const QString& section) const
{
    const GroupScope group(settings_, section);
    QStringList names = settings_.childKeys();
    for (QString& name : names)
        if (name == kDefaultValueName)
            name.clear();
    return names;
}

QStringList QtSettingsBackend::ListSections(const QString& section) const
{
    const GroupScope group(settings_, section);
    return settings_.childGroups();
}

} // namespace lbv
