#include "gui/shell/frame_dialogs.h"

#include "gui/common/box_text.h"
#include "gui/import/import_dialogs.h"
#include "text/messages.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QRegularExpression>

namespace lbv {

QStringList NameFilters(const QString& filter)
{
    static const QRegularExpression namedPatterns(QStringLiteral("\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        if (description.isEmpty())
            break; // the closing "||"
        QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.isEmpty() || description.contains(namedPatterns))
            result.append(description);
        else
            result.append(description + QLatin1String(" (") + patterns + QLatin1Char(')'));
    }
    return result;
}

ImportDialogs& FrameDialogs::ImportPageDialogs()
{
    static StandardImportDialogs dialogs;
    return dialogs;
}

std::optional<NewLibraryChoice> StandardFrameDialogs::AskNewLibrary(QWidget* parent)
{
    CNewLibraryWizard wizard(parent);
    if (wizard.exec() != QDialog::Accepted)
        return std::nullopt;
    return wizard.Choice();
}

QString StandardFrameDialogs::AskOpenIndex(QWidget* parent)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("lvf"));
    dialog.setNameFilters(NameFilters(MessageText(Msg::OpenIndexFilter)));
    dialog.selectFile(QStringLiteral("index.lvf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString StandardFrameDialogs::AskSaveIndex(QWidget* parent, const QString& proposed)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("lvf"));
    dialog.setNameFilters(NameFilters(MessageText(Msg::SaveIndexFilter)));
    dialog.selectFile(proposed); // the dialog asks before overwriting an existing file
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QMessageBox::StandardButton StandardFrameDialogs::AskSaveModified(QWidget* parent)
{
    return QMessageBox::question(parent, QCoreApplication::applicationName(),
        MessageText(Msg::IndexModifiedSave),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
}

void StandardFrameDialogs::ShowError(QWidget* parent, const QString& text)
{
    QMessageBox::critical(parent, MessageText(Msg::Error), BoxText(text));
}

void StandardFrameDialogs::ShowMessage(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, QCoreApplication::applicationName(), BoxText(text));
}

bool StandardFrameDialogs::AskYesNo(QWidget* parent, const QString& text)
{
    return QMessageBox::question(parent, QCoreApplication::applicationName(), BoxText(text),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
}

} // namespace lbv
