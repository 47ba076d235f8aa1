#include "convert/converter_options.h"

#include "settings/settings_store.h"

#include <QStringList>
#include <utility>

namespace lbv {

namespace {

const QString kSection = QStringLiteral("Any2FB2");

constexpr char16_t kDefaultHeadersRegexp[]
    = u"(^\\s*Глава\\s.{1,25}$|^\\s*Часть\\s.{1,25}$|^\\s*\\*{3,}\\s*$|^\\s*Книга\\s.{5,25}$|"
      u"^\\s*От автора\\s*$|^\\s*Пролог\\s*$|^\\s*Эпилог\\s*$|^\\s*Chapter\\s.{1,25}$|"
      u"^\\s*Epilog\\s*$|^\\s*Prologue\\s*$)";

using Kind = ConverterValueKind;

// The dialog shows ConvertDash, RemoveOffsiteImages, RemoveExternalLinks and Alow1000Fix
// checked on a fresh install; the conversion uses the same defaults so the shown options are
// the applied ones.
constexpr ConverterSetting kConverterSettings[] = {
    {u"PreserveForm", u"PreserveForm", Kind::Switch, 0, nullptr},
    {u"NoConvertCharset", u"NoConvertCharset", Kind::Switch, 0, nullptr},
    {u"NoEpigraphs", u"NoEpigraphs", Kind::Switch, 0, nullptr},
    {u"NoEmptyLine", u"NoEmptyLine", Kind::Switch, 0, nullptr},
    {u"NoDescription", u"NoDescription", Kind::Switch, 0, nullptr},
    {u"NoQuotes", u"NoQuotes", Kind::Switch, 0, nullptr},
    {u"NoFootnotes", u"NoFootnotes", Kind::Switch, 0, nullptr},
    {u"NoItalic", u"NoItalic", Kind::Switch, 0, nullptr},
    {u"NoRestoreBrokenParas", u"NoRestoreBrokenParas", Kind::Switch, 0, nullptr},
    {u"NoPoems", u"NoPoems", Kind::Switch, 0, nullptr},
    {u"OnlyHHeaders", u"OnlyHHeaders", Kind::Switch, 0, nullptr},
    {u"IgnoreIndent", u"IgnoreIndent", Kind::Switch, 0, nullptr},
    {u"ConvertDash", u"ConvertDash", Kind::Switch, 1, nullptr},
    {u"RemoveAllImages", u"RemoveAllImages", Kind::Switch, 0, nullptr},
    {u"RemoveOffsiteImages", u"RemoveOffSiteImages", Kind::Switch, 1, nullptr},
    {u"PreserveDynamicImages", u"PreserveDynamicImages", Kind::Switch, 0, nullptr},
    {u"RemoveExternalLinks", u"RemoveExternalLinks", Kind::Switch, 1, nullptr},
    {u"FollowOffsiteLinks", u"FollowOffSiteLinks", Kind::Switch, 0, nullptr},
    {u"TextFormat", u"TextType", Kind::TextFormat, 0, u"Auto"},
    {u"FixCount", u"FixCount", Kind::Number, 4, nullptr}, // passed, never edited
    {u"LinkDepth", u"LinkDepth", Kind::Number, 0, nullptr},
    {u"OnlyFollowLinks", u"OnlyFollowLinks", Kind::Expression, 0, nullptr},
    {u"NeverFollowLinks", u"NeverFollowLinks", Kind::Expression, 0, nullptr},
    {u"HeadersRegexp", u"HeadersRegexp", Kind::Expression, 0, kDefaultHeadersRegexp},
    {u"OnLoad", u"OnLoad", Kind::RuleList, 0, nullptr},
    {u"OnResult", u"OnResult", Kind::RuleList, 0, nullptr},
    {u"FollowLinks", nullptr, Kind::Switch, 0, nullptr},
    {u"Alow1000Fix", nullptr, Kind::Switch, 1, nullptr},
};

bool IsNumeric(Kind kind)
{
    return kind == Kind::Switch || kind == Kind::Number;
}

bool IsStoredUnder(SettingsStore& settings, const QString& name, Kind kind)
{
    if (IsNumeric(kind))
        return settings.GetProfileInt(kSection, name, SettingsStore::kAbsentMarker)
            != SettingsStore::kAbsentMarker;
    return !settings.GetProfileString(kSection, name).isEmpty();
}

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
    return QString::fromUtf16(kDefaultHeadersRegexp);
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

QList<RegexRuleText> SplitRegexRules(const QString& text)
{
    QList<RegexRuleText> rules;
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        rules.append(tab < 0 ? RegexRuleText {line, QString()}
                             : RegexRuleText {line.left(tab), line.mid(tab + 1)});
    }
    return rules;
}

QString JoinRegexRules(const QList<RegexRuleText>& rules)
{
    QStringList lines;
    for (const RegexRuleText& rule : rules)
        if (!rule.expression.trimmed().isEmpty())
            lines.append(rule.replacement.isEmpty() ? rule.expression
                                                    : rule.expression + u'\t' + rule.replacement);
    return lines.join(u'\n');
}

QString RegexRuleProblem(const RegexRuleText& rule)
{
    const auto breaksShape = [](const QString& text) {
        return text.contains(u'\t') || text.contains(u'\n') || text.contains(u'\r');
    };
    if (breaksShape(rule.expression) || breaksShape(rule.replacement))
        return QStringLiteral("a rule can't hold a tab or a line break");
    // Stored without an expression, the replacement would be dropped.
    if (rule.expression.trimmed().isEmpty())
        return rule.replacement.isEmpty() ? QString()
                                          : QStringLiteral("a rule needs an expression");
    QList<RegexRule> parsed;
    QString error;
    return ParseRegexRules(rule.expression, &parsed, &error) ? QString() : error;
}

std::span<const ConverterSetting> ConverterSettings()
{
    return kConverterSettings;
}

const ConverterSetting* FindConverterSetting(QStringView name)
{
    for (const ConverterSetting& setting : kConverterSettings)
        if (name == QStringView(setting.name)
            || (setting.property && name == QStringView(setting.property)))
            return &setting;
    return nullptr;
}

QString StoredConverterName(SettingsStore& settings, const ConverterSetting& setting)
{
    // The settings file keeps names as written, so the two spellings are two values; the
    // converter's is read first.
    if (setting.property && QStringView(setting.property) != QStringView(setting.name)) {
        const QString property = QString::fromUtf16(setting.property);
        if (IsStoredUnder(settings, property, setting.kind))
            return property;
    }
    return setting.Name();
}

QVariant ReadConverterSetting(SettingsStore& settings, const ConverterSetting& setting)
{
    const QString name = StoredConverterName(settings, setting);
    if (setting.kind == Kind::Number)
        return settings.GetProfileInt(kSection, name, setting.defaultNumber);
    if (setting.kind == Kind::Switch)
        return settings.GetProfileInt(kSection, name, setting.defaultNumber) != 0 ? 1 : 0;
    const QString fallback
        = setting.defaultText ? QString::fromUtf16(setting.defaultText) : QString();
    if (setting.kind == Kind::TextFormat) {
        // An empty or unknown format is the automatic one.
        const QString text = settings.GetProfileString(kSection, name);
        return text == u"Indented" || text == u"EmptyLines" ? text : fallback;
    }
    return settings.GetProfileString(kSection, name, fallback);
}

void WriteConverterSetting(
    SettingsStore& settings, const ConverterSetting& setting, const QVariant& value)
{
    const QString name = StoredConverterName(settings, setting);
    if (IsNumeric(setting.kind))
        settings.WriteProfileInt(kSection, name, value.toInt());
    else
        settings.WriteProfileString(kSection, name, value.toString());
}

int EffectiveLinkDepth(SettingsStore& settings)
{
    if (ReadConverterSetting(settings, *FindConverterSetting(u"FollowLinks")).toInt() == 0)
        return 0;
    return ReadConverterSetting(settings, *FindConverterSetting(u"LinkDepth")).toInt();
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
