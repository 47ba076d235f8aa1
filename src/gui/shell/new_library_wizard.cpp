#include "gui/shell/new_library_wizard.h"

#include "catalog/file_name_mask.h"
#include "text/messages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lbv {

QString NewLibraryChoice::IndexPath() const
{
    // "~" is the shell's home folder, which people type out of habit.
    QString base = folder;
    if (base == QLatin1String("~") || base.startsWith(QLatin1String("~/")))
        base.replace(0, 1, QDir::homePath());
    return QDir(base).filePath(indexName);
}

CStructurePage::CStructurePage(QWidget* parent)
    : QWizardPage(parent)
    , choices_(new QButtonGroup(this))
    , mask_(new QLineEdit(this))
    , compress_(new QCheckBox(QStringLiteral("Use ZIP compression"), this))
{
    setTitle(QStringLiteral("Library structure"));
    setSubTitle(QStringLiteral("Choose where in the library folder each book is filed."));

    auto* grid = new QGridLayout;
    const QList<MaskPreset>& presets = MaskPresets();
    for (int i = 0; i < presets.size(); ++i) {
        auto* choice = new QRadioButton(presets[i].mask, this);
        choice->setObjectName(QStringLiteral("preset%1").arg(i));
        choices_->addButton(choice, i);
        auto* example = new QLabel(presets[i].example, this);
        example->setEnabled(false); // greyed: an illustration, not a setting
        grid->addWidget(choice, i, 0);
        grid->addWidget(example, i, 1);
    }
    const int otherId = int(presets.size());
    auto* other = new QRadioButton(QStringLiteral("Other:"), this);
    other->setObjectName(QStringLiteral("presetOther"));
    choices_->addButton(other, otherId);
    mask_->setObjectName(QStringLiteral("mask"));
    grid->addWidget(other, otherId, 0);
    grid->addWidget(mask_, otherId, 1);
    grid->setColumnStretch(1, 1);

    compress_->setObjectName(QStringLiteral("useZip"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(new QLabel(MessageText(Msg::MaskHintPlaceholders), this));
    layout->addWidget(new QLabel(MessageText(Msg::MaskHintTransliteration), this));
    // Why Next stays disabled for a mask leading outside the library.
    auto* problem = new QLabel(this);
    problem->setObjectName(QStringLiteral("maskProblem"));
    problem->setWordWrap(true);
    layout->addWidget(problem);
    layout->addSpacing(12);
    layout->addWidget(compress_);
    layout->addStretch();

    choices_->button(0)->setChecked(true);
    mask_->setText(presets.first().mask);
    connect(choices_, &QButtonGroup::idClicked, this, &CStructurePage::ChoosePreset);
    // Typing a mask of one's own is choosing "Other:".
    connect(mask_, &QLineEdit::textEdited, other, [other] { other->setChecked(true); });
    connect(mask_, &QLineEdit::textChanged, this, &QWizardPage::completeChanged);
    connect(mask_, &QLineEdit::textChanged, problem,
        [this, problem] { problem->setText(FileNameMaskProblem(Mask())); });
}

void CStructurePage::ChoosePreset(int id)
{
    const QList<MaskPreset>& presets = MaskPresets();
    if (id >= 0 && id < presets.size())
        mask_->setText(presets[id].mask);
}

bool CStructurePage::isComplete() const
{
    return !Mask().isEmpty() && FileNameMaskProblem(Mask()).isEmpty();
}

QString CStructurePage::Mask() const
{
    return mask_->text().trimmed();
}

bool CStructurePage::Compress() const
{
    return compress_->isChecked();
}

CLocationPage::CLocationPage(QWidget* parent)
    : QWizardPage(parent)
    , folder_(new QLineEdit(this))
    , indexName_(new QLineEdit(QStringLiteral("index.lvf"), this))
{
    setTitle(QStringLiteral("Location"));
    setSubTitle(QStringLiteral("The folder receives the index file and the imported books."));

    folder_->setObjectName(QStringLiteral("folder"));
    indexName_->setObjectName(QStringLiteral("indexName"));
    auto* browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("browseFolder"));

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder_);
    folderRow->addWidget(browse);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Library folder:"), folderRow);
    layout->addRow(QStringLiteral("Index file name:"), indexName_);

    connect(browse, &QPushButton::clicked, this, &CLocationPage::BrowseFolder);
    connect(folder_, &QLineEdit::textChanged, this, &QWizardPage::completeChanged);
    connect(indexName_, &QLineEdit::textChanged, this, &QWizardPage::completeChanged);
}

void CLocationPage::BrowseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Library folder"),
        Folder().isEmpty() ? QDir::homePath() : Folder());
    if (!folder.isEmpty())
        folder_->setText(QDir::toNativeSeparators(folder));
}

bool CLocationPage::isComplete() const
{
    return !Folder().isEmpty() && !IndexName().isEmpty();
}

QString CLocationPage::Folder() const
{
    return folder_->text().trimmed();
}

QString CLocationPage::IndexName() const
{
    return indexName_->text().trimmed();
}

CNewLibraryWizard::CNewLibraryWizard(QWidget* parent)
    : QWizard(parent)
    , structure_(new CStructurePage(this))
    , location_(new CLocationPage(this))
{
    setWindowTitle(MessageText(Msg::NewShelfTitle));
    setObjectName(QStringLiteral("newLibraryWizard"));
    setWizardStyle(QWizard::ClassicStyle);
    addPage(structure_);
    addPage(location_);
}

NewLibraryChoice CNewLibraryWizard::Choice() const
{
    return {structure_->Mask(), structure_->Compress(), location_->Folder(), location_->IndexName()};
}

} // namespace lbv
