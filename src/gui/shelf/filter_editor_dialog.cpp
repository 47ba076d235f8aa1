#include "gui/shelf/filter_editor_dialog.h"

#include "catalog/catalog_records.h"
#include "gui/common/font_color.h"
#include "settings/settings_store.h"
#include "shelf/filter_list.h"
#include "shelf/genre_dictionary.h"
#include "text/case_fold.h"
#include "text/messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace lbv {

namespace {

constexpr int kCodeColumn = 1;

QString YearText(qint32 year, qint32 unbounded)
{
    return year == unbounded ? QString() : QString::number(year);
}

void SetSubtreeSelected(QTreeWidgetItem* item, bool selected)
{
    item->setSelected(selected);
    for (int child = 0; child < item->childCount(); ++child)
        SetSubtreeSelected(item->child(child), selected);
}

} // namespace

FilterEditorDialog::FilterEditorDialog(
    const Filter& filter, const GenreDictionary& genres, SettingsStore& settings, QWidget* parent)
    : QDialog(parent)
    , settings_(settings)
    , header_(kFiltersSection, QStringLiteral("GenreTreeHeaderItem_%1"))
    , name_(new QLineEdit(filter.name, this))
    , genreTree_(new QTreeWidget(this))
    , noYear_(new QCheckBox(QStringLiteral("No year"), this))
    , yearFrom_(new QLineEdit(YearText(filter.yearFrom, kNoYearFrom), this))
    , yearTo_(new QLineEdit(YearText(filter.yearTo, kNoYearTo), this))
    , hasAddedFrom_(new QCheckBox(QStringLiteral("From:"), this))
    , addedFrom_(new QDateEdit(this))
    , hasAddedTo_(new QCheckBox(QStringLiteral("To:"), this))
    , addedTo_(new QDateEdit(this))
{
    setWindowTitle(MessageText(Msg::FilterEditorTitle));
    name_->setObjectName(QStringLiteral("filterName"));
    noYear_->setObjectName(QStringLiteral("noYear"));
    yearFrom_->setObjectName(QStringLiteral("yearFrom"));
    yearTo_->setObjectName(QStringLiteral("yearTo"));
    hasAddedFrom_->setObjectName(QStringLiteral("hasAddedFrom"));
    addedFrom_->setObjectName(QStringLiteral("addedFrom"));
    hasAddedTo_->setObjectName(QStringLiteral("hasAddedTo"));
    addedTo_->setObjectName(QStringLiteral("addedTo"));
    noYear_->setChecked(filter.noYear);
    for (QLineEdit* year : {yearFrom_, yearTo_})
        year->setValidator(new QIntValidator(kNoYearFrom, kNoYearTo, year));

    const qint64 noDate = NoDateSentinel();
    const QDate today = QDate::currentDate();
    auto setDate = [&](QCheckBox* check, QDateEdit* edit, qint64 bound) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        check->setChecked(bound != noDate);
        edit->setDate(bound != noDate ? QDateTime::fromSecsSinceEpoch(bound).date() : today);
        edit->setEnabled(check->isChecked());
        connect(check, &QCheckBox::toggled, edit, &QWidget::setEnabled);
    };
    setDate(hasAddedFrom_, addedFrom_, filter.addedFrom);
    setDate(hasAddedTo_, addedTo_, filter.addedTo);

    genreTree_->setObjectName(QStringLiteral("genreTree"));
    genreTree_->setColumnCount(2);
    genreTree_->setHeaderLabels(
        {MessageText(Msg::BookColumnGenre), MessageText(Msg::GenreColumnCode)});
    genreTree_->header()->resizeSection(0, 300);
    genreTree_->header()->resizeSection(kCodeColumn, 100);
    header_.Restore(settings_, *genreTree_->header(), 2);
    genreTree_->setFont(ReadFont(settings_, QStringLiteral("BookViewFont"), 10));
    // A click toggles one row; Ctrl+click is widened to the row's subtree in RowClicked.
    genreTree_->setSelectionMode(QAbstractItemView::MultiSelection);
    FillGenres(genres, filter);
    connect(genreTree_, &QTreeWidget::itemClicked, this, &FilterEditorDialog::RowClicked);

    auto* expand = new QPushButton(QStringLiteral("Expand all"), this);
    auto* collapse = new QPushButton(QStringLiteral("Collapse all"), this);
    connect(expand, &QPushButton::clicked, genreTree_, &QTreeView::expandAll);
    connect(collapse, &QPushButton::clicked, genreTree_, &QTreeView::collapseAll);
    auto* hint = new QLabel(MessageText(Msg::FilterGenreHint), this);
    hint->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Filter name:"), name_);
    auto* treeButtons = new QHBoxLayout;
    treeButtons->addWidget(hint, 1);
    treeButtons->addWidget(expand);
    treeButtons->addWidget(collapse);

    auto* bounds = new QGridLayout;
    bounds->addWidget(noYear_, 0, 0);
    bounds->addWidget(new QLabel(QStringLiteral("From:"), this), 0, 1);
    bounds->addWidget(yearFrom_, 0, 2);
    bounds->addWidget(new QLabel(QStringLiteral("To:"), this), 0, 3);
    bounds->addWidget(yearTo_, 0, 4);
    bounds->addWidget(new QLabel(QStringLiteral("Imported:"), this), 1, 0);
    bounds->addWidget(hasAddedFrom_, 1, 1);
    bounds->addWidget(addedFrom_, 1, 2);
    bounds->addWidget(hasAddedTo_, 1, 3);
    bounds->addWidget(addedTo_, 1, 4);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(genreTree_, 1);
    layout->addLayout(treeButtons);
    layout->addLayout(bounds);
    layout->addWidget(buttons);
    resize(520, 560);
}

