#include "convert/converter_title_info.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <array>

namespace lbv {

namespace {

bool IsInitials(QStringView word)
{
    // "П.", "П.А.", "J.R.R."
    static const QRegularExpression initials(QStringLiteral("^(\\p{Lu}\\.)+$"));
    return initials.match(word).hasMatch();
}

bool IsPatronymic(QStringView word)
{
    static const QRegularExpression patronymic(
        QStringLiteral("(ович|евич|ьич|овна|евна|ична|ovich|evich|ovna|evna|ichna)$"),
        QRegularExpression::CaseInsensitiveOption);
    return word.size() >= 5 && patronymic.match(word).hasMatch();
}

bool IsAllCapitals(QStringView text)
{
    int letters = 0;
    for (QChar c : text) {
        if (c.isLower())
            return false;
        letters += c.isLetter();
    }
    return letters >= 2;
}

// "САЛТЫКОВ-ЩЕДРИН" -> "Салтыков-Щедрин".
QString CapitaliseWord(QStringView word)
{
    if (!IsAllCapitals(word) || IsInitials(word))
        return word.toString();
    QString result = word.toString().toLower();
    bool start = true;
    for (QChar& c : result) {
        if (start && c.isLetter())
            c = c.toUpper();
        start = c == u'-' || c == u'\'';
    }
    return result;
}

QStringList Words(QStringView text)
{
    QStringList words;
    for (QStringView word : text.split(u' ', Qt::SkipEmptyParts))
        words.append(CapitaliseWord(word.trimmed()));
    return words;
}

QString Joined(const QStringList& words, qsizetype from, qsizetype to)
{
    return words.mid(from, to - from).join(u' ');
}

bool IsNameWord(QStringView word)
{
    if (IsInitials(word))
        return true;
    if (word.isEmpty() || !word.front().isUpper())
        return false;
    for (QChar c : word)
        if (!c.isLetter() && c != u'-' && c != u'\'' && c != u'.' && c != u'’')
            return false;
    return true;
}

} // namespace

Fb2Author ParseAuthorName(QStringView name)
{
    QString text = name.toString().simplified();
    Fb2Author author;
    const qsizetype comma = text.indexOf(u',');
    if (comma > 0 && text.count(u',') == 1) {
        const QStringList last = Words(QStringView(text).left(comma));
        const QStringList rest = Words(QStringView(text).mid(comma + 1));
        author.lastName = last.join(u' ');
        author.firstName = rest.value(0);
        author.middleName = Joined(rest, 1, rest.size());
        return author;
    }
    text.replace(u',', u' ');
    // "П.А. Лавров" and "Лавров П.А." keep their initials together; "П. А. Лавров" has two.
    const QStringList words = Words(text);
    const qsizetype n = words.size();
    if (n == 1) {
        author.nickname = words[0];
    } else if (n == 2) {
        const bool lastFirst = IsInitials(words[1]) && !IsInitials(words[0]);
        author.firstName = words[lastFirst ? 1 : 0];
        author.lastName = words[lastFirst ? 0 : 1];
    } else if (n == 3
        && (IsPatronymic(words[2])
            || (IsInitials(words[1]) && IsInitials(words[2]) && !IsInitials(words[0])))) {
        author.lastName = words[0];
        author.firstName = words[1];
        author.middleName = words[2];
    } else if (n >= 3) {
        author.firstName = words[0];
        author.middleName = Joined(words, 1, n - 1);
        author.lastName = words[n - 1];
    }
    return author;
}

bool LooksLikePersonName(QStringView line)
{
    const QStringView text = line.trimmed();
    if (text.size() > 60)
        return false;
    const auto words = text.split(u' ', Qt::SkipEmptyParts);
    if (words.size() < 2 || words.size() > 4)
        return false;
    for (QStringView word : words)
        if (!IsNameWord(word))
            return false;
    // Initials alone ("А. Б.") name nobody.
    return std::any_of(words.begin(), words.end(), [](QStringView w) { return !IsInitials(w); });
}

QString TidyTitle(QStringView line)
{
    static const QString quotes = QStringLiteral("\"'«»“”„");
    QStringView text = line.trimmed();
    while (text.size() >= 2 && quotes.contains(text.front()) && quotes.contains(text.back()))
        text = text.mid(1, text.size() - 2).trimmed();
    QString title = text.toString().simplified();
    if (IsAllCapitals(title)) {
        title = title.toLower();
        title[0] = title[0].toUpper();
    }
    return title;
}

QString FileTitle(const QString& path)
{
    QString name = QFileInfo(path).completeBaseName();
    name.replace(u'_', u' ');
    return name.simplified();
}

bool AuthorAndTitleFromText(
    QStringView text, bool requirePersonName, Fb2Author* author, QString* title)
{
    static const QRegularExpression separator(QStringLiteral(" [-–—] "));
    const QRegularExpressionMatch match = separator.match(text);
    if (!match.hasMatch())
        return false;
    const QStringView authorPart = text.left(match.capturedStart()).trimmed();
    const QString titlePart = TidyTitle(text.mid(match.capturedEnd()));
    if (authorPart.isEmpty() || titlePart.isEmpty())
        return false;
    // Several authors ("A & B", "A; B"): the catalog files the book under the first.
    static const QRegularExpression authorSeparator(QStringLiteral("\\s*(?:;|&)\\s*"));
    const QString firstAuthor = authorPart.toString().split(authorSeparator).constFirst();
    if (requirePersonName && !LooksLikePersonName(firstAuthor))
        return false;
    *author = ParseAuthorName(firstAuthor);
    *title = titlePart;
    return true;
}

bool AuthorAndTitleFromFileName(const QString& path, Fb2Author* author, QString* title)
{
    return AuthorAndTitleFromText(FileTitle(path), false, author, title);
}

QString GuessLanguage(QStringView text)
{
    // Letters that only some languages of each script use, and how often they occur.
    struct Hint {
        const char* code;
        const char16_t* letters;
    };
    static constexpr std::array<Hint, 7> kHints {{
        {"uk", u"іїєґ"},
        {"be", u"ўі"},
        {"de", u"äöüß"},
        {"fr", u"çèêàéœùûîô"},
        {"es", u"ñ¿¡áíóú"},
        {"pl", u"ąęłńśźż"},
        {"cs", u"řěůčšžý"},
    }};
    constexpr qsizetype kSample = 64 * 1024;
    const QStringView sample = text.left(kSample);
    qsizetype cyrillic = 0;
    qsizetype latin = 0;
    qsizetype russianOnly = 0; // ы, э, ъ
    std::array<qsizetype, kHints.size()> hits {};
    for (QChar c : sample) {
        if (!c.isLetter())
            continue;
        const QChar lower = c.toLower();
        if (lower.script() == QChar::Script_Cyrillic)
            ++cyrillic;
        else if (lower.script() == QChar::Script_Latin)
            ++latin;
        if (lower == u'ы' || lower == u'э' || lower == u'ъ')
            ++russianOnly;
        for (std::size_t i = 0; i < kHints.size(); ++i)
            if (QStringView(kHints[i].letters).contains(lower))
                ++hits[i];
    }
    const bool isCyrillic = cyrillic > latin;
    const qsizetype letters = isCyrillic ? cyrillic : latin;
    QString best = QLatin1String(isCyrillic ? "ru" : "en");
    qsizetype bestHits = letters / 300; // hints rarer than this are loan words or names
    for (std::size_t i = 0; i < kHints.size(); ++i) {
        const bool cyrillicHint = i < 2;
        if (cyrillicHint != isCyrillic || hits[i] <= bestHits)
            continue;
        // Ukrainian has no ы, э or ъ; Belarusian has ы and э, so only ў tells it.
        if (i == 0 && russianOnly > hits[i])
            continue;
        best = QLatin1String(kHints[i].code);
        bestHits = hits[i];
    }
    return best;
}

} // namespace lbv
