#include "shelf/header_accessor.h"

#include "catalog/xml_document.h"

#include <QStringList>
#include <optional>

namespace lbv {
namespace {

struct AttributePath {
    QStringView element;
    QStringView name;
};

// "path@name" and "path/@name" address an attribute of the element the path selects; an "@"
// inside a predicate ("[@id]") or a function call does not.
std::optional<AttributePath> SplitAttributePath(QStringView xpath)
{
    const qsizetype at = xpath.lastIndexOf(u'@');
    if (at <= 0 || xpath[at - 1] == u'[' || xpath[at - 1] == u'(')
        return std::nullopt;
    const QStringView name = xpath.sliced(at + 1);
    const QByteArray utf8 = name.toUtf8();
    if (utf8.isEmpty() || xmlValidateQName(BAD_CAST utf8.constData(), 0) != 0)
        return std::nullopt;
    QStringView element = xpath.first(at);
    if (element.endsWith(u'/'))
        element.chop(1);
    if (element.isEmpty())
        return std::nullopt;
    return AttributePath {element, name};
}

bool IsParagraphText(QStringView xpath)
{
    return xpath == kAnnotationXPath || xpath == kHistoryXPath;
}

bool IsAuthorName(QStringView xpath)
{
    return xpath == kFirstNameXPath || xpath == kMiddleNameXPath || xpath == kLastNameXPath;
}

// An empty value and "-not set-" both stand for a node that is not there.
bool MeansAbsent(const QString& value)
{
    return value.isEmpty() || value == kNotSetValue;
}

bool SameValue(const QString& a, const QString& b)
{
    return a == b || (MeansAbsent(a) && MeansAbsent(b));
}

// The attribute a name such as "name" or "l:href" (prefix as declared in the file) names.
xmlAttr* FindAttribute(xmlNode* element, QStringView name)
{
    const qsizetype colon = name.indexOf(u':');
    const QByteArray local = name.sliced(colon + 1).toUtf8();
    if (colon < 0)
        return xmlHasNsProp(element, BAD_CAST local.constData(), nullptr);
    const xmlNs* ns
        = xmlSearchNs(element->doc, element, BAD_CAST name.first(colon).toUtf8().constData());
    return ns ? xmlHasNsProp(element, BAD_CAST local.constData(), ns->href) : nullptr;
}

void RemoveNode(xmlNode* node)
{
    if (node->type == XML_ATTRIBUTE_NODE) {
        xmlRemoveProp(reinterpret_cast<xmlAttr*>(node));
        return;
    }
    xmlUnlinkNode(node);
    xmlFreeNode(node);
}

} // namespace

bool HeaderAccessor::Exists(QStringView xpath) const
{
    return Get(xpath, kNotSetValue) != kNotSetValue;
}

QString HeaderAccessor::Get(QStringView xpath, const QString& defaultValue) const
{
    if (IsParagraphText(xpath)) {
        const xmlNode* element = SelectSingleNode(document_.Node(), xpath);
        if (!element)
            return defaultValue;
        QStringList paragraphs;
        for (const xmlNode* paragraph : SelectNodes(element, u"fb:p"))
            paragraphs.append(NodeText(paragraph));
        return paragraphs.join(u"\r\n");
    }
    if (const std::optional<AttributePath> attribute = SplitAttributePath(xpath)) {
        const xmlNode* element = SelectSingleNode(document_.Node(), attribute->element);
        return AttributeText(element, attribute->name).value_or(defaultValue);
    }
    const xmlNode* node = SelectSingleNode(document_.Node(), xpath);
    return node ? NodeText(node) : defaultValue;
}

bool HeaderAccessor::Set(QStringView xpath, const QString& value)
{
    const bool changes = !SameValue(Get(xpath, kNotSetValue), value);
    if (changes && IsAuthorName(xpath))
        authorChanged_ = true;
    else if (changes && xpath == kBookTitleXPath)
        titleChanged_ = true;
    else if (changes && xpath == kGenreXPath)
        genreChanged_ = true;

    if (MeansAbsent(value)) {
        Remove(xpath);
        return true;
    }
    documentWritten_ = true;
    if (IsParagraphText(xpath))
        return SetParagraphs(xpath, value);
    if (const std::optional<AttributePath> attribute = SplitAttributePath(xpath))
        return SetAttribute(attribute->element, attribute->name, value);
    return SetNodeText(EnsureElementPath(document_, document_.Node(), xpath), value);
}

bool HeaderAccessor::SetParagraphs(QStringView xpath, const QString& value)
{
    // Rewriting unchanged text would only strip the paragraphs' inline markup.
    if (Get(xpath, kNotSetValue) == value)
        return true;
    xmlNode* element = EnsureElementPath(document_, document_.Node(), xpath);
    if (!element || !SetNodeText(element, {}))
        return false;
    QString text = value;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (const QString& line : text.split(u'\n')) {
        xmlNode* paragraph = AppendTextElement(element, "p", line);
        if (!paragraph)
            return false;
        xmlSetNs(paragraph, element->ns);
    }
    return true;
}

bool HeaderAccessor::SetAttribute(QStringView elementPath, QStringView name, const QString& value)
{
    xmlNode* element = EnsureElementPath(document_, document_.Node(), elementPath);
    if (!element || element->type != XML_ELEMENT_NODE)
        return false;
    return SetAttributeText(element, name.toUtf8().constData(), value);
}

void HeaderAccessor::Remove(QStringView xpath)
{
    documentWritten_ = true;
    if (const std::optional<AttributePath> attribute = SplitAttributePath(xpath)) {
        for (xmlNode* element : SelectNodes(document_.Node(), attribute->element))
            if (element->type == XML_ELEMENT_NODE)
                if (xmlAttr* found = FindAttribute(element, attribute->name))
                    xmlRemoveProp(found);
        return;
    }
    std::vector<xmlNode*> nodes = SelectNodes(document_.Node(), xpath);
    // Document order puts ancestors first: freeing from the back never touches a freed node.
    for (auto node = nodes.rbegin(); node != nodes.rend(); ++node)
        if ((*node)->type != XML_DOCUMENT_NODE)
            RemoveNode(*node);
}

} // namespace lbv