FilterEditorDialog::~FilterEditorDialog()
{
    header_.Store(settings_, *genreTree_->header());
}

void FilterEditorDialog::FillGenres(const GenreDictionary& genres, const Filter& filter)
{
    QStringList shown;
    auto addRow = [&](QTreeWidgetItem* row, const QString& code) {
        row->setSelected(filter.HasGenre(code));
        shown.append(code);
    };
    for (const RootGenre& root : genres.Roots()) {
        auto* rootRow = new QTreeWidgetItem(genreTree_, {root.title, root.code});
        addRow(rootRow, root.code);
        for (const GenreEntry& sub : root.subgenres) {
            auto* row = new QTreeWidgetItem(rootRow, {sub.title, sub.code});
            addRow(row, sub.code);
            // A chosen subgenre is shown, not hidden under its collapsed root.
            if (row->isSelected())
                rootRow->setExpanded(true);
        }
    }
    for (const QString& code : filter.Genres())
        if (std::none_of(shown.begin(), shown.end(),
                [&](const QString& row) { return EqualsNoCase(row, code); }))
            unseenGenres_.append(code);
}

void FilterEditorDialog::RowClicked(QTreeWidgetItem* item)
{
    // The click itself has toggled the row already.
    if (QApplication::keyboardModifiers() & Qt::ControlModifier)
        SetSubtreeSelected(item, item->isSelected());
}

Filter FilterEditorDialog::Edited() const
{
    FilterEditorInput input;
    input.name = name_->text();
    input.noYear = noYear_->isChecked();
    input.yearFrom = yearFrom_->text();
    input.yearTo = yearTo_->text();
    if (hasAddedFrom_->isChecked())
        input.addedFrom = addedFrom_->date();
    if (hasAddedTo_->isChecked())
        input.addedTo = addedTo_->date();
    for (QTreeWidgetItemIterator it(genreTree_); *it; ++it)
        if ((*it)->isSelected())
            input.genres.append((*it)->text(kCodeColumn));
    input.genres += unseenGenres_;
    return FilterFromEditor(input);
}

} // namespace lbv
