#pragma once
// The Import page's dialogs answered from a script, for the GUI tests.
#include "gui/import/import_dialogs.h"

#include <deque>
#include <functional>

namespace lbv::test {

class ScriptedImportDialogs final : public ImportDialogs {
public:
    using Answer = ExistingBookQuestion::Answer;

    QStringList AskFiles(QWidget*) override { return files; }
    QString AskFolder(QWidget*) override { return folder; }
    void ShowError(QWidget*, const QString& text) override { errors.append(text); }
    // Runs `whileAsked` (once) while the question is open, as the user would act meanwhile; then
    // answers from the script, "No" when it is used up or the question was dismissed.
    Answer AskExistingBook(QWidget*, const QString& text) override
    {
        questions.append(text);
        dismissed = false;
        if (whileAsked)
            std::exchange(whileAsked, nullptr)();
        if (dismissed || answers.empty())
            return Answer::No;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void DismissQuestion() override { dismissed = true; }

    QStringList files;
    QString folder;
    QStringList errors;
    QStringList questions;
    std::deque<Answer> answers;
    std::function<void()> whileAsked;
    bool dismissed = false;
};

} // namespace lbv::test
