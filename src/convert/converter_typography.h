#pragma once
// Typewriter habits turned into typography as a reader expects it: hyphens used as dashes
// become dashes (a dialogue line's leading "-" or "--", a spaced " - ", a "--" between words)
// and straight double quotes become the language's quotation marks. A paragraph may arrive in
// pieces (HTML splits it at inline elements), so the state runs from piece to piece.
#include <QChar>
#include <QString>
#include <QStringView>

namespace lbv {

class Typography {
public:
    // `lang` is an ISO 639-1 code; it picks the quotation marks and the spaced dash (an em dash
    // in Cyrillic text, an en dash otherwise).
    Typography(bool dashes, bool quotes, const QString& lang);

    bool Active() const { return dashes_ || quotes_; }
    void StartParagraph();
    QString Apply(QStringView piece);

private:
    void Dash(QStringView piece, qsizetype& i, QString& out);

    bool dashes_;
    bool quotes_;
    QChar spacedDash_;
    QChar openQuote_;
    QChar closeQuote_;
    QChar previous_; // the last character given out in this paragraph, or none
};

} // namespace lbv
