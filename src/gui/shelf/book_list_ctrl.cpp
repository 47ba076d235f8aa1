#include "gui/shelf/book_list_ctrl.h"

#include "catalog/libravon_doc.h"
#include "gui/common/font_color.h"
#include "gui/common/window_tokens.h"
#include "gui/shelf/book_list_delegate.h"
#include "gui/shelf/book_list_dialogs.h"
#include "gui/shelf/book_list_model.h"
#include "gui/shelf/header_sheet.h"
#include "import/book_placement.h"
#include "import/import_source.h"
#include "plugins/export_bridge.h"
#include "settings/settings_store.h"
#include "text/menu_texts.h"
#include "text/messages.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPainter>

#include <algorithm>

namespace lbv {
namespace {

const QString kSection = QStringLiteral("BooksView");
constexpr int kDefaultWidths[] = {200, 50, 100};
constexpr int kExtraWidth = 100;
constexpr int kDetailsWidth = 100;

const QString kPreviewBackgroundKey = QStringLiteral("ColorPreviewBG");
const QString kPreviewTextKey = QStringLiteral("ColorPreviewFG");
const QString kPreviewFontKey = QStringLiteral("BookDetailsFont");
constexpr int kPreviewFontPoints = 8;

} // namespace

bool IsBookListDrag(const QDropEvent& event)
{
    return qobject_cast<CBookListCtrl*>(event.source())
        && event.mimeData()->hasFormat(kBookDragMimeType);
}

CBookListCtrl::CBookListCtrl(CatalogSession& session, SettingsStore& settings,
    BookListDialogs& dialogs, const GenreDictionary& genres, QWidget* parent)
    : QTreeView(parent)
    , settings_(settings)
    , dialogs_(dialogs)
    , model_(new BookListModel(session, genres, this))
{
    setObjectName(QStringLiteral("bookList"));
    setModel(model_);
    delegate_ = new CBookListDelegate(*this, *model_, session);
    setItemDelegate(delegate_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(true);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(true);
    header()->setFirstSectionMovable(true); // a list, not a tree: every column may move
    header()->setSortIndicatorShown(false);
    connect(header(), &QHeaderView::sectionClicked, this, &CBookListCtrl::OnHeaderClicked);
    connect(this, &QTreeView::doubleClicked, this, &CBookListCtrl::OnDoubleClicked);

    CreateActions();
    CreateColumns();
    ReadColors();
    ReadPreviewFont();
    delegate_->SetPrefetchSize(ImportPrefetchSize(settings_));
}

CBookListCtrl::~CBookListCtrl()
{
    StoreHeader();
}

void CBookListCtrl::CreateActions()
{
    const auto add = [this](MenuItem item, const char* name, void (CBookListCtrl::*slot)()) {
        auto* action = new QAction(MenuText(item), this);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    deleteAction_ = add(MenuItem::BookDelete, "bookDeleteAction", &CBookListCtrl::DeleteSelected);
    sortAction_ = add(MenuItem::BookSort, "bookSortAction", &CBookListCtrl::SortGroup);
    selectAllAction_ = add(MenuItem::BookSelectAll, "bookSelectAllAction", &QTreeView::selectAll);
    readAction_ = add(MenuItem::BookRead, "bookReadAction", &CBookListCtrl::ReadSelected);
    propertiesAction_
        = add(MenuItem::BookProperties, "bookPropertiesAction", &CBookListCtrl::ShowProperties);
}

void CBookListCtrl::UpdateActions()
{
    const BookMenuEnabling enabling = BookMenuEnablingFor(State());
    deleteAction_->setEnabled(enabling.deleteBooks);
    sortAction_->setEnabled(enabling.sort);
    selectAllAction_->setEnabled(enabling.selectAll);
    readAction_->setEnabled(enabling.read);
    propertiesAction_->setEnabled(enabling.properties);
    const CLibravonDoc* catalog = model_->Catalog();
    const bool exportable = catalog && CanExport(SelectedForExport(), *catalog);
    for (QAction* action : std::as_const(exportActions_))
        action->setEnabled(exportable);
}

QList<const CBook*> CBookListCtrl::SelectedForExport() const
{
    QList<const CBook*> books;
    for (const CBook* book : SelectedBooks())
        books.append(book);
    return books;
}

void CBookListCtrl::SetExportBridge(ExportBridge* bridge)
{
    qDeleteAll(exportActions_);
    exportActions_.clear();
    exportBridge_ = bridge;
    if (!bridge)
        return;
    const QList<ExporterEntry>& exporters = bridge->Exporters();
    for (int index = 0; index < exporters.size(); ++index) {
        auto* action = new QAction(exporters[index].menu, this);
        action->setObjectName(QStringLiteral("bookExportAction%1").arg(index));
        connect(action, &QAction::triggered, this, [this, index] { ExportSelected(index); });
        exportActions_.append(action);
    }
}

// Exporters write their own files, so exporting is allowed in autorun mode too.
void CBookListCtrl::ExportSelected(int index)
{
    const CLibravonDoc* catalog = model_->Catalog();
    const QList<const CBook*> books = SelectedForExport();
    if (!exportBridge_ || !catalog || !CanExport(books, *catalog))
        return;
    exportBridge_->Export(index, books, *catalog, WindowToken(window()));
}

void CBookListCtrl::CreateColumns()
{
    for (int column = 0; column < model_->columnCount(); ++column) {
        const int width = column < BookListModel::FirstExtraColumn ? kDefaultWidths[column]
            : column == model_->DetailsColumn()                     ? kDetailsWidth
                                                                    : kExtraWidth;
        // Wide enough for the header text where the font is larger than the widths were made for.
        setColumnWidth(column, std::max(width, header()->sectionSizeHint(column)));
    }
    RestoreHeader();
}

// The stored layout applies to the columns before "Details".
void CBookListCtrl::RestoreHeader()
{
    headerLayout_.Restore(settings_, *header(), model_->DetailsColumn());
}

void CBookListCtrl::StoreHeader()
{
    if (!settings_.Autorun())
        headerLayout_.Store(settings_, *header());
}

void CBookListCtrl::ReadColors()
{
    SizeClassColors colors;
    for (std::size_t i = 0; i < colors.size(); ++i)
        colors[i] = ReadStartupColor(settings_, kBookColorKeys[i], palette());
    delegate_->SetSizeClassColors(colors);
    delegate_->SetPreviewColors(ReadStartupColor(settings_, kPreviewBackgroundKey, palette()),
        ReadStartupColor(settings_, kPreviewTextKey, palette()));
}

void CBookListCtrl::ReadPreviewFont()
{
    delegate_->SetPreviewFont(ReadFont(settings_, kPreviewFontKey, kPreviewFontPoints));
}

void CBookListCtrl::ShowGroup(CLibravonDoc* catalog, CCatalogItem* group)
{
    model_->Show(catalog, group);
    header()->setSortIndicatorShown(false);
}

void CBookListCtrl::Clear()
{
    ShowGroup(nullptr, nullptr);
}

std::vector<CBook*> CBookListCtrl::SelectedBooks() const
{
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
        [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<CBook*> books;
    for (const QModelIndex& row : rows)
        books.push_back(model_->BookAt(row.row()));
    return books;
}

BookListState CBookListCtrl::State() const
{
    return {int(selectionModel()->selectedRows().size()), model_->CatalogGroup() != nullptr,
        settings_.Autorun(), importRunning_};
}

void CBookListCtrl::settingChanged(const QString& name)
{
    const auto is = [&name](const QString& key) {
        return name.compare(key, Qt::CaseInsensitive) == 0;
    };
    if (is(kPreviewFontKey)) {
        ReadPreviewFont();
        scheduleDelayedItemsLayout();
    } else if (is(kPreviewBackgroundKey) || is(kPreviewTextKey)
        || std::any_of(std::begin(kBookColorKeys), std::end(kBookColorKeys), is)) {
        ReadColors();
    } else if (is(QStringLiteral("GenreLang"))) {
        ShowGroup(model_->Catalog(), model_->Group());
    }
    viewport()->update();
}

void CBookListCtrl::DeleteSelected()
{
    CLibravonDoc* catalog = model_->Catalog();
    const std::vector<CBook*> books = SelectedBooks();
    if (!catalog || books.empty() || !BookMenuEnablingFor(State()).deleteBooks)
        return;
    if (!dialogs_.AskYesNo(
            this, MessageText(Msg::DeleteBookCaption), DeleteBooksQuestionText(books)))
        return;
    bool treeChanged = model_->ShowsSearchResult();
    for (auto book = books.rbegin(); book != books.rend(); ++book) {
        bool groupRemoved = false;
        bool authorRemoved = false;
        const int row = model_->RowOf(*book);
        catalog->RemoveBook(*book, &groupRemoved, &authorRemoved);
        model_->RemoveBookRow(row);
        treeChanged = treeChanged || groupRemoved || authorRemoved;
    }
    if (!treeChanged) {
        Q_EMIT bookCountsChanged();
        return;
    }
    // A group or author may be gone with its last book, and the tree's rows with it: nothing may
    // read them before the page has rebuilt its tree.
    Clear();
    Q_EMIT shelfRefreshRequested();
}

void CBookListCtrl::SortGroup()
{
    CLibravonDoc* catalog = model_->Catalog();
    CGroup* group = model_->CatalogGroup();
    if (!catalog || !group || !BookMenuEnablingFor(State()).sort)
        return;
    if (!dialogs_.AskYesNo(
            this, MessageText(Msg::SortGroupCaption), MessageText(Msg::SortGroupQuestion)))
        return;
    catalog->SortGroupByTitle(group);
    Rebuild(false);
}

void CBookListCtrl::ReadSelected()
{
    const std::vector<CBook*> books = SelectedBooks();
    if (!books.empty())
        OpenBook(books.front());
}

void CBookListCtrl::ShowProperties()
{
    const std::vector<CBook*> books = SelectedBooks();
    if (!books.empty())
        EditHeader(books.front());
}

void CBookListCtrl::OpenBook(CBook* book)
{
    const CLibravonDoc* catalog = model_->Catalog();
    if (!book || !catalog)
        return;
    const QString path = ActualBookPath(*book, *catalog);
    if (!path.isEmpty())
        Q_EMIT openBookRequested(path);
}

void CBookListCtrl::EditHeader(CBook* book)
{
    CLibravonDoc* catalog = model_->Catalog();
    // The catalog changes only while no import runs.
    if (!book || !catalog || importRunning_)
        return;
    CHeaderSheet sheet(this, dialogs_, settings_.Autorun());
    BookListHeaderEditUi ui(this, dialogs_, [this](bool treeChanged) {
        if (treeChanged)
            Clear(); // the rows may point at records that are gone
        Rebuild(treeChanged);
    });
    EditBookHeader(*book, *catalog, settings_, sheet, ui);
}

void CBookListCtrl::OnDoubleClicked(const QModelIndex& index)
{
    CBook* book = model_->BookAt(index.row());
    if (!book)
        return;
    if (settings_.GetProfileInt(kSection, QStringLiteral("DoubleClickStyle"), 0) == 1)
        EditHeader(book);
    else
        OpenBook(book);
}

// A click sorts ascending, a second one descending, a third returns to the group's own order,
// which drag and drop needs.
void CBookListCtrl::OnHeaderClicked(int column)
{
    if (model_->SortColumn() != column) {
        model_->sort(column, Qt::AscendingOrder);
    } else if (model_->SortOrder() == Qt::AscendingOrder) {
        model_->sort(column, Qt::DescendingOrder);
    } else {
        model_->sort(-1);
    }
    header()->setSortIndicatorShown(model_->IsSorted());
    header()->setSortIndicator(model_->SortColumn(), model_->SortOrder());
}

void CBookListCtrl::Rebuild(bool treeChanged)
{
    if (treeChanged || model_->ShowsSearchResult()) {
        // A search result is stale after any change: the page searches again and re-shows.
        Q_EMIT shelfRefreshRequested();
        return;
    }
    ShowGroup(model_->Catalog(), model_->Group());
}

bool CBookListCtrl::BeginDrag()
{
    if (dragging_)
        return false;
    switch (CheckDragStart(State(), model_->IsSorted())) {
    case DragStart::RefusedWhileSorted:
        dialogs_.ShowMessage(this, MessageText(Msg::NoDragWhileSorted));
        return false;
    case DragStart::Refused:
        return false;
    case DragStart::Allowed:
        break;
    }
    dragged_ = SelectedBooks();
    dragging_ = true;
    return true;
}

void CBookListCtrl::DropBefore(CBook* target)
{
    CLibravonDoc* catalog = model_->Catalog();
    if (dragging_ && catalog)
        MoveBooksBefore(*catalog, dragged_, target);
}

void CBookListCtrl::DropOnTreeRow(CCatalogItem* row)
{
    CLibravonDoc* catalog = model_->Catalog();
    if (!dragging_ || !catalog || dragged_.empty())
        return;
    CGroup* target = DropTargetGroup(*catalog, row, dragged_);
    const int moved = target ? MoveBooksToGroup(*catalog, dragged_, target) : 0;
    if (moved == 0) {
        dialogs_.ShowError(this, CantDropHereText(*dragged_.front()));
        return;
    }
    Q_EMIT bookCountsChanged();
}

void CBookListCtrl::EndDrag()
{
    if (!dragging_)
        return;
    dragging_ = false;
    dragged_.clear();
    Rebuild(false);
}

QPixmap CBookListCtrl::DragImage(const QRect& rowRect) const
{
    QPixmap image(rowRect.size().boundedTo(viewport()->size()).expandedTo(QSize(1, 1)));
    image.fill(palette().color(QPalette::Highlight));
    QPainter painter(&image);
    painter.setPen(palette().color(QPalette::HighlightedText));
    painter.setFont(font());
    const QString text = dragged_.size() == 1 ? dragged_.front()->title
                                              : MessageText(Msg::DraggedBooks).arg(dragged_.size());
    const QRect area = image.rect().adjusted(2, 0, -2, 0);
    painter.drawText(area, Qt::AlignVCenter | Qt::TextWordWrap,
        painter.fontMetrics().elidedText(text, Qt::ElideRight, area.width()));
    return image;
}

void CBookListCtrl::startDrag(Qt::DropActions)
{
    const QModelIndex pressed = indexAt(pressPosition_);
    if (!pressed.isValid() || !BeginDrag())
        return;
    QRect rowRect = visualRect(pressed);
    rowRect.setLeft(0);
    rowRect.setWidth(viewport()->width());
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    data->setData(kBookDragMimeType, {});
    drag->setMimeData(data);
    drag->setPixmap(DragImage(rowRect));
    drag->setHotSpot(pressPosition_ - rowRect.topLeft());
    dropHandled_ = false;
    areaDropPosition_.reset();
    const Qt::DropAction action = drag->exec(Qt::MoveAction);
    // A drop outside the list's rows lands on whatever tree row is under the pointer.
    if (!dropHandled_ && action != Qt::IgnoreAction) {
        const QPoint at = areaDropPosition_.value_or(QCursor::pos());
        DropOnTreeRow(treeRowAt_ ? treeRowAt_(at) : nullptr);
    }
    EndDrag();
}

void CBookListCtrl::SetDropArea(QWidget* area)
{
    dropArea_ = area;
    dropArea_->setAcceptDrops(true);
    dropArea_->installEventFilter(this);
}

bool CBookListCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != dropArea_)
        return QTreeView::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!IsBookListDrag(*drop) || drop->source() != this) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        if (event->type() == QEvent::Drop)
            areaDropPosition_ = dropArea_->mapToGlobal(drop->position().toPoint());
        return true;
    }
    default:
        return QTreeView::eventFilter(watched, event);
    }
}

