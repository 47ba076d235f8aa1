#pragma once
// The program's start-up: the settings store and its defaults, the help book, the genre
// dictionary, the main frame in its stored placement, and the event loop.
#include <functional>

class QApplication;

namespace lbv {

class CMainFrame;

// Runs the program in `app` and returns its exit code. `afterShow`, when given, is called once
// the main frame is on screen.
int RunLibravon(QApplication& app, const std::function<void(CMainFrame&)>& afterShow = {});

} // namespace lbv
