#include "convert/converter_typography.h"

namespace lbv {

namespace {

constexpr char16_t kEmDash = u'—';
constexpr char16_t kEnDash = u'–';
constexpr char16_t kNoBreakSpace = u'\u00A0';

bool IsSpace(QChar c)
{
    return c.isSpace();
}

// A quote after these opens; after anything else it closes.
bool OpensAfter(QChar c)
{
    return c.isNull() || c.isSpace() || QStringView(u"([{—–-«„“/").contains(c);
}

} // namespace

Typography::Typography(bool dashes, bool quotes, const QString& lang)
    : dashes_(dashes)
    , quotes_(quotes)
{
    const bool cyrillic = lang == u"ru" || lang == u"uk" || lang == u"be";
    spacedDash_ = cyrillic ? kEmDash : kEnDash;
    if (cyrillic || lang == u"fr" || lang == u"es") {
        openQuote_ = u'«';
        closeQuote_ = u'»';
    } else if (lang == u"de" || lang == u"cs") {
        openQuote_ = u'„';
        closeQuote_ = u'“';
    } else if (lang == u"pl") {
        openQuote_ = u'„';
        closeQuote_ = u'”';
    } else {
        openQuote_ = u'“';
        closeQuote_ = u'”';
    }
}

void Typography::StartParagraph()
{
    previous_ = QChar();
}

void Typography::Dash(QStringView piece, qsizetype& i, QString& out)
{
    qsizetype run = 1;
    while (i + run < piece.size() && piece[i + run] == u'-')
        ++run;
    const QChar before = out.isEmpty() ? previous_ : out.back();
    const QChar after = i + run < piece.size() ? piece[i + run] : QChar();
    const bool paragraphStart = previous_.isNull() && QStringView(out).trimmed().isEmpty();
    if (run > 2) { // a drawn line, not a dash
        out.append(piece.mid(i, run));
    } else if (paragraphStart && IsSpace(after)) {
        // A dialogue line: the dash keeps its speech on the same line.
        out.append(kEmDash);
        out.append(kNoBreakSpace);
        ++i; // the blank after the dash
    } else if (IsSpace(before) && (after.isNull() || IsSpace(after))) {
        if (!out.isEmpty() && out.back() == u' ')
            out.back() = kNoBreakSpace; // no line starts with the dash
        out.append(run == 2 ? QChar(kEmDash) : spacedDash_);
    } else {
        out.append(run == 2 ? QStringView(u"—") : QStringView(u"-"));
    }
    i += run;
}

QString Typography::Apply(QStringView piece)
{
    if (!Active() || piece.isEmpty())
        return piece.toString();
    QString out;
    out.reserve(piece.size());
    for (qsizetype i = 0; i < piece.size();) {
        const QChar c = piece[i];
        if (dashes_ && c == u'-') {
            Dash(piece, i, out);
            continue;
        }
        if (quotes_ && c == u'"')
            out.append(
                OpensAfter(out.isEmpty() ? previous_ : out.back()) ? openQuote_ : closeQuote_);
        else
            out.append(c);
        ++i;
    }
    if (!out.isEmpty())
        previous_ = out.back();
    return out;
}

} // namespace lbv
