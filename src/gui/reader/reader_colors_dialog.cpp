#include "gui/reader/reader_colors_dialog.h"

#include "gui/common/ok_cancel_buttons.h"
#include "gui/reader/reader_color_table.h"
#include "text/messages.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QVBoxLayout>
#include <cmath>

namespace lbv {
namespace {

constexpr double kGammaScale = 1000000.0;

} // namespace

CReaderColorsDialog::CReaderColorsDialog(SettingsStore& store, QWidget* parent)
    : QDialog(parent)
    , store_(store)
    , shownColors_(ReaderColors::Load(store))
    , shownGamma_(ReaderParameters::Load(store).gamma)
    , table_(new CReaderColorTable(shownColors_, this))
    , gamma_(new QDoubleSpinBox(this))
{
    setObjectName(QStringLiteral("readerColorsDialog"));
    setWindowTitle(MessageText(Msg::ReaderColorsTitle));
    table_->ShowEveryName();
    gamma_->setObjectName(QStringLiteral("Gamma"));
    gamma_->setRange(1.0, 5.0);
    gamma_->setDecimals(2);
    gamma_->setSingleStep(0.1);
    gamma_->setValue(GammaFromSetting(shownGamma_));
    auto* form = new QFormLayout;
    form->addRow(MessageText(Msg::ReaderGamma), gamma_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
}

void CReaderColorsDialog::accept()
{
    table_->Colors().StoreChanged(store_, shownColors_);
    // A stored gamma outside 1..5 shows clamped; it is only rewritten when the user moved it.
    const int gamma = int(std::lround(gamma_->value() * kGammaScale));
    if (gamma != int(std::lround(GammaFromSetting(shownGamma_) * kGammaScale)))
        store_.WriteProfileInt(kParametersSection, QStringLiteral("Gamma"), gamma);
    QDialog::accept();
}

} // namespace lbv
