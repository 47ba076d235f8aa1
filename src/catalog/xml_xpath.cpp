// XPath selection and path creation over the documents of xml_document.h.
#include "catalog/xml_document.h"
#include "text/utf.h"

#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#include <utility>

namespace lbv {
namespace {

// Longer paths are refused, as they always have been (callers build short, fixed paths).
constexpr qsizetype kMaxXPathLength = 4096;

struct Binding {
    QByteArray prefix;
    QByteArray uri;
};

// "xmlns:fb='uri' xmlns:x=\"uri2\"" -> (fb, uri), (x, uri2). Tokens of any other shape are
// ignored.
std::vector<Binding> NamespaceBindings(const QString& declarations)
{
    std::vector<Binding> bindings;
    const QStringView xmlns = u"xmlns:";
    const QStringView text(declarations);
    qsizetype end = 0;
    while (end < text.size()) {
        qsizetype start = end;
        while (start < text.size() && text[start].isSpace())
            ++start;
        end = start;
        while (end < text.size() && !text[end].isSpace())
            ++end;
        const QStringView token = text.mid(start, end - start);
        if (!token.startsWith(xmlns))
            continue;
        const qsizetype equals = token.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        QStringView uri = token.mid(equals + 1);
        if (uri.size() >= 2 && (uri.front() == u'\'' || uri.front() == u'"')
            && uri.back() == uri.front())
            uri = uri.mid(1, uri.size() - 2);
        bindings.push_back({token.mid(xmlns.size(), equals - xmlns.size()).toUtf8(), uri.toUtf8()});
    }
    return bindings;
}

const XmlDocument* WrapperOf(const xmlNode* node)
{
    return node && node->doc ? static_cast<const XmlDocument*>(node->doc->_private) : nullptr;
}

void KeepXPathError(void* userData, xmlError* error)
{
    auto* message = static_cast<QString*>(userData);
    if (message->isEmpty() && error)
        *message = FromUtf8(error->message).trimmed();
}

struct XPathContextDeleter {
    void operator()(xmlXPathContext* context) const { xmlXPathFreeContext(context); }
};
struct XPathObjectDeleter {
    void operator()(xmlXPathObject* object) const { xmlXPathFreeObject(object); }
};
using XPathObject = std::unique_ptr<xmlXPathObject, XPathObjectDeleter>;

XPathObject Evaluate(const xmlNode* node, QStringView xpath, QString* error)
{
    QString problem;
    XPathObject result;
    if (!node || !node->doc) {
        problem = QStringLiteral("No node to select from");
    } else if (xpath.size() >= kMaxXPathLength) {
        problem = QStringLiteral("XPath expression too long");
    } else {
        std::unique_ptr<xmlXPathContext, XPathContextDeleter> context(
            xmlXPathNewContext(node->doc));
        if (!context)
            problem = QStringLiteral("Out of memory");
        else {
            context->node = const_cast<xmlNode*>(node);
            context->error = KeepXPathError;
            context->userData = &problem;
            if (const XmlDocument* wrapper = WrapperOf(node))
                for (const Binding& binding : NamespaceBindings(wrapper->SelectionNamespaces()))
                    xmlXPathRegisterNs(context.get(), BAD_CAST binding.prefix.constData(),
                        BAD_CAST binding.uri.constData());
            const QByteArray expression = xpath.toUtf8();
            result.reset(xmlXPathEvalExpression(BAD_CAST expression.constData(), context.get()));
            if (result && result->type != XPATH_NODESET) {
                result.reset();
                problem = QStringLiteral("Expression does not return a node set");
            }
            if (!result && problem.isEmpty())
                problem = QStringLiteral("Invalid XPath expression");
        }
    }
    if (!result && error)
        *error = problem + QStringLiteral(": ") + xpath.toString();
    return result;
}

xmlNode* CreateStep(XmlDocument& document, xmlNode* parent, QStringView step)
{
    const qsizetype bracket = step.indexOf(QLatin1Char('['));
    const QStringView name = (bracket < 0 ? step : step.left(bracket)).trimmed();
    const QByteArray qualified = name.toUtf8();
    if (qualified.isEmpty() || xmlValidateQName(BAD_CAST qualified.constData(), 0) != 0)
        return nullptr;
    const bool underDocument = parent->type == XML_DOCUMENT_NODE;
    if (!underDocument && parent->type != XML_ELEMENT_NODE)
        return nullptr;
    if (underDocument && document.Root())
        return nullptr; // a document has one root element

    QByteArray local = qualified;
    QByteArray uri;
    QByteArray prefix;
    const qsizetype colon = qualified.indexOf(':');
    if (colon > 0) {
        prefix = qualified.left(colon);
        for (const Binding& binding : NamespaceBindings(document.SelectionNamespaces()))
            if (binding.prefix == prefix) {
                uri = binding.uri;
                break;
            }
        if (!uri.isEmpty())
            local = qualified.mid(colon + 1);
    }
    xmlNode* element = xmlNewDocNode(document.Doc(), nullptr, BAD_CAST local.constData(), nullptr);
    if (!element)
        return nullptr;
    if (!uri.isEmpty()) {
        // Reuse a declaration in scope (FB2 binds its namespace as the default one), else
        // declare the prefix on the new element.
        xmlNs* ns = underDocument
            ? nullptr
            : xmlSearchNsByHref(document.Doc(), parent, BAD_CAST uri.constData());
        if (!ns)
            ns = xmlNewNs(element, BAD_CAST uri.constData(), BAD_CAST prefix.constData());
        xmlSetNs(element, ns);
    }
    if (!xmlAddChild(parent, element)) {
        xmlFreeNode(element);
        return nullptr;
    }
    return element;
}

} // namespace

std::vector<xmlNode*> SelectNodes(const xmlNode* node, QStringView xpath, QString* error)
{
    std::vector<xmlNode*> nodes;
    const XPathObject result = Evaluate(node, xpath, error);
    if (!result || !result->nodesetval)
        return nodes;
    const xmlNodeSet* set = result->nodesetval;
    nodes.reserve(std::size_t(set->nodeNr));
    for (int i = 0; i < set->nodeNr; ++i)
        // Namespace nodes are copies that die with the result; they are never handed out.
        if (set->nodeTab[i]->type != XML_NAMESPACE_DECL)
            nodes.push_back(set->nodeTab[i]);
    return nodes;
}

xmlNode* SelectSingleNode(const xmlNode* node, QStringView xpath, QString* error)
{
    const std::vector<xmlNode*> nodes = SelectNodes(node, xpath, error);
    return nodes.empty() ? nullptr : nodes.front();
}

std::optional<QString> SelectSingleNodeText(const xmlNode* node, QStringView xpath, QString* error)
{
    QString problem;
    const xmlNode* selected = SelectSingleNode(node, xpath, &problem);
    if (!selected) {
        if (error)
            *error = problem.isEmpty() ? QStringLiteral("No node matches ") + xpath.toString()
                                       : problem;
        return std::nullopt;
    }
    return NodeText(selected);
}

xmlNode* EnsureElementPath(XmlDocument& document, xmlNode* node, QStringView xpath)
{
    if (!node || xpath.isEmpty())
        return nullptr;
    if (xmlNode* found = SelectSingleNode(node, xpath))
        return found;
    const qsizetype slash = xpath.lastIndexOf(QLatin1Char('/'));
    xmlNode* parent = node;
    if (slash == 0)
        parent = document.Node();
    else if (slash > 0)
        parent = EnsureElementPath(document, node, xpath.left(slash));
    if (!parent)
        return nullptr;
    return CreateStep(document, parent, xpath.mid(slash + 1));
}

} // namespace lbv
