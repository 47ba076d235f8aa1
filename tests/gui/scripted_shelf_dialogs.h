#pragma once
#include "gui/shelf/shelf_dialogs.h"

#include <QStringList>
#include <functional>
#include <vector>

namespace lbv {

// Answers the page's questions from a script and records them.
class ScriptedShelfDialogs : public ShelfDialogs {
public:
    bool AskYesNo(QWidget*, const QString&, const QString& text) override
    {
        questions.append(text);
        if (duringQuestion)
            duringQuestion();
        return yes;
    }
    void ShowError(QWidget*, const QString& text) override { errors.append(text); }
    void ShowMessage(QWidget*, const QString& text) override { messages.append(text); }
    std::optional<QString> AskText(
        QWidget*, const QString& title, const QString& prompt, const QString& preset) override
    {
        inputs.append(title + u'|' + prompt + u'|' + preset);
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    }

    std::optional<Filter> EditFilter(QWidget*, const Filter& filter, SettingsStore&) override
    {
        edited.push_back(filter);
        if (filterAnswers.empty())
            return std::nullopt;
        Filter answer = filterAnswers.front();
        filterAnswers.erase(filterAnswers.begin());
        return answer;
    }

    bool yes = true;
    std::function<void()> duringQuestion;
    QStringList answers; // cancelled when empty
    std::vector<Filter> filterAnswers; // cancelled when empty
    QStringList questions, errors, messages, inputs;
    std::vector<Filter> edited; // the filters the editor was opened on
};

} // namespace lbv
