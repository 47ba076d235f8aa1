// The index as text: written straight from the catalog when saving, and read with one author's
// subtree in memory at a time when opening. A library of 100,000 books makes a document tree
// of several hundred megabytes; neither direction needs it.
#include "catalog/index_records.h"
#include "catalog/xml_parse_checks.h"

#include <climits>
#include <cstring>
#include <libxml/SAX2.h>
#include <libxml/parserInternals.h>

namespace lbv {
namespace {

constexpr qsizetype kTextPiece = 128 * 1024;

struct StreamState : ParseErrorLog {
    const QString* folder = nullptr;
    IndexContent* content = nullptr;
    std::unique_ptr<IndexReader> reader;
    bool optionsSeen = false;
    bool authorSeen = false;
    bool needsWholeDocument = false;
    startElementNsSAX2Func buildStart = nullptr;
    endElementNsSAX2Func buildEnd = nullptr;
};

StreamState* StateOf(void* parserContext)
{
    return static_cast<StreamState*>(static_cast<xmlParserCtxt*>(parserContext)->_private);
}

void GiveUpStreaming(xmlParserCtxt* parser, StreamState* state)
{
    state->needsWholeDocument = true;
    xmlStopParser(parser);
}

void OnStartElement(void* ctx, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri,
    int namespaceCount, const xmlChar** namespaces, int attributeCount, int defaultedCount,
    const xmlChar** attributes)
{
    auto* parser = static_cast<xmlParserCtxt*>(ctx);
    StreamState* state = StateOf(ctx);
    // A DTD may declare entities and defaults, another root means another format: both are
    // rare enough to read through the whole-document path with all its checks.
    if (parser->nodeNr == 0
        && (uri || std::strcmp(reinterpret_cast<const char*>(localName), "books") != 0
            || (parser->myDoc && parser->myDoc->intSubset))) {
        GiveUpStreaming(parser, state);
        return;
    }
    state->buildStart(ctx, localName, prefix, uri, namespaceCount, namespaces, attributeCount,
        defaultedCount, attributes);
}

void LoadTopLevelElement(xmlParserCtxt* parser, StreamState* state, const xmlNode* element)
{
    if (IsIndexElement(element, "options")) {
        if (state->optionsSeen)
            return;
        if (state->authorSeen) // the authors read so far used the wrong mask
            return GiveUpStreaming(parser, state);
        state->optionsSeen = true;
        state->content->options = ReadIndexOptions(element);
        state->reader.reset();
    } else if (IsIndexElement(element, "author")) {
        state->authorSeen = true;
        // After a failed record the rest is only parsed: a file that is not well-formed must
        // still be reported as such.
        if (!state->content->error.isEmpty())
            return;
        if (!state->reader)
            state->reader = std::make_unique<IndexReader>(*state->folder, state->content->options);
        if (auto author = state->reader->LoadAuthor(element, &state->content->error))
            state->content->authors.push_back(std::move(author));
    }
}

void OnEndElement(void* ctx, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri)
{
    auto* parser = static_cast<xmlParserCtxt*>(ctx);
    StreamState* state = StateOf(ctx);
    xmlNode* element = parser->node;
    const bool topLevel = parser->nodeNr == 2;
    state->buildEnd(ctx, localName, prefix, uri);
    if (!topLevel || !element)
        return;
    LoadTopLevelElement(parser, state, element);
    // The emptied element stays in place, so that the tree builder's view of the last child
    // is left as it expects.
    xmlFreeNodeList(element->children);
    element->children = element->last = nullptr;
    xmlFreePropList(element->properties);
    element->properties = nullptr;
}

} // namespace

IndexStreamResult StreamIndex(
    QByteArrayView utf8, const QString& folder, IndexContent* content, QString* reason)
{
    QByteArray storage;
    const QByteArrayView text = CleanUtf8Input(utf8, &storage);
    if (text.size() > INT_MAX)
        return IndexStreamResult::NeedsWholeDocument;
    EnsureLibxmlInitialised();
    xmlParserCtxt* parser = xmlCreateMemoryParserCtxt(text.data(), int(text.size()));
    if (!parser)
        return IndexStreamResult::NeedsWholeDocument;
    xmlCtxtUseOptions(parser, kXmlParseOptions | XML_PARSE_IGNORE_ENC);
    StreamState state;
    state.folder = &folder;
    state.content = content;
    state.buildStart = parser->sax->startElementNs;
    state.buildEnd = parser->sax->endElementNs;
    parser->_private = &state;
    parser->sax->serror = CollectFirstError;
    parser->sax->startElementNs = OnStartElement;
    parser->sax->endElementNs = OnEndElement;
    xmlParseDocument(parser);
    const bool wellFormed = parser->wellFormed;
    if (!wellFormed)
        *reason = state.first.isEmpty() ? ParseErrorText(parser->lastError) : state.first;
    if (parser->myDoc)
        xmlFreeDoc(parser->myDoc);
    xmlFreeParserCtxt(parser);
    if (state.needsWholeDocument)
        return IndexStreamResult::NeedsWholeDocument;
    return wellFormed ? IndexStreamResult::Read : IndexStreamResult::NotWellFormed;
}

IndexTextSink::IndexTextSink(std::function<bool(const QByteArray&)> consume)
    : consume_(std::move(consume))
{
    buffer_.reserve(kTextPiece + 4096);
}

void IndexTextSink::CloseStartTag()
{
    if (startTagOpen_) {
        buffer_ += QLatin1Char('>');
        startTagOpen_ = false;
    }
}

bool IndexTextSink::FlushIfFull()
{
    return buffer_.size() < kTextPiece || Finish();
}

bool IndexTextSink::Finish()
{
    if (buffer_.isEmpty())
        return true;
    const bool ok = consume_(buffer_.toUtf8());
    buffer_.resize(0);
    return ok;
}

bool IndexTextSink::StartElement(const char* name)
{
    CloseStartTag();
    buffer_ += QLatin1Char('<');
    buffer_ += QLatin1String(name);
    open_.push_back(name);
    startTagOpen_ = true;
    return true;
}

// Escapes as the document serialiser does: in attribute values also quotes, tabs and line
// feeds, so that they survive attribute-value normalisation.
void IndexTextSink::AppendEscaped(QStringView text, bool inAttribute)
{
    for (QChar c : text) {
        switch (c.unicode()) {
        case '<':
            buffer_ += QLatin1String("&lt;");
            continue;
        case '>':
            buffer_ += QLatin1String("&gt;");
            continue;
        case '&':
            buffer_ += QLatin1String("&amp;");
            continue;
        case '\r':
            buffer_ += QLatin1String("&#13;");
            continue;
        case '"':
            if (inAttribute) {
                buffer_ += QLatin1String("&quot;");
                continue;
            }
            break;
        case '\n':
            if (inAttribute) {
                buffer_ += QLatin1String("&#10;");
                continue;
            }
            break;
        case '\t':
            if (inAttribute) {
                buffer_ += QLatin1String("&#9;");
                continue;
            }
            break;
        default:
            break;
        }
        if (AllowedInXml(c.unicode()))
            buffer_ += c;
    }
}

bool IndexTextSink::Attribute(const char* name, QStringView value)
{
    buffer_ += QLatin1Char(' ');
    buffer_ += QLatin1String(name);
    buffer_ += QLatin1String("=\"");
    AppendEscaped(value, true);
    buffer_ += QLatin1Char('"');
    return true;
}

bool IndexTextSink::Text(QStringView text)
{
    if (text.isEmpty())
        return true;
    CloseStartTag();
    AppendEscaped(text, false);
    return FlushIfFull();
}

bool IndexTextSink::EndElement()
{
    if (startTagOpen_) {
        buffer_ += QLatin1String("/>");
        startTagOpen_ = false;
    } else {
        buffer_ += QLatin1String("</");
        buffer_ += QLatin1String(open_.back());
        buffer_ += QLatin1Char('>');
    }
    open_.pop_back();
    return FlushIfFull();
}

} // namespace lbv
