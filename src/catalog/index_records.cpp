// The index's records: loading authors, groups and books from their elements, and writing them
// in order to a sink. The tree is walked directly rather than through XPath: an index holds
// hundreds of thousands of elements.
#include "catalog/index_records.h"

#include "catalog/xml_document.h"
#include "text/messages.h"
#include "text/utf.h"

#include <climits>
#include <cstring>

namespace lbv {
namespace {

const xmlNode* FirstChild(const xmlNode* parent, const char* name)
{
    for (const xmlNode* child = parent->children; child; child = child->next)
        if (IsIndexElement(child, name))
            return child;
    return nullptr;
}

const xmlAttr* FindAttribute(const xmlNode* element, const char* name)
{
    for (const xmlAttr* a = element->properties; a; a = a->next)
        if (!a->ns && std::strcmp(reinterpret_cast<const char*>(a->name), name) == 0)
            return a;
    return nullptr;
}

// The value's bytes when it is a single text node (always, in files we wrote); else null.
const char* PlainValue(const xmlAttr* attribute)
{
    const xmlNode* text = attribute->children;
    if (!text)
        return "";
    if (!text->next && text->type == XML_TEXT_NODE)
        return reinterpret_cast<const char*>(text->content);
    return nullptr;
}

QString ValueText(const xmlAttr* attribute)
{
    if (const char* plain = PlainValue(attribute))
        return FromUtf8(plain);
    return NodeText(reinterpret_cast<const xmlNode*>(attribute));
}

QByteArray ValueBytes(const xmlAttr* attribute)
{
    if (const char* plain = PlainValue(attribute))
        return QByteArray::fromRawData(plain, qsizetype(std::strlen(plain)));
    return ValueText(attribute).toUtf8();
}

// Like the C library's wide-string-to-integer conversion: blanks, a sign, leading digits;
// 0 when there are none; clamped on overflow.
int LeadingInteger(const QByteArray& text)
{
    const char* p = text.constData();
    const char* end = p + text.size();
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r'))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    qint64 value = 0;
    for (; p < end && *p >= '0' && *p <= '9' && value <= qint64(INT_MAX) + 1; ++p)
        value = value * 10 + (*p - '0');
    return int(qBound(qint64(INT_MIN), negative ? -value : value, qint64(INT_MAX)));
}

// PDB has a name of its own: written as "FB2" it would come back as an FB2 book.
int FormatFromName(const QByteArray& name)
{
    if (name == "LIT")
        return FormatLit;
    if (name == "TXT")
        return FormatTxt;
    if (name == "PDB")
        return FormatPdb;
    if (name == "HTML")
        return FormatHtml;
    return FormatFb2;
}

int CompressionFromName(const QByteArray& name)
{
    if (name == "None")
        return CompressionNone;
    if (name == "GZIP")
        return CompressionGzip;
    return CompressionZip;
}

QString CompressionName(int compression)
{
    switch (compression) {
    case CompressionNone:
        return QStringLiteral("None");
    case CompressionGzip:
        return QStringLiteral("GZIP");
    default:
        return QStringLiteral("ZIP");
    }
}

QString MissingAttribute(const char* name)
{
    return QStringLiteral("Attribute \"%1\" not found").arg(QLatin1String(name));
}

// Sends the records to a sink, keeping the step reached for the error text.
class IndexWriter {
public:
    IndexWriter(const CLibravonDoc& catalog, IndexSink& sink)
        : catalog_(catalog)
        , sink_(sink)
    {
    }

    bool StoreOptions()
    {
        return sink_.StartElement("options") && sink_.StartElement("file-name-mask")
            && sink_.Text(catalog_.fileNameMask) && sink_.EndElement()
            && sink_.StartElement("file-compression")
            && sink_.Text(catalog_.compressFiles ? u"ZIP" : u"None") && sink_.EndElement()
            && sink_.EndElement();
    }

