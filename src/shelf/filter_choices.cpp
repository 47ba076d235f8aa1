#include "shelf/filter_choices.h"

#include "settings/settings_store.h"
#include "shelf/filter_list.h"
#include "shelf/shelf_search.h"
#include "text/case_fold.h"
#include "text/messages.h"

#include <algorithm>

namespace lbv {

FilterChoices::FilterChoices(FilterList& filters, ShelfSearch& search, SettingsStore& settings)
    : filters_(filters)
    , search_(search)
    , settings_(settings)
{
}

void FilterChoices::Start(const QString& searchText, QString* warning)
{
    filters_.Load(settings_);
    entries_.clear();
    entries_.push_back({MessageText(Msg::NoFilter), nullptr});
    entries_.push_back({MessageText(Msg::CreateFilter), nullptr});
    for (const auto& filter : filters_.Filters())
        entries_.push_back({filter->name, filter.get()});

    const QString stored
        = settings_.GetProfileString(kFiltersSection, kActiveFilterKey, MessageText(Msg::NoFilter));
    auto it = std::find_if(
        entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.text == stored; });
    if (it == entries_.end())
        it = std::find_if(entries_.begin(), entries_.end(),
            [&](const Entry& entry) { return EqualsNoCase(entry.text, stored); });
    if (it == entries_.end() && warning)
        *warning = MessageText(Msg::FilterNotFound).arg(stored);
    selected_ = it == entries_.end() ? kNoFilterIndex : int(it - entries_.begin());
    search_.Apply(entries_[std::size_t(selected_)].filter, searchText);
}

void FilterChoices::Select(int index, const QString& searchText)
{
    if (index < 0 || std::size_t(index) >= entries_.size())
        return;
    selected_ = index;
    search_.Apply(entries_[std::size_t(index)].filter, searchText);
}

int FilterChoices::Create(const Filter& edited, const QString& searchText)
{
    Filter* filter = filters_.Insert(std::make_unique<Filter>(edited));
    if (!filter)
        return -1;
    filters_.Save(settings_);
    entries_.push_back({filter->name, filter});
    Select(int(entries_.size() - 1), searchText);
    return selected_;
}

void FilterChoices::CancelCreate(const QString& searchText)
{
    Select(kNoFilterIndex, searchText);
}

bool FilterChoices::EditSelected(const Filter& edited, const QString& searchText)
{
    if (!CanEditSelected())
        return false;
    Entry& entry = entries_[std::size_t(selected_)];
    if (!filters_.Update(entry.filter, edited))
        return false;
    filters_.Save(settings_);
    entry.text = entry.filter->name;
    search_.Apply(entry.filter, searchText);
    return true;
}

bool FilterChoices::DeleteActive(const QString& searchText)
{
    Filter* active = search_.ActiveFilter();
    if (!active)
        return false;
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                       [active](const Entry& entry) { return entry.filter == active; }),
        entries_.end());
    selected_ = kNoFilterIndex;
    search_.DropActiveFilter();
    filters_.Remove(active);
    filters_.Save(settings_);
    // The deleted filter's name must not stay stored, or the next start reports it missing.
    settings_.WriteProfileString(kFiltersSection, kActiveFilterKey, MessageText(Msg::NoFilter));
    search_.Search(searchText);
    return true;
}

} // namespace lbv
