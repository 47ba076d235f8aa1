#pragma once
// Keeps a header's column widths, display order and format flags in the settings, one
// "%u %u %08x" string per column under a key such as "TreeHeaderItem_%1".
#include <QString>

#include <vector>

class QHeaderView;

namespace lbv {

class SettingsStore;

class HeaderPersistence {
public:
    // `keyPattern` holds "%1" for the column index.
    HeaderPersistence(QString section, QString keyPattern)
        : section_(std::move(section))
        , keyPattern_(std::move(keyPattern))
    {
    }

    // Applies what is sane of the stored strings of the first `columns` columns.
    void Restore(SettingsStore& store, QHeaderView& header, int columns);
    // Writes every column of the header.
    void Store(SettingsStore& store, const QHeaderView& header) const;

private:
    QString Key(int column) const { return keyPattern_.arg(column); }

    QString section_;
    QString keyPattern_;
    std::vector<quint32> formats_; // kept as stored, so a round trip changes nothing
};

} // namespace lbv
