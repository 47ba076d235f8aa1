#include "gui/import/import_page.h"

#include "gui/common/font_color.h"
#include "gui/common/grid_tree_view.h"
#include "gui/import/existing_book_asker.h"
#include "gui/import/import_dialogs.h"
#include "gui/import/import_list_model.h"
#include "gui/import/import_log_model.h"
#include "gui/import/import_scanner.h"
#include "gui/import/run_progress_relay.h"
#include "gui/shell/catalog_session.h"
#include "convert/converter_factory.h"
#include "import/import_run.h"
#include "import/import_source.h"
#include "settings/settings_store.h"
#include "shelf/genre_dictionary.h"
#include "text/messages.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace lbv {
namespace {

const QString kSection = QStringLiteral("ImportView");
const QString kDefaultGenre = QStringLiteral("DefaultGenre");
const QString kBookFont = QStringLiteral("BookViewFont");
const QString kLogFont = QStringLiteral("LogViewFont");
const QString kGridAnnouncement = QStringLiteral("LogView_Grid");
constexpr int kBookFontPoints = 10;
constexpr int kLogFontPoints = 8;
// How often a run is looked at: often enough that its end shows at once.
constexpr int kRunPollMs = 10;
constexpr int kListWidths[] = {300, 300, 50, 60, 110, 80};
constexpr int kLogTimeWidth = 90;

// In the order of LevelSlot.
const QString kLogForeground[] = {QStringLiteral("LogInfoFG"), QStringLiteral("LogWarningFG"),
    QStringLiteral("LogErrorFG"), QStringLiteral("LogDebugFG")};
const QString kLogBackground[] = {QStringLiteral("LogInfoBG"), QStringLiteral("LogWarningBG"),
    QStringLiteral("LogErrorBG"), QStringLiteral("LogDebugBG")};

template <std::size_t N>
bool Names(const QString (&keys)[N], const QString& name)
{
    return std::any_of(std::begin(keys), std::end(keys),
        [&name](const QString& key) { return key.compare(name, Qt::CaseInsensitive) == 0; });
}

bool Is(const QString& name, const QString& key)
{
    return name.compare(key, Qt::CaseInsensitive) == 0;
}

// Where the log's lines are also written, and whether they are.
void FollowLogOptions(ImportLog& log, const ImportOptions& options)
{
    log.SetFolder(options.logFilesDir);
    log.SetWriteFiles(options.writeLogs);
}

template <std::size_t N>
std::array<QColor, N> ReadColors(
    SettingsStore& settings, const QString (&keys)[N], const QPalette& palette)
{
    std::array<QColor, N> colors;
    for (std::size_t i = 0; i < N; ++i)
        colors[i] = ReadStartupColor(settings, keys[i], palette);
    return colors;
}

} // namespace

