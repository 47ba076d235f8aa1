#pragma once
// Reads and writes an FB2 book's header by XPath for the header editor's parameter sheet, and
// remembers what the edits touched: the first author's names, the title, the genre, and whether
// the document was written at all.
//
// XPaths name FB2 elements with the prefix "fb" (the document's SelectionNamespaces must bind
// it). Besides plain XPaths the accessor understands an element path followed by "@" and an
// attribute name (".../fb:sequence@name"), and keeps the annotation and the history as
// multi-paragraph texts whose fb:p paragraphs are joined by "\r\n".
#include <QString>
#include <QStringView>

namespace lbv {

class XmlDocument;

// What Get returns for a node that does not exist; setting it removes the node.
inline const QString kNotSetValue = QStringLiteral("-not set-");

inline constexpr QStringView kFirstNameXPath
    = u"/fb:FictionBook/fb:description/fb:title-info/fb:author[1]/fb:first-name";
inline constexpr QStringView kMiddleNameXPath
    = u"/fb:FictionBook/fb:description/fb:title-info/fb:author[1]/fb:middle-name";
inline constexpr QStringView kLastNameXPath
    = u"/fb:FictionBook/fb:description/fb:title-info/fb:author[1]/fb:last-name";
inline constexpr QStringView kBookTitleXPath
    = u"/fb:FictionBook/fb:description/fb:title-info/fb:book-title";
inline constexpr QStringView kGenreXPath = u"/fb:FictionBook/fb:description/fb:title-info/fb:genre";
inline constexpr QStringView kAnnotationXPath
    = u"/fb:FictionBook/fb:description/fb:title-info/fb:annotation";
inline constexpr QStringView kHistoryXPath
    = u"/fb:FictionBook/fb:description/fb:document-info/fb:history";

// Works on a document it does not own, which must outlive it. All flags start clear.
class HeaderAccessor {
public:
    explicit HeaderAccessor(XmlDocument& document)
        : document_(document)
    {
    }

    bool Exists(QStringView xpath) const;
    // The node's text (for the annotation and history the paragraphs joined by "\r\n"; for
    // "element@name" the attribute's value), or `defaultValue` when there is no such node.
    QString Get(QStringView xpath, const QString& defaultValue) const;
    // Notes a change of the first author's names, the title or the genre, then writes: an empty
    // value or "-not set-" removes the node, anything else is stored, creating the missing
    // elements along the path. False when the path cannot be created.
    bool Set(QStringView xpath, const QString& value);
    // Removes every node the XPath selects (for "element@name", that attribute).
    void Remove(QStringView xpath);

    bool AuthorChanged() const { return authorChanged_; }
    bool GenreChanged() const { return genreChanged_; }
    bool TitleChanged() const { return titleChanged_; }
    bool DocumentWritten() const { return documentWritten_; }
    // Set by a sheet that could not apply everything the user entered: the edited document must
    // then not be written back, whatever else happened.
    bool WritingBlocked() const { return writingBlocked_; }
    void BlockWriting() { writingBlocked_ = true; }

private:
    bool SetParagraphs(QStringView xpath, const QString& value);
    bool SetAttribute(QStringView elementPath, QStringView name, const QString& value);

    XmlDocument& document_;
    bool authorChanged_ = false;
    bool genreChanged_ = false;
    bool titleChanged_ = false;
    bool documentWritten_ = false;
    bool writingBlocked_ = false;
};

} // namespace lbv
