#pragma once
// The 10 MB windows-1251 books the reader benchmarks open: an FB2 of sections of random
// Russian-looking sentences with emphasis, note links and poems, and a plain text of the same.
#include <QByteArray>
#include <QStringBuilder>
#include <random>

namespace lbv::bench {

inline constexpr qint64 kSampleBookSize = 10 * 1024 * 1024;

// Russian-looking words in windows-1251 (lower-case letters are 0xE0..0xFF) with some Latin.
class WordSource {
public:
    QByteArray Word();
    QByteArray Sentence(int words);
    unsigned Next() { return rng_(); }

private:
    std::mt19937 rng_ {12345};
};

// markerEvery > 0: every so many text paragraphs end with `marker`, for searches to find.
QByteArray MakeFb2(WordSource& words, int markerEvery = 0, const QByteArray& marker = {});
QByteArray MakeText(WordSource& words);

} // namespace lbv::bench
