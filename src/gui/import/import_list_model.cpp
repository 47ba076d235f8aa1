#include "gui/import/import_list_model.h"

#include "import/import_list.h"
#include "text/messages.h"

#include <QPainter>
#include <QPixmap>

namespace lbv {
namespace {

constexpr Msg kColumnTitles[] = {Msg::ImportColumnDirectory, Msg::ImportColumnFileName,
    Msg::ImportColumnExt, Msg::ImportColumnSize, Msg::ImportColumnStatus,
    Msg::ImportColumnTime};

// One, two or three rising bars: small, medium and large files.
QIcon SizeClassIcon(int sizeClass)
{
    constexpr int kSide = 16;
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QColor colors[] = {QColor(120, 160, 120), QColor(70, 120, 200), QColor(200, 110, 40)};
    for (int bar = 0; bar <= sizeClass; ++bar) {
        const int height = 6 + bar * 4;
        painter.fillRect(2 + bar * 5, kSide - 1 - height, 3, height, colors[sizeClass]);
    }
    return QIcon(pixmap);
}

} // namespace

CImportListModel::CImportListModel(ImportList& list, QObject* parent)
    : QAbstractTableModel(parent)
    , list_(list)
    , shownRows_(int(list.Count()))
{
    for (int sizeClass = 0; sizeClass < 3; ++sizeClass)
        sizeIcons_[std::size_t(sizeClass)] = SizeClassIcon(sizeClass);
}

int CImportListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

int CImportListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CImportListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= shownRows_)
        return {};
    const ImportRowView row = list_.Row(index.row());
    const auto sizeClass = std::size_t(row.sizeClass);
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Directory:
            return row.directory;
        case FileName:
            return row.fileName;
        case Extension:
            return row.extension;
        case Size:
            return row.size;
        case Status:
            return row.status;
        case Time:
            return row.time;
        default:
            return {};
        }
    case Qt::CheckStateRole:
        if (index.column() == Directory)
            return row.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::DecorationRole:
        if (index.column() == Directory && !row.fileName.isEmpty())
            return sizeIcons_[sizeClass];
        return {};
    case Qt::ForegroundRole:
        return foreground_[sizeClass].isValid() ? QVariant(foreground_[sizeClass]) : QVariant();
    case Qt::BackgroundRole:
        return background_[sizeClass].isValid() ? QVariant(background_[sizeClass]) : QVariant();
    case Qt::TextAlignmentRole:
        if (index.column() == Size)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case SizeClassRole:
        return row.sizeClass;
    default:
        return {};
    }
}

bool CImportListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != Directory
        || runActive_ || index.row() >= shownRows_)
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    if (!list_.SetChecked(index.row(), checked))
        return false;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags CImportListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    // The worker is the only writer while a run is active.
    if (index.column() == Directory && !runActive_)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant CImportListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= ColumnCount)
        return {};
    return MessageText(kColumnTitles[section]);
}

void CImportListModel::Reload()
{
    beginResetModel();
    shownRows_ = int(list_.Count());
    endResetModel();
}

void CImportListModel::ShowAddedRows()
{
    const int rows = int(list_.Count());
    if (rows <= shownRows_)
        return;
    beginInsertRows({}, shownRows_, rows - 1);
    shownRows_ = rows;
    endInsertRows();
}

void CImportListModel::RowsChanged(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, shownRows_ - 1);
    if (first <= last)
        Q_EMIT dataChanged(index(first, 0), index(last, ColumnCount - 1));
}

void CImportListModel::SetColors(
    const std::array<QColor, 3>& foreground, const std::array<QColor, 3>& background)
{
    foreground_ = foreground;
    background_ = background;
    if (shownRows_ > 0)
        Q_EMIT dataChanged(index(0, 0), index(shownRows_ - 1, ColumnCount - 1),
            {Qt::ForegroundRole, Qt::BackgroundRole});
}

} // namespace lbv
