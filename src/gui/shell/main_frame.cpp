#include "gui/shell/main_frame.h"

#include "gui/shell/command_line.h"
#include "gui/shell/frame_dialogs.h"
#include "gui/shell/placeholder_page.h"
#include "gui/shell/window_placement.h"
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
#include <QTabWidget>
#include <QUrl>

namespace lbv {

namespace {

const QString kLastIndex = QStringLiteral("LastIndex");
const QString kPlacementSection = QStringLiteral("MainWindow");
const QString kPlacementValue = QStringLiteral("FrameWndPlacement");

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

CMainFrame::~CMainFrame() = default;

void CMainFrame::CreateMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    // Nothing can be written in autorun mode, so only the commands that read are offered.
    if (!autorun_)
        file->addAction(QStringLiteral("&New library..."), QKeySequence::New, this,
            &CMainFrame::NewLibrary);
    file->addAction(QStringLiteral("&Open..."), QKeySequence::Open, this, &CMainFrame::OpenIndex);
    if (!autorun_) {
        file->addAction(QStringLiteral("&Save"), QKeySequence::Save, this, &CMainFrame::SaveIndex);
        file->addAction(QStringLiteral("Save &as..."), QKeySequence::SaveAs, this,
            &CMainFrame::SaveIndexAs);
    }
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
    auto placeholder = [this](Page page) {
        return new CPlaceholderPage(PageCaption(page), PageDescription(page), tabs_);
    };
    shelf_ = placeholder(Page::Shelf);
    AddPage(Page::Shelf, shelf_);
    auto* reader = placeholder(Page::Reader);
    AddPage(Page::Reader, reader);
    if (!commandLineFile_.isEmpty() && !IsIndexFileName(commandLineFile_))
        reader->SetStatus(QStringLiteral("Book to open: ") + commandLineFile_);
    if (!autorun_) {
        auto* import = placeholder(Page::Import);
        AddPage(Page::Import, import);
        connect(this, &CMainFrame::filesDropped, import, [import](const QStringList& paths) {
            import->SetStatus(QStringLiteral("Dropped here: ") + paths.join(QLatin1String(", ")));
        });
    }
    AddPage(Page::Options, placeholder(Page::Options));
    if (!autorun_)
        AddPage(Page::Maintenance, placeholder(Page::Maintenance));
    connect(this, &CMainFrame::catalogReplaced, this, &CMainFrame::ShowCatalogSummary);
    ShowCatalogSummary();
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

void CMainFrame::ShowCatalogSummary()
{
    qsizetype groups = 0;
    qsizetype books = 0;
    for (const auto& author : catalog_.Authors()) {
        groups += qsizetype(author->Groups().size());
        books += author->BookCount();
    }
    shelf_->SetStatus(QStringLiteral("%1: %2 authors, %3 groups, %4 books.")
                          .arg(QFileInfo(catalog_.path).fileName())
                          .arg(catalog_.Authors().size())
                          .arg(groups)
                          .arg(books));
}

void CMainFrame::UpdateTitle()
{
    setWindowTitle(QFileInfo(catalog_.path).fileName() + QLatin1String(" - ")
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
        catalog_.New();
        Q_EMIT catalogReplaced();
        // A library can't be created where nothing may be written.
        if (!autorun_)
            NewLibrary();
        return;
    }
    if (LoadCatalog(path)) {
        UpdateTitle();
        Q_EMIT catalogReplaced();
    }
}

bool CMainFrame::LoadCatalog(const QString& path)
{
    catalog_.New();
    if (catalog_.Open(path, &indexUi_))
        return true;
    catalog_.New(); // the views must not see a half-read catalog
    Q_EMIT catalogReplaced();
    ShowFailedOpenTitle();
    dialogs_.ShowError(this, MessageText(Msg::CantOpenIndex).arg(path));
    return false;
}

bool CMainFrame::NewLibrary()
{
    const std::optional<NewLibraryChoice> choice = dialogs_.AskNewLibrary(this);
    if (!choice)
        return false;
    catalog_.New();
    catalog_.path = choice->IndexPath();
    catalog_.fileNameMask = choice->fileNameMask;
    catalog_.compressFiles = choice->compressFiles;
    UpdateTitle();
    Q_EMIT catalogReplaced();
    if (!QDir().mkpath(QFileInfo(catalog_.path).absolutePath())) {
        const QString rejected = catalog_.path;
        catalog_.path = QStringLiteral("untitled");
        UpdateTitle();
        dialogs_.ShowError(this, MessageText(Msg::InvalidIndexName) + rejected);
        return false;
    }
    return SaveIndex();
}

bool CMainFrame::OpenIndex()
{
    const QString chosen = dialogs_.AskOpenIndex(this);
    if (chosen.isEmpty() || !LoadCatalog(chosen))
        return false;
    // A plain index comes back modified and untitled: offer to keep it compressed at once.
    if (!autorun_ && catalog_.IsModified() && !IsIndexFileName(catalog_.path)) {
        const QString target = dialogs_.AskSaveIndex(this, WithIndexExtension(chosen));
        if (!target.isEmpty())
            SaveTo(target);
    }
    UpdateTitle();
    Q_EMIT catalogReplaced();
    return true;
}

bool CMainFrame::SaveTo(const QString& path)
{
    return catalog_.Save(path, &indexUi_, autorun_);
}

bool CMainFrame::SaveIndex()
{
    if (catalog_.path.isEmpty() || !IsIndexFileName(catalog_.path))
        return SaveIndexAs();
    return SaveTo(catalog_.path) || SaveIndexAs();
}

bool CMainFrame::SaveIndexAs()
{
    const QString target = dialogs_.AskSaveIndex(this, WithIndexExtension(catalog_.path));
    const bool saved = !target.isEmpty() && SaveTo(target);
    UpdateTitle();
    return saved;
}

bool CMainFrame::QueryClose()
{
    // Nothing can be saved in autorun mode, so there is nothing to ask.
    if (autorun_ || !catalog_.IsModified())
        return true;
    switch (dialogs_.AskSaveModified(this)) {
    case QMessageBox::Yes:
        // A save that did not happen keeps the window open rather than losing the changes.
        return SaveIndex() && !catalog_.IsModified();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void CMainFrame::StoreStateOnExit()
{
    settings_.WriteProfileString(QString(), kLastIndex, catalog_.path);
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
