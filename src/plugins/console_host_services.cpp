#include "plugins/console_host_services.h"

#include <cstdio>

namespace lbv {

int ConsoleHostServices::MessageBox(LbvWindow, const QString& text, const QString& caption,
    quint32 flags)
{
    const quint32 icon = flags & 0xF0u;
    std::FILE* stream
        = icon == LBV_MB_ICONSTOP || icon == LBV_MB_ICONWARNING ? stderr : stdout;
    QString shown = caption.isEmpty() ? text : caption + QStringLiteral(": ") + text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    std::fputs(shown.toUtf8().append('\n').constData(), stream);
    std::fflush(stream);
    // Nobody answers on a console: questions get the answer that changes nothing.
    switch (flags & 0x0Fu) {
    case LBV_MB_OKCANCEL:
    case LBV_MB_YESNOCANCEL:
        return LBV_IDCANCEL;
    case LBV_MB_YESNO:
        return LBV_IDNO;
    default:
        return LBV_IDOK;
    }
}

void ConsoleHostServices::ShowError(const QString& text)
{
    MessageBox(0, text, QString(), LBV_MB_OK | LBV_MB_ICONSTOP);
}

void ConsoleHostServices::ShowMessage(const QString& text)
{
    MessageBox(0, text, QString(), LBV_MB_OK);
}

std::optional<QString> ConsoleHostServices::ChooseFolder(
    LbvWindow, const QString&, const QString& initialFolder)
{
    const QString answer = folder_.isEmpty() ? initialFolder : folder_;
    if (answer.isEmpty())
        return std::nullopt;
    return answer;
}

} // namespace lbv
