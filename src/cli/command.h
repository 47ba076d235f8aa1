#pragma once
// libravon-cli commands register themselves here; main() dispatches on the first argument.
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace lbv::cli {

// Arguments of one command, consumed by name; what remains are the positional arguments.
class Arguments {
public:
    explicit Arguments(QStringList args) : args_(std::move(args)) { }
    // Removes "--name" and returns whether it was given.
    bool TakeFlag(const QString& name);
    // Removes "--name VALUE" (or "--name=VALUE") and returns the value; `fallback` if absent.
    // A missing value is reported through Error().
    QString TakeOption(const QString& name, const QString& fallback = {});
    // Every occurrence of "--name VALUE", in order.
    QStringList TakeOptions(const QString& name);
    // The positional arguments; an unknown "--option" left over is reported through Error().
    QStringList Positional();
    const QString& Error() const { return error_; }

private:
    QStringList args_;
    QString error_;
};

struct Command {
    QString name;
    QString usage;   // the arguments, e.g. "INDEX PATH..."
    QString summary; // one line for --help
    std::function<int(Arguments&)> run; // returns the process exit code
};

std::vector<Command>& Registry();

struct CommandRegistrar {
    explicit CommandRegistrar(Command command) { Registry().push_back(std::move(command)); }
};

// Output helpers: results on stdout, messages on stderr (both UTF-8).
void Out(const QString& line);
void Err(const QString& line);
// Prints "libravon-cli: <message>" and the command's usage; returns the usage-error exit code 2.
int UsageError(const Command& command, const QString& message);
const Command* FindCommand(const QString& name);

} // namespace lbv::cli
