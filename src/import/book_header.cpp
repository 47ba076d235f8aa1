#include "import/book_header.h"

#include "convert/converter_title_info.h"
#include "import/extra_columns.h"
#include "import/fb_xpath.h"
#include "import/stored_book.h"
#include "text/book_encoding.h"
#include "text/code_pages.h"
#include "text/messages.h"

#include <QFileInfo>
#include <limits>
#include <optional>

namespace lbv {
namespace {

bool IsNameStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool IsXmlName(QStringView name)
{
    if (name.isEmpty() || !IsNameStart(name.front()))
        return false;
    for (const QChar c : name)
        if (!IsNameStart(c) && !c.isDigit() && c != u'-' && c != u'.' && c != u':')
            return false;
    return true;
}

QString TextOf(const xmlNode* context, QStringView xpath)
{
    return NodeText(SelectFirstFbNode(context, xpath));
}

// The value an extra column names: an XPath, or an element path followed by "@" and the name of
// one of the element's attributes.
std::optional<QString> ExtraValue(const XmlDocument& document, QStringView xpath)
{
    const qsizetype at = xpath.lastIndexOf(u'@');
    if (at > 0 && xpath[at - 1] != u'/' && xpath[at - 1] != u'[' && xpath[at - 1] != u'('
        && IsXmlName(xpath.sliced(at + 1))) {
        const xmlNode* element = SelectFirstFbNode(document.Node(), xpath.first(at));
        if (!element || element->type != XML_ELEMENT_NODE)
            return std::nullopt;
        return AttributeText(element, xpath.sliced(at + 1));
    }
    const xmlNode* node = SelectFirstFbNode(document.Node(), xpath);
    return node ? std::optional<QString>(NodeText(node)) : std::nullopt;
}

ExtraFields CaptureExtraFields(const XmlDocument& document)
{
    ExtraFields fields;
    const std::shared_ptr<const ExtraColumnList> columns = ExtraColumns();
    for (const ExtraColumn& column : *columns) {
        const std::optional<QString> value = ExtraValue(document, column.xpath);
        if (value && !value->isEmpty())
            fields.append({column.name, *value});
    }
    return fields;
}

// "2004-05-01" gives 2004; text that does not start with a digit gives 0.
int LeadingNumber(QStringView text)
{
    qint64 number = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        number
            = std::min<qint64>(number * 10 + (c.unicode() - u'0'), std::numeric_limits<int>::max());
    }
    return int(number);
}

int FormatOfExtension(const QString& path)
{
    if (path.endsWith(u".lit", Qt::CaseInsensitive))
        return FormatLit;
    if (path.endsWith(u".pdb", Qt::CaseInsensitive))
        return FormatPdb;
    if (path.endsWith(u".txt", Qt::CaseInsensitive))
        return FormatTxt;
    if (path.endsWith(u".html", Qt::CaseInsensitive) || path.endsWith(u".htm", Qt::CaseInsensitive))
        return FormatHtml;
    for (const char16_t* extension : {u".rtf", u".md", u".markdown"})
        if (path.endsWith(extension, Qt::CaseInsensitive))
            return FormatOtherDocument;
    return IsPackedDocument(path) ? FormatOtherDocument : FormatUnknown;
}

constexpr char16_t kNoBodyFound[] = u"Element <body> is not found";
// A Palm database starts with its NUL-padded name.
constexpr qsizetype kPdbNameLength = 32;

QString PdbDatabaseName(QByteArrayView bytes)
{
    QByteArrayView name = bytes.first(std::min(bytes.size(), kPdbNameLength));
    const qsizetype end = name.indexOf('\0');
    if (end >= 0)
        name = name.first(end);
    const QString text = ConvertToUnicode(DetectCodePageIndex(name), name).simplified();
    for (const QChar c : text)
        if (!c.isPrint())
            return {};
    return text;
}

} // namespace

bool IsPackedDocument(const QString& path)
{
    for (const char16_t* extension : {u".epub", u".docx", u".odt"})
        if (path.endsWith(extension, Qt::CaseInsensitive))
            return true;
    return false;
}

