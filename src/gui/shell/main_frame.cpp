#include "gui/shell/main_frame.h"

#include "gui/import/import_page.h"
#include "gui/maintenance/maintenance_page.h"
#include "gui/options/options_page.h"
#include "gui/reader/reader_toolbar.h"
#include "gui/reader/reader_view.h"
#include "gui/reader/recent_books_menu.h"
#include "gui/shelf/book_list_ctrl.h"
#include "gui/shelf/shelf_page.h"
#include "gui/shell/command_line.h"
#include "gui/shell/frame_dialogs.h"
#include "gui/shell/window_placement.h"
#include "import/reader_path.h"
#include "plugins/export_bridge.h"
#include "reader/key_map.h"
#include "settings/settings_store.h"
#include "text/messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>

#include <utility>

namespace lbv {

namespace {

const QString kLastIndex = QStringLiteral("LastIndex");
const QString kPlacementSection = QStringLiteral("MainWindow");
const QString kPlacementValue = QStringLiteral("FrameWndPlacement");
const QString kReaderViewSection = QStringLiteral("ReaderView");
const QString kToolbarStateValue = QStringLiteral("MainToolbarState");

QStringList LocalPaths(const QMimeData* data)
{
    QStringList paths;
    if (data)
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                paths.append(url.toLocalFile());
    return paths;
}

} // namespace

CMainFrame::CMainFrame(SettingsStore& settings, FrameDialogs& dialogs,
    const QString& commandLineFile, QWidget* parent)
    : QMainWindow(parent)
    , settings_(settings)
    , dialogs_(dialogs)
    , autorun_(settings.Autorun())
    , commandLineFile_(commandLineFile)
    , tabs_(new QTabWidget(this))
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(MessageText(Msg::ProgramTitle));
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->setDocumentMode(true);
    setCentralWidget(tabs_);
    CreateMenu();
    CreatePages();
    CreateTabShortcuts();
    // The page of a chosen tab takes the keyboard at once.
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
        if (QWidget* page = tabs_->widget(tab))
            page->setFocus();
    });
    setAcceptDrops(!autorun_);
    resize(960, 680);
    QMetaObject::invokeMethod(this, &CMainFrame::OpenLastIndex, Qt::QueuedConnection);
}

CMainFrame::~CMainFrame()
{
    // The pages read the session's catalog until they go, so they go first.
    delete tabs_;
}

void CMainFrame::CreateMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    // Nothing can be written in autorun mode, so only the commands that read are offered.
    if (!autorun_)
        catalogCommands_.append(file->addAction(QStringLiteral("&New library..."),
            QKeySequence::New, this, &CMainFrame::NewLibrary));
    catalogCommands_.append(file->addAction(
        QStringLiteral("&Open..."), QKeySequence::Open, this, &CMainFrame::OpenIndex));
    if (!autorun_) {
        catalogCommands_.append(file->addAction(
            QStringLiteral("&Save"), QKeySequence::Save, this, &CMainFrame::SaveIndex));
        catalogCommands_.append(file->addAction(QStringLiteral("Save &as..."),
            QKeySequence::SaveAs, this, &CMainFrame::SaveIndexAs));
    }
    file->addSeparator();
    auto* recent = new CRecentBooksMenu(settings_, file);
    connect(recent, &CRecentBooksMenu::commandChosen, this, &CMainFrame::OpenRecentBook);
    file->addMenu(recent);
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"), QKeySequence::Quit, this, &QWidget::close);
}

void CMainFrame::AddPage(Page page, QWidget* widget)
{
    widget->setObjectName(PageCaption(page).toLower() + QLatin1String("Page"));
    pages_[int(page)] = widget;
    tabs_->addTab(widget, PageCaption(page));
}

