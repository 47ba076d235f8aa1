#pragma once
// Builds a FictionBook 2.0 document in memory for the built-in converters: every element in the
// FB2 namespace (so XPaths with the "fb" prefix find them before the text is ever written),
// links and images through the xlink namespace, text stripped of the characters XML cannot
// carry. Block elements are followed by a line break so the written book is readable.
#include "catalog/xml_document.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <libxml/tree.h>

namespace lbv {

inline constexpr char kXlinkNamespace[] = "http://www.w3.org/1999/xlink";

struct Fb2Author {
    QString firstName;
    QString middleName;
    QString lastName;
    QString nickname;

    bool IsEmpty() const;
};

// The title-info a converter found. No authors means no <author> element: the import then
// rejects the book with its "can't find author name" message. The genre is left for the import
// to fill ("<genre></genre>").
struct Fb2TitleInfo {
    QList<Fb2Author> authors;
    QString title;
    QStringList annotation; // paragraphs
    QString keywords;
    QString date;
    QString lang;
};

class Fb2Builder {
public:
    // A <FictionBook> root holding an empty <description> and one <body>; null Body() only when
    // memory runs out.
    Fb2Builder();
    ~Fb2Builder();
    Fb2Builder(const Fb2Builder&) = delete;
    Fb2Builder& operator=(const Fb2Builder&) = delete;

    xmlNode* Body() const { return body_; }
    // A second body named "notes", made on first use, for footnotes.
    xmlNode* NotesBody();

    // An inline element (emphasis, a, ...) appended to `parent`.
    xmlNode* AppendInline(xmlNode* parent, const char* name);
    // A block element (section, p, title, ...) appended to `parent`, then a line break.
    xmlNode* AppendBlock(xmlNode* parent, const char* name);
    // A block element holding `text`.
    xmlNode* AppendTextBlock(xmlNode* parent, const char* name, QStringView text);
    // A text node appended to `parent` (merged into a preceding text node).
    void AppendText(xmlNode* parent, QStringView text);
    // Sets xlink:href, as <a> and <image> carry their targets.
    void SetHref(xmlNode* element, QStringView href);
    // Sets a plain attribute, stripped like text.
    void SetAttribute(xmlNode* element, const char* name, QStringView value);
    // Gives `element` an id made from `wanted`: a valid XML name not used before.
    QString SetUniqueId(xmlNode* element, QStringView wanted);

    // Stores an image for the <binary> section and returns its id ("#" + id is the href).
    QString AddBinary(QStringView wantedId, const char* contentType, const QByteArray& data);

    // Writes the description and hands the document over; the builder is empty afterwards.
    XmlDocumentPtr Finish(const Fb2TitleInfo& info);

private:
    QString UniqueId(QStringView wanted);
    xmlNode* NewElement(const char* name, xmlNs* ns = nullptr);
    void AppendAuthor(xmlNode* parent, const Fb2Author& author);

    xmlDoc* doc_ = nullptr;
    xmlNode* root_ = nullptr;
    xmlNode* description_ = nullptr;
    xmlNode* body_ = nullptr;
    xmlNode* notesBody_ = nullptr;
    xmlNs* fb_ = nullptr;
    xmlNs* xlink_ = nullptr;
    QSet<QString> ids_;
    QHash<QString, int> nextSuffix_; // id -> the first suffix not yet tried for it
    QList<xmlNode*> binaries_; // not yet linked: they go after the bodies
};

// Text as XML can carry it: control characters other than tab and line breaks, and U+FFFE and
// U+FFFF, removed.
QByteArray XmlTextUtf8(QStringView text);

} // namespace lbv