    // On failure `error` reads "CAuthor::Store: ...", "CGroup::Store: ..." or
    // "CBook::Store: ..." with the step reached.
    bool StoreAuthor(const CAuthor& author, QString* error)
    {
        const char* step = "Create <author>";
        bool ok = sink_.StartElement("author");
        if (ok) {
            step = "Create <firstName>";
            ok = sink_.Attribute("firstName", author.firstName);
        }
        if (ok) {
            step = "Create <lastName>";
            ok = sink_.Attribute("lastName", author.lastName);
        }
        if (!ok)
            return Fail("CAuthor::Store: ", step, error);
        for (const auto& group : author.Groups())
            if (!StoreGroup(*group, error))
                return false; // the group's own text is passed up
        return sink_.EndElement() || Fail("CAuthor::Store: ", "Store group", error);
    }

private:
    bool StoreGroup(const CGroup& group, QString* error)
    {
        const char* step = "Create element <group>";
        bool ok = sink_.StartElement("group");
        if (ok) {
            step = "Create attribute 'name'";
            ok = sink_.Attribute("name", group.name);
        }
        if (!ok)
            return Fail("CGroup::Store: ", step, error);
        for (const auto& book : group.Books())
            if (!StoreBook(*book, error))
                return false;
        return sink_.EndElement() || Fail("CGroup::Store: ", "Storing book", error);
    }

    bool StoreBook(const CBook& book, QString* error)
    {
        const char* step = "Create element <book>";
        bool ok = sink_.StartElement("book");
        if (ok && book.year != 0) {
            step = "Create element <year>";
            ok = sink_.Attribute("year", QString::number(book.year));
        }
        QString added;
        if (ok && dates_.ToText(book.added, &added)) {
            step = "Create attribute 'added'";
            ok = sink_.Attribute("added", added);
        }
        if (ok && !AtStandardPlace(book)) {
            step = "Create attribute 'file'";
            ok = sink_.Attribute("file", book.file);
        }
        if (ok && book.format != FormatFb2) {
            step = "Create attribute 'format'";
            ok = sink_.Attribute("format", FormatName(book.format));
        }
        if (ok && book.compression != (catalog_.compressFiles ? CompressionZip : CompressionNone)) {
            step = "Create attribute 'compression'";
            ok = sink_.Attribute("compression", CompressionName(book.compression));
        }
        if (ok) {
            step = "Create element <book-title>";
            ok = sink_.StartElement("book-title") && sink_.Text(book.title) && sink_.EndElement();
        }
        if (ok) {
            step = "Create element <genre>";
            ok = sink_.StartElement("genre") && sink_.Text(book.genre) && sink_.EndElement();
        }
        if (ok && !book.extras.isEmpty()) {
            step = "Create element <extra>";
            ok = sink_.StartElement("extra");
            for (const auto& [name, value] : book.extras)
                ok = ok && sink_.StartElement("param") && sink_.Attribute("name", name)
                    && sink_.Attribute("value", value) && sink_.EndElement();
            ok = ok && sink_.EndElement();
        }
        ok = ok && sink_.EndElement();
        return ok || Fail("CBook::Store: ", step, error);
    }

    bool AtStandardPlace(const CBook& book) const
    {
        const QString standard = book.DefaultFileName(catalog_);
        return book.file == standard || SameLibraryPath(book.file, standard);
    }

    static bool Fail(const char* prefix, const char* step, QString* error)
    {
        *error = QLatin1String(prefix) + QStringLiteral("Out of memory\r\nStep: ")
            + QLatin1String(step);
        return false;
    }

    const CLibravonDoc& catalog_;
    IndexSink& sink_;
    IndexDates dates_;
};

// Builds the index as a document tree (what plug-ins receive).
class IndexDocumentSink : public IndexSink {
public:
    explicit IndexDocumentSink(XmlDocument& document)
        : current_(document.Node())
    {
    }