void CMainFrame::CreatePages()
{
    shelf_ = new CShelfPage(session_, settings_, shelfDialogs_, tabs_);
    AddPage(Page::Shelf, shelf_);
    exportBridge_ = std::make_unique<ExportBridge>(
        pluginServices_, pluginModules_, LoadExporters(pluginModules_));
    shelf_->BookList()->SetExportBridge(exportBridge_.get());
    // The Shelf page is first to hear of a changed setting.
    connect(this, &CMainFrame::settingChanged, shelf_, &CShelfPage::SettingChanged);
    connect(shelf_, &CShelfPage::openBookRequested, this, &CMainFrame::OpenInReader);
    shelf_->StartFilters();
    reader_ = new CReaderView(
        settings_, [this](const QString& text) { dialogs_.ShowError(this, text); }, tabs_);
    AddPage(Page::Reader, reader_);
    connect(this, &CMainFrame::settingChanged, reader_, &CReaderView::SettingChanged);
    connect(reader_, &CReaderView::fullscreenToggled, this, &CMainFrame::ToggleFullscreen);
    connect(reader_, &CReaderView::exitRequested, this, &QWidget::close);
    CreateReaderToolbar();
    if (!autorun_) {
        import_ = new CImportPage(session_, settings_, dialogs_.ImportPageDialogs(), tabs_);
        AddPage(Page::Import, import_);
        connect(this, &CMainFrame::settingChanged, import_, &CImportPage::SettingChanged);
        connect(this, &CMainFrame::filesDropped, import_, &CImportPage::AddPaths);
        connect(import_, &CImportPage::runEnded, this, [this] {
            if (std::exchange(closeAfterImport_, false))
                close();
        });
    }
    auto* options = new COptionsPage(settings_, tabs_);
    options->SetReaderView(reader_);
    connect(options, &COptionsPage::settingChanged, this, &CMainFrame::RelaySettingChanged);
    AddPage(Page::Options, options);
    if (!autorun_) {
        auto* maintenance = new CMaintenancePage(session_, pluginServices_, pluginModules_,
            LoadIndexPlugins(pluginModules_), tabs_);
        AddPage(Page::Maintenance, maintenance);
        connect(maintenance, &CMaintenancePage::settingChanged, this,
            &CMainFrame::RelaySettingChanged);
    }
    connect(&session_, &CatalogSession::importRunningChanged, this,
        &CMainFrame::ImportRunningChanged);
}

void CMainFrame::CreateReaderToolbar()
{
    readerToolbar_ = new CReaderToolbar(settings_, this);
    readerToolbar_->setWindowTitle(PageCaption(Page::Reader)); // its name in the window's menu
    addToolBar(readerToolbar_);
    connect(readerToolbar_, &CReaderToolbar::commandChosen, reader_, &CReaderView::RunCommand);
    if (const std::optional<QByteArray> state
        = settings_.GetProfileBinary(kReaderViewSection, kToolbarStateValue))
        restoreState(*state);
    // The bar belongs to the Reader: it shows with that page only.
    connect(tabs_, &QTabWidget::currentChanged, this, &CMainFrame::ShowReaderToolbar);
    ShowReaderToolbar();
}

void CMainFrame::ShowReaderToolbar()
{
    readerToolbar_->setVisible(!isFullScreen() && CurrentPage() == Page::Reader);
}

void CMainFrame::OpenRecentBook(int command)
{
    if (!reader_->OpenRecent(command - kFirstRecentBook))
        return;
    SelectPage(Page::Reader);
    reader_->setFocus();
}

void CMainFrame::CreateTabShortcuts()
{
    for (int tab = 0; tab < kPageCount; ++tab) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + tab)), this);
        connect(shortcut, &QShortcut::activated, this, [this, tab] { SelectTab(tab); });
    }
}

void CMainFrame::SelectTab(int tab)
{
    if (tab >= 0 && tab < tabs_->count())
        tabs_->setCurrentIndex(tab);
}

void CMainFrame::SelectPage(Page page)
{
    SelectTab(TabOfPage(page, autorun_));
}

std::optional<Page> CMainFrame::CurrentPage() const
{
    return PageOnTab(tabs_->currentIndex(), autorun_);
}

QWidget* CMainFrame::PageWidget(Page page) const
{
    return pages_[int(page)];
}

void CMainFrame::RelaySettingChanged(const QString& name)
{
    Q_EMIT settingChanged(name);
}

