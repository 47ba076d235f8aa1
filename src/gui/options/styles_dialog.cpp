#include "gui/options/styles_dialog.h"

#include "gui/common/ok_cancel_buttons.h"
#include "reader/reader_session.h"
#include "text/messages.h"

#include <QComboBox>
#include <QFormLayout>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace lbv {
namespace {

int32_t ElementStyle::*const kIndents[]
    = {&ElementStyle::leftIndent, &ElementStyle::rightIndent, &ElementStyle::firstLineIndent};

} // namespace

CStylesDialog::CStylesDialog(SettingsStore& store, QWidget* parent)
    : QDialog(parent)
    , store_(store)
    , table_(CurrentElementStyles(store))
    , rows_(EditableStyleRows(table_))
    , element_(new QComboBox(this))
{
    setObjectName(QStringLiteral("stylesDialog"));
    setWindowTitle(MessageText(Msg::StylesTitle));
    element_->setObjectName(QStringLiteral("element"));
    for (int row : rows_)
        element_->addItem(table_.Row(row).name);
    auto* form = new QFormLayout;
    form->addRow(MessageText(Msg::StyleElement), element_);
    AddChoice(form, StyleField::Size, Msg::StyleFontSize, "fontSize");
    AddChoice(form, StyleField::Colour, Msg::StyleColor, "color");
    AddChoice(form, StyleField::Align, Msg::StyleAlign, "align");
    AddChoice(form, StyleField::Bold, Msg::StyleBold, "bold");
    AddChoice(form, StyleField::Italic, Msg::StyleItalic, "italic");
    AddChoice(form, StyleField::Underline, Msg::StyleUnderline, "underline");
    AddIndent(form, 0, Msg::StyleLeftIndent, "leftIndent");
    AddIndent(form, 1, Msg::StyleRightIndent, "rightIndent");
    AddIndent(form, 2, Msg::StyleFirstLine, "firstLineIndent");
    connect(element_, &QComboBox::currentIndexChanged, this, &CStylesDialog::ShowRow);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
    ShowRow();
}

void CStylesDialog::AddChoice(QFormLayout* form, StyleField field, Msg label, const char* name)
{
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::fromLatin1(name));
    for (const StyleChoice& choice : StyleChoices(field))
        combo->addItem(choice.text, choice.value);
    // Only a field the user picks changes: a stored value shown clamped keeps its own form.
    connect(combo, &QComboBox::activated, this, [this, combo, field](int index) {
        if (ElementStyle* row = CurrentRow())
            SetStyleField(*row, field, combo->itemData(index).toInt());
    });
    choices_[std::size_t(field)] = combo;
    form->addRow(MessageText(label), combo);
}

void CStylesDialog::AddIndent(QFormLayout* form, int which, Msg label, const char* name)
{
    auto* spin = new QSpinBox(this);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(-100, 100);
    connect(spin, &QSpinBox::valueChanged, this, [this, which](int value) {
        if (ElementStyle* row = CurrentRow())
            row->*kIndents[which] = IndentFromEntry(value);
    });
    indents_[std::size_t(which)] = spin;
    form->addRow(MessageText(label), spin);
}

ElementStyle* CStylesDialog::CurrentRow()
{
    const int index = element_->currentIndex();
    if (index < 0 || index >= int(rows_.size()))
        return nullptr;
    return &table_.Row(rows_[std::size_t(index)]);
}

void CStylesDialog::ShowRow()
{
    const ElementStyle* row = CurrentRow();
    for (int field = 0; field < kFieldCount; ++field) {
        QComboBox* combo = choices_[std::size_t(field)];
        combo->setEnabled(row != nullptr);
        if (row)
            combo->setCurrentIndex(
                StyleChoiceIndex(StyleField(field), StyleFieldValue(*row, StyleField(field))));
    }
    for (int which = 0; which < kIndentCount; ++which) {
        QSpinBox* spin = indents_[std::size_t(which)];
        const QSignalBlocker quiet(spin);
        spin->setEnabled(row != nullptr);
        spin->setValue(row ? IndentForEntry(row->*kIndents[which]) : 0);
    }
}

void CStylesDialog::accept()
{
    table_.StoreOverrides(store_);
    QDialog::accept();
}

} // namespace lbv
