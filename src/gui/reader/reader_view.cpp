#include "gui/reader/reader_view.h"

#include "gui/common/font_color.h"
#include "gui/reader/advanced_parameters_dialog.h"
#include "gui/reader/page_painter.h"
#include "gui/reader/qt_text_measurer.h"
#include "gui/reader/reader_mouse.h"
#include "gui/reader/reader_dialogs.h"
#include "gui/reader/reader_colors_dialog.h"
#include "reader/autoscroll.h"
#include "reader/battery_status.h"
#include "reader/book_progress.h"
#include "reader/key_map.h"
#include "reader/page_navigation.h"
#include "reader/reader_session.h"
#include "reader/virtual_key.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTime>
#include <algorithm>

namespace lbv {

namespace {

// The position is stored this often as well as on every page change, so a crash loses little.
constexpr int kSaveIntervalMs = 300000;
constexpr int kProgressBarHeight = 10;


} // namespace

struct CReaderView::Engine {
    Engine(SettingsStore& store, const ReaderParameters& parameters, int dpiX,
        ReaderSession::ErrorSink errors)
        : measurer(parameters.fontFace, parameters.fontClearType, parameters.fontCacheSize, dpiX)
        , session(store, measurer, std::move(errors))
        , colors(ReaderColors::Load(store))
        , keys(KeyMap::Load(store))
        , autoscroll(parameters.autoScrollDelay)
    {
    }

    QtTextMeasurer measurer;
    ReaderSession session;
    ReaderColors colors;
    KeyMap keys;
    Page page;
    Autoscroll autoscroll;
};

CReaderView::CReaderView(
    SettingsStore& store, std::function<void(const QString&)> errors, QWidget* parent)
    : QWidget(parent)
    , store_(store)
    , engine_(std::make_unique<Engine>(
          store, ReaderParameters::Load(store), logicalDpiX(), std::move(errors)))
    , mouse_(std::make_unique<ReaderMouse>(*this, engine_->page))
    , dialogs_(std::make_unique<StandardReaderDialogs>())
    , selection_([this] { return mouse_->SelectedText(); })
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&autoscrollTimer_, &QTimer::timeout, this, &CReaderView::AutoscrollTick);
    saveTimer_.setParent(this);
    saveTimer_.setObjectName(QStringLiteral("positionSaveTimer"));
    saveTimer_.setInterval(kSaveIntervalMs);
    connect(&saveTimer_, &QTimer::timeout, this, [this] {
        if (!engine_->session.IsOpen())
            return;
        engine_->session.SaveState();
        // Written through to the file, or a crash would still lose the place.
        store_.Flush();
    });
    saveTimer_.start();
}

CReaderView::~CReaderView() = default;

ReaderSession& CReaderView::Session()
{
    return engine_->session;
}

QString CReaderView::BookPath() const
{
    return engine_->session.IsOpen() ? engine_->session.Path() : QString();
}

bool CReaderView::Autoscrolling() const
{
    return engine_->autoscroll.Running();
}

bool CReaderView::PageShowsPicture() const
{
    return engine_->page.ShowsPicture();
}

QtTextMeasurer& CReaderView::Measurer()
{
    return engine_->measurer;
}

const ReaderColors& CReaderView::Colors() const
{
    return engine_->colors;
}

bool CReaderView::Open(const QString& path)
{
    if (!engine_->session.Open(path))
        return false;
    StopAutoscroll();
    Relayout();
    Q_EMIT bookChanged();
    return true;
}

bool CReaderView::Start(const QString& commandLinePath, const QString& helpPath)
{
    const bool opened = engine_->session.Start(commandLinePath, helpPath);
    Relayout();
    Q_EMIT bookChanged();
    return opened;
}

bool CReaderView::Reopen(int format, int encoding)
{
    StopAutoscroll();
    const bool reopened = engine_->session.Reopen(format, encoding);
    Relayout();
    Q_EMIT bookChanged();
    return reopened;
}

void CReaderView::SaveOnClose()
{
    StopAutoscroll();
    engine_->session.Close();
}

int CReaderView::ProgressBarHeight() const
{
    return engine_->session.Parameters().showProgress ? kProgressBarHeight : 0;
}

void CReaderView::Relayout()
{
    engine_->page = Page{};
    if (engine_->session.IsOpen()) {
        const ReaderParameters& parameters = engine_->session.Parameters();
        TextFormatter& formatter = *engine_->session.Formatter();
        formatter.SetGeometry(PageGeometry::ForClient(width(), height(), parameters.orientation,
            parameters.columns, parameters.margins, ProgressBarHeight()));
        engine_->page = formatter.LayoutPage(engine_->session.Position());
    }
    update();
}

void CReaderView::ShowPage(const ReadingPosition& position, bool jump)
{
    if (jump)
        engine_->session.JumpTo(position);
    else
        engine_->session.SetPosition(position);
    engine_->page = engine_->session.Formatter()->LayoutPage(engine_->session.Position());
    update();
}

