#pragma once
// The author tree's rows: authors at the top, their groups (except the hidden default group)
// below. Rows hold pointers to catalog records or to a search result's records, captured when
// the tree is shown; they must be reset (Clear) before those records are freed. Every read of
// a record takes the catalog mutex, since an import worker may be adding books meanwhile.
#include <QAbstractItemModel>
#include <QColor>

#include <memory>
#include <vector>

namespace lbv {

class CCatalogItem;
class CatalogSession;
class CLibravonDoc;
struct SearchResult;

class CAuthorTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { FirstNameColumn, LastNameColumn, BooksColumn, ColumnCount };
    // The row's CCatalogItem* (catalog or search result record).
    static constexpr int ItemRole = Qt::UserRole + 1;

    explicit CAuthorTreeModel(CatalogSession& session, QObject* parent = nullptr);
    ~CAuthorTreeModel() override;

    // Rows for the result's authors, or for every author of the catalog when `result` is null.
    void Reset(CLibravonDoc* catalog, const SearchResult* result);
    void Clear();

    void SetCountsShown(bool shown);
    void SetColors(const QColor& author, const QColor& group);

    CCatalogItem* Item(const QModelIndex& index) const;
    bool IsAuthorRow(const QModelIndex& index) const;
    // The row showing `item` (compared as pointers), or an invalid index.
    QModelIndex IndexOfItem(const CCatalogItem* item) const;

    // Row edits that follow catalog operations, so the tree is not rebuilt.
    void RemoveRow(const QModelIndex& index);
    QModelIndex AppendGroupRow(const QModelIndex& authorIndex, CCatalogItem* group);
    // Repaints a row whose record changed (a renamed group).
    void RowChanged(const QModelIndex& index);
    // Repaints every "Books" count (books moved or deleted).
    void CountsChanged();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Header-click sorting of sibling rows; column -1 restores the catalog order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    struct AuthorRow {
        CCatalogItem* item = nullptr;
        std::vector<CCatalogItem*> groups;
        int position = 0; // its row, kept current for parent()
        int catalogOrder = 0;
    };

    AuthorRow* RowOf(const QModelIndex& index) const;
    void Renumber();
    void SortRows();

    CatalogSession& session_;
    std::vector<std::unique_ptr<AuthorRow>> rows_;
    bool countsShown_ = true;
    QColor authorColor_;
    QColor groupColor_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace lbv
