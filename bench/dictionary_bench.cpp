// Builds an English dictionary of 100,000 articles with libravon-mkdic's writer, then times
// lookups: a word whose block is already cached (target: at most 100 us), words spread over the
// whole dictionary (a block to read and expand each time), and inflected words that go through
// the English endings.
#include "reader/dictionary.h"
#include "reader/dictionary_writer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <random>
#include <vector>

using namespace lbv;

namespace {

constexpr int kArticles = 100000;

// Pronounceable, unique words: the article number spelled in syllables, with a random prefix.
QString MakeWord(int number, std::mt19937& rng)
{
    static const char* const kSyllables[] = {"ba", "ke", "li", "mo", "nu", "ra", "se", "ti", "vo",
        "zu", "dra", "ple", "stri", "gon", "mar", "wel"};
    QString word = QString::fromLatin1(kSyllables[rng() % 16]);
    for (int n = number; n > 0 || word.size() < 5; n /= 16)
        word += QString::fromLatin1(kSyllables[n % 16]);
    return word;
}

double MicrosecondsPer(qint64 nanoseconds, int count)
{
    return double(nanoseconds) / 1000.0 / count;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    std::mt19937 rng(7);
    std::vector<DictionarySourceEntry> entries;
    entries.reserve(kArticles);
    for (int i = 0; i < kArticles; ++i)
        entries.push_back({MakeWord(i, rng),
            QStringLiteral("n. the %1th entry of a synthetic dictionary.\n  2. another sense, "
                           "with a second line of text.")
                .arg(i)});

    const QString path = dir.filePath(QStringLiteral("bench.dic"));
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!WriteDictionary(path, entries, {}, &error)) {
        std::fprintf(stderr, "writing failed: %s\n", qPrintable(error));
        return 1;
    }
    const qint64 buildMs = timer.elapsed();
    timer.restart();
    auto dictionary = Dictionary::Open(path, &error);
    if (!dictionary) {
        std::fprintf(stderr, "opening failed: %s\n", qPrintable(error));
        return 1;
    }
    const qint64 openUs = timer.nsecsElapsed() / 1000;
    // Opened again: the file is in the page cache and the collator data are loaded.
    timer.restart();
    dictionary = Dictionary::Open(path, &error);
    const qint64 reopenUs = timer.nsecsElapsed() / 1000;
    std::printf("dictionary: %d articles, %d blocks, %lld bytes; built in %lld ms, opened in "
                "%lld us (again in %lld us)\n",
        dictionary->ArticleCount(), dictionary->BlockCount(),
        static_cast<long long>(QFileInfo(path).size()), static_cast<long long>(buildMs),
        static_cast<long long>(openUs), static_cast<long long>(reopenUs));

    long long checksum = 0;
    // One word again and again: its block stays cached.
    const QString cachedWord = entries[size_t(kArticles / 2)].headword;
    checksum += dictionary->Lookup(cachedWord).article;
    constexpr int kCachedRounds = 200000;
    timer.restart();
    for (int i = 0; i < kCachedRounds; ++i)
        checksum += dictionary->Lookup(cachedWord).article;
    const double cachedUs = MicrosecondsPer(timer.nsecsElapsed(), kCachedRounds);

    // Random words: nearly every lookup reads and expands another block.
    constexpr int kSpreadRounds = 20000;
    std::vector<QString> spread;
    for (int i = 0; i < kSpreadRounds; ++i)
        spread.push_back(entries[rng() % kArticles].headword);
    timer.restart();
    for (const QString& word : spread)
        checksum += dictionary->Lookup(word).article;
    const double spreadUs = MicrosecondsPer(timer.nsecsElapsed(), kSpreadRounds);

    // Inflected forms: the plain lookup fails, then the ending rules find the base word.
    std::vector<QString> inflected;
    for (int i = 0; i < kSpreadRounds; ++i)
        inflected.push_back(entries[rng() % kArticles].headword + QStringLiteral("ing"));
    timer.restart();
    for (const QString& word : inflected)
        checksum += dictionary->Lookup(word).article;
    const double inflectedUs = MicrosecondsPer(timer.nsecsElapsed(), kSpreadRounds);

    std::printf("lookup, block cached:     %8.2f us (target <= 100 us)\n", cachedUs);
    std::printf("lookup, random words:     %8.2f us (block read and expanded)\n", spreadUs);
    std::printf("lookup, word + \"ing\":     %8.2f us (English endings)\n", inflectedUs);
    std::printf("(checksum %lld)\n", checksum);
    return cachedUs <= 100.0 ? 0 : 1;
}
