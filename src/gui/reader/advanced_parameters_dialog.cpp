#include "gui/reader/advanced_parameters_dialog.h"

#include "gui/common/ok_cancel_buttons.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

namespace lbv {

CAdvancedParametersDialog::CAdvancedParametersDialog(SettingsStore& store, QWidget* parent)
    : QDialog(parent)
    , store_(store)
    , shown_(AdvancedParameters::From(ReaderParameters::Load(store)))
    , form_(new QFormLayout)
{
    setObjectName(QStringLiteral("advancedParametersDialog"));
    setWindowTitle(MessageText(Msg::AdvancedTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form_);
    oneInstance_
        = AddCheck("AllowOnlyOneInstance", Msg::AdvancedOneInstance, shown_.allowOnlyOneInstance);
    rotateButtons_ = AddCheck("RotateButtons", Msg::AdvancedRotateButtons, shown_.rotateButtons);
    autoRepeatLimit_
        = AddCheck("AutoRepeatLimit", Msg::AdvancedAutoRepeatLimit, shown_.autoRepeatLimit);
    saveToFiles_ = AddCheck("SaveToFiles", Msg::AdvancedSaveToFiles, shown_.saveToFiles);
    fontCache_ = AddNumber("FontCacheSize", Msg::AdvancedFontCache, 2, 32, shown_.fontCacheSize);
    fileBuffer_
        = AddNumber("FileBufSize", Msg::AdvancedFileBuffer, 8, 1024, shown_.fileBufKilobytes);
    numBookmarks_ = AddNumber("NumBookmarks", Msg::AdvancedNumBookmarks, 1,
        std::numeric_limits<int>::max(), shown_.numBookmarks);
    layout->addWidget(OkCancelButtons(this));
}

QCheckBox* CAdvancedParametersDialog::AddCheck(const char* name, Msg text, bool checked)
{
    auto* check = new QCheckBox(MessageText(text), this);
    check->setObjectName(QString::fromLatin1(name));
    check->setChecked(checked);
    form_->addRow(check);
    return check;
}

QSpinBox* CAdvancedParametersDialog::AddNumber(
    const char* name, Msg text, int minimum, int maximum, int value)
{
    auto* number = new QSpinBox(this);
    number->setObjectName(QString::fromLatin1(name));
    number->setRange(minimum, maximum);
    number->setValue(value);
    form_->addRow(MessageText(text), number);
    return number;
}

void CAdvancedParametersDialog::accept()
{
    AdvancedParameters chosen;
    chosen.allowOnlyOneInstance = oneInstance_->isChecked();
    chosen.rotateButtons = rotateButtons_->isChecked();
    chosen.autoRepeatLimit = autoRepeatLimit_->isChecked();
    chosen.saveToFiles = saveToFiles_->isChecked();
    chosen.fontCacheSize = fontCache_->value();
    chosen.fileBufKilobytes = fileBuffer_->value();
    chosen.numBookmarks = numBookmarks_->value();
    chosen.StoreChanged(store_, shown_);
    QDialog::accept();
}

} // namespace lbv