void CBookListCtrl::dragEnterEvent(QDragEnterEvent* event)
{
    if (IsBookListDrag(*event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CBookListCtrl::dragMoveEvent(QDragMoveEvent* event)
{
    QTreeView::dragMoveEvent(event);
    if (IsBookListDrag(*event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CBookListCtrl::dropEvent(QDropEvent* event)
{
    if (!IsBookListDrag(*event) || event->source() != this) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (CBook* target = model_->BookAt(indexAt(event->position().toPoint()).row())) {
        DropBefore(target);
        dropHandled_ = true;
    }
    setState(NoState);
}

void CBookListCtrl::mousePressEvent(QMouseEvent* event)
{
    pressPosition_ = event->position().toPoint();
    QTreeView::mousePressEvent(event);
}

void CBookListCtrl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OpenBook(model_->BookAt(currentIndex().row()));
        return;
    }
    QTreeView::keyPressEvent(event);
}

void CBookListCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    const QModelIndex clicked = indexAt(event->pos());
    if (clicked.isValid() && selectionModel()->selectedRows().size() <= 1)
        selectionModel()->select(clicked,
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    UpdateActions();
    QMenu menu(this);
    menu.addActions({deleteAction_, sortAction_, selectAllAction_, readAction_, propertiesAction_});
    if (!exportActions_.isEmpty()) {
        menu.addSeparator();
        menu.addActions(exportActions_);
    }
    menu.exec(event->globalPos());
}

void CBookListCtrl::selectionChanged(
    const QItemSelection& selected, const QItemSelection& deselected)
{
    QTreeView::selectionChanged(selected, deselected);
    for (const QItemSelection* change : {&selected, &deselected})
        for (const QItemSelectionRange& range : *change)
            for (int row = range.top(); row <= range.bottom(); ++row)
                delegate_->RowHeightChanged(row);
}

void CBookListCtrl::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    // The preview band wraps its text to the list's width.
    if (!selectionModel()->selectedRows().isEmpty())
        scheduleDelayedItemsLayout();
}

void CBookListCtrl::drawRow(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int band = delegate_->BandHeight(index.row());
    if (band == 0) {
        QTreeView::drawRow(painter, option, index);
        return;
    }
    QStyleOptionViewItem cells = option;
    cells.rect.setHeight(option.rect.height() - band);
    QTreeView::drawRow(painter, cells, index);
    const QRect area(0, cells.rect.bottom() + 1, viewport()->width(), band);
    delegate_->PaintBand(painter, area, index.row(), hasFocus());
}

void CBookListCtrl::SetGridLines(GridLines lines)
{
    delegate_->SetGridLines(lines);
    viewport()->update();
}

void CBookListCtrl::paintEvent(QPaintEvent* event)
{
    QTreeView::paintEvent(event);
    if (model_->rowCount() > 0) {
        const QRect last = visualRect(model_->index(model_->rowCount() - 1, 0));
        QPainter painter(viewport());
        delegate_->PaintBelowRows(painter, *this, last.bottom(),
            last.height() - delegate_->BandHeight(model_->rowCount() - 1));
        return;
    }
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(viewport()->rect().adjusted(4, 8, -4, -4), Qt::AlignHCenter | Qt::AlignTop,
        MessageText(Msg::NoBooksInGroup));
}

} // namespace lbv
