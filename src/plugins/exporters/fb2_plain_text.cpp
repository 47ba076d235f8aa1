#include "fb2_plain_text.h"

#include <QStringList>
#include <cstring>

namespace lbv {
namespace {

// FB2 elements are matched by local name, so that books with or without the FictionBook
// namespace read alike.
bool Is(const xmlNode* node, const char* name)
{
    return node && node->type == XML_ELEMENT_NODE
        && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

const xmlNode* Child(const xmlNode* parent, const char* name)
{
    for (const xmlNode* child = parent ? parent->children : nullptr; child; child = child->next)
        if (Is(child, name))
            return child;
    return nullptr;
}

// The text of an inline run with its white space collapsed, as a reader shows it.
QString InlineText(const xmlNode* node)
{
    xmlChar* content = xmlNodeGetContent(node);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(content)).simplified();
    xmlFree(content);
    return text;
}

class TextWriter {
public:
    void Line(const QString& text)
    {
        if (!text.isEmpty())
            lines_ << text;
    }
    // One blank line between blocks, however many blocks end at once.
    void Break()
    {
        if (!lines_.isEmpty() && !lines_.last().isEmpty())
            lines_ << QString();
    }
    QString Text() const
    {
        QString text = lines_.join(u'\n');
        if (!text.isEmpty() && !text.endsWith(u'\n'))
            text += u'\n';
        return text;
    }

    void Block(const xmlNode* element)
    {
        for (const xmlNode* child = element->children; child; child = child->next) {
            if (child->type != XML_ELEMENT_NODE)
                continue;
            if (Is(child, "p") || Is(child, "v") || Is(child, "subtitle")
                || Is(child, "text-author")) {
                Line(InlineText(child));
            } else if (Is(child, "empty-line")) {
                lines_ << QString();
            } else if (Is(child, "table")) {
                Table(child);
            } else if (Is(child, "title") || Is(child, "epigraph") || Is(child, "stanza")
                || Is(child, "section") || Is(child, "poem") || Is(child, "cite")) {
                Break();
                Block(child);
                Break();
            }
            // Images and binary data have no text.
        }
    }

private:
    void Table(const xmlNode* table)
    {
        Break();
        for (const xmlNode* row = table->children; row; row = row->next) {
            if (!Is(row, "tr"))
                continue;
            QStringList cells;
            for (const xmlNode* cell = row->children; cell; cell = cell->next)
                if (Is(cell, "td") || Is(cell, "th"))
                    cells << InlineText(cell);
            Line(cells.join(u'\t'));
        }
        Break();
    }

    QStringList lines_;
};

QString AuthorName(const xmlNode* author)
{
    QStringList parts;
    for (const char* part : {"first-name", "middle-name", "last-name"})
        if (const QString text = InlineText(Child(author, part)); !text.isEmpty())
            parts << text;
    if (parts.isEmpty())
        parts << InlineText(Child(author, "nickname"));
    return parts.join(u' ');
}

} // namespace

QString Fb2PlainText(const xmlDoc* book)
{
    const xmlNode* root = book ? xmlDocGetRootElement(book) : nullptr;
    if (!root)
        return {};
    TextWriter writer;
    const xmlNode* titleInfo = Child(Child(root, "description"), "title-info");
    QStringList authors;
    for (const xmlNode* child = titleInfo ? titleInfo->children : nullptr; child;
         child = child->next)
        if (Is(child, "author"))
            authors << AuthorName(child);
    authors.removeAll(QString());
    writer.Line(authors.join(QStringLiteral(", ")));
    writer.Line(InlineText(Child(titleInfo, "book-title")));
    writer.Break();
    for (const xmlNode* body = root->children; body; body = body->next) {
        if (Is(body, "body")) {
            writer.Block(body);
            writer.Break();
        }
    }
    return writer.Text();
}

} // namespace lbv
