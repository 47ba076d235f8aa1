#include "gui/import/import_dialogs.h"

#include "gui/common/box_text.h"
#include "gui/shell/frame_dialogs.h"
#include "text/messages.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace lbv {

QStringList StandardImportDialogs::AskFiles(QWidget* parent)
{
    QFileDialog dialog(parent, MessageText(Msg::ImportAddFile));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(NameFilters(MessageText(Msg::ImportFileFilter)));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

QString StandardImportDialogs::AskFolder(QWidget* parent)
{
    return QFileDialog::getExistingDirectory(parent, MessageText(Msg::ImportSelectFolder));
}

void StandardImportDialogs::ShowError(QWidget* parent, const QString& text)
{
    QMessageBox::critical(parent, MessageText(Msg::Error), BoxText(text));
}

ExistingBookQuestion::Answer StandardImportDialogs::AskExistingBook(
    QWidget* parent, const QString& text)
{
    using Answer = ExistingBookQuestion::Answer;
    QMessageBox box(QMessageBox::Question, MessageText(Msg::ProgramTitle), BoxText(text),
        QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("existingBookQuestion"));
    // One role for all four keeps them in the order given; yes/no roles would pair them up.
    const auto add
        = [&box](Msg text) { return box.addButton(MessageText(text), QMessageBox::ActionRole); };
    QAbstractButton* yes = add(Msg::AnswerYes);
    QAbstractButton* no = add(Msg::AnswerNo);
    QAbstractButton* yesToAll = add(Msg::AnswerYesToAll);
    QAbstractButton* noToAll = add(Msg::AnswerNoToAll);
    box.setDefaultButton(qobject_cast<QPushButton*>(yes));
    box.setEscapeButton(no);
    question_ = &box;
    box.exec();
    question_.clear();
    const QAbstractButton* chosen = box.clickedButton();
    if (chosen == yes)
        return Answer::Yes;
    if (chosen == yesToAll)
        return Answer::YesToAll;
    if (chosen == noToAll)
        return Answer::NoToAll;
    return Answer::No;
}

void StandardImportDialogs::DismissQuestion()
{
    if (question_)
        question_->reject();
}

} // namespace lbv
