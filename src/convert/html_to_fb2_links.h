#pragma once
// What the links of a book's HTML pages tell before any page is written: which anchors are
// link targets (only those receive FB2 ids), which links are footnote references and which
// block holds each footnote's text. Anchors are named by keys "<page index>#<fragment>"; a
// page's own start has an empty fragment.
#include <QHash>
#include <QSet>
#include <QString>
#include <libxml/tree.h>
#include <memory>
#include <vector>

namespace lbv {

struct HtmlDocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using HtmlDocPtr = std::unique_ptr<xmlDoc, HtmlDocFree>;

struct HtmlSource {
    QString path; // absolute, cleaned
    HtmlDocPtr doc;
};

inline bool IsXmlElement(const xmlNode* node)
{
    return node && node->type == XML_ELEMENT_NODE;
}

// Lower-case name of an HTML element (libxml2's HTML parser lower-cases them already).
QString HtmlName(const xmlNode* node);
// The value of an attribute, or empty.
QString HtmlAttribute(const xmlNode* node, const char* name);
// The element's text with runs of white space made single blanks.
QString HtmlText(const xmlNode* node);

// Whether a file's extension names an HTML page (.html, .htm, .xhtml, .shtml).
bool IsHtmlPagePath(const QString& path);

// The file a link leads to when it names a local HTML page below `rootFolder`; empty
// otherwise. `fragment` receives the part after "#", percent-decoded.
QString LocalPageTarget(const QString& href, const QString& documentPath, const QString& rootFolder,
    QString* fragment = nullptr);

class HtmlLinkMap {
public:
    HtmlLinkMap(const std::vector<HtmlSource>& sources, const QString& rootFolder, bool findNotes);

    static QString AnchorKey(std::size_t page, const QString& fragment);
    // The key of the anchor `href` leads to inside the book, or empty for any other link.
    QString TargetKey(std::size_t page, const QString& href) const;

    bool IsTarget(const QString& key) const { return targets_.contains(key); }
    bool IsNote(const QString& key) const { return notes_.contains(key); }
    // The text of the first reference to a footnote ("1", "*").
    QString NoteTitle(const QString& key) const { return noteTitles_.value(key); }
    // The footnote key of a block that holds a footnote's text, or empty.
    QString NoteAt(const xmlNode* block) const { return noteBlocks_.value(block); }

private:
    void Scan(std::size_t page, const HtmlSource& source, bool findNotes,
        QHash<QString, const xmlNode*>& anchors);
    void PlaceNotes(const QHash<QString, const xmlNode*>& anchors);

    const std::vector<HtmlSource>& sources_;
    QString rootFolder_;
    QHash<QString, std::size_t> pages_; // path -> index
    QSet<QString> targets_;
    QSet<QString> notes_;
    QHash<QString, QString> noteTitles_;
    QHash<const xmlNode*, QString> noteBlocks_;
};

} // namespace lbv
