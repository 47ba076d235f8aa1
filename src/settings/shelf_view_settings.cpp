#include "settings/shelf_view_settings.h"

#include "settings/settings_store.h"

#include <QString>

namespace lbv {
namespace {

// The book list and import log defaults are those the first start writes, so the page shows
// what the views do when a key is missing.
constexpr ShelfViewSetting kSettings[] = {
    {u"BooksView", u"AuthorTree_ShowHGrid", false, u"AuthorTree_Grid", u"Horizontal grid"},
    {u"BooksView", u"AuthorTree_ShowVGrid", false, u"AuthorTree_Grid", u"Vertical grid"},
    {u"BooksView", u"AuthorTree_ShowHGridEx", false, u"AuthorTree_Grid", u"Extend grid"},
    {u"BooksView", u"ShowHGrid", true, u"BooksView_Grid", u"Horizontal grid"},
    {u"BooksView", u"ShowVGrid", false, u"BooksView_Grid", u"Vertical grid"},
    {u"BooksView", u"ShowHGridEx", false, u"BooksView_Grid", u"Extend grid"},
    {u"ImportView", u"ShowHGrid", true, u"LogView_Grid", u"Horizontal grid"},
    {u"ImportView", u"ShowVGrid", false, u"LogView_Grid", u"Vertical grid"},
    {u"ImportView", u"ShowHGridEx", true, u"LogView_Grid", u"Extend grid"},
    {u"BooksView", u"ExpandGroups", true, u"ExpandGroups", u"Expand groups on load"},
    {u"BooksView", u"SearchAfterEnter", false, u"SearchAfterEnter", u"Search after \"Enter\" key"},
};

} // namespace

std::span<const ShelfViewSetting> ShelfViewSettings()
{
    return kSettings;
}

bool ReadShelfViewSetting(SettingsStore& store, QStringView section, QStringView key)
{
    bool defaultValue = false;
    for (const ShelfViewSetting& setting : kSettings)
        if (setting.section == section && setting.key == key)
            defaultValue = setting.defaultValue;
    return store.GetProfileInt(section.toString(), key.toString(), defaultValue ? 1 : 0) != 0;
}

} // namespace lbv
