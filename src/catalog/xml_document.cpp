#include "catalog/xml_document.h"

#include "catalog/xml_parse_checks.h"
#include "text/fb2_markup_repair.h"
#include "text/utf.h"

#include <QFile>
#include <algorithm>
#include <climits>
#include <cstring>
#include <libxml/parser.h>
#include <libxml/xmlsave.h>

namespace lbv {
namespace {

struct ParserContextDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
using ParserContext = std::unique_ptr<xmlParserCtxt, ParserContextDeleter>;

// The declaration is not a node in libxml2; the parser leaves `standalone` at -1 only when
// the text had none.
bool HadDeclaration(const xmlDoc* doc)
{
    return doc->standalone != -1;
}

QString RecordedReason(const QString& reason)
{
    return reason.isEmpty() ? QStringLiteral("Unable to get parse error reason") : reason;
}

struct ParseResult {
    xmlDoc* doc = nullptr;
    QString reason;
};

// `forcedEncoding` set: the bytes are known to be in that encoding whatever they declare.
ParseResult ParseBytes(
    QByteArrayView bytes, const QByteArray& url, const char* forcedEncoding, bool validate)
{
    EnsureLibxmlInitialised();
    ParseResult result;
    if (bytes.size() > INT_MAX) {
        result.reason = QStringLiteral("The document is too large");
        return result;
    }
    ParserContext context(xmlNewParserCtxt());
    if (!context) {
        result.reason = QStringLiteral("Out of memory");
        return result;
    }
    ParseErrorLog errors;
    context->_private = &errors;
    context->sax->serror = CollectFirstError;
    const int options = kXmlParseOptions | (forcedEncoding ? XML_PARSE_IGNORE_ENC : 0);
    xmlDoc* doc = xmlCtxtReadMemory(context.get(), bytes.data(), int(bytes.size()),
        url.isEmpty() ? nullptr : url.constData(), forcedEncoding, options);
    if (!doc) {
        result.reason = errors.first.isEmpty() ? ParseErrorText(context->lastError) : errors.first;
        return result;
    }
    QString refusal = CheckEntityExpansion(doc, bytes.size());
    if (refusal.isEmpty() && validate)
        refusal = ValidateAgainstInternalDtd(doc);
    if (!refusal.isEmpty()) {
        xmlFreeDoc(doc);
        result.reason = refusal;
        return result;
    }
    result.doc = doc;
    return result;
}

XmlDocumentPtr FromParse(ParseResult parsed, const QString& errorPrefix, QString* error)
{
    if (!parsed.doc) {
        if (error)
            *error = errorPrefix + RecordedReason(parsed.reason);
        return nullptr;
    }
    auto document = std::make_unique<XmlDocument>();
    document->Adopt(parsed.doc, HadDeclaration(parsed.doc));
    return document;
}

int AppendBytes(void* target, const char* bytes, int length)
{
    static_cast<QByteArray*>(target)->append(bytes, length);
    return length;
}

// Serialises one top-level node without formatting or declaration, non-ASCII text as UTF-8.
bool AppendNode(QByteArray& out, xmlNode* node)
{
    xmlSaveCtxt* save = xmlSaveToIO(AppendBytes, nullptr, &out, "UTF-8", XML_SAVE_NO_DECL);
    if (!save)
        return false;
    const bool saved = xmlSaveTree(save, node) >= 0;
    return xmlSaveClose(save) >= 0 && saved;
}

// Text is always serialised as UTF-8; without a document encoding libxml2 would write
// non-ASCII attribute values as character references.
void MarkUtf8(xmlDoc* doc)
{
    if (!doc->encoding)
        doc->encoding = xmlStrdup(BAD_CAST "UTF-8");
}

xmlDoc* NewEmptyDoc()
{
    EnsureLibxmlInitialised();
    xmlDoc* doc = xmlNewDoc(BAD_CAST "1.0");
    if (doc) {
        doc->dict = xmlDictCreate(); // shares element names among the nodes built in memory
        MarkUtf8(doc);
    }
    return doc;
}

// Characters XML 1.0 cannot carry (from a broken book header, say) are dropped rather than
// written into a file that would then fail to load.
QByteArray XmlSafeUtf8(QStringView text)
{
    auto allowed = [](QChar c) { return AllowedInXml(c.unicode()); };
    if (std::all_of(text.begin(), text.end(), allowed))
        return text.toUtf8();
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text)
        if (allowed(c))
            clean.append(c);
    return clean.toUtf8();
}

xmlNode* NewTextNode(xmlDoc* doc, QStringView text)
{
    const QByteArray bytes = XmlSafeUtf8(text);
    return xmlNewDocTextLen(doc, BAD_CAST bytes.constData(), int(bytes.size()));
}

// Text with XML white space (blank, tab, CR, LF) trimmed on both sides, as UTF-16.
QString TrimmedText(const xmlChar* text, bool trim)
{
    if (!text)
        return {};
    const char* begin = reinterpret_cast<const char*>(text);
    const char* end = begin + std::strlen(begin);
    if (trim) {
        auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
        while (begin < end && blank(*begin))
            ++begin;
        while (end > begin && blank(end[-1]))
            --end;
    }
    return FromUtf8(begin, end - begin);
}

// The whole text of a node list, entity references expanded.
QString ListText(const xmlNode* node, const xmlNode* firstChild, bool trim)
{
    // The common case, a single text child, needs no concatenation.
    if (firstChild && !firstChild->next && firstChild->type == XML_TEXT_NODE)
        return TrimmedText(firstChild->content, trim);
    xmlChar* content = xmlNodeGetContent(node);
    QString text = TrimmedText(content, trim);
    xmlFree(content);
    return text;
}

} // namespace

