#include "reader/key_map.h"

#include "reader/reader_settings.h"
#include "text/messages.h"

namespace lbv {
namespace {

constexpr int kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28;
constexpr int kFirstButton = 192, kLastButton = 207;

struct DefaultKey {
    int code;
    Msg name;
    ReaderCommand command;
};

constexpr DefaultKey kDefaultKeys[] = {
    {kVkLeft, Msg::KeyLeft, ReaderCommand::Back},
    {kVkUp, Msg::KeyUp, ReaderCommand::PageBackward},
    {kVkRight, Msg::KeyRight, ReaderCommand::Forward},
    {kVkDown, Msg::KeyDown, ReaderCommand::PageForward},
    {0x0D, Msg::KeyEnter, ReaderCommand::ToggleFullscreen},
    {0x20, Msg::KeySpace, ReaderCommand::PageForward},
    {0x21, Msg::KeyPageUp, ReaderCommand::PageBackward},
    {0x22, Msg::KeyPageDown, ReaderCommand::PageForward},
    {0x24, Msg::KeyHome, ReaderCommand::StartOfFile},
    {0x23, Msg::KeyEnd, ReaderCommand::EndOfFile},
    {0x2D, Msg::KeyInsert, ReaderCommand::FasterAutoscroll},
    {0x2E, Msg::KeyDelete, ReaderCommand::SlowerAutoscroll},
    {0x70, Msg::KeyF1, ReaderCommand::None},
    {0x71, Msg::KeyF2, ReaderCommand::Rotate},
    {0x72, Msg::KeyF3, ReaderCommand::FindNext},
    {0x73, Msg::KeyF4, ReaderCommand::ToggleAutoscroll},
    {0x74, Msg::KeyF5, ReaderCommand::StartAutoscroll},
    {0x75, Msg::KeyF6, ReaderCommand::StopAutoscroll},
    {0x76, Msg::KeyF7, ReaderCommand::Find},
    {0x77, Msg::KeyF8, ReaderCommand::PreviousBookmarkOrSection},
    {0x78, Msg::KeyF9, ReaderCommand::NextBookmarkOrSection},
    {0x79, Msg::KeyF10, ReaderCommand::Exit},
    {0x7A, Msg::KeyF11, ReaderCommand::PreviousSection},
    {0x7B, Msg::KeyF12, ReaderCommand::NextSection},
};

struct ActionName {
    ReaderCommand command;
    Msg name;
};

constexpr ActionName kActions[] = {
    {ReaderCommand::LineForward, Msg::ActionLineForward},
    {ReaderCommand::LineBackward, Msg::ActionLineBackward},
    {ReaderCommand::PageForward, Msg::ActionPageForward},
    {ReaderCommand::PageBackward, Msg::ActionPageBackward},
    {ReaderCommand::StartOfFile, Msg::ActionStartOfFile},
    {ReaderCommand::EndOfFile, Msg::ActionEndOfFile},
    {ReaderCommand::ToggleFullscreen, Msg::ActionToggleFullscreen},
    {ReaderCommand::Find, Msg::ActionFind},
    {ReaderCommand::FindNext, Msg::ActionFindNext},
    {ReaderCommand::Contents, Msg::ActionContents},
    {ReaderCommand::Back, Msg::ActionBack},
    {ReaderCommand::Forward, Msg::ActionForward},
    {ReaderCommand::Exit, Msg::ActionExit},
    {ReaderCommand::Rotate, Msg::ActionRotate},
    {ReaderCommand::NextBookmarkOrSection, Msg::ActionNextBookmarkOrSection},
    {ReaderCommand::PreviousBookmarkOrSection, Msg::ActionPreviousBookmarkOrSection},
    {ReaderCommand::NextSection, Msg::ActionNextSection},
    {ReaderCommand::PreviousSection, Msg::ActionPreviousSection},
    {ReaderCommand::StartAutoscroll, Msg::ActionStartAutoscroll},
    {ReaderCommand::StopAutoscroll, Msg::ActionStopAutoscroll},
    {ReaderCommand::ToggleAutoscroll, Msg::ActionToggleAutoscroll},
    {ReaderCommand::FasterAutoscroll, Msg::ActionFasterAutoscroll},
    {ReaderCommand::SlowerAutoscroll, Msg::ActionSlowerAutoscroll},
    {ReaderCommand::FasterAutoscrollFine, Msg::ActionFasterAutoscrollFine},
    {ReaderCommand::SlowerAutoscrollFine, Msg::ActionSlowerAutoscrollFine},
    {ReaderCommand::None, Msg::ActionNone},
};

} // namespace

const QList<ReaderAction>& ReaderActions()
{
    static const QList<ReaderAction> actions = [] {
        QList<ReaderAction> list;
        for (const auto& action : kActions)
            list.append({action.command, MessageText(action.name)});
        return list;
    }();
    return actions;
}

QString KeyName(int code)
{
    for (const auto& key : kDefaultKeys)
        if (key.code == code)
            return MessageText(key.name);
    if (code >= kFirstButton && code <= kLastButton)
        return MessageText(Msg::KeyButton).arg(code - kFirstButton);
    return MessageText(Msg::KeyCode).arg(code, 2, 16, QLatin1Char('0'));
}

KeyMap::KeyMap()
{
    commands_.fill(kNoCommand);
    for (const auto& key : kDefaultKeys)
        commands_[std::size_t(key.code)] = int(key.command);
}

KeyMap KeyMap::Load(SettingsStore& store)
{
    KeyMap map;
    const QString list = store.GetProfileString(kKeysSection, QStringLiteral("List"), QString());
    for (const QString& item : list.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int code = item.trimmed().toInt(&ok);
        if (!ok || code < 1 || code > 255)
            continue;
        const int command = store.GetProfileInt(kKeysSection, QString::number(code), kNoCommand);
        if (command != kNoCommand)
            map.commands_[std::size_t(code)] = command;
    }
    return map;
}

void KeyMap::Store(SettingsStore& store) const
{
    const KeyMap defaults;
    QStringList changed;
    for (int code = 1; code < 256; ++code) {
        if (commands_[std::size_t(code)] == defaults.commands_[std::size_t(code)])
            continue;
        changed.append(QString::number(code));
        store.WriteProfileInt(kKeysSection, QString::number(code), commands_[std::size_t(code)]);
    }
    store.WriteProfileString(kKeysSection, QStringLiteral("List"), changed.join(u','));
}

int KeyMap::Command(int code) const
{
    if (code < 0 || code > 255)
        return kNoCommand;
    return commands_[std::size_t(code)];
}

void KeyMap::Assign(int code, int command)
{
    if (code >= 1 && code <= 255)
        commands_[std::size_t(code)] = command;
}

int KeyMap::CommandForKey(int code, int orientation, bool rotateButtons) const
{
    if (rotateButtons && code >= kVkLeft && code <= kVkDown) {
        // The arrow codes are consecutive in the order Left, Up, Right, Down.
        const int quarterTurns = (orientation / 900) % 4;
        code = kVkLeft + (code - kVkLeft + quarterTurns) % 4;
    }
    return Command(code);
}

} // namespace lbv
