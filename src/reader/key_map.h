#pragma once
// The reader's commands and the key map of section "Keys": which command each key code (the
// desktop's virtual-key numbering, 192..207 being hardware buttons) runs.
#include "settings/settings_store.h"

#include <QList>
#include <QString>
#include <array>

namespace lbv {

enum class ReaderCommand : int {
    None = 0,
    LineBackward = 110,
    LineForward = 111,
    PageBackward = 112,
    PageForward = 113,
    EndOfFile = 115,
    StartOfFile = 116,
    NextSection = 117,
    PreviousSection = 118,
    PreviousBookmarkOrSection = 121,
    NextBookmarkOrSection = 122,
    StartAutoscroll = 124,
    StopAutoscroll = 125,
    FasterAutoscroll = 126,
    SlowerAutoscroll = 127,
    FasterAutoscrollFine = 128,
    SlowerAutoscrollFine = 129,
    ToggleAutoscroll = 130,
    ToggleFullscreen = 32771,
    Back = 32775,
    Find = 32776,
    FindNext = 32777,
    Contents = 32797,
    Rotate = 32805,
    Forward = 32820,
    Exit = 57665,
    // Not in the action list: the reader's own dialogs, opened from its menus.
    EditAdvancedParameters = 32900,
    EditColors = 32901,
};

struct ReaderAction {
    ReaderCommand command;
    QString name;
};
// The 26 actions in the order the Buttons dialog lists them.
const QList<ReaderAction>& ReaderActions();

// "Left", "F5", ..., "Button 3" for 192..207, else "Key 41" (hexadecimal code).
QString KeyName(int code);

class KeyMap {
public:
    static constexpr int kNoCommand = -1;

    KeyMap(); // the default assignments
    static KeyMap Load(SettingsStore& store);
    // Writes List and one value per key whose command differs from the defaults.
    void Store(SettingsStore& store) const;

    int Command(int code) const; // kNoCommand for unassigned codes and codes outside 0..255
    void Assign(int code, int command);
    // The command a key press runs; with rotateButtons the arrow keys turn with the screen.
    int CommandForKey(int code, int orientation, bool rotateButtons) const;

private:
    std::array<int, 256> commands_;
};

} // namespace lbv
