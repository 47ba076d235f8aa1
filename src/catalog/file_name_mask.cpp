#include "catalog/file_name_mask.h"

#include <algorithm>

namespace lbv {
namespace {

void ReplaceRepeatedly(QString& text, QStringView what, QStringView with)
{
    while (text.contains(what))
        text.replace(what.toString(), with.toString());
}

// Latin spelling of the Russian letters А..Я (index = letter - U+0410), then Ё separately.
constexpr const char* kLatin[32] = {"a", "b", "v", "g", "d", "e", "zh", "z", "i", "j", "k",
    "l", "m", "n", "o", "p", "r", "s", "t", "u", "f", "h", "ts", "ch", "sh", "sh", "'", "y", "",
    "e", "ju", "ja"};

const char* LatinFor(char16_t upper)
{
    if (upper == u'\u0401')
        return "jo";
    if (upper >= u'\u0410' && upper <= u'\u042F')
        return kLatin[upper - u'\u0410'];
    return nullptr;
}

char16_t RussianUpper(char16_t c)
{
    if (c >= u'\u0430' && c <= u'\u044F')
        return char16_t(c - 0x20);
    if (c == u'\u0451')
        return u'\u0401';
    return c;
}

// Whether CleanNameForFile could change the text: most names need nothing done, and catalogs
// expand the mask for every book they load or save.
bool NeedsCleaning(const QString& text)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        switch (text[i].unicode()) {
        case '&':
        case '`':
        case '\'':
        case '"':
        case ':':
        case '|':
        case '\\':
        case '/':
        case '<':
        case '>':
        case '?':
        case 0x2026:
        case 0x00AB:
        case 0x00BB:
        case 0x2013:
            return true;
        case '.':
        case ' ':
            if (i + 1 < size && text[i + 1] == text[i])
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}

// f, l, t, g -> 0..3; F, L, T, G -> 4..7 (the transliterated values); else -1.
int PlaceholderSlot(QChar c)
{
    switch (c.unicode()) {
    case 'f':
        return 0;
    case 'l':
        return 1;
    case 't':
        return 2;
    case 'g':
        return 3;
    case 'F':
        return 4;
    case 'L':
        return 5;
    case 'T':
        return 6;
    case 'G':
        return 7;
    default:
        return -1;
    }
}

// Placeholders are case-sensitive, so the lower-case pass never touches %F and the reverse.
QString ReplacePlaceholders(QString result, const QString (&values)[4])
{
    static const char16_t* const kLower[] = {u"%f", u"%l", u"%t", u"%g"};
    static const char16_t* const kUpper[] = {u"%F", u"%L", u"%T", u"%G"};
    for (int i = 0; i < 4; ++i)
        result.replace(QString::fromUtf16(kLower[i]), values[i]);
    for (int i = 0; i < 4; ++i)
        result.replace(QString::fromUtf16(kUpper[i]), Transliterate(values[i]));
    return result;
}

} // namespace

QString CleanNameForFile(const QString& text)
{
    if (!NeedsCleaning(text))
        return text;
    QString s = text;
    static const char16_t* const kRemoved[] = {u"&quot;", u"&amp;", u"&lt;", u"&gt;", u"`", u"'",
        u"\u2026", u"\"", u":", u"|"};
    for (const char16_t* r : kRemoved)
        s.remove(QString::fromUtf16(r));
    s.replace(QLatin1Char('\\'), QLatin1Char(' '));
    s.replace(QLatin1Char('/'), QLatin1Char(' '));
    s.remove(QLatin1Char('<'));
    s.remove(QLatin1Char('>'));
    s.replace(QChar(0x00AB), QLatin1Char(' '));
    s.replace(QChar(0x00BB), QLatin1Char(' '));
    s.replace(QChar(0x2013), QLatin1Char('-'));
    s.replace(QLatin1Char('&'), QStringLiteral(" and "));
    s.remove(QLatin1Char('?'));
    ReplaceRepeatedly(s, u"..", u".");
    ReplaceRepeatedly(s, u"  ", u" ");
    return s;
}

QString Transliterate(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 4);
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        const char16_t upper = RussianUpper(c);
        const char* latin = LatinFor(upper);
        if (!latin) {
            out.append(ch);
            continue;
        }
        QString piece = QString::fromLatin1(latin);
        if (upper == c && !piece.isEmpty())
            piece[0] = piece[0].toUpper();
        out.append(piece);
    }
    return out;
}

QString ExpandMask(const QString& mask, const QString& firstName, const QString& lastName,
    const QString& title, const QString& genre, int compression)
{
    const qsizetype cut = std::max(mask.lastIndexOf(QLatin1Char('\\')),
                              mask.lastIndexOf(QLatin1Char('/')))
        + 1;
    QString folder = mask.left(cut);
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString name = mask.mid(cut);

    QString result = folder + name;
    if (compression == CompressionZip)
        result += QStringLiteral(".zip@") + name;

    const QString values[4] = {CleanNameForFile(firstName), CleanNameForFile(lastName),
        CleanNameForFile(title), CleanNameForFile(genre)};
    // A "%" in a value, or "%%" in the mask, can form new placeholders as values go in; the
    // replacement passes fill those in as they always have. Everything else (every real mask
    // and name) is expanded in one pass with the same result.
    if (result.contains(u"%%")
        || std::any_of(std::begin(values), std::end(values),
            [](const QString& v) { return v.contains(QLatin1Char('%')); }))
        return ReplacePlaceholders(result, values);
    QString expanded;
    expanded.reserve(result.size() + 64);
    for (qsizetype i = 0; i < result.size(); ++i) {
        const int slot = i + 1 < result.size() && result[i] == QLatin1Char('%')
            ? PlaceholderSlot(result[i + 1])
            : -1;
        if (slot < 0) {
            expanded += result[i];
            continue;
        }
        expanded += slot < 4 ? values[slot] : Transliterate(values[slot - 4]);
        ++i;
    }
    return expanded;
}

const QList<MaskPreset>& MaskPresets()
{
    static const QList<MaskPreset> presets = {
        {QStringLiteral("%f %l\\%f %l. %t"),
            QStringLiteral("Ivar Kessel/Ivar Kessel. Foundation.zip (or .fb2)")},
        {QStringLiteral("%l %f\\%l %f. %t"),
            QStringLiteral("Kessel Ivar/Kessel Ivar. Foundation.zip (or .fb2)")},
        {QStringLiteral("%f %l\\%t"), QStringLiteral("Ivar Kessel/Foundation.zip (or .fb2)")},
        {QStringLiteral("%l %f\\%t"), QStringLiteral("Kessel Ivar/Foundation.zip (or .fb2)")},
        {QStringLiteral("%l %f. %t"),
            QStringLiteral("Kessel Ivar. Foundation.zip (or .fb2) [w/o subdirs!]")},
    };
    return presets;
}

} // namespace lbv