bool CMainFrame::OpenInReader(const QString& path)
{
    QString readerPath;
    QString error;
    if (path.isEmpty() || !ReaderPath(path, &readerPath, &error))
        return false;
    if (!reader_->Open(readerPath))
        return false;
    SelectPage(Page::Reader);
    reader_->setFocus();
    return true;
}

void CMainFrame::StartReader(const QString& helpPath)
{
    const QString book = IsIndexFileName(commandLineFile_) ? QString() : commandLineFile_;
    reader_->Start(book, helpPath);
}

void CMainFrame::ToggleFullscreen()
{
    const bool full = !isFullScreen();
    menuBar()->setVisible(!full);
    tabs_->tabBar()->setVisible(!full);
    // Toggling the flag alone keeps a maximized window maximized when it comes back.
    setWindowState(windowState() ^ Qt::WindowFullScreen);
    ShowReaderToolbar();
}

void CMainFrame::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        ToggleFullscreen();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void CMainFrame::ClearCatalog()
{
    session_.Clear();
}

void CMainFrame::AnnounceCatalogReplaced()
{
    session_.NotifyReplaced();
    Q_EMIT catalogReplaced();
}

void CMainFrame::ImportRunningChanged(bool running)
{
    for (QAction* command : std::as_const(catalogCommands_))
        command->setEnabled(!running);
}

void CMainFrame::UpdateTitle()
{
    setWindowTitle(QFileInfo(Catalog().path).fileName() + QLatin1String(" - ")
        + MessageText(Msg::ProgramTitle));
}

void CMainFrame::ShowFailedOpenTitle()
{
    setWindowTitle(MessageText(Msg::ProgramTitle));
}

void CMainFrame::OpenLastIndex()
{
    QString path = settings_.GetProfileString(QString(), kLastIndex, QString());
    if (!commandLineFile_.isEmpty()) {
        if (IsIndexFileName(commandLineFile_))
            path = commandLineFile_;
        else
            SelectPage(Page::Reader); // the reader opens the book itself
    }
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        ClearCatalog();
        AnnounceCatalogReplaced();
        // Asked to open a library, the user chooses one instead of creating one; a library
        // can't be created where nothing may be written.
        if (startAction_ == StartAction::OpenLibrary)
            OpenIndex();
        else if (!autorun_)
            NewLibrary();
        return;
    }
    if (LoadCatalog(path)) {
        UpdateTitle();
        AnnounceCatalogReplaced();
    }
    RunAction(startAction_);
}

void CMainFrame::RunAction(StartAction action)
{
    if (action == StartAction::NewLibrary && !autorun_)
        NewLibrary();
    else if (action == StartAction::OpenLibrary)
        OpenIndex();
}

void CMainFrame::TakeHandedOver(const CommandLine& line)
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    if (!line.file.isEmpty() && IsIndexFileName(line.file)) {
        // Under an import run the worker owns the catalog: the library stays.
        if (!session_.IsImportRunning() && QueryClose() && LoadCatalog(line.file)) {
            UpdateTitle();
            AnnounceCatalogReplaced();
        }
    } else if (!line.file.isEmpty()) {
        OpenInReader(line.file);
    }
    RunAction(line.action);
}

bool CMainFrame::LoadCatalog(const QString& path)
{
    ClearCatalog();
    if (Catalog().Open(path, &indexUi_))
        return true;
    ClearCatalog(); // the views must not see a half-read catalog
    AnnounceCatalogReplaced();
    ShowFailedOpenTitle();
    dialogs_.ShowError(this, MessageText(Msg::CantOpenIndex).arg(path));
    return false;
}

