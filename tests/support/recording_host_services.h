#pragma once
// Host services for tests: every message box is recorded, the wait cursor's depth is tracked and
// folder questions get a prepared answer.
#include "plugins/plugin_host_services.h"

#include <QStringList>

namespace lbv::test {

struct ShownMessage {
    QString text;
    QString caption;
    quint32 flags = 0;
};

class RecordingHostServices final : public PluginHostServices {
public:
    int MessageBox(LbvWindow, const QString& text, const QString& caption, quint32 flags) override
    {
        messages.push_back({text, caption, flags});
        return LBV_IDOK;
    }
    void BeginWaitCursor() override
    {
        ++waitDepth;
        ++waitCount;
    }
    void EndWaitCursor() override { --waitDepth; }
    std::optional<QString> ChooseFolder(
        LbvWindow, const QString&, const QString& initialFolder) override
    {
        folderQuestions << initialFolder;
        return folderAnswer;
    }

    QStringList Texts() const
    {
        QStringList texts;
        for (const ShownMessage& message : messages)
            texts << message.text;
        return texts;
    }

    std::vector<ShownMessage> messages;
    int waitDepth = 0;
    int waitCount = 0;
    QStringList folderQuestions; // the initial folder of each question
    std::optional<QString> folderAnswer;
};

} // namespace lbv::test
