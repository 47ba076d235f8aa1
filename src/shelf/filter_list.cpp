#include "shelf/filter_list.h"

#include "settings/settings_store.h"
#include "text/case_fold.h"

#include <algorithm>

namespace lbv {
namespace {

const QString kCountKey = QStringLiteral("FilterCount");
// A damaged count must not make start-up read keys for minutes.
constexpr int kMaxStoredFilters = 10000;

QString LineKey(int index)
{
    return QStringLiteral("Filter%1").arg(index);
}

} // namespace

std::vector<std::unique_ptr<Filter>>::const_iterator FilterList::LowerBound(
    const QString& name) const
{
    // Descending order: the first filter whose name does not sort after `name`.
    return std::lower_bound(filters_.begin(), filters_.end(), name,
        [](const std::unique_ptr<Filter>& f, const QString& key) {
            return CompareNoCase(f->name, key) > 0;
        });
}

qsizetype FilterList::IndexOf(const Filter* filter) const
{
    const auto it = std::find_if(filters_.begin(), filters_.end(),
        [filter](const std::unique_ptr<Filter>& f) { return f.get() == filter; });
    return it == filters_.end() ? -1 : it - filters_.begin();
}

Filter* FilterList::Find(const QString& name) const
{
    const auto it = LowerBound(name);
    return it != filters_.end() && EqualsNoCase((*it)->name, name) ? it->get() : nullptr;
}

Filter* FilterList::Insert(std::unique_ptr<Filter> filter)
{
    const auto it = LowerBound(filter->name);
    if (it != filters_.end() && EqualsNoCase((*it)->name, filter->name))
        return nullptr;
    return filters_.insert(it, std::move(filter))->get();
}

bool FilterList::Update(Filter* filter, const Filter& edited)
{
    const qsizetype index = IndexOf(filter);
    if (index < 0)
        return false;
    const Filter* sameName = Find(edited.name);
    if (sameName && sameName != filter)
        return false;
    // Take it out and put it back so a new name lands where lookups expect it.
    std::unique_ptr<Filter> owned = std::move(filters_[std::size_t(index)]);
    filters_.erase(filters_.begin() + index);
    *owned = edited;
    filters_.insert(LowerBound(owned->name), std::move(owned));
    return true;
}

bool FilterList::Remove(const Filter* filter)
{
    const qsizetype index = IndexOf(filter);
    if (index < 0)
        return false;
    filters_.erase(filters_.begin() + index);
    return true;
}

void FilterList::Load(SettingsStore& settings)
{
    filters_.clear();
    const int count
        = std::min(settings.GetProfileInt(kFiltersSection, kCountKey, 0), kMaxStoredFilters);
    for (int i = 0; i < count; ++i) {
        const QString line = settings.GetProfileString(kFiltersSection, LineKey(i), QString());
        if (!line.isEmpty())
            Insert(std::make_unique<Filter>(Filter::FromStoredForm(line)));
    }
}

void FilterList::Save(SettingsStore& settings) const
{
    settings.WriteProfileInt(kFiltersSection, kCountKey, int(filters_.size()));
    for (std::size_t i = 0; i < filters_.size(); ++i)
        settings.WriteProfileString(kFiltersSection, LineKey(int(i)), filters_[i]->StoredForm());
}

} // namespace lbv
