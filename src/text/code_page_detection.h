#pragma once
// Guesses the code page of unlabelled text: UTF-8 when it says or shows so, otherwise the
// built-in code page in which the first kilobyte reads most like Russian, else windows-1252.
#include "text/code_page_tables.h"

#include <QByteArrayView>

#include <array>
#include <cstdint>

namespace lbv {

// Relative frequencies of Russian letter pairs, indexed by the letter classes of the first and
// the second letter (1..32 = А..Я, see RussianLetterClass); row and column 0 are zero.
using LetterPairWeights = std::array<std::array<std::uint16_t, 33>, 33>;
const LetterPairWeights& RussianLetterPairWeights();

// The sum of the pair weights of every two consecutive letters, reading the bytes through a
// letter class table.
std::uint64_t LetterPairScore(const LetterClassTable& letterClass, QByteArrayView bytes);

// Code page number: 1252 for fewer than 3 bytes; 65001 after a UTF-8 byte-order mark or when
// the first 4 KB are well-formed UTF-8 with at least one non-ASCII character; otherwise the
// best-scoring built-in code page over the first 1024 bytes when it scores at least 5, else 1252.
int DetectCodePage(QByteArrayView bytes);

} // namespace lbv
