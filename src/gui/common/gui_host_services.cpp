#include "gui/common/gui_host_services.h"

#include "gui/common/box_text.h"
#include "gui/common/window_tokens.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace lbv {
namespace {

constexpr quint32 kButtonMask = 0x0000000Fu;
constexpr quint32 kIconMask = 0x000000F0u;

QMessageBox::StandardButtons ButtonsOf(quint32 flags)
{
    switch (flags & kButtonMask) {
    case LBV_MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case LBV_MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case LBV_MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(quint32 flags)
{
    switch (flags & kIconMask) {
    case LBV_MB_ICONSTOP:
        return QMessageBox::Critical;
    case LBV_MB_ICONQUESTION:
        return QMessageBox::Question;
    case LBV_MB_ICONWARNING:
        return QMessageBox::Warning;
    case LBV_MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int AnswerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return LBV_IDYES;
    case QMessageBox::No:
        return LBV_IDNO;
    case QMessageBox::Cancel:
        return LBV_IDCANCEL;
    default:
        return LBV_IDOK;
    }
}

} // namespace

int GuiHostServices::MessageBox(
    LbvWindow owner, const QString& text, const QString& caption, quint32 flags)
{
    QWidget* parent = WindowOfToken(owner);
    QMessageBox box(IconOf(flags),
        caption.isEmpty() ? QApplication::applicationDisplayName() : caption, BoxText(text),
        ButtonsOf(flags), parent ? parent : QApplication::activeWindow());
    return AnswerOf(box.exec());
}

void GuiHostServices::BeginWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void GuiHostServices::EndWaitCursor()
{
    QApplication::restoreOverrideCursor();
}

std::optional<QString> GuiHostServices::ChooseFolder(
    LbvWindow owner, const QString& title, const QString& initialFolder)
{
    const QString folder
        = QFileDialog::getExistingDirectory(WindowOfToken(owner), title, initialFolder);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

} // namespace lbv
