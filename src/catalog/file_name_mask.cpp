#include "catalog/file_name_mask.h"

#include "text/messages.h"

#include <QStringList>
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
        case 0x7F:
        case 0x85:
        case 0x2028:
        case 0x2029:
            return true;
        case '.':
        case ' ':
            if (i + 1 < size && text[i + 1] == text[i])
                return true;
            break;
        default:
            if (text[i].unicode() < 0x20)
                return true;
            break;
        }
    }
    return false;
}

// Control characters and line breaks would forge lines in logs and listings.
bool IsSpaceInName(char16_t c)
{
    return c < 0x20 || c == 0x7F || c == 0x85 || c == 0x2028 || c == 0x2029;
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

// Longest file name most Linux file systems take, in bytes.
constexpr qsizetype kLongestFileName = 255;
// Room left after the book's name for ".zip", the longest format extension and a clash number.
constexpr qsizetype kNameReserve = 20;

// The text cut to at most `bytes` UTF-8 bytes, never inside a character.
QString ShortenedTo(const QString& text, qsizetype bytes)
{
    qsizetype used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const bool pair = text[end].isHighSurrogate() && end + 1 < text.size()
            && text[end + 1].isLowSurrogate();
        const char32_t c
            = pair ? QChar::surrogateToUcs4(text[end], text[end + 1]) : text[end].unicode();
        const qsizetype size = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (used + size > bytes)
            break;
        used += size;
        end += pair ? 2 : 1;
    }
    return end == text.size() ? text : text.left(end).trimmed();
}

// One expanded folder or file name made safe: a name made of dots alone would mean this or the
// parent folder, and a name past the file system's limit could not be created.
QString SafeComponent(QString name, qsizetype longest)
{
    if (!name.isEmpty() && name.count(QLatin1Char('.')) == name.size())
        name.fill(QLatin1Char('_'));
    return ShortenedTo(name, longest);
}

// Whether SafeComponent could change the name: most names are short and hold letters, and
// catalogs expand the mask for every book they load or save. (A UTF-16 unit takes at most three
// bytes in UTF-8.)
bool NeedsSafeComponent(QStringView name, qsizetype longest)
{
    return name.size() * 3 > longest || (!name.isEmpty() && name.count(u'.') == name.size());
}

// Each placeholder is replaced by its value in one pass, so a value's own text ("%F" in a name)
// stays as it is.
QString ReplacePlaceholders(const QString& mask, const QString (&values)[4])
{
    QString expanded;
    expanded.reserve(mask.size() + 64);
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const int slot = i + 1 < mask.size() && mask[i] == QLatin1Char('%')
            ? PlaceholderSlot(mask[i + 1])
            : -1;
        if (slot < 0) {
            expanded += mask[i];
            continue;
        }
        expanded += slot < 4 ? values[slot] : Transliterate(values[slot - 4]);
        ++i;
    }
    return expanded;
}

// The expanded mask with each folder and file name made safe.
QString SafePath(const QString& expanded)
{
    const qsizetype nameStart = expanded.lastIndexOf(QLatin1Char('/')) + 1;
    const QStringView folders = QStringView(expanded).left(nameStart);
    bool safe = !NeedsSafeComponent(
        QStringView(expanded).sliced(nameStart), kLongestFileName - kNameReserve);
    for (const QStringView folder : folders.tokenize(u'/'))
        safe = safe && !NeedsSafeComponent(folder, kLongestFileName);
    if (safe)
        return expanded;
    QStringList parts = expanded.split(QLatin1Char('/'));
    const qsizetype last = parts.size() - 1;
    for (qsizetype i = 0; i < last; ++i)
        parts[i] = SafeComponent(parts[i], kLongestFileName);
    parts[last] = SafeComponent(parts[last], kLongestFileName - kNameReserve);
    return parts.join(QLatin1Char('/'));
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
    s = OneLineText(s);
    ReplaceRepeatedly(s, u"..", u".");
    ReplaceRepeatedly(s, u"  ", u" ");
    return s;
}

QString OneLineText(QString text)
{
    for (QChar& c : text)
        if (IsSpaceInName(c.unicode()))
            c = QLatin1Char(' ');
    return text;
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
    const QString values[4] = {CleanNameForFile(firstName), CleanNameForFile(lastName),
        CleanNameForFile(title), CleanNameForFile(genre)};
    QString pattern = mask;
    pattern.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // Values hold no separators (cleaning replaced them), so the pieces are the mask's own.
    QString result = SafePath(ReplacePlaceholders(pattern, values));
    if (compression == CompressionZip)
        result += QStringLiteral(".zip@") + result.mid(result.lastIndexOf(QLatin1Char('/')) + 1);
    return result;
}

QString FileNameMaskProblem(const QString& mask)
{
    QString pattern = mask.trimmed();
    pattern.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool absolute = pattern.startsWith(QLatin1Char('/'))
        || (pattern.size() > 1 && pattern[1] == QLatin1Char(':') && pattern[0].isLetter())
        || pattern.startsWith(QLatin1Char('~'));
    const QStringList parts = pattern.split(QLatin1Char('/'));
    const bool climbs = std::any_of(
        parts.begin(), parts.end(), [](const QString& part) { return part.trimmed() == u".."; });
    return absolute || climbs ? MessageText(Msg::MaskLeavesLibrary).arg(mask) : QString();
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
