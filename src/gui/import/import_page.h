#pragma once
// The Import page: the import list with its buttons, the operation and default genre, the
// progress bar, Start/Stop and the log. Paths added or dropped are scanned on a thread; a run
// works on its own worker, and the GUI thread never waits for either: the end of a run is
// noticed by a timer, and the existing-book question is answered "No" when the window closes.
#include "gui/common/header_persistence.h"
#include "import/import_list.h"
#include "import/log_line.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace lbv {

class BookImporter;
class CatalogSession;
class CExistingBookAsker;
class CGridTreeView;
class CImportListModel;
class CImportLogModel;
class CImportScanner;
class CQueuedLogSink;
class CRunProgressRelay;
class DocumentConverter;
class ImportDialogs;
class ImportRun;
class SettingsStore;
struct ImportRunSummary;
struct RunProgress;
struct ScannedSource;

class CImportPage : public QWidget {
    Q_OBJECT
public:
    CImportPage(CatalogSession& session, SettingsStore& settings, ImportDialogs& dialogs,
        QWidget* parent = nullptr);
    // A run still going is stopped; a pending question is answered "No".
    ~CImportPage() override;

    // Scans the paths (files, folders, archives) into rows, in order.
    void AddPaths(const QStringList& paths);
    // Start when idle, stop when running (the Start button).
    void StartOrStop();
    bool IsRunning() const;
    bool IsScanning() const;
    // For closing the window: answers a pending question "No" and stops the run; runEnded
    // follows.
    void StopForClose();

    ImportList& List() { return list_; }
    ImportLog& Log() { return log_; }

    // A changed setting's name, as the frame relays it.
    void SettingChanged(const QString& name);

Q_SIGNALS:
    void runEnded();
    void scanFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* CreateListPane();
    QWidget* CreateControlRow();
    void CreateLogView();
    void FillGenres();
    void ApplyListLook();
    void ApplyLogLook();
    void ApplyGrid();
    void AddFiles();
    void AddFolder();
    void SourceScanned(const ScannedSource& result);
    void ScanBusyChanged(bool busy);
    void Start();
    void RequestStop();
    void PollRun();
    void FinishRun(const ImportRunSummary& summary);
    void ShowProgress(const RunProgress& progress);
    void AddLogLines(std::vector<LogEntry> entries);
    void UpdateEmptyHint();
    void SetCaption(QString caption);

    CatalogSession& session_;
    SettingsStore& settings_;
    ImportDialogs& dialogs_;
    ImportList list_;
    CQueuedLogSink* logSink_;
    ImportLog log_;
    std::unique_ptr<DocumentConverter> converter_;
    CExistingBookAsker* asker_;
    CRunProgressRelay* relay_;
    std::unique_ptr<BookImporter> importer_;
    std::unique_ptr<ImportRun> run_;
    CImportScanner* scanner_;
    // Rows scanned while a run was active: the list takes them when it ends.
    std::vector<std::shared_ptr<ImportList>> heldRows_;
    HeaderPersistence listHeader_;
    HeaderPersistence logHeader_;

    CImportListModel* listModel_;
    CImportLogModel* logModel_;
    CGridTreeView* listView_;
    CGridTreeView* logView_;
    QLabel* emptyHint_;
    QPushButton* addFile_;
    QPushButton* addDir_;
    QComboBox* operation_;
    QComboBox* genre_;
    QProgressBar* progress_;
    QPushButton* start_;
    QTimer runPoll_;
    bool running_ = false;
};

} // namespace lbv
