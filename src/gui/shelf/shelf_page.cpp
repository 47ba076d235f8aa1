#include "gui/shelf/shelf_page.h"

#include "gui/common/font_color.h"
#include "gui/common/grid_tree_view.h"
#include "gui/common/wait_cursor.h"
#include "gui/shelf/author_tree_model.h"
#include "gui/shelf/book_list_ctrl.h"
#include "gui/shelf/shelf_dialogs.h"
#include "gui/shell/catalog_session.h"
#include "settings/settings_store.h"
#include "settings/shelf_view_settings.h"
#include "shelf/genre_dictionary.h"
#include "shelf/shelf_counts.h"
#include "text/menu_texts.h"
#include "text/messages.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace lbv {

namespace {

const QString kBooksView = QStringLiteral("BooksView");
const QString kSettings = QStringLiteral("Settings");
constexpr int kInitialWidths[] = {100, 100, 50};
constexpr ColorRef kDefaultGroupColor = 0x808080;

// The first group of a tree row's author, or its default group (catalog or result records).
CCatalogItem* FirstGroup(CCatalogItem* author)
{
    if (auto* catalogAuthor = dynamic_cast<CAuthor*>(author))
        return catalogAuthor->Groups().empty() ? nullptr : catalogAuthor->Groups().front().get();
    if (auto* found = dynamic_cast<SearchAuthor*>(author))
        return found->groups.empty() ? nullptr : found->groups.front().get();
    return nullptr;
}

CCatalogItem* DefaultGroup(CCatalogItem* author)
{
    if (auto* catalogAuthor = dynamic_cast<CAuthor*>(author))
        return catalogAuthor->FindGroup(kDefaultGroupName);
    if (auto* found = dynamic_cast<SearchAuthor*>(author))
        for (const auto& group : found->groups)
            if (group->name == kDefaultGroupName)
                return group.get();
    return nullptr;
}

} // namespace

