#pragma once
// Desktop keys in the key map's numbering (the Windows virtual-key codes stored in section
// "Keys"), so any key the desktop delivers can be bound to a command and dispatched.
#include <Qt>

namespace lbv {

// 0 for a key without a code of its own (modifiers alone, keys that would collide with the
// hardware buttons 192..207).
int VirtualKeyFromQtKey(int qtKey);

} // namespace lbv
