#pragma once
// The options of the built-in converters, filled property by property through the converter
// contract (converter.h). Options whose meaning needs the network (following off-site links,
// dynamic images) or belongs to another converter (NoConvertCharset, FixCount) are accepted
// and have no effect here.
#include "import/converter.h"

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QVariant>

namespace lbv {

// The chapter, part, "***", book, foreword, prologue and epilogue lines, in Russian and English,
// that are section titles when the user has set no expression of their own.
QString DefaultHeadersRegexp();

// One rewrite of a list such as "OnLoad": every match of `pattern` becomes `replacement`
// (which may name captures as \1 .. \9).
struct RegexRule {
    QRegularExpression pattern;
    QString replacement;
};

// A rule list is stored as text, one rule per line: the expression, then optionally a tab and
// the replacement (without one, matches are removed). Blank lines are skipped; ^ and $ match at
// line breaks. False with the reason for an expression that does not compile.
bool ParseRegexRules(const QString& text, QList<RegexRule>* rules, QString* error);
void ApplyRegexRules(const QList<RegexRule>& rules, QString& text);

struct ConverterOptions {
    bool preserveForm = false; // every line stays a paragraph, indentation kept
    bool noEpigraphs = false;
    bool noEmptyLine = false;
    bool noDescription = false; // don't look for author and title in the text
    bool noQuotes = false; // keep straight quotes
    bool noFootnotes = false;
    bool noItalic = false; // keep _underscored_ words of plain text as they are
    bool noRestoreBrokenParas = false;
    bool noPoems = false;
    bool onlyHHeaders = false; // HTML: only <h1>..<h6> start sections
    bool ignoreIndent = false; // text type detection disregards indentation
    bool convertDash = false;
    bool removeAllImages = false;
    bool removeOffSiteImages = false;
    bool removeExternalLinks = false;
    TextType textType = TextType::Auto;
    int linkDepth = 0; // how many levels of links to other local HTML files are followed
    QRegularExpression onlyFollowLinks; // empty pattern: no restriction
    QRegularExpression neverFollowLinks; // empty pattern: no exclusion
    QRegularExpression headers {DefaultHeadersRegexp()};
    QList<RegexRule> onLoad; // run on the source text after decoding
    QList<RegexRule> onResult; // run on the text of the finished FB2 document

    // Sets the option named as in section "Any2FB2"; false with the reason for an unknown name,
    // a value of the wrong kind or an expression that does not compile.
    bool Set(const QString& name, const QVariant& value, QString* error);
};

} // namespace lbv
