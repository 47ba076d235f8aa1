#include "catalog/xml_parse_checks.h"

#include "text/utf.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <libxml/hash.h>
#include <libxml/valid.h>
#include <vector>

namespace lbv {
namespace {

// Expanded text and nodes allowed per byte of input, with a floor for small documents.
constexpr qint64 kExpansionFactor = 16;
constexpr qint64 kMinimumExpansionBudget = qint64(1) << 20;

qint64 ContentLength(const xmlChar* content)
{
    return content ? qint64(std::strlen(reinterpret_cast<const char*>(content))) : 0;
}

void CollectFirstValidityError(void* userData, const char* format, ...)
{
    auto* message = static_cast<QString*>(userData);
    if (!message->isEmpty())
        return;
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    *message = FromUtf8(buffer).trimmed();
}

void IgnoreValidityWarning(void*, const char*, ...)
{
}

} // namespace

void EnsureLibxmlInitialised()
{
    static const bool initialised = [] {
        xmlInitParser();
        return true;
    }();
    (void)initialised;
}

QString ParseErrorText(const xmlError& error)
{
    QString message = FromUtf8(error.message).trimmed();
    if (!message.isEmpty() && error.line > 0)
        message += QStringLiteral(" (line %1, column %2)").arg(error.line).arg(error.int2);
    return message;
}

void CollectFirstError(void* parserContext, xmlError* error)
{
    auto* log = static_cast<ParseErrorLog*>(static_cast<xmlParserCtxt*>(parserContext)->_private);
    if (log->first.isEmpty() && error && error->level >= XML_ERR_ERROR)
        log->first = ParseErrorText(*error);
}

QByteArrayView CleanUtf8Input(QByteArrayView bytes, QByteArray* storage)
{
    if (const void* nul = std::memchr(bytes.data(), 0, std::size_t(bytes.size())))
        bytes = bytes.first(static_cast<const char*>(nul) - bytes.data());
    if (IsValidUtf8(bytes.data(), bytes.size()))
        return bytes;
    *storage = QString::fromUtf8(bytes).toUtf8();
    return *storage;
}

QString CheckEntityExpansion(const xmlDoc* doc, qsizetype inputSize)
{
    const xmlDtd* dtd = doc->intSubset;
    if (!dtd || !dtd->entities || xmlHashSize(static_cast<xmlHashTable*>(dtd->entities)) <= 0)
        return {};
    const qint64 budget = std::max(kMinimumExpansionBudget, kExpansionFactor * qint64(inputSize));
    qint64 used = 0;
    // Walks the tree as a reader of its text would, stepping into every entity reference.
    std::vector<const xmlNode*> pending;
    for (const xmlNode* child = doc->children; child; child = child->next)
        pending.push_back(child);
    while (!pending.empty()) {
        const xmlNode* node = pending.back();
        pending.pop_back();
        used += 1;
        if (node->type == XML_ENTITY_REF_NODE) {
            // Its only child is the entity declaration, whose siblings belong to the DTD.
            if (node->children)
                pending.push_back(node->children);
        } else if (node->type == XML_ENTITY_DECL) {
            const auto* entity = reinterpret_cast<const xmlEntity*>(node);
            if (!entity->children)
                used += ContentLength(entity->content);
            for (const xmlNode* child = entity->children; child; child = child->next)
                pending.push_back(child);
        } else if (node->type != XML_DTD_NODE) {
            used += ContentLength(node->content);
            if (node->type == XML_ELEMENT_NODE)
                for (const xmlAttr* a = node->properties; a; a = a->next)
                    pending.push_back(reinterpret_cast<const xmlNode*>(a));
            for (const xmlNode* child = node->children; child; child = child->next)
                pending.push_back(child);
        }
        if (used > budget)
            return QStringLiteral("Entity references expand to more text than allowed");
    }
    return {};
}

QString ValidateAgainstInternalDtd(xmlDoc* doc)
{
    if (!doc->intSubset)
        return {};
    xmlValidCtxt* context = xmlNewValidCtxt();
    if (!context)
        return QStringLiteral("Out of memory");
    QString message;
    context->userData = &message;
    context->error = CollectFirstValidityError;
    context->warning = IgnoreValidityWarning;
    const bool valid = xmlValidateDtd(context, doc, doc->intSubset) == 1;
    xmlFreeValidCtxt(context);
    if (valid)
        return {};
    return message.isEmpty() ? QStringLiteral("The document is not valid") : message;
}

} // namespace lbv
