// libravon-cli: the library engine without the GUI, for scripts, tests and benchmarks.
#include "cli/command.h"

#include <QCoreApplication>

#include <algorithm>

using namespace lbv::cli;

namespace {

void PrintHelp()
{
    Out(QStringLiteral("usage: libravon-cli COMMAND [ARGUMENTS]\n\nCommands:"));
    std::vector<Command> commands = Registry();
    std::sort(commands.begin(), commands.end(),
        [](const Command& a, const Command& b) { return a.name < b.name; });
    for (const Command& command : commands) {
        Out(QStringLiteral("  %1 %2").arg(command.name, command.usage));
        Out(QStringLiteral("      %1").arg(command.summary));
    }
    Out(QStringLiteral("\nRun \"libravon-cli COMMAND --help\" for one command's usage."));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Marrowfield"));
    QCoreApplication::setApplicationName(QStringLiteral("Libravon"));

    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty() || args.first() == QLatin1String("--help")
        || args.first() == QLatin1String("-h") || args.first() == QLatin1String("help")) {
        PrintHelp();
        return args.isEmpty() ? 2 : 0;
    }
    const Command* command = FindCommand(args.takeFirst());
    if (!command) {
        Err(QStringLiteral("libravon-cli: unknown command; see libravon-cli --help"));
        return 2;
    }
    if (args.contains(QLatin1String("--help"))) {
        Out(QStringLiteral("usage: libravon-cli %1 %2\n  %3")
                .arg(command->name, command->usage, command->summary));
        return 0;
    }
    Arguments arguments(args);
    return command->run(arguments);
}
