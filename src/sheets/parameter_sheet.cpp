#include "sheets/parameter_sheet.h"

#include "catalog/xml_document.h"
#include "sheets/parameter_validation.h"
#include "text/messages.h"

#include <QRegularExpression>
#include <array>
#include <utility>

namespace lbv {
namespace {

constexpr std::array<std::pair<const char16_t*, ParameterType>, 12> kTypeNames {{
    {u"string", ParameterType::String},
    {u"multistring", ParameterType::MultiString},
    {u"number", ParameterType::Number},
    {u"float", ParameterType::Float},
    {u"date", ParameterType::Date},
    {u"boolean", ParameterType::Boolean},
    {u"filePath", ParameterType::FilePath},
    {u"dirPath", ParameterType::DirPath},
    {u"stringlist", ParameterType::StringList},
    {u"dirpathlist", ParameterType::DirPathList},
    {u"filepathlist", ParameterType::FilePathList},
    {u"paramlist", ParameterType::ParamList},
}};

constexpr std::array<std::pair<const char16_t*, ParameterUsage>, 6> kUsageNames {{
    {u"optional", kUsageOptional},
    {u"editable", kUsageEditable},
    {u"readonly", kUsageReadOnly},
    {u"hidden", kUsageHidden},
    {u"advanced", kUsageAdvanced},
    {u"user", kUsageUser},
}};

constexpr std::array<std::pair<const char16_t*, RestrictionKind>, 7> kRestrictionNames {{
    {u"choice", RestrictionKind::Choice},
    {u"min", RestrictionKind::Min},
    {u"max", RestrictionKind::Max},
    {u"regexp", RestrictionKind::Regexp},
    {u"minLength", RestrictionKind::MinLength},
    {u"maxLength", RestrictionKind::MaxLength},
    {u"fraction", RestrictionKind::Fraction},
}};

template<typename Value, std::size_t N>
std::optional<Value> Lookup(
    const std::array<std::pair<const char16_t*, Value>, N>& names, QStringView word)
{
    for (const auto& [name, value] : names)
        if (word == QStringView(name))
            return value;
    return std::nullopt;
}

bool IsElement(const xmlNode* node, const char* name)
{
    return node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, BAD_CAST name);
}

QString ElementName(const xmlNode* node)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(node->name));
}

// Whether a restriction's value makes sense for the item, so that validation never meets a
// limit it cannot read.
bool RestrictionValueValid(const ParameterItem& item, const ParameterRestriction& restriction)
{
    switch (restriction.kind) {
    case RestrictionKind::Choice:
        return true;
    case RestrictionKind::Min:
    case RestrictionKind::Max:
        if (item.type == ParameterType::Date)
            return ParseSheetDate(restriction.value).has_value();
        return ParseSheetFloat(restriction.value).has_value();
    case RestrictionKind::Regexp:
        return QRegularExpression(restriction.value).isValid();
    case RestrictionKind::MinLength:
    case RestrictionKind::MaxLength:
    case RestrictionKind::Fraction: {
        const std::optional<qint64> count = ParseSheetNumber(restriction.value);
        return count && *count >= 0;
    }
    }
    return false;
}

bool ReadItem(const xmlNode* element, qsizetype position, ParameterItem* item, QString* error)
{
    QString typeName = QStringLiteral("string");
    QString usage;
    QList<std::pair<QString, QString>> restrictions;
    for (const xmlNode* child = element->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE)
            continue;
        const QString text = NodeText(child);
        if (IsElement(child, "name"))
            item->name = text;
        else if (IsElement(child, "shortName"))
            item->shortName = text;
        else if (IsElement(child, "description"))
            item->description = text;
        else if (IsElement(child, "value"))
            item->value = text;
        else if (IsElement(child, "datatype"))
            typeName = text;
        else if (IsElement(child, "usage"))
            usage = text;
        else if (IsElement(child, "restriction"))
            restrictions.append({AttributeText(child, u"kind").value_or(QString()), text});
    }
    if (item->name.isEmpty()) {
        *error = MessageText(Msg::SheetItemWithoutName).arg(position + 1);
        return false;
    }
    if (item->shortName.isEmpty())
        item->shortName = item->name;

    const std::optional<ParameterType> type = Lookup(kTypeNames, typeName);
    if (!type) {
        *error = MessageText(Msg::SheetUnknownDatatype).arg(item->name, typeName);
        return false;
    }
    item->type = *type;

    for (const QString& word :
        usage.split(QRegularExpression(QStringLiteral("[\\s,;|]+")), Qt::SkipEmptyParts)) {
        const std::optional<ParameterUsage> flag = Lookup(kUsageNames, word);
        if (!flag) {
            *error = MessageText(Msg::SheetUnknownUsage).arg(item->name, word);
            return false;
        }
        item->usage |= *flag;
    }

    for (const auto& [kindName, value] : restrictions) {
        const std::optional<RestrictionKind> kind = Lookup(kRestrictionNames, kindName);
        if (!kind) {
            *error = MessageText(Msg::SheetUnknownRestriction).arg(item->name, kindName);
            return false;
        }
        ParameterRestriction restriction {*kind, value};
        if (!RestrictionValueValid(*item, restriction)) {
            *error = MessageText(Msg::SheetBadRestriction).arg(item->name, kindName, value);
            return false;
        }
        item->restrictions.append(restriction);
    }
    return true;
}

} // namespace

bool ParameterItem::IsList() const
{
    return type == ParameterType::StringList || type == ParameterType::DirPathList
        || type == ParameterType::FilePathList || type == ParameterType::ParamList;
}

QStringList ParameterItem::Choices() const
{
    QStringList choices;
    for (const ParameterRestriction& restriction : restrictions)
        if (restriction.kind == RestrictionKind::Choice)
            choices.append(restriction.value);
    return choices;
}

bool LoadParameterSheet(const QString& path, ParameterSheet* sheet, QString* error)
{
    const XmlDocumentPtr document = LoadXmlFile(path, error);
    return document && ReadParameterSheet(*document, sheet, error);
}

bool ReadParameterSheet(const XmlDocument& document, ParameterSheet* sheet, QString* error)
{
    const xmlNode* root = document.Root();
    if (!root || !IsElement(root, "parameters")) {
        *error = MessageText(Msg::SheetNotParameters).arg(root ? ElementName(root) : QString());
        return false;
    }
    ParameterSheet result;
    for (const xmlNode* child = root->children; child; child = child->next) {
        if (!IsElement(child, "item"))
            continue;
        ParameterItem item;
        if (!ReadItem(child, result.items.size(), &item, error))
            return false;
        result.items.append(std::move(item));
    }
    *sheet = std::move(result);
    return true;
}

QStringList SplitValueLines(const QString& value)
{
    if (value.isEmpty())
        return {};
    return value.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
}

QString JoinValueLines(const QStringList& lines)
{
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace lbv
