#pragma once
// Parsing internals shared by the XML document layer and the index reader: the parse options,
// error collection, input cleaning, and the checks run on a freshly parsed document.
#include <libxml/parser.h>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lbv {

// Parse options for every document: never XML_PARSE_NOENT (would substitute and load external
// entities), XML_PARSE_DTDLOAD, XML_PARSE_DTDVALID or XML_PARSE_HUGE (would lift libxml2's
// entity amplification limits).
inline constexpr int kXmlParseOptions = XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_NOERROR
    | XML_PARSE_NOWARNING | XML_PARSE_COMPACT;

// Sets up libxml2's global state, once, before the first parse on any thread.
void EnsureLibxmlInitialised();

// The first error of a parse: later ones are mostly its consequences. While CollectFirstError
// is a parser context's structured error handler, the context's _private must point at one.
struct ParseErrorLog {
    QString first;
};
void CollectFirstError(void* parserContext, xmlError* error);
// libxml2's message with its position: "<message> (line L, column C)".
QString ParseErrorText(const xmlError& error);

// Whether XML 1.0 can carry the character: not the control characters other than tab, LF and
// CR, nor U+FFFE and U+FFFF. Writers drop the others rather than make a file that won't load.
inline bool AllowedInXml(char16_t c)
{
    return (c >= 0x20 || c == '\t' || c == '\n' || c == '\r') && c != 0xFFFE && c != 0xFFFF;
}

// UTF-8 input as text handed over in memory is read: up to the first NUL, with invalid
// sequences replaced by U+FFFD (then held in `storage`).
QByteArrayView CleanUtf8Input(QByteArrayView bytes, QByteArray* storage);

// Refuses a document whose entity references would expand to far more than the text it was
// parsed from (the "quadratic blow-up" that libxml2's own limits let through when entities are
// not substituted). Returns the reason, or an empty string when the document is acceptable.
QString CheckEntityExpansion(const xmlDoc* doc, qsizetype inputSize);

// Validates the document against its internal DTD subset only (external subsets are never
// loaded). Returns the first validity error, or an empty string.
QString ValidateAgainstInternalDtd(xmlDoc* doc);

} // namespace lbv
