#pragma once
// Where the engine shows an error to the user. The GUI installs a message box (stop icon, owned by
// the main window when there is one); the default writes to standard error.
#include <QString>

namespace lbv {

class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void ShowError(const QString& caption, const QString& text) = 0;
};

class StderrErrorReporter final : public ErrorReporter {
public:
    void ShowError(const QString& caption, const QString& text) override;
};

} // namespace lbv