bool CBookHeader::LoadFromBytes(QByteArrayView bytes, QString* error)
{
    const QString text = DecodeBookBytes(bytes, &encoding);
    bool looksLikeFb2 = false;
    QString reason;
    if (ParseHeaderText(text, &looksLikeFb2, &reason))
        return true;
    // An archive member is inflated whole to be read further, so only one of a sane size is.
    const bool readable = compression == CompressionNone || fileSize <= kLargestBookFile;
    if (looksLikeFb2 && reason == QStringView(kNoBodyFound) && bytes.size() < fileSize
        && bytes.size() < kLongestFb2Header && readable) {
        QByteArray longer;
        QString readError;
        if (ReadStoredBookPrefix(file, compression, kLongestFb2Header, &longer, &readError)
            && longer.size() > bytes.size())
            return LoadFromBytes(longer, error);
    }
    if (looksLikeFb2) {
        *error = MessageText(Msg::LooksLikeBrokenFb2).arg(file, reason);
        return false;
    }
    format = FormatOfExtension(file);
    if (format != FormatUnknown) {
        firstName.clear();
        lastName.clear();
        title.clear();
        genre.clear();
        extras.clear();
        if (format == FormatLit || format == FormatPdb)
            NamesFromFile(bytes);
        return true;
    }
    *error = MessageText(Msg::CantDetectFileType) + file;
    return false;
}

bool CBookHeader::ParseHeaderText(const QString& text, bool* looksLikeFb2, QString* error)
{
    *looksLikeFb2 = false;
    QStringView view(text);
    if (view.startsWith(QChar(0xFEFF)))
        view = view.sliced(1);
    // A declaration is optional in XML, and many FB2 files start right with <FictionBook>; but
    // anything before the first tag (a blank line, a text file) is no XML document.
    if (!view.startsWith(u'<')) {
        *error = QStringLiteral("Not an XML file");
        return false;
    }
    const qsizetype start = view.indexOf(u"<FictionBook");
    if (start < 0) {
        *error = QStringLiteral("Element <FictionBook> is not found");
        return false;
    }
    *looksLikeFb2 = true;
    const qsizetype body = view.indexOf(u"<body", start);
    if (body < 0) {
        *error = QString::fromUtf16(kNoBodyFound);
        return false;
    }
    format = FormatFb2;
    headerText = view.sliced(start, body - start) + u"</FictionBook>";
    XmlDocumentPtr document = LoadFb2Text(headerText, error, &markupRepair);
    return document && ReadTitleInfo(*document, error);
}

void CBookHeader::NamesFromFile(QByteArrayView bytes)
{
    QString archive;
    QString member;
    SplitMemberPath(file, &archive, &member);
    Fb2Author author;
    if (AuthorAndTitleFromFileName(member.isEmpty() ? archive : member, &author, &title)) {
        firstName = author.firstName;
        lastName = author.lastName;
    }
    if (format == FormatPdb && title.isEmpty())
        title = PdbDatabaseName(bytes);
}

bool CBookHeader::ReadTitleInfo(XmlDocument& document, QString* error)
{
    firstName.clear();
    lastName.clear();
    title.clear();
    genre.clear();
    year = 0;
    extras.clear();
    document.SetSelectionNamespaces(FictionBookSelectionNamespaces(document.Doc()));
    const xmlNode* titleInfo
        = SelectFirstFbNode(document.Node(), u"/fb:FictionBook/fb:description/fb:title-info");
    if (!titleInfo) {
        *error = QStringLiteral("Can't find <title-info> tag in ") + file;
        return false;
    }
    if (const xmlNode* author = SelectFirstFbNode(titleInfo, u"fb:author")) {
        firstName = TextOf(author, u"fb:first-name");
        lastName = TextOf(author, u"fb:last-name");
    }
    title = TextOf(titleInfo, u"fb:book-title");
    year = LeadingNumber(TextOf(titleInfo, u"fb:date"));
    genre = TextOf(titleInfo, u"fb:genre");
    extras = CaptureExtraFields(document);

    if (firstName.isEmpty() || lastName.isEmpty()) {
        *error = MessageText(Msg::Fb2NoAuthorName) + file;
        return false;
    }
    if (title.isEmpty()) {
        *error = MessageText(Msg::Fb2NoBookTitle) + file;
        return false;
    }
    return true;
}

} // namespace lbv