const char* FictionBookNamespaceOf(const xmlDoc* doc)
{
    const xmlNode* root = doc ? xmlDocGetRootElement(doc) : nullptr;
    if (root && root->ns && root->ns->href
        && std::strcmp(reinterpret_cast<const char*>(root->ns->href), kFictionBook21Namespace) == 0)
        return kFictionBook21Namespace;
    return kFictionBookNamespace;
}

QString FictionBookSelectionNamespaces(const xmlDoc* doc)
{
    return QStringLiteral("xmlns:fb='") + QLatin1String(FictionBookNamespaceOf(doc))
        + QLatin1Char('\'');
}

XmlDocument::XmlDocument()
    : doc_(NewEmptyDoc())
{
    if (doc_)
        doc_->_private = this;
}

XmlDocument::~XmlDocument()
{
    if (doc_)
        xmlFreeDoc(doc_);
}

xmlNode* XmlDocument::Root() const
{
    return doc_ ? xmlDocGetRootElement(doc_) : nullptr;
}

void XmlDocument::SetSelectionNamespaces(const QString& declarations)
{
    selectionNamespaces_ = declarations;
}

void XmlDocument::Adopt(xmlDoc* parsed, bool hadDeclaration)
{
    if (doc_)
        xmlFreeDoc(doc_);
    doc_ = parsed;
    doc_->_private = this;
    MarkUtf8(doc_);
    hadDeclaration_ = hadDeclaration;
    parseError_.clear();
}

void XmlDocument::Reset(const QString& reason)
{
    if (doc_)
        xmlFreeDoc(doc_);
    doc_ = NewEmptyDoc();
    if (doc_)
        doc_->_private = this;
    hadDeclaration_ = false;
    parseError_ = reason;
}

QByteArray XmlDocument::XmlUtf8() const
{
    QByteArray out;
    if (!doc_)
        return out;
    if (hadDeclaration_) {
        out += "<?xml version=\"1.0\"";
        if (doc_->standalone == 1)
            out += " standalone=\"yes\"";
        else if (doc_->standalone == 0)
            out += " standalone=\"no\"";
        out += "?>";
    }
    for (xmlNode* node = doc_->children; node; node = node->next) {
        if (!out.isEmpty())
            out += "\r\n";
        if (!AppendNode(out, node))
            return {};
    }
    return out;
}

QString XmlDocument::Xml() const
{
    const QByteArray bytes = XmlUtf8();
    return FromUtf8(bytes.constData(), bytes.size());
}

XmlDocumentPtr CreateDocument(bool validateOnParse, QString* error)
{
    auto document = std::make_unique<XmlDocument>();
    if (!document->Doc()) {
        if (error)
            *error = QStringLiteral("Can't create instance of DOMDocument40");
        return nullptr;
    }
    document->SetValidateOnParse(validateOnParse);
    return document;
}

XmlDocumentPtr CreateFreeThreadedDocument(bool validateOnParse, QString* error)
{
    return CreateDocument(validateOnParse, error);
}

XmlDocumentPtr LoadXmlFile(const QString& path, QString* error)
{
    XmlDocumentPtr document = CreateDocument(false, error);
    if (!document) {
        if (error)
            *error = QStringLiteral("Can't create DOMDocument");
        return nullptr;
    }
    if (!LoadInto(*document, path, error))
        return nullptr;
    return document;
}

