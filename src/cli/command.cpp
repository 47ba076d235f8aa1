#include "cli/command.h"

#include <cstdio>

namespace lbv::cli {

bool Arguments::TakeFlag(const QString& name)
{
    return args_.removeAll(name) > 0;
}

QString Arguments::TakeOption(const QString& name, const QString& fallback)
{
    const QStringList values = TakeOptions(name);
    return values.isEmpty() ? fallback : values.last();
}

QStringList Arguments::TakeOptions(const QString& name)
{
    QStringList values;
    const QString prefix = name + QLatin1Char('=');
    for (qsizetype i = 0; i < args_.size();) {
        if (args_[i] == name) {
            if (i + 1 >= args_.size()) {
                error_ = QStringLiteral("option %1 needs a value").arg(name);
                args_.removeAt(i);
                continue;
            }
            values.append(args_[i + 1]);
            args_.remove(i, 2);
        } else if (args_[i].startsWith(prefix)) {
            values.append(args_[i].mid(prefix.size()));
            args_.removeAt(i);
        } else {
            ++i;
        }
    }
    return values;
}

QStringList Arguments::Positional()
{
    for (const QString& arg : std::as_const(args_)) {
        if (arg.startsWith(QLatin1String("--")) && arg.size() > 2 && error_.isEmpty())
            error_ = QStringLiteral("unknown option %1").arg(arg);
    }
    return args_;
}

std::vector<Command>& Registry()
{
    static std::vector<Command> commands;
    return commands;
}

const Command* FindCommand(const QString& name)
{
    for (const Command& command : Registry())
        if (command.name == name)
            return &command;
    return nullptr;
}

void Out(const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

void Err(const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fputc('\n', stderr);
}

int UsageError(const Command& command, const QString& message)
{
    Err(QStringLiteral("libravon-cli: ") + message);
    Err(QStringLiteral("usage: libravon-cli %1 %2").arg(command.name, command.usage));
    return 2;
}

} // namespace lbv::cli
