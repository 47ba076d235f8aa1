#pragma once
// The settings store, through which every part of the program reads and writes its options.
// Integer and string reads are served first from the values written since start-up, then, in
// autorun mode, from the read-only "libravon.ini" beside the executable, then from the backend.
// In autorun mode integer and string writes reach the backend only for section "Bookmarks" (and
// the sections below it); binary values are never blocked, so their callers decide.
//
// Thread-safe: calls are serialized internally (the import worker reads options too).
#include "settings/error_reporter.h"
#include "settings/settings_backend.h"

#include <QHash>
#include <memory>
#include <mutex>
#include <optional>

namespace lbv {

class SettingsStore {
public:
    // The default EnsureProfileInt reads with: coming back, it means the value is absent.
    static constexpr qint32 kAbsentMarker = 145030;
    // What an ini file holds for "absent", as number and as text.
    static constexpr qint32 kIniAbsentInt = qint32(0xDEADFACE);
    static QString IniAbsentText() { return QStringLiteral("0xDEADFACE"); }

    // The autorun flag is fixed for the store's life. The ini file is read once, and only in
    // autorun mode with a non-empty path; a missing or unreadable file holds no values.
    explicit SettingsStore(std::unique_ptr<SettingsBackend> backend, bool autorun = false,
        const QString& iniPath = {});
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    bool Autorun() const { return autorun_; }
    const QString& IniPath() const { return iniPath_; }

    qint32 GetProfileInt(const QString& section, const QString& name, qint32 defaultValue);
    bool WriteProfileInt(const QString& section, const QString& name, qint32 value);
    QString GetProfileString(
        const QString& section, const QString& name, const QString& defaultValue = {});
    bool WriteProfileString(const QString& section, const QString& name, const QString& value);
    // The stored value, or (when absent) the default, which is also written outside autorun mode.
    qint32 EnsureProfileInt(const QString& section, const QString& name, qint32 defaultValue);

    // Straight to the backend: no cache, no ini file, no autorun rule.
    std::optional<QByteArray> GetProfileBinary(const QString& section, const QString& name);
    bool WriteProfileBinary(const QString& section, const QString& name, const QByteArray& value);

    // Sections holding lists (the reader's per-book subsections of "Bookmarks"). In autorun mode
    // the ini file's names are listed too, and only "Bookmarks" can be changed: removals
    // elsewhere change nothing and return false.
    QStringList ValueNames(const QString& section);
    QStringList Subsections(const QString& section);
    bool RemoveValue(const QString& section, const QString& name);
    bool RemoveSection(const QString& section);

    bool Flush();

    // Shows the text (cut to 2048 characters) with the caption "Error" through the installed
    // reporter; callers format it with QString::arg.
    void ReportError(const QString& text);
    // Null restores the default reporter, which writes to standard error.
    void SetErrorReporter(std::shared_ptr<ErrorReporter> reporter);

private:
    bool MayWrite(const QString& section) const;
    void DropCached(const QString& section, const QString& name);

    std::unique_ptr<SettingsBackend> backend_;
    std::unique_ptr<SettingsBackend> ini_; // only in autorun mode
    const bool autorun_;
    const QString iniPath_;
    // Values written since start-up by (section + "\" + name); reads never fill them.
    QHash<QString, QString> stringCache_;
    QHash<QString, qint32> intCache_;
    std::shared_ptr<ErrorReporter> reporter_;
    mutable std::mutex mutex_;
};

// "libravon.ini" beside the executable, or in the installed data folder when only that one has it.
QString DefaultIniPath();

// The process-wide store. Start-up installs the program's own; until then a store over the
// user's settings with autorun off is made on first use.
SettingsStore& AppSettings();
// Replaces the process-wide store (start-up, tests) and returns the previous one. Not to be
// called while other threads use the store.
std::unique_ptr<SettingsStore> InstallAppSettings(std::unique_ptr<SettingsStore> store);

} // namespace lbv
