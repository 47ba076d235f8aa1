#pragma once
#include "gui/reader/reader_dialogs.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace lbv {

// Answers the reader's questions and menus from a script, counts its beeps and hands its
// dialogs to the test, which operates them and says whether they were accepted.
class ScriptedReaderDialogs : public ReaderDialogs {
public:
    bool AskYesNo(QWidget*, const QString& caption, const QString& text) override
    {
        questions.append(caption + u'|' + text);
        return yes;
    }
    void ShowError(QWidget*, const QString& text) override { errors.append(text); }
    void Beep() override { ++beeps; }
    bool Run(QDialog& dialog) override
    {
        ++runs;
        if (!operate)
            return false;
        operate(dialog);
        return dialog.result() == QDialog::Accepted;
    }
    QString ChooseDictionaryFile(QWidget*, const QString&) override
    {
        return files.isEmpty() ? QString() : files.takeFirst();
    }

    std::optional<SelectionAction> ChooseSelectionAction(
        QWidget*, const QPoint&, bool lookupOffered) override
    {
        lookupsOffered.push_back(lookupOffered);
        if (duringMenu)
            duringMenu();
        return action;
    }
    std::optional<QString> AskBookmarkText(QWidget*, const QString& preset) override
    {
        bookmarkPresets.append(preset);
        return bookmarkAnswer;
    }

    bool yes = true;
    std::function<void(QDialog&)> operate; // accepts or rejects the dialog; unset: cancelled
    QStringList files; // the dictionary files picked, cancelled when empty
    QStringList questions, errors;
    std::function<void()> duringMenu; // runs while the selection's menu is open
    std::optional<SelectionAction> action; // the menu's choice; unset: dismissed
    std::optional<QString> bookmarkAnswer; // unset: cancelled
    std::vector<bool> lookupsOffered;
    QStringList bookmarkPresets; // the bookmark texts offered
    int beeps = 0;
    int runs = 0;
};

} // namespace lbv
