#include "sheets/parameter_validation.h"

#include "text/messages.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace lbv {
namespace {

const QRegularExpression& IntegerForm()
{
    static const QRegularExpression form(QStringLiteral("^[+-]?[0-9]+$"));
    return form;
}

const QRegularExpression& DecimalForm()
{
    static const QRegularExpression form(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    return form;
}

qsizetype FractionDigits(const QString& text)
{
    const QString trimmed = text.trimmed();
    const qsizetype point = trimmed.indexOf(u'.');
    return point < 0 ? 0 : trimmed.size() - point - 1;
}

// Characters as the user sees them, not UTF-16 units.
qsizetype CharacterCount(const QString& text)
{
    return text.toUcs4().size();
}

// The type check and the limits that need a typed value.
QString CheckTyped(const ParameterItem& item, const QString& value)
{
    const QString& label = item.shortName;
    std::optional<double> number;
    std::optional<QDate> date;
    switch (item.type) {
    case ParameterType::Number:
        if (const std::optional<qint64> whole = ParseSheetNumber(value))
            number = double(*whole);
        else
            return MessageText(Msg::SheetNotWholeNumber).arg(label, value);
        break;
    case ParameterType::Float:
        number = ParseSheetFloat(value);
        if (!number)
            return MessageText(Msg::SheetNotNumber).arg(label, value);
        break;
    case ParameterType::Date:
        date = ParseSheetDate(value);
        if (!date)
            return MessageText(Msg::SheetNotDate).arg(label, value);
        break;
    case ParameterType::Boolean:
        if (!ParseSheetBoolean(value))
            return MessageText(Msg::SheetNotBoolean).arg(label, value);
        return {};
    default:
        return {};
    }

    for (const ParameterRestriction& restriction : item.restrictions) {
        const bool isMin = restriction.kind == RestrictionKind::Min;
        if (!isMin && restriction.kind != RestrictionKind::Max) {
            if (restriction.kind == RestrictionKind::Fraction && number
                && FractionDigits(value) > ParseSheetNumber(restriction.value).value_or(0))
                return MessageText(Msg::SheetTooManyDecimals).arg(label, restriction.value);
            continue;
        }
        bool outside;
        if (date) {
            const QDate limit = *ParseSheetDate(restriction.value);
            outside = isMin ? *date < limit : *date > limit;
        } else {
            const double limit = *ParseSheetFloat(restriction.value);
            outside = isMin ? *number < limit : *number > limit;
        }
        if (outside)
            return MessageText(isMin ? Msg::SheetBelowMinimum : Msg::SheetAboveMaximum)
                .arg(label, restriction.value.trimmed());
    }
    return {};
}

// The restrictions on the text itself, for one value or one line of a list.
QString CheckText(const ParameterItem& item, const QString& text)
{
    const QString& label = item.shortName;
    const QStringList choices = item.Choices();
    if (!choices.isEmpty() && !choices.contains(text))
        return MessageText(Msg::SheetNotAChoice).arg(label, text, choices.join(u", "));
    for (const ParameterRestriction& restriction : item.restrictions) {
        switch (restriction.kind) {
        case RestrictionKind::Regexp:
            if (!QRegularExpression(QRegularExpression::anchoredPattern(restriction.value))
                     .match(text)
                     .hasMatch())
                return MessageText(Msg::SheetWrongForm).arg(label, text);
            break;
        case RestrictionKind::MinLength:
            if (CharacterCount(text) < ParseSheetNumber(restriction.value).value_or(0))
                return MessageText(Msg::SheetTooShort).arg(label, restriction.value.trimmed());
            break;
        case RestrictionKind::MaxLength:
            if (CharacterCount(text) > ParseSheetNumber(restriction.value).value_or(0))
                return MessageText(Msg::SheetTooLong).arg(label, restriction.value.trimmed());
            break;
        default:
            break;
        }
    }
    return {};
}

} // namespace

QString ValidateParameter(const ParameterItem& item, const QString& value)
{
    if (value.isEmpty())
        return item.Is(kUsageOptional) ? QString()
                                       : MessageText(Msg::SheetValueRequired).arg(item.shortName);
    if (const QString message = CheckTyped(item, value); !message.isEmpty())
        return message;
    if (!item.IsList())
        return CheckText(item, value);
    for (const QString& line : SplitValueLines(value))
        if (const QString message = CheckText(item, line); !message.isEmpty())
            return message;
    return {};
}

std::optional<qint64> ParseSheetNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (!IntegerForm().match(trimmed).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 number = trimmed.toLongLong(&ok);
    return ok ? std::optional(number) : std::nullopt;
}

std::optional<double> ParseSheetFloat(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (!DecimalForm().match(trimmed).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double number = QLocale::c().toDouble(trimmed, &ok);
    return ok && std::isfinite(number) ? std::optional(number) : std::nullopt;
}

std::optional<QDate> ParseSheetDate(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    const QString trimmed = text.trimmed();
    if (!form.match(trimmed).hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(trimmed, Qt::ISODate);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

std::optional<bool> ParseSheetBoolean(const QString& text)
{
    const QString word = text.trimmed().toLower();
    if (word == u"1" || word == u"true" || word == u"yes")
        return true;
    if (word == u"0" || word == u"false" || word == u"no")
        return false;
    return std::nullopt;
}

QString FormatSheetDate(QDate date)
{
    return date.toString(Qt::ISODate);
}

} // namespace lbv
