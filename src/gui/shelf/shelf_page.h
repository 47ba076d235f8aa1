#pragma once
// The Shelf page: the author tree with its status line, the search box and the book list. It
// shows the catalog of the frame's session (whole, or what the search found), keeps the current
// author and group, runs the tree's commands (delete, new group, rename) and is the drop target
// for books dragged from the list.
#include "gui/common/header_persistence.h"
#include "shelf/filter_choices.h"
#include "shelf/filter_list.h"
#include "shelf/shelf_search.h"

#include <QWidget>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class QSplitter;

namespace lbv {

class CAuthorTreeModel;
class CBook;
class CBookListCtrl;
class CCatalogItem;
class CGridTreeView;
class CGroup;
class CatalogSession;
class SettingsStore;
class ShelfDialogs;

class CShelfPage : public QWidget, private ShelfDisplay {
    Q_OBJECT
public:
    CShelfPage(CatalogSession& session, SettingsStore& settings, ShelfDialogs& dialogs,
        QWidget* parent = nullptr);
    ~CShelfPage() override;

    // Rebuilds the tree from the whole catalog (result null) or a search result.
    void Show(CLibravonDoc* catalog, const SearchResult* result);
    // Runs the search box's search again, rebuilding the tree from the catalog as it is now.
    void Refresh();
    // Fills the filter drop-down and applies the stored active filter, telling the user when it
    // is no longer there. Called once the frame is built.
    void StartFilters();
    // Acts on a changed setting, then passes its name on to the book list.
    void SettingChanged(const QString& name);

    CCatalogItem* CurrentAuthor() const { return currentAuthor_; }
    CCatalogItem* CurrentGroup() const { return currentGroup_; }
    QString StatusText() const;
    CGridTreeView* Tree() const { return tree_; }
    CBookListCtrl* BookList() const { return bookList_; }
    QLineEdit* SearchBox() const { return searchBox_; }
    QComboBox* FilterBox() const { return filterBox_; }
    QToolButton* EditFilterButton() const { return editFilter_; }
    QToolButton* DeleteFilterButton() const { return deleteFilter_; }
    Filter* ActiveFilter() const { return search_.ActiveFilter(); }
    CAuthorTreeModel* TreeModel() const { return model_; }

    // The tree row's record (catalog or search result author or group) at a global position,
    // where books dragged from the list are dropped; null over no row.
    CCatalogItem* RowAtPoint(const QPoint& globalPos) const;
    // After books moved or were deleted: the "Books" counts and the status line follow.
    void BooksChanged();

    // The tree's commands on the selected row; each does nothing where it is not offered.
    void DeleteSelected();
    void RenameSelectedGroup();
    void NewGroupForSelected();
    // The context menu of a row (null over no row or in autorun mode), items enabled as offered.
    QMenu* ContextMenuFor(const QModelIndex& index);
    bool TreeCommandsEnabled() const;

Q_SIGNALS:
    // The book list is to show this group (catalog or search result group; null for none).
    void groupChosen(CLibravonDoc* catalog, CCatalogItem* group);
    // A changed setting's name, after the page's own handling, for the book list.
    void settingRelayed(const QString& name);
    // The user asked to read a book (its library path).
    void openBookRequested(const QString& path);

private:
    void ShowAuthors(CLibravonDoc* catalog, const SearchResult* result) override;
    void ClearCurrentAuthorAndGroup() override;
    void Beep() override;

    void CreateTree();
    void CreateBookList();
    void ApplyTreeLook();
    void DropRows();
    void CatalogReplaced();
    void Reload();
    void UpdateStatus();
    void SelectRow(const QModelIndex& index);
    void SelectionChanged();
    void ChooseRow(const QModelIndex& index);
    void ShowContextMenu(const QPoint& pos);
    // Asks for a group name until `apply` takes one (true) or the user cancels (false).
    bool AskGroupName(
        const QString& preset, const std::function<bool(const QString&, QString*)>& apply);
    void DeleteAuthor(const QModelIndex& index);
    void DeleteGroup(const QModelIndex& index);
    bool ShowsResult() const { return shownResult_ != nullptr; }
    void RunSearch(const QString& text);
    void SearchTextChanged();
    QWidget* CreateFilterRow(QWidget* parent);
    void FilterChosen(int index);
    // Opens the filter editor until `apply` takes the edited filter (true) or the user cancels.
    bool AskFilter(Filter draft, const std::function<bool(const Filter&)>& apply);
    void CreateFilter();
    void EditSelectedFilter();
    void DeleteActiveFilter();
    // Shows the drop-down as the choices stand and enables "Edit" and "X" to match.
    void ShowFilterChoices();

    CatalogSession& session_;
    SettingsStore& settings_;
    ShelfDialogs& dialogs_;
    const bool autorun_;
    ShelfSearch search_;
    FilterList filters_;
    FilterChoices choices_;
    HeaderPersistence header_;
    CAuthorTreeModel* model_;
    CGridTreeView* tree_;
    QLineEdit* searchBox_;
    QComboBox* filterBox_ = nullptr;
    QToolButton* editFilter_ = nullptr;
    QToolButton* deleteFilter_ = nullptr;
    CBookListCtrl* bookList_;
    QLabel* status_;
    QSplitter* splitter_;
    CLibravonDoc* currentCatalog_ = nullptr;
    const SearchResult* shownResult_ = nullptr;
    CCatalogItem* currentAuthor_ = nullptr;
    CCatalogItem* currentGroup_ = nullptr;
    bool filling_ = false;
};

} // namespace lbv