    bool StartElement(const char* name) override
    {
        xmlNode* element = AppendElement(current_, name);
        if (element)
            current_ = element;
        return element != nullptr;
    }
    bool Attribute(const char* name, QStringView value) override
    {
        return SetAttributeText(current_, name, value);
    }
    bool Text(QStringView text) override { return SetNodeText(current_, text); }
    bool EndElement() override
    {
        current_ = current_->parent;
        return true;
    }

private:
    xmlNode* current_;
};

} // namespace

QString FormatName(int format)
{
    switch (format) {
    case FormatLit:
        return QStringLiteral("LIT");
    case FormatTxt:
        return QStringLiteral("TXT");
    case FormatPdb:
        return QStringLiteral("PDB");
    case FormatHtml:
        return QStringLiteral("HTML");
    default:
        return QStringLiteral("FB2");
    }
}

bool IsIndexElement(const xmlNode* node, const char* name)
{
    return node->type == XML_ELEMENT_NODE && !node->ns
        && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

IndexOptions ReadIndexOptions(const xmlNode* options)
{
    IndexOptions result;
    if (const xmlNode* mask = FirstChild(options, "file-name-mask")) {
        // A shared or hostile index must not file books outside the library.
        const QString text = NodeText(mask);
        if (FileNameMaskProblem(text).isEmpty())
            result.mask = text;
        else
            result.refusedMask = text;
    }
    if (const xmlNode* compression = FirstChild(options, "file-compression"))
        result.compressFiles = NodeText(compression) == QLatin1String("ZIP");
    return result;
}

IndexReader::IndexReader(const QString& folder, const IndexOptions& options)
    : folder_(folder)
    , mask_(options.mask)
    , defaultCompression_(options.compressFiles ? CompressionZip : CompressionNone)
{
}

std::unique_ptr<CAuthor> IndexReader::LoadAuthor(const xmlNode* element, QString* error)
{
    const xmlAttr* first = FindAttribute(element, "firstName");
    if (!first) {
        *error = MissingAttribute("firstName");
        return nullptr;
    }
    const xmlAttr* last = FindAttribute(element, "lastName");
    if (!last) {
        *error = MissingAttribute("lastName");
        return nullptr;
    }
    auto author = std::make_unique<CAuthor>(ValueText(first), ValueText(last));
    for (const xmlNode* child = element->children; child; child = child->next)
        if (IsIndexElement(child, "group") && !LoadGroup(child, author.get(), error))
            return nullptr;
    return author;
}

bool IndexReader::LoadGroup(const xmlNode* element, CAuthor* author, QString* error)
{
    const xmlAttr* name = FindAttribute(element, "name");
    if (!name) {
        *error = MissingAttribute("name");
        return false;
    }
    CGroup* group = author->AppendGroup(ValueText(name));
    for (const xmlNode* child = element->children; child; child = child->next)
        if (IsIndexElement(child, "book") && !LoadBook(child, group, error))
            return false;
    return true;
}

bool IndexReader::LoadBook(const xmlNode* element, CGroup* group, QString* error)
{
    const xmlNode* title = FirstChild(element, "book-title");
    if (!title) {
        *error = QStringLiteral("CBook::Load: Book load failed (book-title)");
        return false;
    }
    auto book = std::make_unique<CBook>();
    book->title = NodeText(title);
    if (const xmlNode* genre = FirstChild(element, "genre"))
        book->genre = NodeText(genre);
    const xmlAttr* format = FindAttribute(element, "format");
    book->format = format ? FormatFromName(ValueBytes(format)) : FormatFb2;
    const xmlAttr* compression = FindAttribute(element, "compression");
    book->compression
        = compression ? CompressionFromName(ValueBytes(compression)) : defaultCompression_;
    if (const xmlAttr* year = FindAttribute(element, "year"))
        book->year = LeadingInteger(ValueBytes(year));
    if (const xmlAttr* file = FindAttribute(element, "file"))
        book->file = ValueText(file);
    else
        book->file = folder_
            + ExpandMask(mask_, group->author->firstName, group->author->lastName, book->title,
                book->genre, book->compression)
            + FormatExtension(book->format);
    book->added = dates_.NoDate();
    if (const xmlAttr* added = FindAttribute(element, "added")) {
        const QByteArray text = ValueBytes(added);
        if (!dates_.FromText(text, &book->added)) {
            *error = QStringLiteral("CBook::Load: The date \"%1\" cannot be represented")
                         .arg(FromUtf8(text.constData(), text.size()));
            return false;
        }
    }
    for (const xmlNode* extra = element->children; extra; extra = extra->next) {
        if (!IsIndexElement(extra, "extra"))
            continue;
        book->extras.reserve(
            book->extras.size() + qsizetype(xmlChildElementCount(const_cast<xmlNode*>(extra))));
        for (const xmlNode* param = extra->children; param; param = param->next) {
            if (!IsIndexElement(param, "param"))
                continue;
            const xmlAttr* name = FindAttribute(param, "name");
            const xmlAttr* value = FindAttribute(param, "value");
            const QByteArray nameBytes = name ? ValueBytes(name) : QByteArray();
            if (!nameBytes.isEmpty())
                book->extras.append({ExtraName(nameBytes), value ? ValueText(value) : QString()});
        }
    }
    group->AppendBook(std::move(book));
    return true;
}

// Extra column names repeat on every book; sharing one string per name keeps them cheap.
QString IndexReader::ExtraName(const QByteArray& bytes)
{
    for (const auto& [known, text] : extraNames_)
        if (known == bytes)
            return text;
    QString text = FromUtf8(bytes.constData(), bytes.size());
    if (extraNames_.size() < 64)
        extraNames_.push_back({QByteArray(bytes.constData(), bytes.size()), text});
    return text;
}

bool WriteIndex(const CLibravonDoc& catalog, IndexSink& sink, QString* error)
{
    IndexWriter writer(catalog, sink);
    if (!sink.StartElement("books") || !writer.StoreOptions()) {
        *error = QStringLiteral("Create XML error:\r\nOut of memory");
        return false;
    }
    for (const auto& author : catalog.Authors()) {
        if (!writer.StoreAuthor(*author, error)) {
            *error = QStringLiteral("Create XML error:\r\n") + *error
                + QStringLiteral("\r\nStore author ") + author->firstName + QLatin1Char(' ')
                + author->lastName;
            return false;
        }
    }
    if (!sink.EndElement()) {
        *error = QStringLiteral("Create XML error:\r\nOut of memory");
        return false;
    }
    return true;
}

bool CLibravonDoc::ParseIndex(const XmlDocument& document, IndexFileUi* ui, ParseFailure onFailure)
{
    IndexContent content;
    const xmlNode* root = document.Root();
    const xmlNode* books = root && IsIndexElement(root, "books") ? root : nullptr;
    if (const xmlNode* options = books ? FirstChild(books, "options") : nullptr)
        content.options = ReadIndexOptions(options);
    IndexReader reader(IndexFolder(), content.options);
    for (const xmlNode* child = books ? books->children : nullptr; child && content.error.isEmpty();
         child = child->next)
        if (IsIndexElement(child, "author"))
            if (auto author = reader.LoadAuthor(child, &content.error))
                content.authors.push_back(std::move(author));
    return CommitIndex(std::move(content), ui, onFailure);
}

bool CLibravonDoc::CommitIndex(IndexContent&& content, IndexFileUi* ui, ParseFailure onFailure)
{
    const bool loaded = content.error.isEmpty();
    if (loaded || onFailure == ParseFailure::EmptyCatalog) {
        fileNameMask = content.options.mask;
        if (!content.options.refusedMask.isEmpty() && ui)
            ui->ShowMessage(MessageText(Msg::IndexMaskLeavesLibrary)
                                .arg(content.options.refusedMask, fileNameMask));
        compressFiles = content.options.compressFiles;
        if (!loaded)
            content.authors.clear();
        ReplaceAuthors(std::move(content.authors));
        modified_ = false;
    }
    if (!loaded && ui)
        ui->ShowError(content.error);
    return loaded;
}

bool CLibravonDoc::BuildIndex(XmlDocument& document, IndexFileUi* ui) const
{
    document.Reset();
    IndexDocumentSink sink(document);
    QString error;
    if (WriteIndex(*this, sink, &error))
        return true;
    if (ui)
        ui->ShowError(error);
    return false;
}

} // namespace lbv
