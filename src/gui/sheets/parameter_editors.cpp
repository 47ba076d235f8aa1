#include "gui/sheets/parameter_editors.h"

#include "sheets/parameter_validation.h"
#include "text/messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

namespace lbv {
namespace {

bool IsPathType(ParameterType type)
{
    return type == ParameterType::FilePath || type == ParameterType::DirPath
        || type == ParameterType::FilePathList || type == ParameterType::DirPathList;
}

bool ChoosesFolder(ParameterType type)
{
    return type == ParameterType::DirPath || type == ParameterType::DirPathList;
}

// Asks for a file or folder; empty when cancelled.
QString ChoosePath(QWidget* owner, ParameterType type, const QString& start)
{
    if (ChoosesFolder(type))
        return QFileDialog::getExistingDirectory(owner, QString(), start);
    return QFileDialog::getOpenFileName(owner, QString(), start);
}

// A field with a "..." button beside it that picks a path.
QWidget* WithBrowseButton(QWidget* field, QToolButton** button)
{
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field, 1);
    *button = new QToolButton;
    (*button)->setText(QStringLiteral("..."));
    layout->addWidget(*button);
    return box;
}

// A text field; for paths with a "..." button beside it that hands a chosen path to TakePath.
template<typename Edit> class TextFieldEditor : public ParameterEditor {
public:
    explicit TextFieldEditor(const ParameterItem& item)
    {
        if (!IsPathType(item.type)) {
            widget_ = edit_;
            return;
        }
        widget_ = WithBrowseButton(edit_, &browse_);
        const ParameterType type = item.type;
        QObject::connect(browse_, &QToolButton::clicked, edit_, [this, type] {
            const QString path = ChoosePath(widget_, type, StartPath());
            if (!path.isEmpty())
                TakePath(path);
        });
    }

    QWidget* Widget() override { return widget_; }
    void SetReadOnly(bool readOnly) override
    {
        edit_->setReadOnly(readOnly);
        if (browse_)
            browse_->setEnabled(!readOnly);
    }

protected:
    virtual QString StartPath() const = 0;
    virtual void TakePath(const QString& path) = 0;

    Edit* edit_ = new Edit;

private:
    QToolButton* browse_ = nullptr;
    QWidget* widget_ = nullptr;
};

// Single-line text: strings, numbers and paths; an empty line is the unset state.
class LineEditor : public TextFieldEditor<QLineEdit> {
public:
    explicit LineEditor(const ParameterItem& item)
        : TextFieldEditor(item)
    {
        if (item.Is(kUsageOptional)
            && (item.type == ParameterType::Number || item.type == ParameterType::Float))
            edit_->setPlaceholderText(MessageText(Msg::SheetNotSet));
    }

    void SetText(const QString& value) override { edit_->setText(value); }
    QString Text() const override { return edit_->text(); }

private:
    QString StartPath() const override { return edit_->text(); }
    void TakePath(const QString& path) override { edit_->setText(path); }
};

// Multi-line text: paragraphs of a multistring or the entries of a list, one per line.
class LinesEditor : public TextFieldEditor<QPlainTextEdit> {
public:
    explicit LinesEditor(const ParameterItem& item)
        : TextFieldEditor(item)
    {
        edit_->setTabChangesFocus(true);
        edit_->setMinimumHeight(edit_->fontMetrics().lineSpacing() * 4);
    }

    void SetText(const QString& value) override
    {
        edit_->setPlainText(SplitValueLines(value).join(u'\n'));
    }
    QString Text() const override { return JoinValueLines(SplitValueLines(edit_->toPlainText())); }

private:
    QString StartPath() const override { return {}; }
    void TakePath(const QString& path) override { edit_->appendPlainText(path); }
};

// A drop-down of the allowed values; an optional item also offers the empty value.
class ChoiceEditor : public ParameterEditor {
public:
    explicit ChoiceEditor(const ParameterItem& item)
    {
        if (item.Is(kUsageOptional))
            combo_->addItem(QString());
        combo_->addItems(item.Choices());
    }

