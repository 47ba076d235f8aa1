// Opening a 10 MB FB2 book and a 10 MB plain text (both windows-1251) in the reader: time
// against a bare expat pass with empty handlers, memory the open document holds, and the
// average time to fetch a random paragraph.
#include "reader/content_kind.h"
#include "reader/document_factory.h"
#include "sample_book.h"
#include "text/code_pages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <expat.h>
#include <random>

namespace {

int XMLCALL BareEncoding(void*, const XML_Char* name, XML_Encoding* info)
{
    const char16_t* table = lbv::CodePageTable(lbv::FindCodePage(QString::fromLatin1(name)));
    if (!table)
        return XML_STATUS_ERROR;
    for (int i = 0; i < 256; ++i)
        info->map[i] = table[i];
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
}

void XMLCALL NoStart(void*, const XML_Char*, const XML_Char**) { }
void XMLCALL NoEnd(void*, const XML_Char*) { }
void XMLCALL NoText(void*, const XML_Char*, int) { }

// The same reading loop as the reader's: FileBufSize blocks into expat's buffer.
double BareExpatMs(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    XML_Parser parser = XML_ParserCreateNS(nullptr, '|');
    XML_SetElementHandler(parser, NoStart, NoEnd);
    XML_SetCharacterDataHandler(parser, NoText);
    XML_SetUnknownEncodingHandler(parser, BareEncoding, nullptr);
    for (;;) {
        void* buffer = XML_GetBuffer(parser, 16384);
        const qint64 got = file.read(static_cast<char*>(buffer), 16384);
        if (XML_ParseBuffer(parser, int(got), got < 16384) != XML_STATUS_OK) {
            std::printf("bare expat failed: %s\n", XML_ErrorString(XML_GetErrorCode(parser)));
            break;
        }
        if (got < 16384)
            break;
    }
    XML_ParserFree(parser);
    return timer.nsecsElapsed() / 1e6;
}

struct Opened {
    std::unique_ptr<lbv::DocumentSource> document;
    double ms = 0;
};

Opened Open(const QString& path, int kind)
{
    Opened opened;
    QElapsedTimer timer;
    timer.start();
    QString error;
    opened.document = lbv::OpenDocument(path, kind, -1, {}, {}, error);
    opened.ms = timer.nsecsElapsed() / 1e6;
    if (!opened.document)
        std::printf("open failed: %s\n", qPrintable(error));
    return opened;
}

double AverageFetchUs(lbv::DocumentSource& document)
{
    std::mt19937 rng(7);
    const int count = document.ParagraphCount(0);
    constexpr int kFetches = 20000;
    qint64 characters = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kFetches; ++i)
        characters += document.GetParagraph(0, int(rng() % unsigned(count))).text.size();
    const double us = timer.nsecsElapsed() / 1e3 / kFetches;
    if (characters == 0)
        std::printf("no text fetched\n");
    return us;
}

template <class F>
double Best(int runs, F f)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, f());
    return best;
}

void Report(const char* name, const QString& path, qint64 size, int kind, double bareMs)
{
    Opened opened = Open(path, kind);
    if (!opened.document)
        return;
    const double openMs = Best(4, [&] { return Open(path, kind).ms; });
    const double memory = double(opened.document->MemoryUsed());
    std::printf("%s: %.1f MB, %d paragraphs in body 0\n", name, size / 1048576.0,
        opened.document->ParagraphCount(0));
    std::printf("  open: %.1f ms (%.2f x bare expat of the FB2, target <= 2.5 for the FB2)\n",
        openMs, openMs / bareMs);
    std::printf("  memory held: %.2f MB = %.1f%% of the file (target <= 30%%)\n",
        memory / 1048576.0, 100.0 * memory / double(size));
    std::printf("  random paragraph fetch: %.2f us on average (target <= 50)\n",
        AverageFetchUs(*opened.document));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    lbv::bench::WordSource words;
    const QByteArray fb2 = lbv::bench::MakeFb2(words);
    const QByteArray text = lbv::bench::MakeText(words);
    const QString fb2Path = dir.filePath(QStringLiteral("bench.fb2"));
    const QString textPath = dir.filePath(QStringLiteral("bench.txt"));
    for (const auto& [path, bytes] : {std::pair {fb2Path, fb2}, std::pair {textPath, text}}) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    const double bareMs = Best(5, [&] { return BareExpatMs(fb2Path); });
    std::printf("bare expat parse of the FB2 (empty handlers): %.1f ms\n", bareMs);
    Report("FB2", fb2Path, fb2.size(), lbv::kDocumentFb2, bareMs);
    Report("TXT", textPath, text.size(), -1, bareMs);
    return 0;
}