CImportPage::CImportPage(
    CatalogSession& session, SettingsStore& settings, ImportDialogs& dialogs, QWidget* parent)
    : QWidget(parent)
    , session_(session)
    , settings_(settings)
    , dialogs_(dialogs)
    , logSink_(new CQueuedLogSink(this))
    , log_(logSink_)
    , converter_(CreateAny2Fb2Converter())
    , asker_(new CExistingBookAsker(dialogs, this))
    , relay_(new CRunProgressRelay(this))
    , scanner_(new CImportScanner(ImportPrefetchSize(settings), this))
    , listHeader_(kSection, QStringLiteral("ImportListHeaderItem_%1"))
    , logHeader_(kSection, QStringLiteral("LogHeaderItem_%1"))
    , listModel_(new CImportListModel(list_, this))
    , logModel_(new CImportLogModel(this))
    , listView_(new CGridTreeView(this))
    , logView_(new CGridTreeView(this))
    , emptyHint_(new QLabel(MessageText(Msg::ImportDropHint), listView_->viewport()))
    , addFile_(new QPushButton(MessageText(Msg::ImportAddFile), this))
    , addDir_(new QPushButton(MessageText(Msg::ImportAddDir), this))
    , operation_(new QComboBox(this))
    , genre_(new QComboBox(this))
    , progress_(new QProgressBar(this))
    , start_(new QPushButton(MessageText(Msg::ImportStart), this))
{
    ImportContext context;
    context.catalog = &session_.Catalog();
    context.catalogMutex = &session_.Mutex();
    context.log = &log_;
    context.settings = &settings_;
    context.question = asker_;
    context.converter = converter_.get();
    importer_ = std::make_unique<BookImporter>(context);
    run_ = std::make_unique<ImportRun>(list_, *importer_, relay_);
    FollowLogOptions(log_, ReadImportOptions(settings_));

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("importSplitter"));
    splitter->addWidget(CreateListPane());
    CreateLogView();
    splitter->addWidget(logView_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateControlRow());
    layout->addWidget(splitter, 1);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(progress_, 1);
    runRow->addWidget(start_);
    layout->addLayout(runRow);

    progress_->setObjectName(QStringLiteral("importProgress"));
    progress_->setTextVisible(false);
    start_->setObjectName(QStringLiteral("importStart"));
    runPoll_.setInterval(kRunPollMs);
    connect(&runPoll_, &QTimer::timeout, this, &CImportPage::PollRun);
    connect(start_, &QPushButton::clicked, this, &CImportPage::StartOrStop);
    connect(addFile_, &QPushButton::clicked, this, &CImportPage::AddFiles);
    connect(addDir_, &QPushButton::clicked, this, &CImportPage::AddFolder);
    connect(relay_, &CRunProgressRelay::progressed, this, &CImportPage::ShowProgress);
    connect(logSink_, &CQueuedLogSink::linesAdded, this, &CImportPage::AddLogLines);
    connect(scanner_, &CImportScanner::scanned, this, &CImportPage::SourceScanned);
    connect(scanner_, &CImportScanner::busyChanged, this, &CImportPage::ScanBusyChanged);
    ApplyListLook();
    ApplyLogLook();
    ApplyGrid();
    UpdateEmptyHint();
}

CImportPage::~CImportPage()
{
    listHeader_.Store(settings_, *listView_->header());
    logHeader_.Store(settings_, *logView_->header());
    delete scanner_;
    asker_->Cancel();
    run_->RequestStop();
    // The worker may be about to ask: its blocking call is answered here, where no event loop
    // runs any more, so that joining it can't wait for ever.
    while (run_->IsRunning()) {
        QCoreApplication::sendPostedEvents(asker_, QEvent::MetaCall);
        QThread::msleep(1);
    }
    run_.reset();
}

QWidget* CImportPage::CreateListPane()
{
    listView_->setObjectName(QStringLiteral("importList"));
    listView_->setModel(listModel_);
    listView_->setRootIsDecorated(false);
    listView_->setUniformRowHeights(true);
    listView_->setAllColumnsShowFocus(true);
    listView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Rows of one folder share the start of their path: its end tells them apart.
    listView_->setTextElideMode(Qt::ElideMiddle);
    QHeaderView* header = listView_->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(true);
    for (int column = 0; column < CImportListModel::ColumnCount; ++column)
        header->resizeSection(column, kListWidths[column]);
    listHeader_.Restore(settings_, *header, CImportListModel::ColumnCount);

    emptyHint_->setObjectName(QStringLiteral("importEmptyHint"));
    emptyHint_->setAlignment(Qt::AlignCenter);
    emptyHint_->setWordWrap(true);
    emptyHint_->setAttribute(Qt::WA_TransparentForMouseEvents);
    emptyHint_->setEnabled(false); // drawn in the disabled text colour, as a hint
    listView_->viewport()->installEventFilter(this);
    connect(listModel_, &QAbstractItemModel::rowsInserted, this, &CImportPage::UpdateEmptyHint);
    connect(listModel_, &QAbstractItemModel::modelReset, this, &CImportPage::UpdateEmptyHint);
    return listView_;
}

