// Decodes 10 MB of windows-1251 text, whole and paragraph by paragraph as the reader does, and
// prints MB/s; for comparison the same text as UTF-8 and as Mac Cyrillic (an ICU converter).
// Then times detection on the 4 KB heads the importer reads and on a 10 MB text file.
#include "text/code_page_detection.h"
#include "text/code_pages.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace lbv;

namespace {

constexpr qsizetype kTextSize = 10 * 1024 * 1024;
constexpr qsizetype kParagraphSize = 600;

QString MakeRussianText()
{
    const QString sentences[] = {
        QStringLiteral("Над рекой поднимался туман, и мельник вышел на крыльцо. "),
        QStringLiteral("Лошадь фыркала, чуя дальнюю дорогу до ярмарки. "),
        QStringLiteral("«Завтра будет дождь», — сказал он сыну и закрыл ставни. "),
        QStringLiteral("В 1869 году роман вышел отдельной книгой в четырёх томах.\n"),
    };
    QString text;
    text.reserve(kTextSize + 100);
    for (int i = 0; text.size() < kTextSize; ++i)
        text += sentences[i % 4];
    text.truncate(kTextSize);
    return text;
}

QByteArray Encode(int number, const QString& text)
{
    QByteArray bytes;
    QString error;
    ConvertFromUnicode(CodePageIndex(number), text, bytes, error);
    return bytes;
}

// Best of five runs, in seconds.
double BestTime(const std::function<void()>& run)
{
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
    }
    return best;
}

void PrintDecodeRate(const char* label, int number, const QByteArray& bytes)
{
    const int index = CodePageIndex(number);
    qsizetype checksum = 0;
    const double whole = BestTime([&] { checksum += ConvertToUnicode(index, bytes).size(); });
    const double pieces = BestTime([&] {
        for (qsizetype at = 0; at < bytes.size(); at += kParagraphSize)
            checksum += ConvertToUnicode(index,
                QByteArrayView(bytes).sliced(at, std::min(kParagraphSize, bytes.size() - at)))
                            .size();
    });
    const double megabytes = double(bytes.size()) / (1024.0 * 1024.0);
    std::printf("%-31s %5.1f MB: %6.0f MB/s whole, %6.0f MB/s in %lld-byte paragraphs (%lld)\n",
        label, megabytes, megabytes / whole, megabytes / pieces,
        static_cast<long long>(kParagraphSize), static_cast<long long>(checksum % 10));
}

} // namespace

int main()
{
    const QString text = MakeRussianText();
    const QByteArray cp1251 = Encode(1251, text);
    std::printf("decoding %lld characters of Russian text\n", static_cast<long long>(text.size()));
    PrintDecodeRate("windows-1251 (built-in table)", 1251, cp1251);
    PrintDecodeRate("KOI8-R (built-in table)", 20866, Encode(20866, text));
    PrintDecodeRate("UTF-8", 65001, Encode(65001, text));
    PrintDecodeRate("x-mac-cyrillic (ICU converter)", 10007, Encode(10007, text));

    constexpr int kHeads = 100000;
    const QByteArray koi8 = Encode(20866, text);
    int found = 0;
    const double heads = BestTime([&] {
        for (int i = 0; i < kHeads; ++i)
            found += DetectCodePage(
                         QByteArrayView(koi8).sliced((i * 4099) % (koi8.size() - 4096), 4096))
                == 20866;
    });
    std::printf("detection of 4 KB heads: %.2f us each (%d of %d KOI8-R)\n", heads * 1e6 / kHeads,
        found / 5, kHeads);
    const double whole = BestTime([&] { found = DetectCodePage(cp1251); });
    std::printf("detection of a 10 MB file: %.2f us (found %d)\n", whole * 1e6, found);
    return 0;
}
