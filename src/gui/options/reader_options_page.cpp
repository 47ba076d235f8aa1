#include "gui/options/reader_options_page.h"

#include "gui/options/buttons_dialog.h"
#include "gui/options/styles_dialog.h"
#include "gui/reader/dictionaries_dialog.h"
#include "gui/reader/reader_color_table.h"
#include "gui/reader/reader_view.h"
#include "reader/content_kind.h"
#include "reader/key_map.h"
#include "reader/reader_session.h"
#include "text/code_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace lbv {
namespace {

const QString kReaderDisplay = QStringLiteral("ReaderDisplay");

struct ProgressItem {
    Msg text;
    int bit;
};

// In the order the group shows them, not the order of their bits.
constexpr ProgressItem kProgressItems[] = {
    {Msg::ProgressChapterTitle, 32},
    {Msg::ProgressPosition, 1},
    {Msg::ProgressDocumentLength, 16},
    {Msg::ProgressAutoscrollSpeed, 4},
    {Msg::ProgressTime, 2},
    {Msg::ProgressBattery, 8},
};

constexpr int kOrientations[] = {0, 900, 1800, 2700};

bool RunModal(QDialog& dialog)
{
    return dialog.exec() == QDialog::Accepted;
}

// "Automatic" (-1) and then every code page by its display name.
void FillCodePages(QComboBox* combo)
{
    combo->addItem(MessageText(Msg::ReaderAutomatic), -1);
    for (int index = 0; index < CodePageCount(); ++index)
        combo->addItem(CodePageDisplayName(index), index);
}

void Select(QComboBox* combo, int value)
{
    const int index = combo->findData(value);
    combo->setCurrentIndex(index >= 0 ? index : 0);
}

} // namespace

