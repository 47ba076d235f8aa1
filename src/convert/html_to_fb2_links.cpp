#include "convert/html_to_fb2_links.h"

#include "text/utf.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace lbv {

namespace {

// Footnotes are longer than a reference and shorter than a chapter.
constexpr qsizetype kMaxNoteLength = 4000;
constexpr int kMaxNoteBlocks = 10;

bool IsHeading(const QString& name)
{
    return name.size() == 2 && name[0] == u'h' && name[1] >= u'1' && name[1] <= u'6';
}

// Blocks that can hold a footnote's text.
bool IsNoteContainer(const QString& name)
{
    static const QSet<QString> names {QStringLiteral("p"), QStringLiteral("div"),
        QStringLiteral("li"), QStringLiteral("dd"), QStringLiteral("aside"),
        QStringLiteral("section"), QStringLiteral("blockquote"), QStringLiteral("td"),
        QStringLiteral("footer")};
    return names.contains(name);
}

// The next element in document order below `top`, or null.
const xmlNode* NextElement(const xmlNode* node, const xmlNode* top)
{
    if (node->children) {
        for (const xmlNode* child = node->children; child; child = child->next)
            if (IsXmlElement(child))
                return child;
    }
    while (node && node != top) {
        for (const xmlNode* next = node->next; next; next = next->next)
            if (IsXmlElement(next))
                return next;
        node = node->parent;
    }
    return nullptr;
}

// "1", "[12]", "(3)", "*", "†": what a footnote reference says.
bool LooksLikeNoteReference(const xmlNode* link, const QString& text)
{
    static const QRegularExpression reference(
        QStringLiteral("^[\\[({]?\\s*(\\d{1,4}|\\*{1,3}|[†‡§]{1,2})\\s*[\\])}]?$"));
    if (text.isEmpty() || text.size() > 8)
        return false;
    if (reference.match(text).hasMatch())
        return true;
    const bool inSuperscript = link->parent && HtmlName(link->parent) == u"sup";
    const xmlNode* child = link->children;
    const bool holdsSuperscript = IsXmlElement(child) && !child->next && HtmlName(child) == u"sup";
    return (inSuperscript || holdsSuperscript) && text.size() <= 6;
}

QString StripBrackets(const QString& text)
{
    QString title = text;
    static const QRegularExpression brackets(QStringLiteral("^[\\[({]\\s*|\\s*[\\])}]$"));
    title.remove(brackets);
    return title;
}

} // namespace

QString HtmlName(const xmlNode* node)
{
    return node && node->name ? QString::fromLatin1(reinterpret_cast<const char*>(node->name))
                              : QString();
}

QString HtmlAttribute(const xmlNode* node, const char* name)
{
    xmlChar* value = xmlGetProp(node, BAD_CAST name);
    if (!value)
        return {};
    QString text = FromUtf8(value);
    xmlFree(value);
    return text;
}

QString HtmlText(const xmlNode* node)
{
    xmlChar* content = xmlNodeGetContent(node);
    QString text = FromUtf8(content).simplified();
    xmlFree(content);
    return text;
}

bool IsHtmlPagePath(const QString& path)
{
    static const QSet<QString> suffixes {QStringLiteral("html"), QStringLiteral("htm"),
        QStringLiteral("xhtml"), QStringLiteral("shtml")};
    return suffixes.contains(QFileInfo(path).suffix().toLower());
}

QString LocalPageTarget(
    const QString& href, const QString& documentPath, const QString& rootFolder, QString* fragment)
{
    if (href.isEmpty() || href.startsWith(u'#'))
        return {};
    const QUrl url(href, QUrl::TolerantMode);
    if (!url.isValid() || (!url.scheme().isEmpty() && !url.isLocalFile()))
        return {};
    const QString path = url.isLocalFile() ? url.toLocalFile() : url.path();
    if (path.isEmpty())
        return {};
    const QFileInfo target(QFileInfo(documentPath).dir(), path);
    if (!IsHtmlPagePath(path))
        return {};
    // The canonical path also resolves symbolic links that would lead out of the book's folder.
    const QString canonical = target.canonicalFilePath();
    if (canonical.isEmpty() || !canonical.startsWith(rootFolder + u'/') || !target.isFile())
        return {};
    if (fragment)
        *fragment = url.fragment(QUrl::FullyDecoded);
    return canonical;
}

