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

} // namespace

QString CleanNameForFile(const QString& text)
{
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

    const QString first = CleanNameForFile(firstName);
    const QString last = CleanNameForFile(lastName);
    const QString cleanTitle = CleanNameForFile(title);
    const QString cleanGenre = CleanNameForFile(genre);
    // Placeholders are case-sensitive, so the lower-case pass never touches %F and the reverse.
    result.replace(QStringLiteral("%f"), first);
    result.replace(QStringLiteral("%l"), last);
    result.replace(QStringLiteral("%t"), cleanTitle);
    result.replace(QStringLiteral("%g"), cleanGenre);
    result.replace(QStringLiteral("%F"), Transliterate(first));
    result.replace(QStringLiteral("%L"), Transliterate(last));
    result.replace(QStringLiteral("%T"), Transliterate(cleanTitle));
    result.replace(QStringLiteral("%G"), Transliterate(cleanGenre));
    return result;
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
