#include "convert/converter_fb2_builder.h"

#include <QDate>
#include <QUuid>
#include <algorithm>

namespace lbv {

namespace {

bool XmlAllows(char16_t c)
{
    return (c >= 0x20 || c == '\t' || c == '\n' || c == '\r') && c != 0xFFFE && c != 0xFFFF;
}

bool IsIdStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool IsIdChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.';
}

} // namespace

QByteArray XmlTextUtf8(QStringView text)
{
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return XmlAllows(c.unicode()); }))
        return text.toUtf8();
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text)
        if (XmlAllows(c.unicode()))
            clean.append(c);
    return clean.toUtf8();
}

bool Fb2Author::IsEmpty() const
{
    return firstName.isEmpty() && middleName.isEmpty() && lastName.isEmpty() && nickname.isEmpty();
}

Fb2Builder::Fb2Builder()
    : doc_(xmlNewDoc(BAD_CAST "1.0"))
{
    if (!doc_)
        return;
    root_ = xmlNewDocNode(doc_, nullptr, BAD_CAST "FictionBook", nullptr);
    if (!root_)
        return;
    xmlDocSetRootElement(doc_, root_);
    fb_ = xmlNewNs(root_, BAD_CAST kFictionBookNamespace, nullptr);
    xlink_ = xmlNewNs(root_, BAD_CAST kXlinkNamespace, BAD_CAST "l");
    xmlSetNs(root_, fb_);
    AppendText(root_, u"\n");
    description_ = AppendBlock(root_, "description");
    body_ = AppendBlock(root_, "body");
}

Fb2Builder::~Fb2Builder()
{
    for (xmlNode* binary : binaries_)
        xmlFreeNode(binary);
    if (doc_)
        xmlFreeDoc(doc_);
}

xmlNode* Fb2Builder::NotesBody()
{
    if (!notesBody_) {
        notesBody_ = AppendBlock(root_, "body");
        if (notesBody_)
            xmlSetProp(notesBody_, BAD_CAST "name", BAD_CAST "notes");
    }
    return notesBody_;
}

xmlNode* Fb2Builder::NewElement(const char* name, xmlNs* ns)
{
    return doc_ ? xmlNewDocNode(doc_, ns ? ns : fb_, BAD_CAST name, nullptr) : nullptr;
}

xmlNode* Fb2Builder::AppendInline(xmlNode* parent, const char* name)
{
    xmlNode* element = parent ? NewElement(name) : nullptr;
    if (element)
        xmlAddChild(parent, element);
    return element;
}

xmlNode* Fb2Builder::AppendBlock(xmlNode* parent, const char* name)
{
    xmlNode* element = AppendInline(parent, name);
    if (element)
        AppendText(parent, u"\n");
    return element;
}

xmlNode* Fb2Builder::AppendTextBlock(xmlNode* parent, const char* name, QStringView text)
{
    xmlNode* element = AppendBlock(parent, name);
    if (element)
        AppendText(element, text);
    return element;
}

void Fb2Builder::AppendText(xmlNode* parent, QStringView text)
{
    if (!parent || text.isEmpty())
        return;
    const QByteArray bytes = XmlTextUtf8(text);
    if (parent->last && parent->last->type == XML_TEXT_NODE) {
        xmlNodeAddContentLen(parent->last, BAD_CAST bytes.constData(), int(bytes.size()));
        return;
    }
    if (xmlNode* node = xmlNewDocTextLen(doc_, BAD_CAST bytes.constData(), int(bytes.size())))
        xmlAddChild(parent, node);
}

void Fb2Builder::SetHref(xmlNode* element, QStringView href)
{
    if (element)
        xmlSetNsProp(element, xlink_, BAD_CAST "href", BAD_CAST XmlTextUtf8(href).constData());
}

void Fb2Builder::SetAttribute(xmlNode* element, const char* name, QStringView value)
{
    if (element)
        xmlSetProp(element, BAD_CAST name, BAD_CAST XmlTextUtf8(value).constData());
}

