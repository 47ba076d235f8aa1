// "read": lays a book out into pages with character cells and prints them as text.
#include "cli/command.h"
#include "import/reader_path.h"
#include "reader/document_factory.h"
#include "reader/fixed_width_measurer.h"
#include "reader/page_text.h"
#include "reader/reader_settings.h"
#include "reader/text_formatter.h"
#include "text/messages.h"

#include <climits>

namespace lbv::cli {
namespace {

struct ReadOptions {
    int width = 72; // text cells of one column
    int height = 30; // rows of a page
    int columns = 1;
    int body = 0;
    int page = 1;
};

// Takes "--name N" into value; false with the error text when N is no number in the range.
bool TakeNumber(Arguments& args, const QString& name, int minimum, int maximum, int& value,
    QString& error, bool* given = nullptr)
{
    const QString text = args.TakeOption(name);
    if (given)
        *given = !text.isEmpty();
    if (text.isEmpty())
        return true;
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < minimum || number > maximum) {
        error = QStringLiteral("%1 needs a whole number from %2 to %3")
                    .arg(name)
                    .arg(minimum)
                    .arg(maximum);
        return false;
    }
    value = number;
    return true;
}

void PrintPage(int number, const Page& page, const TextFormatter& formatter, const CellSize& cell)
{
    Out(QStringLiteral("--- page %1 (paragraph %2, offset %3) ---")
            .arg(number)
            .arg(page.start.paragraph)
            .arg(page.start.offset));
    for (const QString& row : PageAsText(page, formatter.Geometry(), cell))
        Out(row);
}

bool SamePosition(const ReadingPosition& a, const ReadingPosition& b)
{
    return a.body == b.body && a.paragraph == b.paragraph && a.offset == b.offset;
}

int RunRead(Arguments& args)
{
    const Command& self = *FindCommand(QStringLiteral("read"));
    ReadOptions options;
    ReaderParameters parameters;
    const bool all = args.TakeFlag(QStringLiteral("--all"));
    parameters.hyphenate = args.TakeFlag(QStringLiteral("--hyphenate"));
    parameters.oneLineLess = args.TakeFlag(QStringLiteral("--one-line-less"));
    bool pageGiven = false;
    QString error;
    // Limits keep the page's pixel sizes well inside int.
    if (!TakeNumber(args, QStringLiteral("--page"), 1, INT_MAX, options.page, error, &pageGiven)
        || !TakeNumber(args, QStringLiteral("--width"), 1, 1000, options.width, error)
        || !TakeNumber(args, QStringLiteral("--height"), 1, 1000, options.height, error)
        || !TakeNumber(args, QStringLiteral("--columns"), 1, 16, options.columns, error)
        || !TakeNumber(args, QStringLiteral("--body"), 0, INT_MAX, options.body, error))
        return UsageError(self, error);
    const QStringList positional = args.Positional();
    if (!args.Error().isEmpty())
        return UsageError(self, args.Error());
    if (positional.size() != 1)
        return UsageError(self, QStringLiteral("expected BOOK"));
    if (all && pageGiven)
        return UsageError(self, QStringLiteral("--page and --all exclude each other"));

    QString path;
    std::unique_ptr<DocumentSource> document;
    if (ReaderPath(positional[0], &path, &error))
        document = OpenDocument(path, -1, -1, {}, {}, error);
    if (!document) {
        Err(QStringLiteral("libravon-cli: %1").arg(error));
        return 1;
    }
    if (const QString note = document->RepairNote(); !note.isEmpty())
        Err(QStringLiteral("libravon-cli: warning: %1")
                .arg(MessageText(Msg::MarkupRepaired).arg(path, note)));
    if (options.body >= document->BodyCount()) {
        Err(QStringLiteral("libravon-cli: the book has %1 bodies").arg(document->BodyCount()));
        return 1;
    }
    FixedWidthMeasurer measurer;
    const CellSize& cell = measurer.Cell();
    TextFormatter formatter(*document, measurer);
    parameters.columns = options.columns;
    parameters.margins = cell.width / 2;
    formatter.SetSettings(FormatterSettings::From(parameters));
    // Each column's text is `width` cells; the margins leave one cell between columns.
    formatter.SetGeometry(
        PageGeometry::ForClient((options.width + 1) * cell.width * options.columns,
            options.height * cell.height, 0, options.columns, parameters.margins, 0));

    ReadingPosition position {0, 0, options.body};
    for (int number = 1;; ++number) {
        const Page page = formatter.LayoutPage(position);
        if (all || number == options.page)
            PrintPage(number, page, formatter, cell);
        if (!all && number == options.page)
            return 0;
        const ReadingPosition next = formatter.NextPageStart(page);
        if (formatter.AtBodyEnd(next) || SamePosition(next, page.start)) {
            if (all)
                return 0;
            Err(QStringLiteral("libravon-cli: the book ends on page %1").arg(number));
            return 1;
        }
        position = next;
    }
}

const CommandRegistrar registrar({QStringLiteral("read"),
    QStringLiteral("BOOK [--width W --height H --columns N --body B --page N | --all] "
                   "[--hyphenate] [--one-line-less]"),
    QStringLiteral("Lay a book out into pages of W character cells by H rows and print them "
                   "(page 1 unless --page or --all)."),
    RunRead});

} // namespace
} // namespace lbv::cli
