#include "gui/options/import_options_page.h"

#include "convert/converter_factory.h"
#include "gui/options/converter_options_dialog.h"
#include "import/book_placement.h"
#include "import/import_options.h"
#include "settings/settings_store.h"
#include "text/case_fold.h"
#include "text/code_pages.h"
#include "text/messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lbv {

namespace {

const QString kSettings = QStringLiteral("Settings");

struct FolderRow {
    Msg label;
    const char* key;
};

constexpr FolderRow kFolderRows[] = {
    {Msg::OptionsConvertedFilesFolder, "ConvertedFilesDir"},
    {Msg::OptionsFailedFilesFolder, "FailedFilesDir"},
    {Msg::OptionsLogFilesFolder, "LogFilesDir"},
};

struct CheckRow {
    Msg label;
    const char* key;
    int defaultValue;
};

constexpr CheckRow kCheckRows[] = {
    {Msg::OptionsCopyFailedFiles, "CopyFailedFiles", 0},
    {Msg::OptionsWriteLogs, "WriteLogs", 0},
    {Msg::OptionsUseZipCompression, "UseZipCompression", 1},
};

QString AskFolder(QWidget* parent, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, MessageText(Msg::OptionsSelectFolder), start);
}

void OpenConverterOptions(
    QWidget* parent, SettingsStore& settings, std::function<void(const QString&)> announce)
{
    // Like the import, the dialog works only with a converter to hand its options to.
    const bool available = CreateAny2Fb2Converter() != nullptr;
    CConverterOptionsDialog dialog(settings, available, parent);
    QObject::connect(&dialog, &CConverterOptionsDialog::settingChanged, parent, announce);
    dialog.exec();
}

} // namespace

CImportOptionsPage::CImportOptionsPage(SettingsStore& settings, QWidget* parent)
    : QWidget(parent)
    , settings_(settings)
    , chooseFolder_(AskFolder)
    , openConverterOptions_(OpenConverterOptions)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateFolders());
    layout->addWidget(CreateChecks());
    layout->addWidget(CreateMask());
    layout->addWidget(CreateChoices());
    layout->addStretch(1);
    ShowMaskExample();
}

void CImportOptionsPage::WriteText(const QString& key, const QString& value)
{
    settings_.WriteProfileString(kSettings, key, value);
    Q_EMIT settingChanged(key);
}

void CImportOptionsPage::WriteNumber(const QString& key, int value)
{
    settings_.WriteProfileInt(kSettings, key, value);
    Q_EMIT settingChanged(key);
}

QWidget* CImportOptionsPage::CreateFolders()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    for (const FolderRow& entry : kFolderRows) {
        const QString key = QString::fromLatin1(entry.key);
        auto* edit = new QLineEdit(settings_.GetProfileString(kSettings, key), box);
        edit->setObjectName(key);
        connect(edit, &QLineEdit::textEdited, this, [this, key](const QString& text) {
            WriteText(key, text);
            ShowMaskExample();
        });
        auto* browse = new QPushButton(QStringLiteral("..."), box);
        browse->setObjectName(key + QLatin1String("Browse"));
        connect(browse, &QPushButton::clicked, this, [this, edit] { ChooseFolder(edit); });
        grid->addWidget(new QLabel(MessageText(entry.label), box), row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(browse, row++, 2);
        if (key == u"ConvertedFilesDir")
            convertedFolder_ = edit;
    }
    return box;
}

void CImportOptionsPage::ChooseFolder(QLineEdit* edit)
{
    const QString chosen = chooseFolder_(this, edit->text());
    if (chosen.isEmpty())
        return;
    edit->setText(chosen);
    WriteText(edit->objectName(), chosen);
    ShowMaskExample();
}

QWidget* CImportOptionsPage::CreateChecks()
{
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const CheckRow& entry : kCheckRows) {
        const QString key = QString::fromLatin1(entry.key);
        auto* check = new QCheckBox(MessageText(entry.label), box);
        check->setObjectName(key);
        check->setChecked(settings_.GetProfileInt(kSettings, key, entry.defaultValue) != 0);
        connect(check, &QCheckBox::toggled, this, [this, key](bool on) {
            WriteNumber(key, on ? 1 : 0);
            ShowMaskExample();
        });
        layout->addWidget(check);
        if (key == u"UseZipCompression")
            useZip_ = check;
    }
    return box;
}

QWidget* CImportOptionsPage::CreateMask()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    const QString key = QStringLiteral("RenameBookMask");
    mask_ = new QLineEdit(
        settings_.GetProfileString(kSettings, key, ImportOptions().renameBookMask), box);
    mask_->setObjectName(key);
    connect(mask_, &QLineEdit::textEdited, this, [this, key](const QString& text) {
        WriteText(key, text);
        ShowMaskExample();
    });
    maskExample_ = new QLabel(box);
    maskExample_->setObjectName(QStringLiteral("RenameBookMaskResult"));
    maskExample_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(new QLabel(MessageText(Msg::OptionsRenameMask), box), 0, 0);
    grid->addWidget(mask_, 0, 1);
    grid->addWidget(new QLabel(MessageText(Msg::OptionsMaskResult), box), 1, 0);
    grid->addWidget(maskExample_, 1, 1);
    return box;
}

void CImportOptionsPage::ShowMaskExample()
{
    if (!maskExample_)
        return;
    maskExample_->setText(
        RenameMaskExample(convertedFolder_->text(), mask_->text(), useZip_->isChecked()));
}

QWidget* CImportOptionsPage::CreateChoices()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);

    auto* charsets = new QComboBox(box);
    charsets->setObjectName(QStringLiteral("BookCharset"));
    const QString stored = BookCharsetSetting(settings_);
    for (const CodePageChoice& choice : CodePageChoices()) {
        charsets->addItem(choice.displayName, choice.value);
        if (EqualsNoCase(choice.value, stored))
            charsets->setCurrentIndex(charsets->count() - 1);
    }
    // A value the list doesn't know is shown as it is rather than silently replaced.
    if (charsets->findData(stored, Qt::UserRole, Qt::MatchFixedString) < 0) {
        charsets->addItem(stored, stored);
        charsets->setCurrentIndex(charsets->count() - 1);
    }
    connect(charsets, &QComboBox::activated, this, [this, charsets](int index) {
        WriteText(QStringLiteral("BookCharset"), charsets->itemData(index).toString());
    });

    auto* existing = new QComboBox(box);
    existing->setObjectName(QStringLiteral("ExistingBookAction"));
    existing->addItems({MessageText(Msg::ExistingBookAsk), MessageText(Msg::ExistingBookReplace),
        MessageText(Msg::ExistingBookSkip)});
    existing->setCurrentIndex(int(ReadImportOptions(settings_).existingBookAction));
    connect(existing, &QComboBox::activated, this,
        [this](int index) { WriteNumber(QStringLiteral("ExistingBookAction"), index); });

    auto* converter = new QPushButton(MessageText(Msg::OptionsConverterOptions), box);
    converter->setObjectName(QStringLiteral("ConverterOptions"));
    connect(converter, &QPushButton::clicked, this, [this] {
        openConverterOptions_(
            this, settings_, [this](const QString& name) { Q_EMIT settingChanged(name); });
    });

    grid->addWidget(new QLabel(MessageText(Msg::OptionsBookCharset), box), 0, 0);
    grid->addWidget(charsets, 0, 1);
    grid->addWidget(new QLabel(MessageText(Msg::OptionsExistingBook), box), 1, 0);
    grid->addWidget(existing, 1, 1);
    grid->addWidget(converter, 2, 0, 1, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    return box;
}

} // namespace lbv