QWidget* CImportPage::CreateControlRow()
{
    addFile_->setObjectName(QStringLiteral("importAddFile"));
    addDir_->setObjectName(QStringLiteral("importAddDir"));
    operation_->setObjectName(QStringLiteral("importOperation"));
    genre_->setObjectName(QStringLiteral("importDefaultGenre"));
    for (const ImportOperation operation :
        {ImportOperation::Standard, ImportOperation::JustConvert, ImportOperation::InPlace})
        operation_->addItem(OperationText(operation));
    operation_->setCurrentIndex(0);
    FillGenres();
    connect(genre_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            settings_.WriteProfileString(kSection, kDefaultGenre, genre_->itemData(index).toString());
    });

    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(addFile_);
    layout->addWidget(addDir_);
    layout->addSpacing(12);
    auto* operationLabel = new QLabel(MessageText(Msg::ImportOperationLabel), row);
    operationLabel->setBuddy(operation_);
    layout->addWidget(operationLabel);
    layout->addWidget(operation_, 2);
    auto* genreLabel = new QLabel(MessageText(Msg::ImportDefaultGenreLabel), row);
    genreLabel->setBuddy(genre_);
    layout->addWidget(genreLabel);
    layout->addWidget(genre_, 1);
    return row;
}

void CImportPage::CreateLogView()
{
    logView_->setObjectName(QStringLiteral("importLog"));
    logView_->setModel(logModel_);
    logView_->setRootIsDecorated(false);
    logView_->setUniformRowHeights(true);
    logView_->setAllColumnsShowFocus(true);
    QHeaderView* header = logView_->header();
    header->setStretchLastSection(true);
    header->setSectionsMovable(true);
    header->resizeSection(CImportLogModel::Time, kLogTimeWidth);
    logHeader_.Restore(settings_, *header, CImportLogModel::ColumnCount);
}

void CImportPage::FillGenres()
{
    const QString stored = settings_.GetProfileString(kSection, kDefaultGenre, QStringLiteral("SF"));
    const QSignalBlocker blocker(genre_);
    genre_->clear();
    int current = -1;
    for (const GenreEntry& genre : ProgramGenreDictionary().AllGenres()) {
        genre_->addItem(genre.title.isEmpty() ? genre.code : genre.title, genre.code);
        if (current < 0 && Is(genre.code, stored))
            current = genre_->count() - 1;
    }
    // A stored genre the dictionary doesn't know stays the choice.
    if (current < 0) {
        genre_->insertItem(0, stored, stored);
        current = 0;
    }
    genre_->setCurrentIndex(current);
}

void CImportPage::ApplyListLook()
{
    // Small, medium and large files take the shelf's short, normal and long book colours.
    std::array<QColor, 3> foreground;
    std::array<QColor, 3> background;
    for (std::size_t size = 0; size < foreground.size(); ++size) {
        foreground[size] = ReadStartupColor(settings_, kBookColorKeys[size], palette());
        background[size]
            = ReadStartupColor(settings_, kBookColorKeys[kBookBackgroundKeys + size], palette());
    }
    listModel_->SetColors(foreground, background);
    listView_->setFont(ReadFont(settings_, kBookFont, kBookFontPoints));
}

void CImportPage::ApplyLogLook()
{
    logModel_->SetColors(ReadColors(settings_, kLogForeground, palette()),
        ReadColors(settings_, kLogBackground, palette()));
    logView_->setFont(ReadFont(settings_, kLogFont, kLogFontPoints));
}

void CImportPage::ApplyGrid()
{
    const GridLines lines = ReadGridLines(settings_, kGridAnnouncement);
    listView_->SetGridLines(lines);
    logView_->SetGridLines(lines);
}

void CImportPage::SettingChanged(const QString& name)
{
    if (Is(name, kBookFont) || Names(kBookColorKeys, name))
        ApplyListLook();
    else if (Is(name, kLogFont) || Names(kLogForeground, name) || Names(kLogBackground, name))
        ApplyLogLook();
    else if (Is(name, kGridAnnouncement))
        ApplyGrid();
    else if (Is(name, QStringLiteral("GenreLang")))
        FillGenres();
    else if (Is(name, QStringLiteral("LogFilesDir")) || Is(name, QStringLiteral("WriteLogs")))
        FollowLogOptions(log_, ReadImportOptions(settings_));
}

void CImportPage::AddFiles()
{
    AddPaths(dialogs_.AskFiles(this));
}

void CImportPage::AddFolder()
{
    const QString folder = dialogs_.AskFolder(this);
    if (!folder.isEmpty())
        AddPaths({folder});
}

void CImportPage::AddPaths(const QStringList& paths)
{
    scanner_->Scan(paths);
}

