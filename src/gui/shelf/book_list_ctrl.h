#pragma once
// The Shelf page's book list: the books of the current group with their size-class colours and
// the preview band of selected rows. Opens books, deletes and sorts them, and moves them by
// drag and drop within their group or (dropped on the author tree) to another group of their
// author. Changes the catalog only on the GUI thread while no import runs.
#include "gui/common/grid_delegate.h"
#include "gui/common/header_persistence.h"
#include "shelf/book_list_rules.h"

#include <QString>
#include <QTreeView>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QDropEvent;

namespace lbv {

class BookListDialogs;
class BookListModel;
class ExportBridge;
class CBook;
class CBookListDelegate;
class CCatalogItem;
class CLibravonDoc;
class CatalogSession;
class GenreDictionary;
class SettingsStore;

// The MIME type of book drags. Its data is empty: the dragged books stay with the list that
// started the drag, so a drop from elsewhere can never pass pointers.
inline const QString kBookDragMimeType = QStringLiteral("application/x-libravon-books");
// Whether a drag or drop event carries books from a book list of this process.
bool IsBookListDrag(const QDropEvent& event);

class CBookListCtrl final : public QTreeView {
    Q_OBJECT
public:
    // The tree row (a catalog or search-result author or group) under a global position.
    using TreeRowAt = std::function<CCatalogItem*(const QPoint& globalPosition)>;

    // Reads the session's records under its lock.
    CBookListCtrl(CatalogSession& session, SettingsStore& settings, BookListDialogs& dialogs,
        const GenreDictionary& genres, QWidget* parent = nullptr);
    ~CBookListCtrl() override; // stores the column layout

    // Shows a group (a CGroup or a SearchGroup) of the catalog; both pointers must stay valid
    // until the next ShowGroup or Clear, so call Clear before the catalog or search result they
    // point into is replaced.
    void ShowGroup(CLibravonDoc* catalog, CCatalogItem* group);
    void Clear();
    void SetTreeRowLookup(TreeRowAt lookup) { treeRowAt_ = std::move(lookup); }
    // The widget (the author tree's viewport) that takes this list's drags, and only those, as
    // drops on its rows.
    void SetDropArea(QWidget* area);
    void SetImportRunning(bool running) { importRunning_ = running; }
    void SetGridLines(GridLines lines);
    // Offers an item per exporter of `bridge` in the context menu; the bridge must outlive the
    // list or be replaced first.
    void SetExportBridge(ExportBridge* bridge);

    BookListModel& Model() const { return *model_; }
    std::vector<CBook*> SelectedBooks() const;
    BookListState State() const;

    // The steps of a drag, which the drag and drop events drive: BeginDrag takes the selected
    // books (or refuses, telling why); a drop either reorders them before a book of the list or
    // moves them to the group a tree row stands for; EndDrag forgets them and rebuilds the list.
    bool BeginDrag();
    void DropBefore(CBook* target);
    void DropOnTreeRow(CCatalogItem* row);
    void EndDrag();

public Q_SLOTS:
    void settingChanged(const QString& name);
    void DeleteSelected();
    void SortGroup();
    void ReadSelected();
    void ShowProperties();
    // Hands the selected books, in row order, to exporter `index`.
    void ExportSelected(int index);

Q_SIGNALS:
    void openBookRequested(const QString& path);
    // The catalog changed in a way the author tree must show (a group or author went, a search
    // result is stale): the Shelf page re-runs its search and shows the current group again.
    void shelfRefreshRequested();
    // Books left a group or the catalog: the tree's book counts changed.
    void bookCountsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void UpdateActions();
    QList<const CBook*> SelectedForExport() const;
    void CreateColumns();
    void RestoreHeader();
    void StoreHeader();
    void ReadColors();
    void ReadPreviewFont();
    void OnHeaderClicked(int column);
    void OnDoubleClicked(const QModelIndex& index);
    void OpenBook(CBook* book);
    // Opens the header editor on the book; a changed header is written and the list rebuilt.
    void EditHeader(CBook* book);
    // After a change of the catalog: rebuilds from the group, or asks the Shelf page to.
    void Rebuild(bool treeChanged);
    QPixmap DragImage(const QRect& rowRect) const;

    SettingsStore& settings_;
    BookListDialogs& dialogs_;
    BookListModel* model_;
    CBookListDelegate* delegate_;
    TreeRowAt treeRowAt_;
    bool importRunning_ = false;
    std::vector<CBook*> dragged_;
    bool dragging_ = false;
    bool dropHandled_ = false;
    QWidget* dropArea_ = nullptr;
    std::optional<QPoint> areaDropPosition_; // global, where books were dropped on the area
    QPoint pressPosition_;
    QAction* deleteAction_ = nullptr;
    QAction* sortAction_ = nullptr;
    QAction* selectAllAction_ = nullptr;
    QAction* readAction_ = nullptr;
    QAction* propertiesAction_ = nullptr;
    ExportBridge* exportBridge_ = nullptr;
    QList<QAction*> exportActions_;
    HeaderPersistence headerLayout_ {
        QStringLiteral("BooksView"), QStringLiteral("BooksView_HeaderItem_%1")};
};

} // namespace lbv
