#include "gui/common/header_persistence.h"

#include "settings/header_item_state.h"
#include "settings/settings_store.h"

#include <QHeaderView>

namespace lbv {

void HeaderPersistence::Restore(SettingsStore& store, QHeaderView& header, int columns)
{
    QStringList stored;
    for (int column = 0; column < columns; ++column)
        stored.append(store.GetProfileString(section_, Key(column), QString()));
    const HeaderLayout layout = ResolveHeaderLayout(stored, columns);
    formats_.assign(std::size_t(columns), HeaderItemState::kStringFormat);
    for (int column = 0; column < columns && column < header.count(); ++column) {
        if (const auto& width = layout.widths[std::size_t(column)])
            header.resizeSection(column, *width);
        if (const auto& format = layout.formats[std::size_t(column)])
            formats_[std::size_t(column)] = *format;
    }
    if (layout.orders && columns <= header.count())
        for (int position = 0; position < columns; ++position)
            for (int column = 0; column < columns; ++column)
                if ((*layout.orders)[std::size_t(column)] == position)
                    header.moveSection(header.visualIndex(column), position);
}

void HeaderPersistence::Store(SettingsStore& store, const QHeaderView& header) const
{
    for (int column = 0; column < header.count(); ++column) {
        HeaderItemState state;
        state.width = header.sectionSize(column);
        state.order = header.visualIndex(column);
        if (std::size_t(column) < formats_.size())
            state.format = formats_[std::size_t(column)];
        store.WriteProfileString(section_, Key(column), FormatHeaderItemState(state));
    }
}

} // namespace lbv