QString Fb2Builder::UniqueId(QStringView wanted)
{
    QString id;
    id.reserve(wanted.size() + 3);
    for (QChar c : wanted)
        id.append(IsIdChar(c) ? c : u'_');
    if (id.isEmpty() || !IsIdStart(id.front()))
        id.prepend(u"id_");
    QString unique = id;
    // Counting on from the last suffix this id got keeps many equal wishes linear.
    int& suffix = nextSuffix_[id];
    for (int n = std::max(suffix, 2); ids_.contains(unique); ++n) {
        unique = id + u'_' + QString::number(n);
        suffix = n + 1;
    }
    ids_.insert(unique);
    return unique;
}

QString Fb2Builder::SetUniqueId(xmlNode* element, QStringView wanted)
{
    const QString id = UniqueId(wanted);
    SetAttribute(element, "id", id);
    return id;
}

QString Fb2Builder::AddBinary(QStringView wantedId, const char* contentType, const QByteArray& data)
{
    xmlNode* binary = NewElement("binary");
    if (!binary)
        return {};
    const QString id = SetUniqueId(binary, wantedId);
    xmlSetProp(binary, BAD_CAST "content-type", BAD_CAST contentType);
    const QByteArray base64 = data.toBase64();
    if (xmlNode* text = xmlNewDocTextLen(doc_, BAD_CAST base64.constData(), int(base64.size())))
        xmlAddChild(binary, text);
    binaries_.append(binary);
    return id;
}

void Fb2Builder::AppendAuthor(xmlNode* parent, const Fb2Author& author)
{
    xmlNode* element = AppendBlock(parent, "author");
    const auto part = [&](const char* name, const QString& text) {
        if (!text.isEmpty())
            AppendTextBlock(element, name, text);
    };
    part("first-name", author.firstName);
    part("middle-name", author.middleName);
    part("last-name", author.lastName);
    part("nickname", author.nickname);
}

XmlDocumentPtr Fb2Builder::Finish(const Fb2TitleInfo& info)
{
    if (!body_)
        return nullptr;
    xmlNode* titleInfo = AppendBlock(description_, "title-info");
    // An empty text child makes the element serialise as "<genre></genre>", the form the
    // import replaces with its default genre.
    xmlNode* genre = AppendBlock(titleInfo, "genre");
    if (xmlNode* empty = xmlNewDocText(doc_, BAD_CAST ""))
        xmlAddChild(genre, empty);
    for (const Fb2Author& author : info.authors)
        if (!author.IsEmpty())
            AppendAuthor(titleInfo, author);
    AppendTextBlock(titleInfo, "book-title", info.title);
    if (!info.annotation.isEmpty()) {
        xmlNode* annotation = AppendBlock(titleInfo, "annotation");
        for (const QString& paragraph : info.annotation)
            AppendTextBlock(annotation, "p", paragraph);
    }
    if (!info.keywords.isEmpty())
        AppendTextBlock(titleInfo, "keywords", info.keywords);
    if (!info.date.isEmpty())
        AppendTextBlock(titleInfo, "date", info.date);
    AppendTextBlock(titleInfo, "lang", info.lang.isEmpty() ? QStringLiteral("en") : info.lang);

    xmlNode* documentInfo = AppendBlock(description_, "document-info");
    AppendAuthor(documentInfo, Fb2Author {{}, {}, {}, QStringLiteral("Libravon")});
    AppendTextBlock(documentInfo, "program-used", u"Libravon");
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    xmlNode* date = AppendTextBlock(documentInfo, "date", today);
    xmlSetProp(date, BAD_CAST "value", BAD_CAST today.toLatin1().constData());
    AppendTextBlock(documentInfo, "id", QUuid::createUuid().toString(QUuid::WithoutBraces));
    AppendTextBlock(documentInfo, "version", u"1.0");

    for (xmlNode* binary : std::as_const(binaries_)) {
        xmlAddChild(root_, binary);
        AppendText(root_, u"\n");
    }
    binaries_.clear();

    auto document = std::make_unique<XmlDocument>();
    document->Adopt(doc_, true);
    document->SetSelectionNamespaces(FictionBookSelectionNamespaces());
    doc_ = nullptr;
    root_ = description_ = body_ = notesBody_ = nullptr;
    return document;
}

} // namespace lbv
