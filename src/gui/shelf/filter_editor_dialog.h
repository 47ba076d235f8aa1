#pragma once
// The filter editor: name, genres (a tree of the dictionary's root genres and subgenres), the
// year range and the import-date bounds of one filter.
#include "gui/common/header_persistence.h"
#include "shelf/filter.h"

#include <QDialog>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace lbv {

class GenreDictionary;
class SettingsStore;

class FilterEditorDialog : public QDialog {
    Q_OBJECT
public:
    FilterEditorDialog(const Filter& filter, const GenreDictionary& genres, SettingsStore& settings,
        QWidget* parent = nullptr);
    ~FilterEditorDialog() override;

    // The filter as the fields stand now.
    Filter Edited() const;
    QTreeWidget* GenreTree() const { return genreTree_; }

private:
    void FillGenres(const GenreDictionary& genres, const Filter& filter);
    void RowClicked(QTreeWidgetItem* item);

    SettingsStore& settings_;
    HeaderPersistence header_;
    QLineEdit* name_;
    QTreeWidget* genreTree_;
    QCheckBox* noYear_;
    QLineEdit* yearFrom_;
    QLineEdit* yearTo_;
    QCheckBox* hasAddedFrom_;
    QDateEdit* addedFrom_;
    QCheckBox* hasAddedTo_;
    QDateEdit* addedTo_;
    // Codes of the filter that no row shows (another language, changed dictionary): kept.
    QStringList unseenGenres_;
};

} // namespace lbv