bool CImportPage::IsScanning() const
{
    return scanner_->IsBusy();
}

void CImportPage::SourceScanned(const ScannedSource& result)
{
    if (!result.error.isEmpty())
        log_.LogWarning(result.error);
    // The rows are the worker's while a run is active.
    if (running_) {
        heldRows_.push_back(result.rows);
        return;
    }
    list_.TakeRows(*result.rows);
    listModel_->ShowAddedRows();
}

void CImportPage::ScanBusyChanged(bool busy)
{
    // The user may go on working meanwhile: a busy cursor over the page, not a wait cursor.
    if (busy)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
    if (!running_) {
        progress_->setRange(0, busy ? 0 : 1);
        progress_->reset();
    }
    if (!busy)
        Q_EMIT scanFinished();
}

bool CImportPage::IsRunning() const
{
    return running_;
}

void CImportPage::StartOrStop()
{
    if (running_)
        RequestStop();
    else
        Start();
}

void CImportPage::Start()
{
    const auto operation = ImportOperation(operation_->currentIndex());
    // The Options page may have changed any of them since the last run.
    importer_->Options() = ReadImportOptions(settings_);
    FollowLogOptions(log_, importer_->Options());
    QString error;
    if (!run_->CanStart(operation, &error)) {
        dialogs_.ShowError(this, error);
        return;
    }
    asker_->Reset();
    session_.SetImportRunning(true);
    if (!run_->Start(operation, &error)) {
        session_.SetImportRunning(false);
        if (!error.isEmpty())
            dialogs_.ShowError(this, error);
        return;
    }
    running_ = true;
    listModel_->SetRunActive(true);
    operation_->setEnabled(false);
    progress_->setRange(0, std::max(1, listModel_->rowCount()));
    progress_->setValue(0);
    SetCaption(MessageText(Msg::ImportStop));
    runPoll_.start();
}

void CImportPage::RequestStop()
{
    run_->RequestStop();
    SetCaption(MessageText(Msg::ImportStopping));
    start_->setEnabled(false);
}

void CImportPage::StopForClose()
{
    asker_->Cancel();
    if (running_)
        RequestStop();
}

void CImportPage::PollRun()
{
    if (!run_->IsRunning())
        FinishRun(run_->Wait()); // the worker has ended: the join is immediate
}

void CImportPage::FinishRun(const ImportRunSummary& summary)
{
    runPoll_.stop();
    running_ = false;
    progress_->setRange(0, 1);
    progress_->reset();
    listModel_->SetRunActive(false);
    listModel_->Reload();
    operation_->setEnabled(true);
    start_->setEnabled(true);
    SetCaption(MessageText(Msg::ImportAgain));
    if (summary.catalogChanged) {
        const auto lock = session_.ReadLock();
        session_.Catalog().SetModified(true);
    }
    // Announces the run's changes to the views, once.
    session_.SetImportRunning(false);
    for (const auto& rows : heldRows_)
        list_.TakeRows(*rows);
    heldRows_.clear();
    listModel_->ShowAddedRows();
    if (scanner_->IsBusy())
        progress_->setRange(0, 0);
    Q_EMIT runEnded();
}

void CImportPage::ShowProgress(const RunProgress& progress)
{
    if (!running_)
        return; // a late report of a run that has ended
    progress_->setRange(0, int(std::max<qsizetype>(1, progress.total)));
    progress_->setValue(int(progress.done));
    if (progress.firstChanged < 0)
        return;
    listModel_->RowsChanged(int(progress.firstChanged), int(progress.lastChanged));
    listView_->scrollTo(listModel_->index(int(progress.lastChanged), 0));
}

void CImportPage::AddLogLines(std::vector<LogEntry> entries)
{
    logModel_->Append(std::move(entries));
    logView_->scrollToBottom();
}

void CImportPage::UpdateEmptyHint()
{
    emptyHint_->setVisible(listModel_->rowCount() == 0);
}

void CImportPage::SetCaption(QString caption)
{
    start_->setText(std::move(caption));
}

bool CImportPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == listView_->viewport() && event->type() == QEvent::Resize)
        emptyHint_->setGeometry(listView_->viewport()->rect());
    return QWidget::eventFilter(watched, event);
}

} // namespace lbv
