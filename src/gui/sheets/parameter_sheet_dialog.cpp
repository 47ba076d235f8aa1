#include "gui/sheets/parameter_sheet_dialog.h"

#include "gui/sheets/parameter_editors.h"
#include "sheets/parameter_validation.h"
#include "text/messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace lbv {

struct ParameterSheetDialog::Row {
    qsizetype item;
    std::unique_ptr<ParameterEditor> editor;
    QString initialText; // what the editor showed at first, to tell an edit from none
};

ParameterSheetDialog::ParameterSheetDialog(
    ParameterSheet sheet, QStringList values, QWidget* parent)
    : QDialog(parent)
    , sheet_(std::move(sheet))
    , values_(std::move(values))
{
    values_.resize(sheet_.items.size());

    auto* fields = new QWidget;
    form_ = new QFormLayout(fields);
    form_->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    bool anyAdvanced = false;
    for (qsizetype i = 0; i < sheet_.items.size(); ++i) {
        const ParameterItem& item = sheet_.items[i];
        if (item.Is(kUsageHidden))
            continue;
        Row row {i, CreateParameterEditor(item, values_[i]), QString()};
        row.initialText = row.editor->Text();
        row.editor->SetReadOnly(item.Is(kUsageReadOnly));
        QWidget* field = row.editor->Widget();
        field->setObjectName(QStringLiteral("sheetEditor%1").arg(i));
        field->setToolTip(item.description);
        auto* label = new QLabel(item.shortName + u':');
        label->setToolTip(item.description);
        label->setBuddy(field);
        form_->addRow(label, field);
        anyAdvanced = anyAdvanced || item.Is(kUsageAdvanced);
        rows_.push_back(std::move(row));
    }
    scroll_ = new QScrollArea;
    auto* scroll = scroll_;
    scroll->setWidget(fields);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    advanced_ = new QCheckBox(MessageText(Msg::SheetAdvanced));
    advanced_->setObjectName(QStringLiteral("sheetAdvanced"));
    advanced_->setVisible(anyAdvanced);
    connect(advanced_, &QCheckBox::toggled, this, &ParameterSheetDialog::ShowAdvanced);

    help_ = new QLabel;
    help_->setObjectName(QStringLiteral("sheetHelp"));
    help_->setWordWrap(true);
    help_->setFrameShape(QFrame::StyledPanel);
    help_->setMinimumHeight(help_->fontMetrics().lineSpacing() * 2 + 8);

    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("sheetMessage"));
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #b00020"));
    message_->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &ParameterSheetDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ParameterSheetDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addWidget(advanced_);
    layout->addWidget(help_);
    layout->addWidget(message_);
    layout->addWidget(buttons);

    connect(qApp, &QApplication::focusChanged, this,
        [this](QWidget*, QWidget* now) { ShowHelpFor(now); });
    ShowAdvanced(false);
    resize(560, 520);
}

ParameterSheetDialog::~ParameterSheetDialog() = default;

void ParameterSheetDialog::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    for (Row& row : rows_)
        row.editor->SetReadOnly(readOnly || sheet_.items[row.item].Is(kUsageReadOnly));
}

QString ParameterSheetDialog::ValueOf(const Row& row) const
{
    const QString text = row.editor->Text();
    return text == row.initialText ? values_[row.item] : text;
}

QStringList ParameterSheetDialog::Values() const
{
    QStringList values = values_;
    for (const Row& row : rows_)
        values[row.item] = ValueOf(row);
    return values;
}

QList<qsizetype> ParameterSheetDialog::ChangedItems() const
{
    QList<qsizetype> changed;
    for (const Row& row : rows_)
        if (ValueOf(row) != values_[row.item])
            changed.append(row.item);
    return changed;
}

void ParameterSheetDialog::accept()
{
    // Only edited values are checked: an untouched value is written back as it was, and a
    // book's odd old value must not lock the sheet.
    if (!readOnly_) {
        for (const Row& row : rows_) {
            const ParameterItem& item = sheet_.items[row.item];
            const QString value = ValueOf(row);
            if (value == values_[row.item])
                continue;
            const QString message = ValidateParameter(item, value);
            if (message.isEmpty())
                continue;
            message_->setText(message);
            message_->show();
            if (item.Is(kUsageAdvanced))
                advanced_->setChecked(true);
            scroll_->ensureWidgetVisible(row.editor->Widget());
            row.editor->Widget()->setFocus();
            return;
        }
    }
    message_->hide();
    QDialog::accept();
}

void ParameterSheetDialog::ShowAdvanced(bool show)
{
    for (const Row& row : rows_)
        if (sheet_.items[row.item].Is(kUsageAdvanced))
            form_->setRowVisible(row.editor->Widget(), show);
}

void ParameterSheetDialog::ShowHelpFor(QWidget* focused)
{
    if (!focused || !isAncestorOf(focused))
        return;
    for (const Row& row : rows_) {
        QWidget* field = row.editor->Widget();
        if (field == focused || field->isAncestorOf(focused)) {
            help_->setText(sheet_.items[row.item].description);
            return;
        }
    }
}

} // namespace lbv
