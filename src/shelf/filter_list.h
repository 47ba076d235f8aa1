#pragma once
// The named filters, in descending case-insensitive name order with no two names equal; stored
// in the settings section "Filters" as "FilterCount" and one "Filter<i>" line each.
#include "shelf/filter.h"

#include <memory>
#include <vector>

namespace lbv {

class SettingsStore;

inline const QString kFiltersSection = QStringLiteral("Filters");
// The name of the active filter, or "<No filter>".
inline const QString kActiveFilterKey = QStringLiteral("Filter");

class FilterList {
public:
    const std::vector<std::unique_ptr<Filter>>& Filters() const { return filters_; }

    // The filter named `name` (case-insensitively), or null.
    Filter* Find(const QString& name) const;
    // Inserts at the filter's place in name order and returns it; null (and the filter is
    // dropped) when a filter of that name exists.
    Filter* Insert(std::unique_ptr<Filter> filter);
    // Replaces the fields of a listed filter and moves it to its new place in name order.
    // Refused (false, nothing changed) when another filter already has the new name.
    bool Update(Filter* filter, const Filter& edited);
    // Removes and destroys a listed filter; false when it is not in the list.
    bool Remove(const Filter* filter);

    // Replaces the list with the stored filters; empty lines are skipped, the first of two
    // equal names wins.
    void Load(SettingsStore& settings);
    // Writes the count and every line in list order; keys beyond the count are left alone.
    void Save(SettingsStore& settings) const;

private:
    std::vector<std::unique_ptr<Filter>>::const_iterator LowerBound(const QString& name) const;
    qsizetype IndexOf(const Filter* filter) const;

    std::vector<std::unique_ptr<Filter>> filters_;
};

} // namespace lbv
