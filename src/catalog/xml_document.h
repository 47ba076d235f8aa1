#pragma once
// The XML document layer that every catalog-side reader and writer of XML goes through: the
// index file, FB2 book headers, the header editor, the genre dictionary and the plug-ins.
//
// A thin layer over libxml2. Documents load synchronously, never touch the network, never load
// DTDs or external entities, refuse entity-expansion bombs, and drop whitespace-only text
// between elements. XPath prefixes are bound from the document's "SelectionNamespaces" text
// (for FB2: "xmlns:fb='http://www.gribuser.ru/xml/fictionbook/2.0'").
//
// Every function reports failure by a null, false or empty result plus an error text; none
// shows a message and none throws. Text crosses the boundary as QString; libxml2 sees UTF-8.
// Functions are reentrant; one document must not be used from two threads at once.
#include "text/fictionbook_namespace.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <libxml/tree.h>
#include <memory>
#include <optional>
#include <vector>

namespace lbv {

// The binding that lets XPaths name FB2 elements "fb:...": to the FictionBook 2.1 namespace when
// the document's root element is in it, else to the 2.0 namespace (also for an empty document,
// so that elements created through the binding get the 2.0 namespace).
QString FictionBookSelectionNamespaces(const xmlDoc* doc = nullptr);
// The FictionBook namespace of the document's root element; the 2.0 one when it has none of them.
const char* FictionBookNamespaceOf(const xmlDoc* doc);

// Owns one libxml2 document (freed with the wrapper) and the per-document settings that the
// XPath functions consult. Nodes handed out stay owned by the document and die with it or with
// the next load into it.
class XmlDocument {
public:
    // An empty document (no root element).
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    xmlDoc* Doc() const { return doc_; }
    // The document itself as a node: the starting point for absolute XPaths and the parent
    // when a root element is created.
    xmlNode* Node() const { return reinterpret_cast<xmlNode*>(doc_); }
    // The document element, or null while there is none.
    xmlNode* Root() const;

    // Whether loads check the document against its internal DTD (never an external one).
    bool ValidateOnParse() const { return validateOnParse_; }
    void SetValidateOnParse(bool validate) { validateOnParse_ = validate; }

    // Prefix bindings for XPath, as blank-separated "xmlns:prefix='uri'" declarations.
    const QString& SelectionNamespaces() const { return selectionNamespaces_; }
    void SetSelectionNamespaces(const QString& declarations);

    // The reason of the last failed load into this document; empty after a successful one.
    const QString& LastParseError() const { return parseError_; }

    // The document as text: an XML declaration only when the loaded text had one (version and
    // standalone, never an encoding), then the top-level nodes without indentation, separated
    // by CR LF. A document built in memory is one line.
    QByteArray XmlUtf8() const;
    QString Xml() const;

    // Replaces the content with an already parsed document (taking ownership); for loaders.
    void Adopt(xmlDoc* parsed, bool hadDeclaration);
    // Drops the content, leaving an empty document; `reason` becomes LastParseError().
    void Reset(const QString& reason = {});

private:
    xmlDoc* doc_ = nullptr;
    bool validateOnParse_ = false;
    bool hadDeclaration_ = false;
    QString selectionNamespaces_;
    QString parseError_;
};

using XmlDocumentPtr = std::unique_ptr<XmlDocument>;

// An empty, configured document; null with `error` set when it cannot be made (out of memory).
XmlDocumentPtr CreateDocument(bool validateOnParse, QString* error);
// The same for documents used away from the creating thread (libxml2 documents carry no thread
// affinity, so this differs only in name; kept for the callers that ask for it).
XmlDocumentPtr CreateFreeThreadedDocument(bool validateOnParse, QString* error);

// Loads a file; on failure null and "Loading <path>: ERROR! <reason>".
XmlDocumentPtr LoadXmlFile(const QString& path, QString* error);
// Parses text (any encoding declaration inside is ignored: the text is already decoded); on
// failure null and "Loading XML: ERROR! <reason>".
XmlDocumentPtr LoadXmlText(QStringView text, QString* error);
// The same for UTF-8 bytes, sparing the round trip through UTF-16 for large inputs. Parsing
// stops at the first NUL byte; invalid UTF-8 sequences are read as U+FFFD.
XmlDocumentPtr LoadXmlUtf8(QByteArrayView bytes, QString* error);
// For FB2 books, which are often damaged: parses text like LoadXmlText and, when that fails,
// parses the text's repair (RepairFb2Markup) instead. After a repair `markupRepair` receives the
// strict parse's error and `error` is cleared; otherwise `markupRepair` is cleared. When the
// repair fails too, `error` keeps the strict parse's error.
XmlDocumentPtr LoadFb2Text(QStringView text, QString* error, QString* markupRepair);
// Loads a file into an existing document (its settings are kept). On failure the document is
// left empty, false is returned and `error` reads "Loading <path>: ERROR! <reason>".
bool LoadInto(XmlDocument& document, const QString& path, QString* error);
// The reason of the document's last parse error, with the fallbacks "Unable to get parse
// error" (no document) and "Unable to get parse error reason" (none recorded).
void ParseErrorReason(const XmlDocument* document, QString* error);

// XPath 1.0 evaluated with `node` as context node (a document's Node() for absolute paths).
// Paths of 4096 characters or more, invalid paths and results that are not node sets give an
// empty result and `error`. Results are in document order.
std::vector<xmlNode*> SelectNodes(const xmlNode* node, QStringView xpath, QString* error = nullptr);
// The first node selected, or null.
xmlNode* SelectSingleNode(const xmlNode* node, QStringView xpath, QString* error = nullptr);
// The text of the first node selected; nothing when no node matches (with `error` set).
std::optional<QString> SelectSingleNodeText(
    const xmlNode* node, QStringView xpath, QString* error = nullptr);

// The text of a node: for an element, the text of all its descendants with surrounding white
// space removed (white space is not preserved); for an attribute, its value unchanged.
QString NodeText(const xmlNode* node);
// The value of an element's attribute named exactly `name` ("prefix:local" for a namespaced
// one); nothing when the element has no such attribute.
std::optional<QString> AttributeText(const xmlNode* element, QStringView name);

// Returns the node that `xpath` selects below `node` (the first one when several match),
// creating the missing elements along the path when nothing matches: each missing step becomes
// an element appended as its parent's last child, in the namespace its prefix is bound to by
// "SelectionNamespaces" (a predicate such as "[1]" is not applied to the new element). Null
// when a step cannot be created (an attribute, a function, a second root element).
xmlNode* EnsureElementPath(XmlDocument& document, xmlNode* node, QStringView xpath);

// Building documents. Text is stored without the characters XML 1.0 cannot carry (control
// characters other than tab, line feed and carriage return), so what is built always reloads.
// Each returns null only when memory runs out.
xmlNode* AppendElement(xmlNode* parent, const char* name);
xmlNode* AppendTextElement(xmlNode* parent, const char* name, QStringView text);
bool SetNodeText(xmlNode* node, QStringView text);
bool SetAttributeText(xmlNode* element, const char* name, QStringView value);

} // namespace lbv
