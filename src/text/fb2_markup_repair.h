#pragma once
// Recovery of FB2 books whose markup is damaged, for use only after a strict parse has failed.
// The text is rewritten as well-formed XML in one pass, keeping every piece of text that can be
// kept: a raw "&" becomes "&amp;", HTML named entities become their characters, undeclared
// namespace prefixes get a declaration ("l" and "xlink" the XLink namespace), duplicate
// attributes and declarations are dropped, end tags close what they name (closing the inline
// elements left open inside), stray end tags are dropped, a paragraph still open when the next
// paragraph or section starts is closed, and whatever is open at the end of the text is closed.
// Characters XML cannot carry are dropped; so are comments, processing instructions and DTDs
// (unread), and nothing outside the given text is ever consulted.
//
// Time and memory are linear in the text: the result is at most a few times its size, and
// nesting is held to a depth both XML parsers accept.
#include <QByteArray>
#include <QStringView>

namespace lbv {

// The repaired document as UTF-8 with an XML declaration naming UTF-8; empty when the text holds
// no element at all.
QByteArray RepairFb2Markup(QStringView text);

} // namespace lbv
