// libravon-mkdic: builds a dictionary file for the reader from a UTF-8 text of
// "headword<TAB>definition" lines.
#include "reader/dictionary_writer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

void PrintError(const QString& message)
{
    std::fprintf(stderr, "libravon-mkdic: %s\n", message.toLocal8Bit().constData());
}

// Accepts decimal and "0x" hexadecimal, as LCIDs are usually written in hexadecimal.
bool ParseNumber(const QString& text, uint32_t* value)
{
    bool ok = false;
    *value = text.toUInt(&ok, 0);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("libravon-mkdic"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Builds a dictionary file from UTF-8 lines \"headword<TAB>definition\".\n"
                       "In definitions \\n starts a new line, \\t is a tab and \\\\ a backslash;\n"
                       "empty lines and lines starting with # are skipped."));
    parser.addHelpOption();
    const QCommandLineOption codePage(QStringLiteral("codepage"),
        QStringLiteral("Code page of the article text (default 65001, UTF-8)."),
        QStringLiteral("N"), QStringLiteral("65001"));
    const QCommandLineOption lcid(QStringLiteral("lcid"),
        QStringLiteral("Locale identifier of the headwords (default 0x0409, English)."),
        QStringLiteral("N"), QStringLiteral("0x0409"));
    const QCommandLineOption blockSize(QStringLiteral("block-size"),
        QStringLiteral("Text bytes per block before compression (default 16384)."),
        QStringLiteral("BYTES"), QStringLiteral("16384"));
    const QCommandLineOption store(
        QStringLiteral("store"), QStringLiteral("Store blocks without compression."));
    parser.addOptions({codePage, lcid, blockSize, store});
    parser.addPositionalArgument(
        QStringLiteral("source"), QStringLiteral("The UTF-8 source text."));
    parser.addPositionalArgument(
        QStringLiteral("output"), QStringLiteral("The .dic file to write."));
    parser.process(app);

    const QStringList paths = parser.positionalArguments();
    if (paths.size() != 2) {
        PrintError(QStringLiteral("expected SOURCE and OUTPUT; see --help"));
        return 2;
    }
    lbv::DictionaryWriterOptions options;
    uint32_t codePageNumber = 0;
    uint32_t blockBytes = 0;
    if (!ParseNumber(parser.value(codePage), &codePageNumber)
        || !ParseNumber(parser.value(lcid), &options.lcid)
        || !ParseNumber(parser.value(blockSize), &blockBytes) || blockBytes == 0
        || blockBytes > (1u << 24)) {
        PrintError(QStringLiteral("--codepage, --lcid and --block-size take numbers "
                                  "(a block between 1 byte and 16 MB)"));
        return 2;
    }
    options.codePage = int(codePageNumber);
    options.blockTextSize = int(blockBytes);
    options.compress = !parser.isSet(store);

    std::vector<lbv::DictionarySourceEntry> entries;
    QString error;
    if (!lbv::ReadDictionarySource(paths[0], &entries, &error)
        || !lbv::WriteDictionary(paths[1], entries, options, &error)) {
        PrintError(error);
        return 1;
    }
    return 0;
}