void CReaderView::ReloadDisplay()
{
    const ReaderParameters parameters = ReaderParameters::Load(store_);
    engine_->measurer.Reset(parameters.fontFace, parameters.fontClearType, parameters.fontCacheSize);
    engine_->session.ReloadParameters();
    Relayout();
}

void CReaderView::SettingChanged(const QString& name)
{
    if (name == QLatin1String("ReaderDisplay") || name == QLatin1String("ReaderProgressBar")) {
        ReloadDisplay();
    } else if (name == QLatin1String("ReaderStyles")) {
        engine_->session.ReloadStyles();
        Relayout();
    } else if (name == QLatin1String("ReaderColors")) {
        engine_->colors = ReaderColors::Load(store_);
        update();
    } else if (name == QLatin1String("ReaderDefEncoding")) {
        engine_->session.ReloadParameters();
    } else if (name == QLatin1String("ReaderCurrentDict")) {
        mouse_->ReloadDictionary();
    } else if (name == kKeysSection) {
        engine_->keys = KeyMap::Load(store_);
    }
}

void CReaderView::Rotate()
{
    ReaderParameters parameters = ReaderParameters::Load(store_);
    parameters.orientation = (parameters.orientation + 900) % 3600;
    store_.WriteProfileInt(kParametersSection, QStringLiteral("Orientation"),
        parameters.orientation);
    ReloadDisplay();
}

void CReaderView::ChangeFontSize(int step)
{
    const ReaderParameters parameters = ReaderParameters::Load(store_);
    const int size = std::clamp(parameters.fontSize + step, kMinFontSize, kMaxFontSize);
    if (size == parameters.fontSize)
        return;
    store_.WriteProfileInt(kParametersSection, QStringLiteral("FontSize"), size);
    ReloadDisplay();
}

bool CReaderView::OpenRecent(int index)
{
    const QStringList recent = RecentBooks(store_, kRecentBookCount);
    return index >= 0 && index < recent.size() && Open(recent[index]);
}

void CReaderView::EditAdvancedParameters()
{
    CAdvancedParametersDialog dialog(store_, this);
    if (dialogs_->Run(dialog))
        ReloadDisplay(); // the font cache size takes effect at once
}

void CReaderView::EditColors()
{
    CReaderColorsDialog dialog(store_, this);
    if (!dialogs_->Run(dialog))
        return;
    engine_->colors = ReaderColors::Load(store_);
    engine_->session.ReloadParameters(); // pictures are decoded again with a changed gamma
    update();
}

void CReaderView::RunCommand(int command)
{
    if (command >= kFirstRecentBook && command < kFirstRecentBook + kRecentBookCount) {
        OpenRecent(command - kFirstRecentBook);
        return;
    }
    const auto reader = ReaderCommand(command);
    switch (reader) {
    case ReaderCommand::ToggleFullscreen:
        Q_EMIT fullscreenToggled();
        return;
    case ReaderCommand::Exit:
        Q_EMIT exitRequested();
        return;
    case ReaderCommand::Rotate:
        Rotate();
        return;
    case ReaderCommand::FontBigger:
        ChangeFontSize(1);
        return;
    case ReaderCommand::FontSmaller:
        ChangeFontSize(-1);
        return;
    case ReaderCommand::AdvancedParameters:
        EditAdvancedParameters();
        return;
    case ReaderCommand::Colors:
        EditColors();
        return;
    case ReaderCommand::StartAutoscroll:
        StartAutoscroll();
        return;
    case ReaderCommand::StopAutoscroll:
        StopAutoscroll();
        return;
    case ReaderCommand::ToggleAutoscroll:
        engine_->autoscroll.Running() ? StopAutoscroll() : StartAutoscroll();
        return;
    case ReaderCommand::FasterAutoscroll:
        SpeedChanged(engine_->autoscroll.Faster());
        return;
    case ReaderCommand::FasterAutoscrollFine:
        SpeedChanged(engine_->autoscroll.FasterFine());
        return;
    case ReaderCommand::SlowerAutoscroll:
        SpeedChanged(engine_->autoscroll.Slower());
        return;
    case ReaderCommand::SlowerAutoscrollFine:
        SpeedChanged(engine_->autoscroll.SlowerFine());
        return;
    case ReaderCommand::Find:
        Find();
        return;
    case ReaderCommand::FindNext:
        FindNext();
        return;
    case ReaderCommand::Contents:
        ShowContents();
        return;
    case ReaderCommand::Open:
        ChooseFileToOpen();
        return;
    case ReaderCommand::FileInfo:
        ShowFileInformation();
        return;
    default:
        break;
    }
    if (!engine_->session.IsOpen())
        return;
    if (reader == ReaderCommand::Back || reader == ReaderCommand::Forward) {
        const bool moved = reader == ReaderCommand::Back ? engine_->session.Back() : engine_->session.Forward();
        if (moved) {
            ChangedByOtherMeans();
            Relayout();
            Q_EMIT bookChanged(); // a picture's neighbour may be open now
        }
        return;
    }
    const std::optional<PageMove> move = MoveForCommand(
        reader, *engine_->session.Formatter(), engine_->page, engine_->session.State()->Entries());
    if (move) {
        ChangedByOtherMeans();
        ShowPage(move->position, move->jump);
    }
}

