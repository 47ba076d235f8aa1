#include "gui/reader/reader_view.h"

#include "gui/common/font_color.h"
#include "gui/reader/advanced_parameters_dialog.h"
#include "gui/reader/page_painter.h"
#include "gui/reader/qt_text_measurer.h"
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
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&autoscrollTimer_, &QTimer::timeout, this, &CReaderView::AutoscrollTick);
    saveTimer_.setInterval(kSaveIntervalMs);
    connect(&saveTimer_, &QTimer::timeout, this, [this] {
        if (engine_->session.IsOpen())
            engine_->session.SaveState();
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

QtTextMeasurer& CReaderView::Measurer()
{
    return engine_->measurer;
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

void CReaderView::EditAdvancedParameters()
{
    CAdvancedParametersDialog dialog(store_, this);
    if (dialog.exec() == QDialog::Accepted)
        ReloadDisplay(); // the font cache size takes effect at once
}

void CReaderView::EditColors()
{
    CReaderColorsDialog dialog(store_, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    engine_->colors = ReaderColors::Load(store_);
    engine_->session.ReloadParameters(); // pictures are decoded again with a changed gamma
    update();
}

void CReaderView::RunCommand(int command)
{
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
    case ReaderCommand::EditAdvancedParameters:
        EditAdvancedParameters();
        return;
    case ReaderCommand::EditColors:
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
    if (ProgressBarHeight() == 0)
        return;
    ProgressBarState state;
    state.items = parameters.progressBar;
    state.battery = ReadBatteryStatus();
    const QTime now = QTime::currentTime();
    state.hour = now.hour();
    state.minute = now.minute();
    if (engine_->autoscroll.Running())
        state.autoscrollSpeed = engine_->autoscroll.Delay() / 1000;
    FillBookProgress(
        state, *engine_->session.Document(), engine_->session.State()->Entries(), engine_->session.Position());
    PaintProgressBar(painter, transform, ProgressBarHeight(), state, engine_->colors);
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