HtmlLinkMap::HtmlLinkMap(
    const std::vector<HtmlSource>& sources, const QString& rootFolder, bool findNotes)
    : sources_(sources)
    , rootFolder_(rootFolder)
{
    for (std::size_t i = 0; i < sources.size(); ++i)
        pages_.insert(sources[i].path, i);
    QHash<QString, const xmlNode*> anchors;
    for (std::size_t i = 0; i < sources.size(); ++i)
        Scan(i, sources[i], findNotes, anchors);
    PlaceNotes(anchors);
}

QString HtmlLinkMap::AnchorKey(std::size_t page, const QString& fragment)
{
    return QString::number(page) + u'#' + fragment;
}

QString HtmlLinkMap::TargetKey(std::size_t page, const QString& href) const
{
    if (href.startsWith(u'#'))
        return AnchorKey(page, QUrl::fromPercentEncoding(href.mid(1).toUtf8()));
    QString fragment;
    const QString target = LocalPageTarget(href, sources_[page].path, rootFolder_, &fragment);
    const auto found = pages_.constFind(target);
    return found == pages_.constEnd() ? QString() : AnchorKey(*found, fragment);
}

void HtmlLinkMap::Scan(std::size_t page, const HtmlSource& source, bool findNotes,
    QHash<QString, const xmlNode*>& anchors)
{
    const xmlNode* root = xmlDocGetRootElement(source.doc.get());
    for (const xmlNode* node = root; node; node = NextElement(node, root)) {
        const bool isLink = node->name && xmlStrcmp(node->name, BAD_CAST "a") == 0;
        for (const char* attribute : {"id", "name"}) {
            if (attribute[0] == 'n' && !isLink)
                continue;
            const QString name = HtmlAttribute(node, attribute);
            if (!name.isEmpty())
                anchors.insert(AnchorKey(page, name), node); // the first anchor of a name wins
        }
        if (!isLink)
            continue;
        const QString key = TargetKey(page, HtmlAttribute(node, "href"));
        if (key.isEmpty())
            continue;
        targets_.insert(key);
        if (!findNotes || notes_.contains(key))
            continue;
        const QString text = HtmlText(node);
        if (LooksLikeNoteReference(node, text)) {
            notes_.insert(key);
            noteTitles_.insert(key, StripBrackets(text));
        }
    }
}

void HtmlLinkMap::PlaceNotes(const QHash<QString, const xmlNode*>& anchors)
{
    // A note's text is the block its anchor names or sits in, or, for an empty anchor standing
    // before it, the block that follows.
    const auto noteBlock = [](const xmlNode* anchor) -> const xmlNode* {
        if (IsNoteContainer(HtmlName(anchor)))
            return anchor;
        if (HtmlText(anchor).isEmpty()) {
            for (const xmlNode* next = anchor->next; next; next = next->next) {
                if (IsXmlElement(next))
                    return IsNoteContainer(HtmlName(next)) ? next : nullptr;
                if (!HtmlText(next).isEmpty())
                    break;
            }
        }
        for (const xmlNode* up = anchor->parent; IsXmlElement(up); up = up->parent) {
            const QString name = HtmlName(up);
            if (IsHeading(name))
                return nullptr; // an anchor in a heading marks a chapter
            if (IsNoteContainer(name))
                return up;
        }
        return nullptr;
    };
    // Only a small block without headings that doesn't itself refer to the note can be moved
    // into the notes without taking the book's text with it.
    const auto movable = [&](const xmlNode* block, const QString& key) {
        if (HtmlText(block).size() > kMaxNoteLength)
            return false;
        int blocks = 0;
        for (const xmlNode* node = NextElement(block, block); node;
             node = NextElement(node, block)) {
            if (IsHeading(HtmlName(node)))
                return false;
            if (IsNoteContainer(HtmlName(node)) && ++blocks > kMaxNoteBlocks)
                return false;
            if (HtmlName(node) != u"a")
                continue;
            // The block is on the page its anchor's key names.
            const std::size_t page = key.left(key.indexOf(u'#')).toULongLong();
            if (TargetKey(page, HtmlAttribute(node, "href")) == key)
                return false;
        }
        return !noteBlocks_.contains(block);
    };
    for (const QString& key : QSet<QString>(notes_)) {
        const xmlNode* anchor = anchors.value(key);
        const xmlNode* block = anchor ? noteBlock(anchor) : nullptr;
        if (block && movable(block, key))
            noteBlocks_.insert(block, key);
        else
            notes_.remove(key);
    }
}

} // namespace lbv
