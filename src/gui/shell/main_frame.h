#pragma once
// The program's one top-level window. It owns the catalog for the whole run, shows the work
// pages on tabs (Shelf, Reader, Import, Options, Maintenance; in autorun mode Import and
// Maintenance are not offered), runs the index file commands, opens the last index at start, asks
// to save a modified catalog when closing, and relays setting changes to every page.
#include "catalog/index_file.h"
#include "catalog/libravon_doc.h"
#include "gui/common/gui_host_services.h"
#include "gui/shelf/shelf_dialogs.h"
#include "gui/shell/catalog_session.h"
#include "gui/shell/command_line.h"
#include "gui/shell/frame_pages.h"
#include "plugins/plugin_module.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QTabWidget;

namespace lbv {

class CImportPage;
class CReaderToolbar;
class CReaderView;
class ExportBridge;
class CShelfPage;
class FrameDialogs;
class SettingsStore;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // `commandLineFile` is an index to open instead of the last one, or a book for the Reader.
    // The frame posts itself the start-up open; it runs once the event loop does.
    CMainFrame(SettingsStore& settings, FrameDialogs& dialogs, const QString& commandLineFile,
        QWidget* parent = nullptr);
    ~CMainFrame() override;

    CLibravonDoc& Catalog() { return session_.Catalog(); }
    CatalogSession& Session() { return session_; }
    CShelfPage* ShelfPage() const { return shelf_; }
    // Null in autorun mode.
    CImportPage* ImportPage() const { return import_; }
    bool IsAutorun() const { return autorun_; }

    // Selects a tab as Ctrl+1 .. Ctrl+5 do; a tab that does not exist changes nothing.
    void SelectTab(int tab);
    void SelectPage(Page page);
    std::optional<Page> CurrentPage() const;
    // Null for a page that is not offered.
    QWidget* PageWidget(Page page) const;

    // The index commands of the File menu; each returns whether it went through.
    void OpenLastIndex();
    bool NewLibrary();
    bool OpenIndex();
    bool SaveIndex();
    bool SaveIndexAs();

    // The desktop entry's action (--new-library, --open-library) to run after the start-up open.
    void SetStartAction(StartAction action) { startAction_ = action; }
    // What a later start of the program handed over: comes to the front, opens the index or the
    // book it names (a modified catalog is offered for saving first) and runs its action.
    void TakeHandedOver(const CommandLine& line);
    // Opens a book in the Reader ("archive@member" for a book inside a ZIP archive) and shows
    // the Reader tab when that succeeded.
    bool OpenInReader(const QString& path);
    // Opens the command-line book, else a recent one, else the help book at helpPath.
    void StartReader(const QString& helpPath);
    // Tabs and menu hidden and the window on the whole screen, or back.
    void ToggleFullscreen();

    // Passes a changed setting's name on to every page (the options pages and the plug-in host
    // call this; "Reload" means the catalog was changed behind the views' backs).
    void RelaySettingChanged(const QString& name);

Q_SIGNALS:
    void settingChanged(const QString& name);
    // The catalog now holds another library (or none): the views rebuild from it.
    void catalogReplaced();
    // Files and folders dropped on the window, for the Import page.
    void filesDropped(const QStringList& paths);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateMenu();
    void CreatePages();
    void CreateTabShortcuts();
    void CreateReaderToolbar();
    void ShowReaderToolbar();
    // A Recent menu's command: the book opens in the Reader, which comes to the front.
    void OpenRecentBook(int command);
    void AddPage(Page page, QWidget* widget);
    // Replaces the catalog with the index at `path`; on failure the catalog is left empty and
    // the user is told which file failed.
    bool LoadCatalog(const QString& path);
    bool SaveTo(const QString& path);
    void RunAction(StartAction action);
    // The catalog's records are about to go: the views let go of them first.
    void ClearCatalog();
    void AnnounceCatalogReplaced();
    void ImportRunningChanged(bool running);
    void UpdateTitle();
    void ShowFailedOpenTitle();
    bool QueryClose();
    void StoreStateOnExit();

    // The index file's messages, questions and wait cursor, through the frame's dialogs.
    class IndexUi final : public IndexFileUi {
    public:
        explicit IndexUi(CMainFrame& frame) : frame_(frame) { }
        void ShowError(const QString& text) override;
        void ShowMessage(const QString& text) override;
        bool AskYesNo(const QString& question) override;
        void BeginWait() override;
        void EndWait() override;

    private:
        CMainFrame& frame_;
    };

    SettingsStore& settings_;
    FrameDialogs& dialogs_;
    IndexUi indexUi_ {*this};
    const bool autorun_;
    const QString commandLineFile_;
    StartAction startAction_ = StartAction::None;
    CatalogSession session_;
    StandardShelfDialogs shelfDialogs_;
    GuiHostServices pluginServices_;
    PluginModules pluginModules_;
    std::unique_ptr<ExportBridge> exportBridge_;
    QTabWidget* tabs_;
    QWidget* pages_[5] {};
    CShelfPage* shelf_ = nullptr;
    CReaderView* reader_ = nullptr;
    CReaderToolbar* readerToolbar_ = nullptr;
    CImportPage* import_ = nullptr;
    // Closing waits for the import run to stop; the window closes when it has.
    bool closeAfterImport_ = false;
    // File commands that would replace or write the catalog under an import run.
    QList<QAction*> catalogCommands_;
};

} // namespace lbv
