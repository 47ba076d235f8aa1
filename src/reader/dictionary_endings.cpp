#include "reader/dictionary_endings.h"

namespace lbv {
namespace {

struct EndingRule {
    const char16_t* ending;
    const char16_t* replacement;
    bool doubledLetter; // the two letters before the ending are equal; one of them stays
};

// Order matters: the first form found in the dictionary wins.
constexpr EndingRule kRules[] = {
    {u"s", u"", false},
    {u"es", u"", false},
    {u"ies", u"y", false},
    {u"ed", u"", false},
    {u"ed", u"e", false},
    {u"ied", u"y", false},
    {u"ed", u"", true},
    {u"ing", u"", false},
    {u"ing", u"e", false},
    {u"ying", u"ie", false},
    {u"ing", u"", true},
    {u"er", u"", false},
    {u"er", u"e", false},
    {u"ier", u"y", false},
    {u"er", u"", true},
    {u"est", u"", false},
    {u"est", u"e", false},
    {u"iest", u"y", false},
    {u"est", u"", true},
};

constexpr qsizetype kMaxWordLength = 63;

} // namespace

QStringList EnglishBaseForms(QStringView word)
{
    QStringList forms;
    if (word.size() > kMaxWordLength)
        return forms;
    for (const EndingRule& rule : kRules) {
        const QStringView ending(rule.ending);
        if (!word.endsWith(ending, Qt::CaseInsensitive))
            continue;
        QStringView stem = word.chopped(ending.size());
        if (rule.doubledLetter) {
            if (stem.size() < 2 || stem.back().toLower() != stem[stem.size() - 2].toLower())
                continue;
            stem.chop(1);
        }
        // An ending alone is no word ("s", "ing").
        if (stem.isEmpty())
            continue;
        forms.append(stem.toString().append(QStringView(rule.replacement)));
    }
    return forms;
}

} // namespace lbv
