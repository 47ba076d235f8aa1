#include "cli/terminal.h"

#include "cli/command.h"
#include "text/messages.h"

#include <cstdio>
#include <unistd.h>

namespace lbv::cli {
namespace {

constexpr int kBarWidth = 40;

// "&Yes" -> "[Y]es": the button's accelerator becomes the letter to type.
QString ChoiceText(Msg button)
{
    QString text = MessageText(button);
    const qsizetype amp = text.indexOf(u'&');
    if (amp >= 0 && amp + 1 < text.size())
        text = text.left(amp) + u'[' + text[amp + 1] + u']' + text.mid(amp + 2);
    return text;
}

QChar AcceleratorOf(Msg button)
{
    const QString text = MessageText(button);
    const qsizetype amp = text.indexOf(u'&');
    return amp >= 0 && amp + 1 < text.size() ? text[amp + 1].toLower() : QChar();
}

void Write(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

ImportReporter::ImportReporter(bool verbose)
    : terminal_(isatty(STDERR_FILENO) == 1)
    , verbose_(verbose)
{
}

void ImportReporter::LogAdded(const LogEntry& entry)
{
    std::lock_guard lock(mutex_);
    if (!terminal_) {
        Err(QString(entry.letter) + u' ' + entry.text);
        return;
    }
    const LogLevel level = entry.Level();
    if (!verbose_ && level != LogLevel::Error && level != LogLevel::Warning)
        return;
    ClearBar();
    Err(entry.text);
    DrawBar();
}

void ImportReporter::RunStarted(qsizetype rowCount)
{
    std::lock_guard lock(mutex_);
    total_ = rowCount;
    done_ = 0;
    DrawBar();
}

void ImportReporter::Progress(qsizetype done, qsizetype total)
{
    std::lock_guard lock(mutex_);
    done_ = done;
    total_ = total;
    DrawBar();
}

void ImportReporter::RunFinished(const ImportRunSummary&)
{
    std::lock_guard lock(mutex_);
    ClearBar();
}

void ImportReporter::ClearBar()
{
    std::lock_guard lock(mutex_);
    if (barShown_)
        Write(QStringLiteral("\r\x1b[K"));
    barShown_ = false;
}

void ImportReporter::DrawBar()
{
    std::lock_guard lock(mutex_);
    if (!terminal_ || total_ <= 0)
        return;
    const int filled = int(qint64(kBarWidth) * done_ / total_);
    Write(QStringLiteral("\r[%1%2] %3/%4 books")
              .arg(QString(filled, u'#'), QString(kBarWidth - filled, u'.'))
              .arg(done_)
              .arg(total_));
    barShown_ = true;
}

ExistingBookQuestion::Answer TerminalQuestion::Ask(const QString& text)
{
    if (reporter_)
        reporter_->ClearBar();
    QString question = text;
    question.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString choices = ChoiceText(Msg::AnswerYes) + u", " + ChoiceText(Msg::AnswerNo) + u", "
        + ChoiceText(Msg::AnswerYesToAll) + u", " + ChoiceText(Msg::AnswerNoToAll) + u": ";
    Answer answer = Answer::No;
    for (;;) {
        Write(question + u' ' + choices);
        char line[64];
        if (!std::fgets(line, sizeof line, stdin)) {
            Write(QStringLiteral("\n"));
            break;
        }
        const QString reply = QString::fromUtf8(line).trimmed().toLower();
        if (reply.isEmpty())
            continue;
        const QChar letter = reply[0];
        if (letter == AcceleratorOf(Msg::AnswerYes)) {
            answer = Answer::Yes;
        } else if (letter == AcceleratorOf(Msg::AnswerYesToAll)) {
            answer = Answer::YesToAll;
        } else if (letter == AcceleratorOf(Msg::AnswerNoToAll)) {
            answer = Answer::NoToAll;
        } else if (letter != AcceleratorOf(Msg::AnswerNo)) {
            continue;
        }
        break;
    }
    if (reporter_)
        reporter_->DrawBar();
    return answer;
}

} // namespace lbv::cli