bool LoadInto(XmlDocument& document, const QString& path, QString* error)
{
    // Read by us rather than by libxml2, so that its loaders (and their network and
    // decompression paths) are never involved.
    QFile file(path);
    ParseResult parsed;
    if (!file.open(QIODevice::ReadOnly)) {
        parsed.reason = file.errorString();
    } else {
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            parsed.reason = file.errorString();
        else
            parsed
                = ParseBytes(bytes, QFile::encodeName(path), nullptr, document.ValidateOnParse());
    }
    if (!parsed.doc) {
        document.Reset(parsed.reason);
        if (error)
            *error = QStringLiteral("Loading ") + path + QStringLiteral(": ERROR! ")
                + RecordedReason(parsed.reason);
        return false;
    }
    document.Adopt(parsed.doc, HadDeclaration(parsed.doc));
    return true;
}

XmlDocumentPtr LoadXmlText(QStringView text, QString* error)
{
    return LoadXmlUtf8(text.toUtf8(), error);
}

XmlDocumentPtr LoadXmlUtf8(QByteArrayView bytes, QString* error)
{
    QByteArray storage;
    return FromParse(ParseBytes(CleanUtf8Input(bytes, &storage), {}, "UTF-8", false),
        QStringLiteral("Loading XML: ERROR! "), error);
}

XmlDocumentPtr LoadFb2Text(QStringView text, QString* error, QString* markupRepair)
{
    markupRepair->clear();
    XmlDocumentPtr document = LoadXmlText(text, error);
    if (document)
        return document;
    const QByteArray repaired = RepairFb2Markup(text);
    QString repairError;
    document = repaired.isEmpty() ? nullptr : LoadXmlUtf8(repaired, &repairError);
    if (!document)
        return nullptr;
    *markupRepair = *error;
    error->clear();
    return document;
}

void ParseErrorReason(const XmlDocument* document, QString* error)
{
    if (!error)
        return;
    *error = document ? RecordedReason(document->LastParseError())
                      : QStringLiteral("Unable to get parse error");
}

QString NodeText(const xmlNode* node)
{
    if (!node)
        return {};
    switch (node->type) {
    case XML_ATTRIBUTE_NODE:
        return ListText(node, node->children, false);
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        return TrimmedText(node->content, true);
    default:
        return ListText(node, node->children, true);
    }
}

std::optional<QString> AttributeText(const xmlNode* element, QStringView name)
{
    if (!element || element->type != XML_ELEMENT_NODE)
        return std::nullopt;
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    const QByteArray prefix = colon < 0 ? QByteArray() : name.left(colon).toUtf8();
    const QByteArray local = name.mid(colon + 1).toUtf8();
    for (const xmlAttr* attribute = element->properties; attribute; attribute = attribute->next) {
        if (std::strcmp(reinterpret_cast<const char*>(attribute->name), local.constData()) != 0)
            continue;
        const xmlChar* attributePrefix = attribute->ns ? attribute->ns->prefix : nullptr;
        const bool prefixMatches = colon < 0 ? attributePrefix == nullptr
                                             : attributePrefix
                && std::strcmp(reinterpret_cast<const char*>(attributePrefix), prefix.constData())
                    == 0;
        if (prefixMatches)
            return ListText(
                reinterpret_cast<const xmlNode*>(attribute), attribute->children, false);
    }
    return std::nullopt;
}

xmlNode* AppendElement(xmlNode* parent, const char* name)
{
    if (!parent)
        return nullptr;
    xmlNode* element = xmlNewDocNode(parent->doc, nullptr, BAD_CAST name, nullptr);
    if (!element)
        return nullptr;
    if (!xmlAddChild(parent, element)) {
        xmlFreeNode(element);
        return nullptr;
    }
    return element;
}

bool SetNodeText(xmlNode* node, QStringView text)
{
    if (!node)
        return false;
    // Like the DOM's text property: the node's children give way to one text node (none for
    // empty text, so an empty element serialises as <name/>).
    xmlNode* child = node->children;
    while (child) {
        xmlNode* next = child->next;
        xmlUnlinkNode(child);
        xmlFreeNode(child);
        child = next;
    }
    if (text.isEmpty())
        return true;
    xmlNode* textNode = NewTextNode(node->doc, text);
    if (!textNode)
        return false;
    if (!xmlAddChild(node, textNode)) {
        xmlFreeNode(textNode);
        return false;
    }
    return true;
}

xmlNode* AppendTextElement(xmlNode* parent, const char* name, QStringView text)
{
    xmlNode* element = AppendElement(parent, name);
    if (element && !SetNodeText(element, text))
        return nullptr;
    return element;
}

bool SetAttributeText(xmlNode* element, const char* name, QStringView value)
{
    if (!element)
        return false;
    const QByteArray bytes = XmlSafeUtf8(value);
    return xmlSetProp(element, BAD_CAST name, BAD_CAST bytes.constData()) != nullptr;
}

} // namespace lbv
