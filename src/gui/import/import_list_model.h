#pragma once
// The import list as a table: a check box and a size-class icon in the first column, then the
// row's texts. The model keeps its own row count: a run removes finished rows on its worker
// before the GUI hears that it ended, so until Reload the rows it reads may be gone (they show
// empty). While a run is active the check boxes can't be changed.
#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>

#include <array>

namespace lbv {

class ImportList;

class CImportListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Directory, FileName, Extension, Size, Status, Time, ColumnCount };
    // The size class (0, 1, 2) of a row.
    static constexpr int SizeClassRole = Qt::UserRole + 1;

    explicit CImportListModel(ImportList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Shows the list as it is now.
    void Reload();
    // Shows the rows added to the end of the list since.
    void ShowAddedRows();
    // Rows first..last have a new status.
    void RowsChanged(int first, int last);
    void SetRunActive(bool active) { runActive_ = active; }

    // Text and background colours of the three size classes.
    void SetColors(const std::array<QColor, 3>& foreground, const std::array<QColor, 3>& background);

private:
    ImportList& list_;
    int shownRows_ = 0;
    bool runActive_ = false;
    std::array<QColor, 3> foreground_;
    std::array<QColor, 3> background_;
    std::array<QIcon, 3> sizeIcons_;
};

} // namespace lbv
