#include "settings/settings_store.h"

#include "settings/memory_settings_backend.h"
#include "settings/program_folders.h"
#include "settings/qt_settings_backend.h"
#include "text/case_fold.h"
#include "text/messages.h"

#include <QFileInfo>
#include <QSettings>

namespace lbv {
namespace {

constexpr qsizetype kMaxErrorLength = 2048;

QString CacheKey(const QString& section, const QString& name)
{
    return NormalizedSection(section) + u'\\' + name;
}

// A snapshot of the ini file: it is never written, and its names match in any letter case as
// they do in ini files elsewhere.
std::unique_ptr<SettingsBackend> LoadIniFile(const QString& path)
{
    auto snapshot = std::make_unique<MemorySettingsBackend>(Qt::CaseInsensitive);
    if (!QFileInfo(path).isFile())
        return snapshot;
    QSettings ini(path, QSettings::IniFormat);
    const QStringList keys = ini.allKeys();
    for (const QString& key : keys) {
        const qsizetype slash = key.lastIndexOf(u'/');
        const QString section = slash < 0 ? QString() : key.left(slash);
        const QString name = key.mid(slash + 1);
        const QVariant value = ini.value(key);
        if (value.typeId() == QMetaType::QByteArray)
            snapshot->WriteBinary(section, name, value.toByteArray());
        else if (value.typeId() == QMetaType::QStringList)
            snapshot->WriteString(section, name, value.toStringList().join(u','));
        else
            snapshot->WriteString(section, name, value.toString());
    }
    return snapshot;
}

QStringList MergedNames(QStringList first, const QStringList& second)
{
    for (const QString& name : second)
        if (!first.contains(name))
            first << name;
    return first;
}

} // namespace

SettingsStore::SettingsStore(
    std::unique_ptr<SettingsBackend> backend, bool autorun, const QString& iniPath)
    : backend_(std::move(backend))
    , autorun_(autorun)
    , iniPath_(iniPath)
    , reporter_(std::make_shared<StderrErrorReporter>())
{
    stringCache_.reserve(32);
    intCache_.reserve(32);
    if (autorun_ && !iniPath_.isEmpty())
        ini_ = LoadIniFile(iniPath_);
}

SettingsStore::~SettingsStore() = default;

bool SettingsStore::MayWrite(const QString& section) const
{
    if (!autorun_)
        return true;
    return EqualsNoCase(NormalizedSection(section).section(u'/', 0, 0), u"Bookmarks");
}

qint32 SettingsStore::GetProfileInt(
    const QString& section, const QString& name, qint32 defaultValue)
{
    const std::lock_guard lock(mutex_);
    if (const auto cached = intCache_.constFind(CacheKey(section, name));
        cached != intCache_.cend())
        return *cached;
    if (ini_) {
        const auto value = ini_->ReadInt(section, name);
        if (value && *value != kIniAbsentInt)
            return *value;
    }
    return backend_->ReadInt(section, name).value_or(defaultValue);
}

bool SettingsStore::WriteProfileInt(const QString& section, const QString& name, qint32 value)
{
    const std::lock_guard lock(mutex_);
    // Unlike a cache that only updates known keys, every write is kept: otherwise an integer
    // written in autorun mode would be lost at once, since it does not reach the backend.
    intCache_.insert(CacheKey(section, name), value);
    return !MayWrite(section) || backend_->WriteInt(section, name, value);
}

QString SettingsStore::GetProfileString(
    const QString& section, const QString& name, const QString& defaultValue)
{
    const std::lock_guard lock(mutex_);
    if (const auto cached = stringCache_.constFind(CacheKey(section, name));
        cached != stringCache_.cend())
        return *cached;
    if (ini_) {
        const auto value = ini_->ReadString(section, name);
        if (value && *value != IniAbsentText())
            return *value;
    }
    return backend_->ReadString(section, name).value_or(defaultValue);
}

bool SettingsStore::WriteProfileString(
    const QString& section, const QString& name, const QString& value)
{
    const std::lock_guard lock(mutex_);
    stringCache_.insert(CacheKey(section, name), value);
    return !MayWrite(section) || backend_->WriteString(section, name, value);
}

qint32 SettingsStore::EnsureProfileInt(
    const QString& section, const QString& name, qint32 defaultValue)
{
    const qint32 value = GetProfileInt(section, name, kAbsentMarker);
    if (value != kAbsentMarker)
        return value;
    if (!autorun_)
        WriteProfileInt(section, name, defaultValue);
    return defaultValue;
}

std::optional<QByteArray> SettingsStore::GetProfileBinary(
    const QString& section, const QString& name)
{
    const std::lock_guard lock(mutex_);
    return backend_->ReadBinary(section, name);
}

bool SettingsStore::WriteProfileBinary(
    const QString& section, const QString& name, const QByteArray& value)
{
    const std::lock_guard lock(mutex_);
    return backend_->WriteBinary(section, name, value);
}

QStringList SettingsStore::ValueNames(const QString& section)
{
    const std::lock_guard lock(mutex_);
    const QStringList stored = backend_->ValueNames(section);
    return ini_ ? MergedNames(ini_->ValueNames(section), stored) : stored;
}

QStringList SettingsStore::Subsections(const QString& section)
{
    const std::lock_guard lock(mutex_);
    const QStringList stored = backend_->ChildSections(section);
    return ini_ ? MergedNames(ini_->ChildSections(section), stored) : stored;
}

void SettingsStore::DropCached(const QString& section, const QString& name)
{
    const QString key = CacheKey(section, name);
    stringCache_.remove(key);
    intCache_.remove(key);
}

bool SettingsStore::RemoveValue(const QString& section, const QString& name)
{
    const std::lock_guard lock(mutex_);
    if (!MayWrite(section))
        return false;
    DropCached(section, name);
    return backend_->RemoveValue(section, name);
}

bool SettingsStore::RemoveSection(const QString& section)
{
    const std::lock_guard lock(mutex_);
    if (!MayWrite(section))
        return false;
    const QString normalized = NormalizedSection(section);
    const auto isBelow = [&](const QString& key) {
        return key.size() > normalized.size() && key.startsWith(normalized)
            && (key.at(normalized.size()) == u'\\' || key.at(normalized.size()) == u'/');
    };
    stringCache_.removeIf([&](const auto& entry) { return isBelow(entry.key()); });
    intCache_.removeIf([&](const auto& entry) { return isBelow(entry.key()); });
    return backend_->RemoveSection(section);
}

bool SettingsStore::Flush()
{
    const std::lock_guard lock(mutex_);
    return backend_->Flush();
}

void SettingsStore::ReportError(const QString& text)
{
    std::shared_ptr<ErrorReporter> reporter;
    {
        // Not held while the message shows: a modal box runs the event loop, which may read
        // settings.
        const std::lock_guard lock(mutex_);
        reporter = reporter_;
    }
    reporter->ShowError(MessageText(Msg::Error), text.left(kMaxErrorLength));
}

void SettingsStore::SetErrorReporter(std::shared_ptr<ErrorReporter> reporter)
{
    const std::lock_guard lock(mutex_);
    reporter_ = reporter ? std::move(reporter) : std::make_shared<StderrErrorReporter>();
}

QString DefaultIniPath()
{
    return ProgramFilePath(QStringLiteral("libravon.ini"));
}

namespace {

std::mutex appSettingsMutex;
std::unique_ptr<SettingsStore> appSettings;

} // namespace

SettingsStore& AppSettings()
{
    const std::lock_guard lock(appSettingsMutex);
    if (!appSettings)
        appSettings = std::make_unique<SettingsStore>(
            QtSettingsBackend::UserScope(ProfileOrganisation(), ProfileApplication()));
    return *appSettings;
}

std::unique_ptr<SettingsStore> InstallAppSettings(std::unique_ptr<SettingsStore> store)
{
    const std::lock_guard lock(appSettingsMutex);
    std::swap(appSettings, store);
    return store;
}

} // namespace lbv
