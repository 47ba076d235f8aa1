#include "reader/hyphenation.h"

#include "reader/document_source.h"

#include <array>
#include <string_view>

namespace lbv {
namespace {

enum LetterClass : uint8_t { Consonant = 0, Vowel = 1, HardSign = 2, SoftSign = 3 };

constexpr char16_t kFirstLetter = 0x0401;
constexpr char16_t kLastLetter = 0x0491;

bool InWordRange(char16_t c)
{
    return c >= kFirstLetter && c <= kLastLetter;
}

// The 28 vowels of Russian, Ukrainian and Belarusian.
constexpr std::u16string_view kVowels = u"АЕИОУЫЭЮЯаеиоуыэюяЁёЄєІіЇїЎў";

constexpr auto kClasses = [] {
    std::array<LetterClass, kLastLetter - kFirstLetter + 1> classes {};
    for (const char16_t vowel : kVowels)
        classes[vowel - kFirstLetter] = Vowel;
    classes[u'Ъ' - kFirstLetter] = classes[u'ъ' - kFirstLetter] = HardSign;
    classes[u'Ь' - kFirstLetter] = classes[u'ь' - kFirstLetter] = SoftSign;
    return classes;
}();

// Breaks fall after a vowel that another vowel follows, moved past one consonant of a pair and
// past a consonant with its hard or soft sign, keeping at least three letters before the break
// and two after it.
void MarkWord(QStringView text, qsizetype start, qsizetype end, uint16_t* attributes)
{
    auto classAt = [&](qsizetype i) { return kClasses[text[i].unicode() - kFirstLetter]; };
    qsizetype lastVowel = end - 1;
    while (lastVowel >= start && classAt(lastVowel) != Vowel)
        --lastVowel;
    qsizetype letter = 0;
    for (qsizetype k = start; k < end - 3; ++k, ++letter) {
        if (classAt(k) != Vowel || k >= lastVowel) // no vowel follows
            continue;
        if (classAt(k + 1) == Consonant) {
            const LetterClass next = classAt(k + 2);
            if (next == Consonant) {
                k += 1;
                letter += 1;
            } else if (next == HardSign || next == SoftSign) {
                k += 2;
                letter += 2;
            }
        }
        if (letter > 1 && end - k > 2)
            attributes[k + 1] |= kAttrHyphenBreak;
    }
}

} // namespace

void MarkHyphenationPoints(QStringView text, uint16_t* attributes)
{
    qsizetype i = 0;
    while (i < text.size()) {
        if (!InWordRange(text[i].unicode()) || (attributes[i] & kAttrInlineImage)) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < text.size() && InWordRange(text[i].unicode())
            && !(attributes[i] & kAttrInlineImage))
            ++i;
        if (i - start >= 4)
            MarkWord(text, start, i, attributes);
    }
}

} // namespace lbv
