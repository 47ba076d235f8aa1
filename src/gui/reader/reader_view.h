#pragma once
// The reading page: the open book's page painted from the reader engine's layout (rotation,
// columns, margins, colours, pictures, the found-text highlight and the progress bar), paging
// and the other reader commands from keys, toolbar and menus, and autoscroll on a timer.
// The engine stays behind a private part: the frame's page enum and the engine's laid-out page
// share a name, and both meet where the frame includes this header.
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace lbv {

class QtTextMeasurer;
class ReaderMouse;
struct ProgressBarState;
struct ReaderColors;
class ReaderDialogs;
class ReaderSession;
class SettingsStore;
struct FoundRange;
struct ReadingPosition;

class CReaderView : public QWidget {
    Q_OBJECT
public:
    // errors shows the texts of failed opens to the user.
    CReaderView(SettingsStore& store, std::function<void(const QString&)> errors,
        QWidget* parent = nullptr);
    ~CReaderView() override;

    // False (the message shown, the open book kept) when the book doesn't load.
    bool Open(const QString& path);
    // The command-line book, else the recent ones, else the help book.
    bool Start(const QString& commandLinePath, const QString& helpPath);
    // The index-th most recent book (0 the newest); false when there is none or it fails.
    bool OpenRecent(int index);
    // The open book again with another document kind or code page (-1 automatic), at its place.
    bool Reopen(int format, int encoding);
    // Stores the book's state and prunes the stored books (close and program exit).
    void SaveOnClose();

    ReaderSession& Session();
    // The open book's path, empty when none is open.
    QString BookPath() const;
    bool Autoscrolling() const;
    bool PageShowsPicture() const;
    QtTextMeasurer& Measurer();
    // The questions, beeps and modal dialogs of the reader (tests answer them from a script).
    void SetDialogs(std::unique_ptr<ReaderDialogs> dialogs);
    // The selected text Find starts with; the source may give an empty text.
    void SetSelectionSource(std::function<QString()> selection);

public Q_SLOTS:
    // One dispatcher for keys, toolbar and menus: a ReaderCommand value; others do nothing.
    void RunCommand(int command);
    // A reader setting group was written (ReaderDisplay, ReaderStyles, ReaderColors, ...).
    void SettingChanged(const QString& name);
    // The open-file dialog; the chosen book or picture opens here.
    void ChooseFileToOpen();
    // The open book's description and the notices of the libraries that read it.
    void ShowFileInformation();

Q_SIGNALS:
    void fullscreenToggled();
    void exitRequested();
    // Another book (or the same one read another way) is open now.
    void bookChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // In reader_mouse.cpp.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ReloadDisplay();
    void Relayout();
    // Shows the page that begins at position; a jump is remembered for Back.
    void ShowPage(const ReadingPosition& position, bool jump = false);
    void ChangedByOtherMeans();
    void Rotate();
    void ChangeFontSize(int step);
    void EditAdvancedParameters();
    void EditColors();
    void StartAutoscroll();
    void StopAutoscroll();
    void AutoscrollTick();
    void SpeedChanged(bool changed);
    int ProgressBarHeight() const;
    void Find();
    void FindNext();
    // Moves to a hit with a history entry and highlights it; beeps for none.
    void ShowFound(const FoundRange* hit);
    void ShowContents();

    friend class ReaderMouse;
    const ReaderColors& Colors() const;
    // What the progress bar shows now.
    ProgressBarState ProgressState() const;

    struct Engine;

    SettingsStore& store_;
    std::unique_ptr<Engine> engine_;
    std::unique_ptr<ReaderMouse> mouse_;
    QTimer autoscrollTimer_;
    QTimer saveTimer_;
    std::unique_ptr<ReaderDialogs> dialogs_;
    std::function<QString()> selection_;
    QString findText_; // kept across books
    bool findMatchCase_ = false;
};

} // namespace lbv
