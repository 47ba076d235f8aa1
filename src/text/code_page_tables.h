#pragma once
// The five code pages whose byte-to-Unicode tables are compiled in. They decode without a
// converter, answer expat's unknown-encoding handler, and carry the letter classes that code
// page detection scores Russian text with.
#include <array>
#include <cstdint>
#include <span>

namespace lbv {

using ByteToUnicodeTable = std::array<char16_t, 256>;
using LetterClassTable = std::array<std::uint8_t, 256>;

// Position of a Russian letter in the alphabet А..Я (1..32), either case; Ё and ё count as Е.
// Every other character, Latin and other Cyrillic letters included, is 0.
constexpr int RussianLetterClass(char16_t c)
{
    if (c >= u'А' && c <= u'Я')
        return c - u'А' + 1;
    if (c >= u'а' && c <= u'я')
        return c - u'а' + 1;
    if (c == u'Ё' || c == u'ё')
        return RussianLetterClass(u'Е');
    return 0;
}

struct BuiltInCodePage {
    int number;
    const ByteToUnicodeTable& unicode;
    const LetterClassTable& letterClass;
};

// In detection order: 1251, 20866, 866, 28595, 1252 (a tie in detection goes to the earlier).
std::span<const BuiltInCodePage> BuiltInCodePages();
// Null when the code page has no compiled-in table.
const BuiltInCodePage* FindBuiltInCodePage(int number);

} // namespace lbv
