#pragma once
// The options of the built-in converters, filled property by property through the converter
// contract (converter.h). Options whose meaning needs the network (following off-site links,
// dynamic images) or belongs to another converter (NoConvertCharset, FixCount) are accepted
// and have no effect here.
#include "convert/converter.h"

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QVariant>
#include <span>

namespace lbv {

class SettingsStore;

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

// One rule of a stored list as the user edits it, in two columns.
struct RegexRuleText {
    QString expression;
    QString replacement;
    bool operator==(const RegexRuleText&) const = default;
};
// The stored text's rules, blank lines left out.
QList<RegexRuleText> SplitRegexRules(const QString& text);
// The rules as stored; rules without an expression are left out.
QString JoinRegexRules(const QList<RegexRuleText>& rules);
// Why the rule can't be stored or run: empty when it can. A tab or line break in either column
// would change the stored list's shape, so it is refused like an expression that doesn't compile.
QString RegexRuleProblem(const RegexRuleText& rule);

// The values of section "Any2FB2" that the options dialog edits and the conversion reads. Both
// take an absent value's default from this one table, so what the dialog shows is what a
// conversion applies.
enum class ConverterValueKind {
    Switch, // 0/1
    Number,
    TextFormat, // "Auto", "Indented" or "EmptyLines"
    Expression, // a regular expression, empty for none
    RuleList, // see ParseRegexRules
};

struct ConverterSetting {
    const char16_t* name; // as the dialog stores it; check boxes announce "Any2DB2_" + name
    // The converter property it is passed as (only the letter case or the word may differ);
    // null for the values that are stored but not passed.
    const char16_t* property;
    ConverterValueKind kind;
    int defaultNumber; // switches and numbers
    const char16_t* defaultText; // texts; null for empty

    QString Name() const { return QString::fromUtf16(name); }
};

// Every value: first those passed to converters, in the order they receive them, then the ones
// that are only stored ("FollowLinks", "Alow1000Fix").
std::span<const ConverterSetting> ConverterSettings();
// The entry of that dialog or property name; null when there is none.
const ConverterSetting* FindConverterSetting(QStringView name);

// The name the value is stored under: the converter's spelling when a value is stored under it
// (it is read first), otherwise the dialog's.
QString StoredConverterName(SettingsStore& settings, const ConverterSetting& setting);
// The value in effect (an int for switches and numbers, switches as 0/1; a QString for texts),
// or the table's default when absent.
QVariant ReadConverterSetting(SettingsStore& settings, const ConverterSetting& setting);
// Writes under StoredConverterName, so the change is the one the next conversion reads.
void WriteConverterSetting(
    SettingsStore& settings, const ConverterSetting& setting, const QVariant& value);
// "LinkDepth" as passed: 0 unless "FollowLinks" is on, so that clearing the box stops links
// being followed whatever depth was chosen.
int EffectiveLinkDepth(SettingsStore& settings);

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
