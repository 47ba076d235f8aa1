#include "gui/reader/reader_color_table.h"

#include "gui/common/font_color.h"
#include "text/messages.h"

#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace lbv {
namespace {

constexpr int kSwatchSize = 14;

QColor AsQColor(const ReaderColors& colors, ReaderColor color)
{
    return ToQColor(ColorRef(colors[color]));
}

} // namespace

CReaderColorTable::CReaderColorTable(const ReaderColors& colors, QWidget* parent)
    : QWidget(parent)
    , colors_(colors)
    , chooseColor_(AskColor)
    , list_(new QListWidget(this))
    , preview_(new QLabel(MessageText(Msg::ReaderColorPreview), this))
{
    list_->setObjectName(QStringLiteral("readerColors"));
    for (int i = 0; i < kReaderColorCount; ++i) {
        list_->addItem(ReaderColors::Name(ReaderColor(i)));
        ShowSwatch(i);
    }
    auto* change = new QPushButton(MessageText(Msg::ReaderChangeColor), this);
    change->setObjectName(QStringLiteral("changeColor"));
    preview_->setObjectName(QStringLiteral("colorPreview"));
    preview_->setAutoFillBackground(true);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setMinimumHeight(2 * fontMetrics().height());
    connect(change, &QPushButton::clicked, this, &CReaderColorTable::ChangeSelected);
    connect(list_, &QListWidget::itemDoubleClicked, this, &CReaderColorTable::ChangeSelected);
    connect(list_, &QListWidget::currentRowChanged, this, &CReaderColorTable::ShowPreview);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_, 1);
    layout->addWidget(change);
    layout->addWidget(preview_);
    list_->setCurrentRow(0);
}

void CReaderColorTable::ShowEveryName()
{
    list_->setMinimumHeight(
        list_->sizeHintForRow(0) * kReaderColorCount + 2 * list_->frameWidth());
}

void CReaderColorTable::SetColors(const ReaderColors& colors)
{
    colors_ = colors;
    for (int i = 0; i < kReaderColorCount; ++i)
        ShowSwatch(i);
    ShowPreview();
}

void CReaderColorTable::ShowSwatch(int index)
{
    QPixmap swatch(kSwatchSize, kSwatchSize);
    swatch.fill(AsQColor(colors_, ReaderColor(index)));
    list_->item(index)->setIcon(QIcon(swatch));
}

void CReaderColorTable::ShowPreview()
{
    const int row = list_->currentRow();
    if (row < 0)
        return;
    const auto color = ReaderColor(row);
    // A background is shown behind the text drawn on it; any other colour as text on the page.
    const bool background = ReaderColors::Name(color).endsWith(QLatin1String("ackground"));
    const ReaderColor text = color == ReaderColor::UserInputBackground ? ReaderColor::UserInputColor
                                                                       : ReaderColor::Text;
    QPalette palette = preview_->palette();
    palette.setColor(QPalette::WindowText, AsQColor(colors_, background ? text : color));
    palette.setColor(
        QPalette::Window, AsQColor(colors_, background ? color : ReaderColor::Background));
    preview_->setPalette(palette);
}

void CReaderColorTable::ChangeSelected()
{
    const int row = list_->currentRow();
    if (row < 0)
        return;
    const auto color = ReaderColor(row);
    const std::optional<QColor> chosen = chooseColor_(this, AsQColor(colors_, color));
    if (!chosen)
        return;
    colors_.values[std::size_t(row)] = ToColorRef(*chosen) & 0xFFFFFF;
    ShowSwatch(row);
    ShowPreview();
    Q_EMIT colorChanged(color);
}

} // namespace lbv
