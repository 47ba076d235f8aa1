#pragma once
// The stored layout of a list's header: one "%u %u %08x" string per column (width in pixels,
// display order, format flags as eight hex digits). The strings live in the user's settings and
// may have been edited by hand, so nothing is applied that could break the header.
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace lbv {

struct HeaderItemState {
    // Sort-arrow bits of the format; a sort is never restored from them.
    static constexpr quint32 kSortArrowFlags = 0x200 | 0x400;
    static constexpr quint32 kStringFormat = 0x4000;
    static constexpr int kMaxWidth = 10000;

    int width = 0;
    int order = 0;
    quint32 format = kStringFormat;
};

// Exactly three numbers (decimal, decimal, hexadecimal) separated by white space; nothing
// otherwise.
std::optional<HeaderItemState> ParseHeaderItemState(const QString& text);
QString FormatHeaderItemState(const HeaderItemState& state);

// What may be applied of the stored strings of `columnCount` columns (missing strings count as
// empty): per column a width (only 1..kMaxWidth) and format (sort arrows dropped); the display
// orders only when every column has one and together they are a permutation of the columns.
struct HeaderLayout {
    std::vector<std::optional<int>> widths;
    std::vector<std::optional<quint32>> formats;
    std::optional<std::vector<int>> orders; // orders[column] = display position
};
HeaderLayout ResolveHeaderLayout(const QStringList& stored, int columnCount);

} // namespace lbv
