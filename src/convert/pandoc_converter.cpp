#include "convert/pandoc_converter.h"

#include "convert/converter_common.h"
#include "convert/converter_title_info.h"
#include "text/utf.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace lbv {

namespace {

// The genre pandoc writes when the document names none; the import fills in its own.
constexpr char16_t kPandocUnknownGenre[] = u"unrecognised";

struct PandocRun {
    bool finished = false;
    int exitCode = 0;
    QByteArray output;
    QString errors;
};

PandocRun Run(const QString& program, const QStringList& arguments, int timeoutMs)
{
    PandocRun run;
    QProcess process;
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted()) {
        run.errors = QStringLiteral("pandoc could not be started: ") + process.errorString();
        return run;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.errors = QStringLiteral("pandoc took longer than %1 seconds and was stopped.")
                         .arg(timeoutMs / 1000.0);
        return run;
    }
    run.finished = process.exitStatus() == QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput();
    run.errors = QString::fromUtf8(process.readAllStandardError()).trimmed();
    if (!run.finished && run.errors.isEmpty())
        run.errors = QStringLiteral("pandoc stopped unexpectedly.");
    return run;
}

// Places a new title-info element after the last of the named ones (FB2 orders title-info's
// children), or before every other child when none of them is there.
void InsertInOrder(xmlNode* titleInfo, xmlNode* element, std::initializer_list<const char*> after)
{
    xmlNode* anchor = nullptr;
    for (xmlNode* child = titleInfo->children; child; child = child->next)
        for (const char* name : after)
            if (child->type == XML_ELEMENT_NODE && xmlStrcmp(child->name, BAD_CAST name) == 0)
                anchor = child;
    if (anchor)
        xmlAddNextSibling(anchor, element);
    else if (titleInfo->children)
        xmlAddPrevSibling(titleInfo->children, element);
    else
        xmlAddChild(titleInfo, element);
}

// pandoc writes only what the document's metadata says. The first author and the title come
// from an "Author - Title" file name when it says nothing, so that the book can be catalogued,
// and the language is guessed from the text.
void CompleteTitleInfo(XmlDocument& document, const QString& path)
{
    xmlNode* titleInfo
        = SelectSingleNode(document.Node(), u"/fb:FictionBook/fb:description/fb:title-info");
    if (!titleInfo)
        return;
    Fb2Author author;
    QString title;
    if (!AuthorAndTitleFromFileName(path, &author, &title))
        title = FileTitle(path);
    xmlNs* fb = xmlSearchNsByHref(document.Doc(), titleInfo, BAD_CAST kFictionBookNamespace);
    const auto newElement = [&](const char* name, const QString& text) {
        xmlNode* element = xmlNewDocNode(document.Doc(), fb, BAD_CAST name, nullptr);
        if (!text.isEmpty())
            xmlNodeAddContent(element, BAD_CAST XmlTextUtf8(text).constData());
        return element;
    };

    xmlNode* firstAuthor = SelectSingleNode(titleInfo, u"fb:author");
    const auto named = [&](const char* part) {
        const QString xpath = QStringLiteral("fb:") + QLatin1String(part);
        return !NodeText(SelectSingleNode(firstAuthor, xpath)).isEmpty();
    };
    const bool hasAuthor = firstAuthor && named("first-name") && named("last-name");
    if (!hasAuthor && !author.firstName.isEmpty() && !author.lastName.isEmpty()) {
        xmlNode* element = newElement("author", {});
        for (const auto& [name, text] : {std::pair {"first-name", author.firstName},
                 std::pair {"middle-name", author.middleName},
                 std::pair {"last-name", author.lastName}})
            if (!text.isEmpty())
                xmlAddChild(element, newElement(name, text));
        if (firstAuthor)
            xmlAddPrevSibling(firstAuthor, element);
        else
            InsertInOrder(titleInfo, element, {"genre"});
    }

    xmlNode* bookTitle = SelectSingleNode(titleInfo, u"fb:book-title");
    if (!bookTitle)
        InsertInOrder(titleInfo, newElement("book-title", title), {"genre", "author"});
    else if (NodeText(bookTitle).isEmpty())
        SetNodeText(bookTitle, title);

    if (!SelectSingleNode(titleInfo, u"fb:lang")) {
        xmlChar* text
            = xmlNodeGetContent(SelectSingleNode(document.Node(), u"/fb:FictionBook/fb:body"));
        InsertInOrder(titleInfo, newElement("lang", GuessLanguage(FromUtf8(text))),
            {"genre", "author", "book-title", "annotation", "keywords", "date", "coverpage"});
        xmlFree(text);
    }
}