CShelfPage::CShelfPage(
    CatalogSession& session, SettingsStore& settings, ShelfDialogs& dialogs, QWidget* parent)
    : QWidget(parent)
    , session_(session)
    , settings_(settings)
    , dialogs_(dialogs)
    , autorun_(settings.Autorun())
    , search_(ProgramGenreDictionary(), settings, *this)
    , choices_(filters_, search_, settings)
    , header_(kBooksView, QStringLiteral("TreeHeaderItem_%1"))
    , model_(new CAuthorTreeModel(session, this))
    , tree_(new CGridTreeView(this))
    , searchBox_(new QLineEdit(this))
    , bookList_(new CBookListCtrl(session, settings, dialogs, ProgramGenreDictionary()))
    , status_(new QLabel(this))
    , splitter_(new QSplitter(Qt::Horizontal, this))
{
    CreateTree();
    CreateBookList();
    searchBox_->setObjectName(QStringLiteral("searchBox"));
    status_->setObjectName(QStringLiteral("shelfStatus"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* left = new QWidget(splitter_);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(CreateFilterRow(left));
    leftLayout->addWidget(tree_, 1);
    auto* searchRow = new QHBoxLayout;
    auto* searchLabel = new QLabel(QStringLiteral("Search:"), left);
    searchLabel->setBuddy(searchBox_);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(searchBox_, 1);
    leftLayout->addLayout(searchRow);
    splitter_->addWidget(left);
    splitter_->addWidget(bookList_);
    splitter_->setStretchFactor(1, 2);
    splitter_->setSizes({300, 600});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter_, 1);
    layout->addWidget(status_);

    connect(searchBox_, &QLineEdit::returnPressed, this, [this] { RunSearch(searchBox_->text()); });
    connect(searchBox_, &QLineEdit::textChanged, this, &CShelfPage::SearchTextChanged);
    connect(&session_, &CatalogSession::aboutToBeReplaced, this, &CShelfPage::DropRows);
    connect(&session_, &CatalogSession::replaced, this, &CShelfPage::CatalogReplaced);
    connect(&session_, &CatalogSession::changed, this, &CShelfPage::Refresh);
}

CShelfPage::~CShelfPage()
{
    header_.Store(settings_, *tree_->header());
}

void CShelfPage::CreateTree()
{
    tree_->setObjectName(QStringLiteral("authorTree"));
    tree_->setModel(model_);
    tree_->setUniformRowHeights(true);
    tree_->setAllColumnsShowFocus(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* header = tree_->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(true);
    // The header texts stay readable where the font is larger than the widths were made for.
    for (int column = 0; column < CAuthorTreeModel::ColumnCount; ++column)
        header->resizeSection(
            column, std::max(kInitialWidths[column], header->sectionSizeHint(column)));
    header_.Restore(settings_, *header, CAuthorTreeModel::ColumnCount);
    // No sort until a header click; a third click on the same header restores catalog order.
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setSortIndicatorClearable(true);
    tree_->setSortingEnabled(true);
    ApplyTreeLook();
    connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &CShelfPage::SelectionChanged);
    connect(tree_, &QWidget::customContextMenuRequested, this, &CShelfPage::ShowContextMenu);
}

void CShelfPage::CreateBookList()
{
    bookList_->setFont(tree_->font());
    bookList_->SetGridLines(ReadGridLines(settings_, u"BooksView_Grid"));
    bookList_->SetTreeRowLookup([this](const QPoint& globalPos) { return RowAtPoint(globalPos); });
    bookList_->SetDropArea(tree_->viewport());
    connect(this, &CShelfPage::groupChosen, bookList_, &CBookListCtrl::ShowGroup);
    connect(this, &CShelfPage::settingRelayed, bookList_, &CBookListCtrl::settingChanged);
    connect(bookList_, &CBookListCtrl::openBookRequested, this, &CShelfPage::openBookRequested);
    connect(bookList_, &CBookListCtrl::shelfRefreshRequested, this, &CShelfPage::Refresh);
    connect(bookList_, &CBookListCtrl::bookCountsChanged, this, &CShelfPage::BooksChanged);
    connect(&session_, &CatalogSession::importRunningChanged, bookList_,
        &CBookListCtrl::SetImportRunning);
}

void CShelfPage::ApplyTreeLook()
{
    model_->SetColors(ReadColor(settings_, QStringLiteral("AuthorFG"), 0),
        ReadColor(settings_, QStringLiteral("GroupFG"), kDefaultGroupColor));
    tree_->setFont(ReadFont(settings_, QStringLiteral("BookViewFont"), 10));
    tree_->SetGridLines(ReadGridLines(settings_, u"AuthorTree_Grid"));
}

QString CShelfPage::StatusText() const
{
    return status_->text();
}

void CShelfPage::DropRows()
{
    // Before the catalog frees its records: nothing may point at them any more.
    Q_EMIT groupChosen(nullptr, nullptr);
    model_->Clear();
    shownResult_ = nullptr;
    currentAuthor_ = nullptr;
    currentGroup_ = nullptr;
}

void CShelfPage::CatalogReplaced()
{
    // Another library: nothing of the old one stays current.
    currentCatalog_ = nullptr;
    currentAuthor_ = nullptr;
    currentGroup_ = nullptr;
    search_.SetCatalog(&session_.Catalog());
    Refresh();
}

void CShelfPage::Refresh()
{
    if (!search_.Catalog())
        search_.SetCatalog(&session_.Catalog());
    // The search may keep a whole-catalog tree that it thinks current; a refresh rebuilds.
    search_.ForgetWholeCatalogShown();
    RunSearch(searchBox_->text());
}

void CShelfPage::RunSearch(const QString& text)
{
    const auto lock = session_.ReadLock();
    search_.Search(text);
}

void CShelfPage::SearchTextChanged()
{
    // Read at each keystroke: the Options page may have changed it meanwhile.
    if (filling_ || ReadShelfViewSetting(settings_, kBooksView, u"SearchAfterEnter"))
        return;
    RunSearch(searchBox_->text());
}

QWidget* CShelfPage::CreateFilterRow(QWidget* parent)
{
    auto* row = new QWidget(parent);
    filterBox_ = new QComboBox(row);
    editFilter_ = new QToolButton(row);
    deleteFilter_ = new QToolButton(row);
    editFilter_->setText(QStringLiteral("Edit"));
    deleteFilter_->setText(QStringLiteral("X"));
    filterBox_->setObjectName(QStringLiteral("filterBox"));
    editFilter_->setObjectName(QStringLiteral("editFilter"));
    deleteFilter_->setObjectName(QStringLiteral("deleteFilter"));
    auto* label = new QLabel(QStringLiteral("Filter:"), row);
    label->setBuddy(filterBox_);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(filterBox_, 1);
    layout->addWidget(editFilter_);
    layout->addWidget(deleteFilter_);
    editFilter_->setEnabled(false);
    deleteFilter_->setEnabled(false);
    connect(filterBox_, &QComboBox::activated, this, &CShelfPage::FilterChosen);
    connect(editFilter_, &QToolButton::clicked, this, &CShelfPage::EditSelectedFilter);
    connect(deleteFilter_, &QToolButton::clicked, this, &CShelfPage::DeleteActiveFilter);
    return row;
}

void CShelfPage::StartFilters()
{
    if (!search_.Catalog())
        search_.SetCatalog(&session_.Catalog());
    QString warning;
    {
        const auto lock = session_.ReadLock();
        choices_.Start(searchBox_->text(), &warning);
    }
    ShowFilterChoices();
    if (!warning.isEmpty())
        dialogs_.ShowMessage(this, warning);
}

void CShelfPage::ShowFilterChoices()
{
    const QSignalBlocker blocker(filterBox_);
    filterBox_->clear();
    for (const FilterChoices::Entry& entry : choices_.Entries())
        filterBox_->addItem(entry.text);
    filterBox_->setCurrentIndex(choices_.SelectedIndex());
    editFilter_->setEnabled(choices_.CanEditSelected());
    deleteFilter_->setEnabled(choices_.CanEditSelected());
}

void CShelfPage::FilterChosen(int index)
{
    if (index == FilterChoices::kCreateFilterIndex) {
        CreateFilter();
        return;
    }
    {
        const auto lock = session_.ReadLock();
        choices_.Select(index, searchBox_->text());
    }
    ShowFilterChoices();
}

bool CShelfPage::AskFilter(Filter draft, const std::function<bool(const Filter&)>& apply)
{
    for (;;) {
        const std::optional<Filter> edited = dialogs_.EditFilter(this, draft, settings_);
        if (!edited)
            return false;
        bool applied = false;
        {
            const auto lock = session_.ReadLock();
            applied = apply(*edited);
        }
        if (applied)
            return true;
        // The name is taken: nothing changed; the user picks another name.
        dialogs_.ShowMessage(this, MessageText(Msg::FilterNameExists).arg(edited->name));
        draft = *edited;
    }
}

void CShelfPage::CreateFilter()
{
    const QString text = searchBox_->text();
    const bool created = AskFilter(
        Filter(), [&](const Filter& edited) { return choices_.Create(edited, text) >= 0; });
    if (!created) {
        const auto lock = session_.ReadLock();
        choices_.CancelCreate(text);
    }
    ShowFilterChoices();
}

void CShelfPage::EditSelectedFilter()
{
    if (!choices_.CanEditSelected())
        return;
    const QString text = searchBox_->text();
    AskFilter(*choices_.Entries()[std::size_t(choices_.SelectedIndex())].filter,
        [&](const Filter& edited) { return choices_.EditSelected(edited, text); });
    ShowFilterChoices();
}

void CShelfPage::DeleteActiveFilter()
{
    if (!choices_.CanEditSelected())
        return;
    {
        const auto lock = session_.ReadLock();
        choices_.DeleteActive(searchBox_->text());
    }
    ShowFilterChoices();
}

void CShelfPage::Reload()
{
    {
        const QSignalBlocker blocker(searchBox_);
        searchBox_->clear();
    }
    Refresh();
}

void CShelfPage::ShowAuthors(CLibravonDoc* catalog, const SearchResult* result)
{
    Show(catalog, result);
}

void CShelfPage::ClearCurrentAuthorAndGroup()
{
    currentAuthor_ = nullptr;
    currentGroup_ = nullptr;
}

void CShelfPage::Beep()
{
    QApplication::beep();
}

void CShelfPage::Show(CLibravonDoc* catalog, const SearchResult* result)
{
    const WaitCursor wait;
    const auto lock = session_.ReadLock();
    filling_ = true;
    shownResult_ = catalog ? result : nullptr;
    tree_->setUpdatesEnabled(false);
    Q_EMIT groupChosen(nullptr, nullptr);
    model_->SetCountsShown(
        settings_.GetProfileInt(kBooksView, QStringLiteral("ShowBookCount"), 1) != 0);
    model_->Reset(catalog, result);
    if (!catalog) {
        currentCatalog_ = nullptr;
        currentAuthor_ = nullptr;
        currentGroup_ = nullptr;
        status_->clear();
    } else {
        if (catalog != currentCatalog_) {
            currentAuthor_ = nullptr;
            currentGroup_ = nullptr;
        }
        currentCatalog_ = catalog;
        currentAuthor_ = model_->rowCount() > 0 ? model_->Item(model_->index(0, 0)) : nullptr;
        currentGroup_ = FirstGroup(currentAuthor_);
        if (ReadShelfViewSetting(settings_, kBooksView, u"ExpandGroups"))
            tree_->expandAll();
        UpdateStatus();
        // Tree and list agree: the group's row, or the author's row for its default group.
        QModelIndex row = model_->IndexOfItem(currentGroup_);
        if (!row.isValid())
            row = model_->IndexOfItem(currentAuthor_);
        SelectRow(row);
    }
    tree_->setUpdatesEnabled(true);
    Q_EMIT groupChosen(currentCatalog_, currentGroup_);
    filling_ = false;
}

void CShelfPage::UpdateStatus()
{
    if (!currentCatalog_) {
        status_->clear();
        return;
    }
    const auto lock = session_.ReadLock();
    const ShelfCounts all = CountCatalog(*currentCatalog_);
    status_->setText(ShelfStatusLine(shownResult_ ? CountResult(*shownResult_) : all, all));
}

void CShelfPage::SelectRow(const QModelIndex& index)
{
    if (!index.isValid()) {
        tree_->selectionModel()->clearSelection();
        return;
    }
    tree_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    tree_->scrollTo(index);
}

void CShelfPage::SelectionChanged()
{
    if (filling_)
        return;
    const QModelIndexList rows = tree_->selectionModel()->selectedRows();
    ChooseRow(rows.isEmpty() ? QModelIndex() : rows.first());
}

void CShelfPage::ChooseRow(const QModelIndex& index)
{
    CCatalogItem* item = model_->Item(index);
    {
        const auto lock = session_.ReadLock();
        if (!item) {
            currentAuthor_ = nullptr;
            currentGroup_ = nullptr;
        } else if (model_->IsAuthorRow(index)) {
            currentAuthor_ = item;
            currentGroup_ = DefaultGroup(item);
        } else {
            currentGroup_ = item;
            currentAuthor_ = model_->Item(index.parent());
        }
    }
    Q_EMIT groupChosen(currentCatalog_, currentGroup_);
}

bool CShelfPage::TreeCommandsEnabled() const
{
    return !autorun_ && session_.MayEdit() && currentCatalog_ && model_->rowCount() > 0
        && !currentCatalog_->Authors().empty();
}

QMenu* CShelfPage::ContextMenuFor(const QModelIndex& index)
{
    if (autorun_ || !index.isValid())
        return nullptr;
    SelectRow(index.siblingAtColumn(0));
    auto* menu = new QMenu(this);
    const bool enabled = TreeCommandsEnabled();
    auto add = [&](MenuItem command, void (CShelfPage::*handler)()) {
        QAction* action = menu->addAction(MenuText(command), this, handler);
        action->setEnabled(enabled);
        action->setData(int(command));
    };
    if (model_->IsAuthorRow(index)) {
        add(MenuItem::AuthorDelete, &CShelfPage::DeleteSelected);
        add(MenuItem::NewGroup, &CShelfPage::NewGroupForSelected);
    } else {
        add(MenuItem::GroupDelete, &CShelfPage::DeleteSelected);
        add(MenuItem::GroupRename, &CShelfPage::RenameSelectedGroup);
        add(MenuItem::NewGroup, &CShelfPage::NewGroupForSelected);
    }
    return menu;
}

void CShelfPage::ShowContextMenu(const QPoint& pos)
{
    QMenu* menu = ContextMenuFor(tree_->indexAt(pos));
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(tree_->viewport()->mapToGlobal(pos));
}

void CShelfPage::DeleteSelected()
{
    const QModelIndexList rows = tree_->selectionModel()->selectedRows();
    if (!TreeCommandsEnabled() || rows.isEmpty())
        return;
    if (model_->IsAuthorRow(rows.first()))
        DeleteAuthor(rows.first());
    else
        DeleteGroup(rows.first());
}

void CShelfPage::DeleteAuthor(const QModelIndex& index)
{
    auto* author = dynamic_cast<CAuthor*>(model_->Item(index)->Record());
    if (!author
        || !dialogs_.AskYesNo(this, MessageText(Msg::ProgramTitle),
            MessageText(Msg::DeleteAuthorQuestion).arg(author->firstName, author->lastName)))
        return;
    // The rows and the list let go of the author's records before the catalog frees them.
    Q_EMIT groupChosen(nullptr, nullptr);
    if (ShowsResult()) {
        model_->Clear();
        currentCatalog_->RemoveAuthor(author);
        Refresh();
        return;
    }
    const int row = index.row();
    model_->RemoveRow(index);
    if (!currentCatalog_->RemoveAuthor(author)) {
        Refresh();
        return;
    }
    UpdateStatus();
    const int next = row > 0 ? row - 1 : 0;
    SelectRow(model_->index(std::min(next, model_->rowCount() - 1), 0));
    ChooseRow(tree_->selectionModel()->selectedRows().value(0));
}

void CShelfPage::DeleteGroup(const QModelIndex& index)
{
    auto* group = dynamic_cast<CGroup*>(model_->Item(index)->Record());
    if (!group
        || !dialogs_.AskYesNo(this, MessageText(Msg::ProgramTitle),
            MessageText(Msg::DeleteGroupQuestion).arg(group->name)))
        return;
    Q_EMIT groupChosen(nullptr, nullptr);
    if (ShowsResult()) {
        model_->Clear();
        currentCatalog_->RemoveGroupKeepingBooks(group);
        Refresh();
        return;
    }
    const QPersistentModelIndex authorRow = index.parent();
    model_->RemoveRow(index);
    bool authorRemoved = false;
    if (!currentCatalog_->RemoveGroupKeepingBooks(group, &authorRemoved)) {
        Refresh();
        return;
    }
    QModelIndex select = authorRow;
    if (authorRemoved) {
        const int row = authorRow.row();
        model_->RemoveRow(authorRow);
        select = model_->index(std::min(row > 0 ? row - 1 : 0, model_->rowCount() - 1), 0);
    }
    model_->CountsChanged();
    UpdateStatus();
    SelectRow(select);
    ChooseRow(tree_->selectionModel()->selectedRows().value(0));
}

bool CShelfPage::AskGroupName(
    const QString& preset, const std::function<bool(const QString&, QString*)>& apply)
{
    QString text = preset;
    for (;;) {
        const std::optional<QString> answer = dialogs_.AskText(
            this, MessageText(Msg::GroupNameTitle), MessageText(Msg::GroupNamePrompt), text);
        if (!answer)
            return false;
        QString error;
        if (apply(*answer, &error))
            return true;
        dialogs_.ShowMessage(this, error);
        text = *answer;
    }
}

void CShelfPage::RenameSelectedGroup()
{
    const QModelIndexList rows = tree_->selectionModel()->selectedRows();
    if (!TreeCommandsEnabled() || rows.isEmpty() || model_->IsAuthorRow(rows.first()))
        return;
    const QPersistentModelIndex row = rows.first();
    auto* group = dynamic_cast<CGroup*>(model_->Item(row)->Record());
    if (!group)
        return;
    const bool renamed = AskGroupName(group->name, [&](const QString& name, QString* error) {
        return currentCatalog_->RenameGroup(group, name, error);
    });
    if (!renamed)
        return;
    if (ShowsResult())
        Refresh(); // the result keeps the name it was found with
    else
        model_->RowChanged(row);
}

void CShelfPage::NewGroupForSelected()
{
    const QModelIndexList rows = tree_->selectionModel()->selectedRows();
    if (!TreeCommandsEnabled() || rows.isEmpty())
        return;
    const QModelIndex authorRow
        = model_->IsAuthorRow(rows.first()) ? rows.first() : rows.first().parent();
    auto* author = dynamic_cast<CAuthor*>(model_->Item(authorRow)->Record());
    if (!author)
        return;
    CGroup* created = nullptr;
    const bool added = AskGroupName(QString(), [&](const QString& name, QString* error) {
        created = currentCatalog_->CreateGroup(author, name, error);
        return created != nullptr;
    });
    if (!added)
        return;
    if (ShowsResult()) {
        Refresh();
        return;
    }
    // A group named "default" is the author's hidden default group from now on.
    if (created->name != kDefaultGroupName)
        model_->AppendGroupRow(authorRow, created);
    UpdateStatus();
}

CCatalogItem* CShelfPage::RowAtPoint(const QPoint& globalPos) const
{
    return model_->Item(tree_->indexAt(tree_->viewport()->mapFromGlobal(globalPos)));
}

void CShelfPage::BooksChanged()
{
    model_->CountsChanged();
    UpdateStatus();
}

void CShelfPage::SettingChanged(const QString& name)
{
    auto is = [&name](const char* key) {
        return name.compare(QLatin1String(key), Qt::CaseInsensitive) == 0;
    };
    if (is("Reload")) {
        Reload();
    } else if (is("BookViewFont")) {
        tree_->setFont(ReadFont(settings_, QStringLiteral("BookViewFont"), 10));
        bookList_->setFont(tree_->font());
    } else if (is("AuthorTree_Grid")) {
        tree_->SetGridLines(ReadGridLines(settings_, u"AuthorTree_Grid"));
    } else if (is("BooksView_Grid")) {
        bookList_->SetGridLines(ReadGridLines(settings_, u"BooksView_Grid"));
    }
    Q_EMIT settingRelayed(name);
}

} // namespace lbv