bool CMainFrame::NewLibrary()
{
    if (session_.IsImportRunning())
        return false;
    const std::optional<NewLibraryChoice> choice = dialogs_.AskNewLibrary(this);
    if (!choice)
        return false;
    ClearCatalog();
    Catalog().path = choice->IndexPath();
    Catalog().fileNameMask = choice->fileNameMask;
    Catalog().compressFiles = choice->compressFiles;
    UpdateTitle();
    AnnounceCatalogReplaced();
    if (!QDir().mkpath(QFileInfo(Catalog().path).absolutePath())) {
        const QString rejected = Catalog().path;
        Catalog().path = QStringLiteral("untitled");
        UpdateTitle();
        dialogs_.ShowError(this, MessageText(Msg::InvalidIndexName) + rejected);
        return false;
    }
    return SaveIndex();
}

bool CMainFrame::OpenIndex()
{
    if (session_.IsImportRunning())
        return false;
    const QString chosen = dialogs_.AskOpenIndex(this);
    if (chosen.isEmpty() || !LoadCatalog(chosen))
        return false;
    // A plain index comes back modified and untitled: offer to keep it compressed at once.
    if (!autorun_ && Catalog().IsModified() && !IsIndexFileName(Catalog().path)) {
        const QString target = dialogs_.AskSaveIndex(this, WithIndexExtension(chosen));
        if (!target.isEmpty())
            SaveTo(target);
    }
    UpdateTitle();
    AnnounceCatalogReplaced();
    return true;
}

bool CMainFrame::SaveTo(const QString& path)
{
    // The worker is the only one to touch the catalog while an import runs.
    if (session_.IsImportRunning())
        return false;
    return Catalog().Save(path, &indexUi_, autorun_);
}

bool CMainFrame::SaveIndex()
{
    if (Catalog().path.isEmpty() || !IsIndexFileName(Catalog().path))
        return SaveIndexAs();
    return SaveTo(Catalog().path) || SaveIndexAs();
}

bool CMainFrame::SaveIndexAs()
{
    const QString target = dialogs_.AskSaveIndex(this, WithIndexExtension(Catalog().path));
    const bool saved = !target.isEmpty() && SaveTo(target);
    UpdateTitle();
    return saved;
}

bool CMainFrame::QueryClose()
{
    // Nothing can be saved in autorun mode, so there is nothing to ask.
    if (autorun_ || !Catalog().IsModified())
        return true;
    switch (dialogs_.AskSaveModified(this)) {
    case QMessageBox::Yes:
        // A save that did not happen keeps the window open rather than losing the changes.
        return SaveIndex() && !Catalog().IsModified();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void CMainFrame::StoreStateOnExit()
{
    reader_->SaveOnClose();
    // Binary values are not kept from being written in autorun mode, so the bar's is skipped.
    if (!autorun_)
        settings_.WriteProfileBinary(kReaderViewSection, kToolbarStateValue, saveState());
    settings_.WriteProfileString(QString(), kLastIndex, Catalog().path);
    settings_.WriteProfileBinary(kPlacementSection, kPlacementValue,
        EncodePlacement(CapturePlacement(*this)));
    settings_.Flush();
}

void CMainFrame::IndexUi::ShowError(const QString& text)
{
    frame_.dialogs_.ShowError(&frame_, text);
}

void CMainFrame::IndexUi::ShowMessage(const QString& text)
{
    frame_.dialogs_.ShowMessage(&frame_, text);
}

bool CMainFrame::IndexUi::AskYesNo(const QString& question)
{
    return frame_.dialogs_.AskYesNo(&frame_, question);
}

void CMainFrame::IndexUi::BeginWait()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CMainFrame::IndexUi::EndWait()
{
    QApplication::restoreOverrideCursor();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // The run's worker uses the catalog: it stops first (a pending question counts as "No"),
    // without the window waiting for it, and the window closes when it has.
    if (import_ && import_->IsRunning()) {
        closeAfterImport_ = true;
        import_->StopForClose();
        event->ignore();
        return;
    }
    if (!QueryClose()) {
        event->ignore();
        return;
    }
    StoreStateOnExit();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!autorun_ && !LocalPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QStringList paths = LocalPaths(event->mimeData());
    if (autorun_ || paths.isEmpty()) {
        event->ignore();
        return;
    }
    SelectPage(Page::Import);
    Q_EMIT filesDropped(paths);
    event->acceptProposedAction();
}

} // namespace lbv
