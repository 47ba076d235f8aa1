#pragma once
#include "gui/reader/reader_dialogs.h"

#include <QDialog>
#include <QStringList>
#include <functional>

namespace lbv {

// Answers the reader's questions from a script, counts its beeps and hands its dialogs to the
// test, which operates them and says whether they were accepted.
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

    bool yes = true;
    std::function<void(QDialog&)> operate; // accepts or rejects the dialog; unset: cancelled
    QStringList files; // the dictionary files picked, cancelled when empty
    QStringList questions, errors;
    int beeps = 0;
    int runs = 0;
};

} // namespace lbv
