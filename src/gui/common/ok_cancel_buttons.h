#pragma once
// The OK and Cancel buttons of a dialog, wired to its accept() and reject().
class QDialog;
class QWidget;

namespace lbv {

QWidget* OkCancelButtons(QDialog* dialog);

} // namespace lbv