void CReaderView::ShowFound(const FoundRange* hit)
{
    if (!hit) {
        dialogs_->Beep();
        return;
    }
    ChangedByOtherMeans();
    TextFormatter& formatter = *engine_->session.Formatter();
    formatter.SetFoundRange(*hit, engine_->page);
    // The page begins with the line holding the hit's first character.
    ShowPage(formatter.PreviousLineStart({hit->paragraph, hit->offset + 1, hit->body}), true);
}

void CReaderView::ChangedByOtherMeans()
{
    StopAutoscroll();
}

void CReaderView::StartAutoscroll()
{
    if (!engine_->session.IsOpen() || engine_->page.lines.empty())
        return;
    engine_->autoscroll.Start(engine_->page);
    autoscrollTimer_.start(engine_->autoscroll.TimerMilliseconds());
    update();
}

void CReaderView::StopAutoscroll()
{
    if (!engine_->autoscroll.Running())
        return;
    engine_->autoscroll.Stop();
    autoscrollTimer_.stop();
    update();
}

void CReaderView::SpeedChanged(bool changed)
{
    if (!changed)
        return;
    store_.WriteProfileInt(kParametersSection, QStringLiteral("AutoScrollDelay"),
        engine_->autoscroll.Delay());
    if (engine_->autoscroll.Running())
        autoscrollTimer_.start(engine_->autoscroll.TimerMilliseconds());
    update();
}

void CReaderView::AutoscrollTick()
{
    // Reading goes on only while the reader is looked at.
    if (!hasFocus() || !engine_->session.IsOpen()) {
        StopAutoscroll();
        return;
    }
    TextFormatter& formatter = *engine_->session.Formatter();
    const bool atEnd = formatter.AtBodyEnd(formatter.NextPageStart(engine_->page));
    switch (engine_->autoscroll.Tick(engine_->page, atEnd)) {
    case Autoscroll::Step::Redraw:
        update();
        break;
    case Autoscroll::Step::TurnPage:
        ShowPage(formatter.NextPageStart(engine_->page));
        engine_->autoscroll.Place(engine_->page);
        break;
    case Autoscroll::Step::Stop:
        StopAutoscroll();
        break;
    }
}

void CReaderView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(ColorRef(engine_->colors[ReaderColor::Background])));
    if (!engine_->session.IsOpen())
        return;
    const ReaderParameters& parameters = engine_->session.Parameters();
    const PageTransform transform(width(), height(), parameters.orientation);
    FontBase base = engine_->session.Formatter()->Settings().font;
    base.rotation = parameters.orientation;
    const PagePaint paint{engine_->page, engine_->session.Formatter()->Geometry(), transform, base, engine_->colors,
        engine_->autoscroll.Running() ? engine_->autoscroll.MarkY(engine_->page) : -1};
    PaintPage(painter, paint, engine_->measurer);
    mouse_->PaintSelection(painter, transform);
    if (ProgressBarHeight() == 0)
        return;
    PaintProgressBar(painter, transform, ProgressBarHeight(), ProgressState(), engine_->colors);
}

ProgressBarState CReaderView::ProgressState() const
{
    ProgressBarState state;
    state.items = engine_->session.Parameters().progressBar;
    state.battery = ReadBatteryStatus();
    const QTime now = QTime::currentTime();
    state.hour = now.hour();
    state.minute = now.minute();
    if (engine_->autoscroll.Running())
        state.autoscrollSpeed = engine_->autoscroll.Delay() / 1000;
    FillBookProgress(state, *engine_->session.Document(), engine_->session.State()->Entries(),
        engine_->session.Position());
    return state;
}

void CReaderView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Relayout();
}

void CReaderView::keyPressEvent(QKeyEvent* event)
{
    const ReaderParameters& parameters = engine_->session.Parameters();
    // Modified keys belong to the frame (Ctrl+digit tabs, menus).
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->isAutoRepeat() && parameters.autoRepeatLimit) {
        event->accept();
        return;
    }
    const int code = VirtualKeyFromQtKey(event->key());
    const int command
        = code ? engine_->keys.CommandForKey(code, parameters.orientation, parameters.rotateButtons != 0)
               : KeyMap::kNoCommand;
    if (command == KeyMap::kNoCommand || command == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    RunCommand(command);
}

void CReaderView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    StopAutoscroll();
}

} // namespace lbv
