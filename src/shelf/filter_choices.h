#pragma once
// The Shelf page's "Filter:" drop-down: "<No filter>", "<Create filter>", then one entry per
// filter (in list order at start-up, later ones appended). Its operations keep the drop-down,
// the filter list, the stored filters and the active filter of the search in step.
#include <QString>
#include <vector>

namespace lbv {

class FilterList;
class SettingsStore;
class ShelfSearch;
struct Filter;

class FilterChoices {
public:
    static constexpr int kNoFilterIndex = 0;
    static constexpr int kCreateFilterIndex = 1;

    struct Entry {
        QString text;
        Filter* filter; // null for the first two entries
    };

    FilterChoices(FilterList& filters, ShelfSearch& search, SettingsStore& settings);

    const std::vector<Entry>& Entries() const { return entries_; }
    int SelectedIndex() const { return selected_; }
    // Whether "Edit" and "X" apply: a filter's entry is selected.
    bool CanEditSelected() const { return selected_ > kCreateFilterIndex; }

    // Reads the filter list from the store, fills the entries, selects the stored active filter (by
    // exact name, else case-insensitively) and applies it. An unknown name selects "<No filter>"
    // and sets `warning` to the text to show.
    void Start(const QString& searchText, QString* warning);
    // The user picked an entry other than "<Create filter>": applies its filter (none for
    // "<No filter>"). Out-of-range indexes are ignored.
    void Select(int index, const QString& searchText);
    // The filter editor for "<Create filter>" closed with OK: lists, stores, appends, selects
    // and applies the new filter. Returns its entry, or -1 with nothing changed when a filter
    // of that name exists.
    int Create(const Filter& edited, const QString& searchText);
    // The filter editor for "<Create filter>" was cancelled: back to "<No filter>".
    void CancelCreate(const QString& searchText);
    // The filter editor for the selected entry closed with OK: updates and stores the filter,
    // renames its entry and applies it again. False with nothing changed when no filter entry
    // is selected or another filter has the new name.
    bool EditSelected(const Filter& edited, const QString& searchText);
    // "X": deletes the active filter, selects "<No filter>", stores "<No filter>" as the active
    // filter and searches again. False when no filter is active.
    bool DeleteActive(const QString& searchText);

private:
    FilterList& filters_;
    ShelfSearch& search_;
    SettingsStore& settings_;
    std::vector<Entry> entries_;
    int selected_ = kNoFilterIndex;
};

} // namespace lbv