// pandoc gives the main body an empty title when the document has no title block, which the
// reader would show as blank lines; it gets the author and the title, as a book's first page
// has them.
void FillEmptyBodyTitle(XmlDocument& document)
{
    xmlNode* bodyTitle = SelectSingleNode(document.Node(), u"/fb:FictionBook/fb:body[1]/fb:title");
    if (!bodyTitle || !NodeText(bodyTitle).trimmed().isEmpty())
        return;
    const xmlNode* titleInfo
        = SelectSingleNode(document.Node(), u"/fb:FictionBook/fb:description/fb:title-info");
    const QString firstName = NodeText(SelectSingleNode(titleInfo, u"fb:author[1]/fb:first-name"));
    const QString lastName = NodeText(SelectSingleNode(titleInfo, u"fb:author[1]/fb:last-name"));
    const QString author = QString(firstName + u' ' + lastName).trimmed();
    const QString title = NodeText(SelectSingleNode(titleInfo, u"fb:book-title"));
    while (xmlNode* child = bodyTitle->children) {
        xmlUnlinkNode(child);
        xmlFreeNode(child);
    }
    for (const QString& line : {author, title}) {
        if (line.isEmpty())
            continue;
        xmlNode* paragraph = xmlNewChild(bodyTitle, bodyTitle->ns, BAD_CAST "p", nullptr);
        xmlNodeAddContent(paragraph, BAD_CAST XmlTextUtf8(line).constData());
    }
}

} // namespace

QString FindPandoc()
{
    return QStandardPaths::findExecutable(QStringLiteral("pandoc"));
}

QString PandocInputFormat(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"epub" || suffix == u"docx" || suffix == u"odt" || suffix == u"rtf")
        return suffix;
    if (suffix == u"md" || suffix == u"markdown")
        return QStringLiteral("markdown");
    return {};
}

ConversionResult ConvertWithPandoc(
    const QString& program, const QString& path, const ConverterOptions& options, int timeoutMs)
{
    const QFileInfo file(path);
    if (!file.isFile())
        return ConversionFailure(QStringLiteral("Can't open \"%1\".").arg(path));
    // The absolute path can't be mistaken for an option. The sandbox keeps pandoc from
    // fetching images from the network or reading other files; a pandoc too old to know it
    // is run without.
    QStringList arguments {QStringLiteral("--from=") + PandocInputFormat(path),
        QStringLiteral("--to=fb2"), QStringLiteral("--sandbox"), file.absoluteFilePath()};
    PandocRun run = Run(program, arguments, timeoutMs);
    if (run.finished && run.exitCode != 0 && run.errors.contains(u"--sandbox")) {
        arguments.removeAll(QStringLiteral("--sandbox"));
        run = Run(program, arguments, timeoutMs);
    }
    if (!run.finished || run.exitCode != 0) {
        if (run.errors.isEmpty())
            run.errors = QStringLiteral("pandoc ended with exit code %1.").arg(run.exitCode);
        return ConversionFailure(run.errors);
    }
    QString error;
    XmlDocumentPtr document = LoadXmlUtf8(run.output, &error);
    if (!document)
        return ConversionFailure(QStringLiteral("pandoc gave no readable FB2: ") + error);
    PrepareGenreForImport(*document, kPandocUnknownGenre);
    CompleteTitleInfo(*document, path);
    FillEmptyBodyTitle(*document);
    return ApplyResultRules(std::move(document), options);
}

} // namespace lbv