CReaderOptionsPage::CReaderOptionsPage(SettingsStore& settings, QWidget* parent)
    : QWidget(parent)
    , settings_(settings)
    , runDialog_(RunModal)
{
    auto* grid = new QGridLayout;
    grid->addWidget(CreateFormat(), 0, 0);
    grid->addWidget(CreateDisplay(), 1, 0);
    grid->addWidget(CreateProgressBar(), 0, 1);
    grid->addWidget(CreateColors(), 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(CreateButtons());
    oneLineLess_ = AddCheck(this, Msg::ReaderOneLineLess, QStringLiteral("OneLineLess"));
    connect(oneLineLess_, &QCheckBox::toggled, this, [this](bool on) {
        if (loading_)
            return;
        settings_.WriteProfileInt(kParametersSection, QStringLiteral("OneLineLess"), on ? 1 : 0);
        Announce(kReaderDisplay);
    });
    layout->addWidget(oneLineLess_);
    layout->addStretch(1);
    LoadControls();
    RefreshFormat();
}

void CReaderOptionsPage::SetReaderView(CReaderView* view)
{
    if (view_)
        disconnect(view_, nullptr, this, nullptr);
    view_ = view;
    if (view_)
        connect(view_, &CReaderView::bookChanged, this, &CReaderOptionsPage::RefreshFormat);
    RefreshFormat();
}

void CReaderOptionsPage::SetColorChooser(ColorChooser chooser)
{
    colors_->SetColorChooser(std::move(chooser));
}


void CReaderOptionsPage::Announce(const QString& name)
{
    Q_EMIT settingChanged(name);
}

QCheckBox* CReaderOptionsPage::AddCheck(QWidget* parent, Msg text, const QString& name)
{
    auto* check = new QCheckBox(MessageText(text), parent);
    check->setObjectName(name);
    return check;
}

QSpinBox* CReaderOptionsPage::AddNumber(
    QWidget* parent, const QString& name, int minimum, int maximum)
{
    auto* number = new QSpinBox(parent);
    number->setObjectName(name);
    number->setRange(minimum, maximum);
    connect(number, &QSpinBox::valueChanged, this, &CReaderOptionsPage::StoreDisplay);
    return number;
}

QWidget* CReaderOptionsPage::CreateFormat()
{
    auto* group = new QGroupBox(MessageText(Msg::ReaderFormatGroup), this);
    fileFormat_ = new QComboBox(group);
    fileFormat_->setObjectName(QStringLiteral("fileFormat"));
    fileFormat_->addItem(MessageText(Msg::ReaderAutomatic), -1);
    for (int mode = kTextLinePerParagraph; mode <= kTextMacIndentedFirstLine; ++mode)
        fileFormat_->addItem(TextModeName(mode), mode);
    fileFormat_->addItem(MessageText(Msg::KindFb2), int(kDocumentFb2));
    fileFormat_->addItem(MessageText(Msg::KindPngImage), int(kDocumentPng));
    fileFormat_->addItem(MessageText(Msg::KindJpegImage), int(kDocumentJpeg));
    encoding_ = new QComboBox(group);
    encoding_->setObjectName(QStringLiteral("encoding"));
    FillCodePages(encoding_);
    defaultEncoding_ = new QComboBox(group);
    defaultEncoding_->setObjectName(QStringLiteral("DefEncoding"));
    FillCodePages(defaultEncoding_);
    connect(fileFormat_, &QComboBox::activated, this, &CReaderOptionsPage::ReopenBook);
    connect(encoding_, &QComboBox::activated, this, &CReaderOptionsPage::ReopenBook);
    connect(defaultEncoding_, &QComboBox::activated, this, [this](int index) {
        settings_.WriteProfileInt(kParametersSection, QStringLiteral("DefEncoding"),
            defaultEncoding_->itemData(index).toInt());
        Announce(QStringLiteral("ReaderDefEncoding"));
    });
    auto* form = new QFormLayout(group);
    form->addRow(MessageText(Msg::ReaderFileFormat), fileFormat_);
    form->addRow(MessageText(Msg::ReaderEncoding), encoding_);
    form->addRow(MessageText(Msg::ReaderDefaultEncoding), defaultEncoding_);
    return group;
}

void CReaderOptionsPage::RefreshFormat()
{
    BookState* state = view_ && view_->Session().IsOpen() ? view_->Session().State() : nullptr;
    fileFormat_->setEnabled(state != nullptr);
    encoding_->setEnabled(state != nullptr);
    Select(fileFormat_, state ? state->Format() : -1);
    Select(encoding_, state ? state->Encoding() : -1);
}

void CReaderOptionsPage::ReopenBook()
{
    if (!view_ || !view_->Session().IsOpen())
        return;
    // A kind or code page the book can't be read with leaves it as it was (the view says why);
    // the combos then show what is really in use.
    if (!view_->Reopen(fileFormat_->currentData().toInt(), encoding_->currentData().toInt()))
        RefreshFormat();
}

QWidget* CReaderOptionsPage::CreateDisplay()
{
    auto* group = new QGroupBox(MessageText(Msg::ReaderDisplayGroup), this);
    font_ = new QFontComboBox(group);
    font_->setObjectName(QStringLiteral("FontFace"));
    // Only a face the user picks is stored: one shown as a stand-in for an uninstalled face
    // must not replace it.
    connect(font_, &QComboBox::activated, this, [this] {
        fontFace_ = font_->currentFont().family();
        StoreDisplay();
    });
    fontSample_ = new QLabel(MessageText(Msg::ReaderFontSample), group);
    fontSample_->setObjectName(QStringLiteral("fontSample"));
    fontSize_ = AddNumber(group, QStringLiteral("FontSize"), 6, 72);
    bold_ = AddCheck(group, Msg::ReaderBold, QStringLiteral("FontBold"));
    smoothing_ = new QComboBox(group);
    smoothing_->setObjectName(QStringLiteral("FontClearType"));
    smoothing_->addItems({MessageText(Msg::SmoothingNone), MessageText(Msg::SmoothingClearType),
        MessageText(Msg::SmoothingStandard)});
    rotate_ = new QComboBox(group);
    rotate_->setObjectName(QStringLiteral("Orientation"));
    for (int orientation : kOrientations)
        rotate_->addItem(QStringLiteral("%1°").arg(orientation / 10), orientation);
    columns_ = AddNumber(group, QStringLiteral("Columns"), 1, 8);
    margins_ = AddNumber(group, QStringLiteral("Margins"), 0, 200);
    justify_ = AddCheck(group, Msg::ReaderJustify, QStringLiteral("Justify"));
    hyphenate_ = AddCheck(group, Msg::ReaderHyphenate, QStringLiteral("Hyphenate"));
    for (QCheckBox* check : {bold_, justify_, hyphenate_})
        connect(check, &QCheckBox::toggled, this, &CReaderOptionsPage::StoreDisplay);
    for (QComboBox* combo : {smoothing_, rotate_})
        connect(combo, &QComboBox::activated, this, &CReaderOptionsPage::StoreDisplay);
    auto* form = new QFormLayout(group);
    form->addRow(MessageText(Msg::ReaderFont), font_);
    form->addRow(QString(), fontSample_);
    form->addRow(MessageText(Msg::ReaderSize), fontSize_);
    form->addRow(QString(), bold_);
    form->addRow(MessageText(Msg::ReaderSmoothing), smoothing_);
    form->addRow(MessageText(Msg::ReaderRotate), rotate_);
    form->addRow(MessageText(Msg::ReaderColumns), columns_);
    form->addRow(MessageText(Msg::ReaderMargins), margins_);
    form->addRow(QString(), justify_);
    form->addRow(QString(), hyphenate_);
    return group;
}

void CReaderOptionsPage::StoreDisplay()
{
    if (loading_)
        return;
    ReaderParameters parameters = ReaderParameters::Load(settings_);
    parameters.fontFace = fontFace_;
    parameters.fontSize = fontSize_->value();
    parameters.fontBold = bold_->isChecked() ? 1 : 0;
    parameters.fontClearType = smoothing_->currentIndex();
    parameters.orientation = rotate_->currentData().toInt();
    parameters.columns = columns_->value();
    parameters.margins = margins_->value();
    parameters.justify = justify_->isChecked() ? 1 : 0;
    parameters.hyphenate = hyphenate_->isChecked() ? 1 : 0;
    // In autorun mode this stays in the store's memory: the open book follows, nothing persists.
    parameters.StoreDisplay(settings_);
    ShowFontSample();
    Announce(kReaderDisplay);
}

void CReaderOptionsPage::ShowFontSample()
{
    QFont font(fontFace_);
    font.setPixelSize(fontSize_->value());
    font.setBold(bold_->isChecked());
    static constexpr QFont::StyleStrategy kStrategies[]
        = {QFont::NoAntialias, QFont::PreferDefault, QFont::NoSubpixelAntialias};
    font.setStyleStrategy(kStrategies[std::max(smoothing_->currentIndex(), 0)]);
    fontSample_->setFont(font);
}

QWidget* CReaderOptionsPage::CreateProgressBar()
{
    auto* group = new QGroupBox(MessageText(Msg::ReaderProgressGroup), this);
    auto* layout = new QVBoxLayout(group);
    showProgress_ = AddCheck(group, Msg::ProgressEnabled, QStringLiteral("ShowProgress"));
    connect(showProgress_, &QCheckBox::toggled, this,
        [this] { StoreProgressBar(QStringLiteral("ShowProgress")); });
    layout->addWidget(showProgress_);
    for (const ProgressItem& item : kProgressItems) {
        QCheckBox* check
            = AddCheck(group, item.text, QStringLiteral("ProgressBar/%1").arg(item.bit));
        connect(check, &QCheckBox::toggled, this,
            [this] { StoreProgressBar(QStringLiteral("ProgressBar")); });
        progressItems_.append(check);
        layout->addWidget(check);
    }
    return group;
}

void CReaderOptionsPage::StoreProgressBar(const QString& key)
{
    if (loading_)
        return;
    int value = showProgress_->isChecked() ? 1 : 0;
    if (key != showProgress_->objectName()) {
        value = 0;
        for (int i = 0; i < progressItems_.size(); ++i)
            if (progressItems_[i]->isChecked())
                value |= kProgressItems[i].bit;
    }
    settings_.WriteProfileInt(kParametersSection, key, value);
    Announce(QStringLiteral("ReaderProgressBar"));
}

QWidget* CReaderOptionsPage::CreateColors()
{
    auto* group = new QGroupBox(MessageText(Msg::ReaderColorsGroup), this);
    colors_ = new CReaderColorTable(ReaderColors::Load(settings_), group);
    connect(colors_, &CReaderColorTable::colorChanged, this, [this](ReaderColor color) {
        settings_.WriteProfileInt(
            kColorsSection, ReaderColors::Name(color), int(colors_->Colors()[color]));
        Announce(QStringLiteral("ReaderColors"));
    });
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(colors_);
    return group;
}

QWidget* CReaderOptionsPage::CreateButtons()
{
    auto* row = new QWidget(this);
    auto* styles = new QPushButton(MessageText(Msg::ReaderStylesButton), row);
    styles->setObjectName(QStringLiteral("styles"));
    auto* buttons = new QPushButton(MessageText(Msg::ReaderButtonsButton), row);
    buttons->setObjectName(QStringLiteral("buttons"));
    auto* dictionaries = new QPushButton(MessageText(Msg::ReaderDictionariesButton), row);
    dictionaries->setObjectName(QStringLiteral("dictionaries"));
    connect(styles, &QPushButton::clicked, this, &CReaderOptionsPage::EditStyles);
    connect(buttons, &QPushButton::clicked, this, &CReaderOptionsPage::EditButtons);
    connect(dictionaries, &QPushButton::clicked, this, &CReaderOptionsPage::EditDictionaries);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(styles);
    layout->addWidget(buttons);
    layout->addWidget(dictionaries);
    layout->addStretch(1);
    return row;
}

void CReaderOptionsPage::EditDictionaries()
{
    CDictionariesDialog dialog(settings_, this);
    connect(&dialog, &CDictionariesDialog::settingChanged, this, &CReaderOptionsPage::Announce);
    runDialog_(dialog);
}

void CReaderOptionsPage::EditStyles()
{
    CStylesDialog dialog(settings_, this);
    if (runDialog_(dialog))
        Announce(QStringLiteral("ReaderStyles"));
}

void CReaderOptionsPage::EditButtons()
{
    CButtonsDialog dialog(settings_, this);
    if (runDialog_(dialog))
        Announce(kKeysSection);
}

void CReaderOptionsPage::LoadControls()
{
    loading_ = true;
    const ReaderParameters parameters = ReaderParameters::Load(settings_);
    Select(defaultEncoding_, parameters.defEncoding);
    fontFace_ = parameters.fontFace;
    font_->setCurrentFont(QFont(fontFace_));
    fontSize_->setValue(parameters.fontSize);
    bold_->setChecked(parameters.fontBold != 0);
    smoothing_->setCurrentIndex(std::clamp(parameters.fontClearType, 0, 2));
    Select(rotate_, parameters.orientation);
    columns_->setValue(parameters.columns);
    margins_->setValue(parameters.margins);
    justify_->setChecked(parameters.justify != 0);
    hyphenate_->setChecked(parameters.hyphenate != 0);
    showProgress_->setChecked(parameters.showProgress != 0);
    for (int i = 0; i < progressItems_.size(); ++i)
        progressItems_[i]->setChecked((parameters.progressBar & kProgressItems[i].bit) != 0);
    colors_->SetColors(ReaderColors::Load(settings_));
    oneLineLess_->setChecked(parameters.oneLineLess != 0);
    ShowFontSample();
    loading_ = false;
}

void CReaderOptionsPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    LoadControls();
    RefreshFormat();
}

} // namespace lbv
