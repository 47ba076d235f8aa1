#pragma once
// The reader's list of dictionaries, kept in one setting (section "Parameters", value
// "Dictionary"): the current entry's number in decimal, then every dictionary path preceded by
// "?". Entry 0 is always "Dictionary disabled"; entry n is the n-th path.
#include "reader/dictionary.h"
#include "settings/settings_store.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace lbv {

class DictionaryList {
public:
    // An unreadable number or one out of range selects entry 0; a "*" before a path is dropped.
    static DictionaryList FromSetting(const QString& value);
    QString ToSetting() const;
    static DictionaryList Load(SettingsStore& store);
    void Save(SettingsStore& store) const;

    const QStringList& Paths() const { return paths_; }
    // "Dictionary disabled" followed by the paths.
    QStringList EntryNames() const;
    int Current() const { return current_; }
    void SetCurrent(int entry);
    bool IsEnabled() const { return current_ > 0; }
    // Empty while disabled.
    QString CurrentPath() const;

    void Add(const QString& path);
    // Removes the entry of a path; the current entry stays the same dictionary, or becomes 0
    // when it was the one removed.
    void Remove(int entry);

private:
    QStringList paths_;
    int current_ = 0;
};

// The current dictionary, or null with `message` set to "Can't open dictionary: " and the
// reason (empty while the list is disabled).
std::unique_ptr<Dictionary> OpenCurrentDictionary(const DictionaryList& list, QString* message);

} // namespace lbv
