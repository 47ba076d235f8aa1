#pragma once
// Plug-ins name the owner of their dialogs by a number; this maps those numbers to the program's
// widgets. A widget keeps one token for its lifetime; a token of a destroyed widget, or 0, owns
// nothing. GUI thread only.
#include "plugins/libravon_plugin.h"

class QWidget;

namespace lbv {

// The token of `widget` (null gives 0).
LbvWindow WindowToken(QWidget* widget);
// The widget of a token, or null.
QWidget* WindowOfToken(LbvWindow token);

} // namespace lbv