    QWidget* Widget() override { return combo_; }
    void SetText(const QString& value) override
    {
        int index = combo_->findText(value, Qt::MatchExactly);
        if (index < 0) {
            combo_->addItem(value);
            index = combo_->count() - 1;
        }
        combo_->setCurrentIndex(index);
    }
    QString Text() const override { return combo_->currentText(); }
    void SetReadOnly(bool readOnly) override { combo_->setEnabled(!readOnly); }

private:
    QComboBox* combo_ = new QComboBox;
};

// A check box; the value reads "true" or "false" once the box was toggled.
class BooleanEditor : public ParameterEditor {
public:
    QWidget* Widget() override { return box_; }
    void SetText(const QString& value) override
    {
        box_->setChecked(ParseSheetBoolean(value).value_or(false));
    }
    QString Text() const override
    {
        return box_->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
    }
    void SetReadOnly(bool readOnly) override { box_->setEnabled(!readOnly); }

private:
    QCheckBox* box_ = new QCheckBox;
};

// The picker's lowest date stands for "no date".
QDate Unset()
{
    return QDate(100, 1, 1);
}

// A date picker. An optional date has a check box in front: cleared, the date is not set and
// the picker shows "Not set".
class DateEditor : public ParameterEditor {
public:
    explicit DateEditor(const ParameterItem& item)
    {
        date_->setCalendarPopup(true);
        date_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        date_->setMinimumDate(Unset());
        date_->setSpecialValueText(MessageText(Msg::SheetNotSet));
        auto* layout = new QHBoxLayout(widget_);
        layout->setContentsMargins(0, 0, 0, 0);
        if (item.Is(kUsageOptional)) {
            set_ = new QCheckBox;
            layout->addWidget(set_);
            QObject::connect(set_, &QCheckBox::toggled, date_, [this](bool on) {
                date_->setEnabled(on && !readOnly_);
                if (!on)
                    date_->setDate(Unset());
                else if (date_->date() == Unset())
                    date_->setDate(QDate::currentDate());
            });
        }
        layout->addWidget(date_, 1);
    }

    QWidget* Widget() override { return widget_; }
    void SetText(const QString& value) override
    {
        const std::optional<QDate> date = ParseSheetDate(value);
        if (set_)
            set_->setChecked(date.has_value());
        date_->setDate(date.value_or(set_ ? Unset() : QDate::currentDate()));
        date_->setEnabled((!set_ || set_->isChecked()) && !readOnly_);
    }
    QString Text() const override
    {
        if (set_ && !set_->isChecked())
            return {};
        return FormatSheetDate(date_->date());
    }
    void SetReadOnly(bool readOnly) override
    {
        readOnly_ = readOnly;
        if (set_)
            set_->setEnabled(!readOnly);
        date_->setEnabled((!set_ || set_->isChecked()) && !readOnly);
    }

private:
    QWidget* widget_ = new QWidget;
    QCheckBox* set_ = nullptr;
    QDateEdit* date_ = new QDateEdit;
    bool readOnly_ = false;
};

} // namespace

std::unique_ptr<ParameterEditor> CreateParameterEditor(
    const ParameterItem& item, const QString& value)
{
    std::unique_ptr<ParameterEditor> editor;
    if (!item.Choices().isEmpty() && !item.IsList())
        editor = std::make_unique<ChoiceEditor>(item);
    else if (item.type == ParameterType::MultiString || item.IsList())
        editor = std::make_unique<LinesEditor>(item);
    else if (item.type == ParameterType::Boolean && (value.isEmpty() || ParseSheetBoolean(value)))
        editor = std::make_unique<BooleanEditor>();
    else if (item.type == ParameterType::Date && (value.isEmpty() || ParseSheetDate(value)))
        editor = std::make_unique<DateEditor>(item);
    else
        editor = std::make_unique<LineEditor>(item);
    editor->SetText(value);
    return editor;
}

} // namespace lbv
