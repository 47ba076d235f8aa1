#include "text/code_page_detection.h"

#include "text/code_page_tables.h"
#include "text/utf.h"

#include <algorithm>

namespace lbv {
namespace {

// Letter pairs counted inside words of ordinary Russian prose, scaled to sum to 65225. Column
// order is А..Я, after the zero column of non-letters.
// clang-format off
constexpr LetterPairWeights kWeights = {{
    //    А    Б    В    Г    Д    Е    Ж    З    И    Й    К    Л    М    Н    О    П    Р    С    Т    У    Ф    Х    Ц    Ч    Ш    Щ    Ъ    Ы    Ь    Э    Ю    Я
    {},
    {0,   0,  77, 259,  55, 298,  90, 111, 296,  12,  96, 384, 709, 284, 340,   1, 101, 381, 393, 422,   4,   1,  88,   6,  84,  49,  32,   0,   0,   0,   0,  86, 181}, // А
    {0,  96,   0,   0,   0,   0, 165,   0,   0,  96,   0,  23,  96,   2,  18, 302,   0,  96,  14,   0,  82,   0,   9,   0,   0,   0,  14,  59, 193,   3,   0,   0,   9}, // Б
    {0, 548,   0,   3,   0,   9, 475,   0,  36, 188,   0,   9,  55,   5,  87, 448,  14,  68, 151,  23,  59,   0,   5,   5,   9,  23,  14,  14, 270,  36,   0,   0,  32}, // В
    {0, 129,   0,   9,   0, 129,  18,   0,   0,  73,   0,   9,  87,   0,  14, 512,   0, 161,   0,   0,  73,   0,   0,   0,   5,   0,   0,   0,   0,   0,   0,   0,   0}, // Г
    {0, 416,   0,  91,   5,   0, 452,   5,   0, 238,   0,  32,  87,   5, 193, 384,   3,  96,  32,   3, 129,   0,   9,  36,   5,   5,   0,  27, 120,  36,   0,   5,  14}, // Д
    {0,   0,  68, 161, 193, 311,  68, 129, 170,  14, 170, 183, 617, 302, 548,  32,  50, 744, 348, 484,   5,   5,  91,  41, 120,  46,  78,   0,   0,   0,   0,   9,  27}, // Е
    {0, 106,   0,   0,   0, 183, 275,   5,   0, 183,   0,   5,   0,   0, 106,   5,   0,   0,   0,   0,  18,   0,   0,   0,   5,   0,   0,   0,   0,   0,   0,   5,   0}, // Ж
    {0, 439,   5,  82,   9, 110,  64,  18,   0,  59,   0,   9,   3,  41,  82,  96,   0,  32,   0,   0,  41,   0,   0,   0,   5,   0,   0,   5,  64,  14,   0,   0,  27}, // З
    {0,  14,  55, 170,  68,  78, 174,  14, 179,  50,  91, 261, 544, 238, 302,  46,  23, 142, 389, 357,   0,  14,  96, 106,  64,  36,  14,   0,   0,   0,   0,  41, 115}, // И
    {0,   0,   0,   0,   0,   0,   5,   0,   5,   0,   0,  27,   9,   0,  41,  18,   0,   0,  14,   9,   0,   0,   0,   1,  12,   6,   0,   0,   0,   0,   0,   0,   0}, // Й
    {0, 690,   0,  18,   0,   0, 110,   0,  14, 357,   0,   5,  91,   0,  50, 800,   0, 211,  32,  96, 224,   0,   0,  14,   0,   0,   0,   0,   0,   0,   0,   0,   0}, // К
    {0, 849,   3,   0,  46,   4, 407,  14,   2, 760,   0,  41,   9,   2,  46, 443,   9,   0, 174,  27, 138,   0,   0,   0,   9,   0,   0,   0,  91, 466,   0, 124, 133}, // Л
    {0, 293,  18,   5,   9,   0, 352,   0,   0, 243,   0,  14,   9,  23, 115, 215,  36,   5,   5,   0, 124,   0,   5,   0,   0,   0,   0,   0,  96,  14,   5,   0,  14}, // М
    {0, 998,   0,   0,   9,  27, 878,   9,   5, 831,   0,  27,   0,   0, 211, 1016,   0,   0,  36,  78, 202,   5,   0,  64,  14,   5,  18,   0, 366,  78,   0,  27, 115}, // Н
    {0,   0, 370, 580, 325, 589, 138, 156, 106,  73, 338, 311, 562, 521, 521,  32, 120, 544, 535, 466,   0,  23,  64,   5, 183,  82,  46,   0,   0,   0,  14,   0,  55}, // О
    {0, 211,   0,   0,   0,   0, 224,   0,   0, 151,   0,  23,  78,   0,   5, 909,  14, 589,   5,   9,  73,   0,   0,   0,  14,   5,   0,   0,  36,   9,   0,   5,   9}, // П
    {0, 880,   9,  32,  18,  14, 694,  36,   9, 416,   0,  68,   9,  32,  96, 760,   9,   5,  27,  73, 288,   0,  14,   3,   3,  23,   9,   0, 193,  18,   0,   5, 106}, // Р
    {0, 165,   4, 129,   2,   9, 243,   2,   0, 124,   0, 279, 151,  73, 183, 284, 165,  18, 106, 960,  59,  14,  14,   3,  27,   9,   0,  18,  59, 329,   0,   9, 334}, // С
    {0, 571,   4, 110,   0,  18, 503,   0,   3, 316,   0,  87,  23,   5, 115, 1026,  18, 343,  96,   5, 151,   5,   3,   5,  23,   0,   0,   0, 206, 407,   0,   5,  46}, // Т
    {0,   9,  36,  46,  96, 124,  18, 120,  50,   5,   3,  96, 170,  64,  23,   0, 101, 101, 138, 174,   0,   2,  64,   0, 138,  82,   0,   0,   0,   0,  14, 106,   0}, // У
    {0,  18,   0,   0,   0,   0,  64,   0,   0,  36,   0,   0,   9,   0,   0,  36,   0,  14,   0,   5,   9,   5,   0,   0,   0,   0,   0,   0,   9,   0,   0,   5,   0}, // Ф
    {0,  73,   0,  27,   9,   0,  18,   0,   0,  36,   0,   0,  27,   5,  32, 220,   0,  14,   0,   0,  14,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0}, // Х
    {0,  78,   0,  36,   0,   0,  96,   0,   0,  82,   0,   0,   0,   0,   0,  32,   0,   0,   0,   0,  18,   0,   0,   0,   0,   0,   0,   0,  18,   0,   0,   0,   0}, // Ц
    {0, 206,   0,   0,   0,   0, 361,   0,   0, 229,   0,  50,   3,   0,  68,   0,   0,   2,   0, 229,   9,   0,   0,   0,   0,  14,   0,   0,   0,  27,   0,   0,   0}, // Ч
    {0,  96,   0,   2,   0,   0, 147,   0,   0, 147,   0,  91,  55,   0,  14,  41,   0,   0,   0,  14,  18,   0,   0,   0,   0,   0,   0,   0,   0,   2,   0,   9,   0}, // Ш
    {0,  78,   0,   0,   0,   0,  78,   0,   0,  91,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,  18,   0,   0,   0,   0,   0,   0,   0,   0,   5,   0,   0,   0}, // Щ
    {0,   0,   0,   0,   0,   0,   4,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   9}, // Ъ
    {0,   0,  46, 115,   9,  18, 188,   2,   0,   0, 174,  50, 193, 106,  23,   0,  23,  18,  82,  32,   0,   0,  50,   5,  23,  55,   0,   0,   0,   0,   0,   0,   5}, // Ы
    {0,   0,   9,   0,   5,  14,  50,   0,   9,   9,   0,  68,   0,  27, 110,  27,   0,   0,  59,  18,   0,   0,   0,  23,  14,  73,   0,   0,   0,   0,   0,  64,  32}, // Ь
    {0,   0,   0,   9,   0,   0,   0,   0,   5,   0,   0,  36,  18,   2,   5,   0,   9,   9,   0,  55,   0,   5,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0}, // Э
    {0,   0,  27,   9,   5,  46,   0,   9,   5,   0,   0,   4,   5,   2,   5,   0,   0,  23,   0, 138,   0,   0,   5,   5,  14,   0,  18,   0,   0,   0,   0,   5,   0}, // Ю
    {0,   0,   5,  27,   3,  36,   5,  23,  27,   0,   5,  20, 142,  41,  41,   0,   0,  18,  68, 147,   0,   0,  14,  18,  23,   0,  23,   0,   0,   0,   0,  18,   9}, // Я
}};
// clang-format on

constexpr qsizetype kLetterSampleSize = 1024;
// Well-formed UTF-8 is a strong sign on its own, but a file's first non-ASCII character may come
// late, after long markup, so it is looked for further than letter pairs are.
constexpr qsizetype kUtf8SampleSize = 4096;
constexpr std::uint64_t kMinimumScore = 5;

// Well-formed UTF-8 with something beyond ASCII. A sequence cut off by the end of the sample
// does not count against it, since callers often pass only the head of a file.
bool LooksLikeUtf8(QByteArrayView sample)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(sample.data());
    qsizetype end = sample.size();
    if (std::none_of(bytes, bytes + end, [](unsigned char b) { return b >= 0x80; }))
        return false;
    qsizetype lead = end;
    while (lead > 0 && end - lead < 3 && (bytes[lead - 1] & 0xC0) == 0x80)
        --lead;
    if (lead > 0 && bytes[lead - 1] >= 0xC2 && bytes[lead - 1] <= 0xF4) {
        const unsigned char first = bytes[lead - 1];
        const qsizetype length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
        if (end - (lead - 1) < length)
            end = lead - 1;
    }
    return IsValidUtf8(sample.data(), end);
}

} // namespace

const LetterPairWeights& RussianLetterPairWeights()
{
    return kWeights;
}

std::uint64_t LetterPairScore(const LetterClassTable& letterClass, QByteArrayView bytes)
{
    // Row and column 0 are zero, so a pair with a non-letter adds nothing and needs no test.
    std::uint64_t score = 0;
    unsigned previous = 0;
    for (const char byte : bytes) {
        const unsigned current = letterClass[static_cast<unsigned char>(byte)];
        score += kWeights[previous][current];
        previous = current;
    }
    return score;
}

int DetectCodePage(QByteArrayView bytes)
{
    if (bytes.size() < 3)
        return 1252;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return 65001;
    if (LooksLikeUtf8(bytes.first(std::min(bytes.size(), kUtf8SampleSize))))
        return 65001;
    const QByteArrayView sample = bytes.first(std::min(bytes.size(), kLetterSampleSize));
    int best = 1252;
    std::uint64_t bestScore = 0;
    for (const BuiltInCodePage& page : BuiltInCodePages()) {
        const std::uint64_t score = LetterPairScore(page.letterClass, sample);
        if (score > bestScore) {
            bestScore = score;
            best = page.number;
        }
    }
    return bestScore >= kMinimumScore ? best : 1252;
}

} // namespace lbv
