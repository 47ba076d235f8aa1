#pragma once
// The Shelf page's book list: the books of the current group with their size-class colours and
// the preview band of selected rows. Opens books, deletes and sorts them, and moves them by
// drag and drop within their group or (dropped on the author tree) to another group of their
// author.
#include "gui/common/grid_tree_view.h"
#include "gui/common/header_persistence.h"
#include "shelf/book_list_rules.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QDropEvent;

namespace lbv {

class ShelfDialogs;
class BookListModel;
class CBook;
class CBookListDelegate;
class CCatalogItem;
class CGroup;
class CLibravonDoc;
class CShelfPage;
class CatalogSession;
class GenreDictionary;
class SettingsStore;

// The MIME type of book drags. Its data is empty: the dragged books stay with the list that
// started the drag, so a drop from elsewhere can never pass pointers.
inline const QString kBookDragMimeType = QStringLiteral("application/x-libravon-books");
// Whether a drag or drop event carries books from a book list of this process.
bool IsBookListDrag(const QDropEvent& event);

class CBookListCtrl final : public CGridTreeView {
    Q_OBJECT
public:
    // The group that books dropped at a global position outside the list go to (null: none).
    using GroupAtPoint
        = std::function<CGroup*(const QPoint& globalPosition, const std::vector<CBook*>& dragged)>;

    // Edits the session's catalog only while no import runs.
    CBookListCtrl(CatalogSession& session, SettingsStore& settings, ShelfDialogs& dialogs,
        const GenreDictionary& genres, QWidget* parent = nullptr);
    ~CBookListCtrl() override; // stores the column layout

    // Shows a group (a CGroup or a SearchGroup) of the catalog; both pointers must stay valid
    // until the next ShowGroup or Clear, so call Clear before the catalog or search result they
    // point into is replaced.
    void ShowGroup(CLibravonDoc* catalog, CCatalogItem* group);
    void Clear();
    void SetGroupAtPoint(GroupAtPoint lookup) { groupAtPoint_ = std::move(lookup); }
    // Takes the page's book-list place: shows the groups it chooses, hears the settings it
    // relays, and sends it drops, count changes and refresh requests. The page's author tree
    // takes this list's drags (and only those) as drops.
    void AttachTo(CShelfPage& page);

    BookListModel& Model() const { return *model_; }
    std::vector<CBook*> SelectedBooks() const;
    BookListState State() const;

    // The steps of a drag, which the drag and drop events drive: BeginDrag takes the selected
    // books (or refuses, telling why); a drop either reorders them before a book of the list or
    // moves them to another group of their author (refused, with a message, for no group or
    // another author's); EndDrag forgets them and rebuilds the list.
    bool BeginDrag();
    void DropBefore(CBook* target);
    void DropOnGroup(CGroup* target);
    void EndDrag();

public Q_SLOTS:
    void settingChanged(const QString& name);
    void DeleteSelected();
    void SortGroup();
    void ReadSelected();
    void ShowProperties();

Q_SIGNALS:
    void openBookRequested(const QString& path);
    void propertiesRequested(CBook* book);
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
    void CreateColumns();
    void ReadColors();
    void ReadPreviewFont();
    void ReadGrid();
    void OnHeaderClicked(int column);
    void OnDoubleClicked(const QModelIndex& index);
    void OpenBook(CBook* book);
    // After a change of the catalog: rebuilds from the group, or asks the Shelf page to.
    void Rebuild(bool treeChanged);
    QPixmap DragImage(const QRect& rowRect) const;

    CatalogSession& session_;
    SettingsStore& settings_;
    ShelfDialogs& dialogs_;
    BookListModel* model_;
    CBookListDelegate* delegate_;
    HeaderPersistence header_;
    GroupAtPoint groupAtPoint_;
    std::vector<CBook*> dragged_;
    bool dragging_ = false;
    bool dropHandled_ = false;
    QWidget* dropArea_ = nullptr; // the author tree's viewport
    std::optional<QPoint> treeDropPosition_; // global, where the books were dropped on it
    QPoint pressPosition_;
    QAction* deleteAction_ = nullptr;
    QAction* sortAction_ = nullptr;
    QAction* selectAllAction_ = nullptr;
    QAction* readAction_ = nullptr;
    QAction* propertiesAction_ = nullptr;
};

} // namespace lbv
