#include "import/converter_options.h"

#include <QStringList>
#include <utility>

namespace lbv {

namespace {

constexpr auto kRegexOptions = QRegularExpression::UseUnicodePropertiesOption;

struct SwitchField {
    const char16_t* name;
    bool ConverterOptions::*field;
};

constexpr SwitchField kSwitchFields[] = {
    {u"PreserveForm", &ConverterOptions::preserveForm},
    {u"NoEpigraphs", &ConverterOptions::noEpigraphs},
    {u"NoEmptyLine", &ConverterOptions::noEmptyLine},
    {u"NoDescription", &ConverterOptions::noDescription},
    {u"NoQuotes", &ConverterOptions::noQuotes},
    {u"NoFootnotes", &ConverterOptions::noFootnotes},
    {u"NoItalic", &ConverterOptions::noItalic},
    {u"NoRestoreBrokenParas", &ConverterOptions::noRestoreBrokenParas},
    {u"NoPoems", &ConverterOptions::noPoems},
    {u"OnlyHHeaders", &ConverterOptions::onlyHHeaders},
    {u"IgnoreIndent", &ConverterOptions::ignoreIndent},
    {u"ConvertDash", &ConverterOptions::convertDash},
    {u"RemoveAllImages", &ConverterOptions::removeAllImages},
    {u"RemoveOffSiteImages", &ConverterOptions::removeOffSiteImages},
    {u"RemoveExternalLinks", &ConverterOptions::removeExternalLinks},
};

// Known to the contract but without effect here (see the header).
constexpr const char16_t* kIgnoredNumbers[]
    = {u"NoConvertCharset", u"PreserveDynamicImages", u"FollowOffSiteLinks", u"FixCount"};

bool SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

bool ToInt(const QVariant& value, int* number)
{
    bool ok = false;
    *number = value.toInt(&ok);
    return ok;
}

bool Compile(const QString& pattern, QRegularExpression* target, QString* error,
    QRegularExpression::PatternOptions extra = {})
{
    QRegularExpression expression(pattern, kRegexOptions | extra);
    if (!expression.isValid())
        return SetError(error,
            QStringLiteral("invalid regular expression \"%1\": %2")
                .arg(pattern, expression.errorString()));
    expression.optimize();
    *target = std::move(expression);
    return true;
}

} // namespace

QString DefaultHeadersRegexp()
{
    return QStringLiteral(
        "(^\\s*Глава\\s.{1,25}$|^\\s*Часть\\s.{1,25}$|^\\s*\\*{3,}\\s*$|^\\s*Книга\\s.{5,25}$|"
        "^\\s*От автора\\s*$|^\\s*Пролог\\s*$|^\\s*Эпилог\\s*$|^\\s*Chapter\\s.{1,25}$|"
        "^\\s*Epilog\\s*$|^\\s*Prologue\\s*$)");
}

bool ParseRegexRules(const QString& text, QList<RegexRule>* rules, QString* error)
{
    QList<RegexRule> parsed;
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        RegexRule rule;
        // Rules rewrite whole texts, so ^ and $ mean the start and end of a line.
        if (!Compile(tab < 0 ? line : line.left(tab), &rule.pattern, error,
                QRegularExpression::MultilineOption))
            return false;
        if (tab >= 0)
            rule.replacement = line.mid(tab + 1);
        parsed.append(std::move(rule));
    }
    *rules = std::move(parsed);
    return true;
}

void ApplyRegexRules(const QList<RegexRule>& rules, QString& text)
{
    for (const RegexRule& rule : rules)
        text.replace(rule.pattern, rule.replacement);
}

bool ConverterOptions::Set(const QString& name, const QVariant& value, QString* error)
{
    const auto isName = [&](const char16_t* known) { return name == QStringView(known); };
    int number = 0;
    for (const SwitchField& entry : kSwitchFields) {
        if (!isName(entry.name))
            continue;
        if (!ToInt(value, &number))
            return SetError(error, QStringLiteral("%1: a number is expected").arg(name));
        this->*entry.field = number != 0;
        return true;
    }
    for (const char16_t* ignored : kIgnoredNumbers)
        if (isName(ignored))
            return ToInt(value, &number)
                || SetError(error, QStringLiteral("%1: a number is expected").arg(name));
    if (isName(u"TextType") || isName(u"LinkDepth")) {
        if (!ToInt(value, &number))
            return SetError(error, QStringLiteral("%1: a number is expected").arg(name));
        if (isName(u"LinkDepth"))
            linkDepth = qMax(0, number);
        else
            textType = number == 1 ? TextType::Indented
                : number == 2      ? TextType::EmptyLines
                                   : TextType::Auto;
        return true;
    }
    const QString text = value.toString();
    bool known = true;
    bool valid = false;
    QString reason;
    if (isName(u"OnlyFollowLinks"))
        valid = Compile(text, &onlyFollowLinks, &reason);
    else if (isName(u"NeverFollowLinks"))
        valid = Compile(text, &neverFollowLinks, &reason);
    else if (isName(u"HeadersRegexp"))
        valid = Compile(text.isEmpty() ? DefaultHeadersRegexp() : text, &headers, &reason);
    else if (isName(u"OnLoad"))
        valid = ParseRegexRules(text, &onLoad, &reason);
    else if (isName(u"OnResult"))
        valid = ParseRegexRules(text, &onResult, &reason);
    else
        known = false;
    if (!known)
        return SetError(error, QStringLiteral("Unknown converter property \"%1\"").arg(name));
    return valid || SetError(error, name + u": " + reason);
}

} // namespace lbv
