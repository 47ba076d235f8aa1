#include "convert/html_to_fb2.h"

#include "convert/converter_common.h"
#include "convert/converter_title_info.h"
#include "convert/html_to_fb2_flow.h"
#include "text/code_pages.h"
#include "text/utf.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <deque>
#include <libxml/HTMLparser.h>

namespace lbv {

namespace {

// A book split into pages seldom has more; a link maze must not read a whole site.
constexpr std::size_t kMaxPages = 1000;
constexpr int kParseOptions = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING
    | HTML_PARSE_NONET | HTML_PARSE_COMPACT | HTML_PARSE_IGNORE_ENC;

// The code page the page declares in its first bytes (a <meta> charset or an XML
// declaration), as a registry index; -1 when it declares none the registry knows.
int DeclaredCodePage(const QByteArray& bytes)
{
    static const QRegularExpression declaration(
        QStringLiteral(
            "(?:<meta[^>]*charset|<\\?xml[^>]*encoding)\\s*=\\s*[\"']?\\s*([A-Za-z0-9._:-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(bytes.left(4096));
    const QRegularExpressionMatch match = declaration.match(head);
    return match.hasMatch() ? FindCodePage(match.capturedView(1)) : -1;
}

QString DecodeHtml(const QByteArray& bytes)
{
    int codePage = DeclaredCodePage(bytes);
    // A page declaring UTF-16 in an ASCII-readable head was re-saved in another charset; one
    // declaring UTF-8 that isn't was saved by a careless editor: the bytes tell better.
    const QString name = codePage >= 0 ? CodePageName(codePage) : QString();
    if (name.startsWith(u"utf-16", Qt::CaseInsensitive)
        || (CodePageNumber(codePage) == 65001 && !IsValidUtf8(bytes)))
        codePage = -1;
    return DecodeDocumentText(bytes, codePage);
}

HtmlDocPtr ParseHtmlText(const QString& text)
{
    const QByteArray utf8 = ToUtf8(text);
    return HtmlDocPtr(
        htmlReadMemory(utf8.constData(), int(utf8.size()), nullptr, "UTF-8", kParseOptions));
}

HtmlDocPtr ParseHtml(const QByteArray& bytes, const ConverterOptions& options)
{
    QString text = DecodeHtml(bytes);
    ApplyRegexRules(options.onLoad, text);
    return ParseHtmlText(text);
}

struct HtmlMetadata {
    QString title;
    QString author;
    QString description;
    QString keywords;
    QString date;
    QString lang;
};

HtmlMetadata ReadMetadata(const xmlDoc* doc)
{
    HtmlMetadata meta;
    const xmlNode* root = xmlDocGetRootElement(doc);
    if (!root)
        return meta;
    meta.lang = HtmlAttribute(root, "lang");
    if (meta.lang.isEmpty())
        meta.lang = HtmlAttribute(root, "xml:lang");
    const auto set = [](QString& field, const QString& value) {
        if (field.isEmpty())
            field = value;
    };
    for (const xmlNode* head = root->children; head; head = head->next) {
        if (head->type != XML_ELEMENT_NODE || HtmlName(head) != u"head")
            continue;
        for (const xmlNode* node = head->children; node; node = node->next) {
            if (node->type != XML_ELEMENT_NODE)
                continue;
            const QString element = HtmlName(node);
            if (element == u"title") {
                set(meta.title, HtmlText(node));
                continue;
            }
            if (element != u"meta")
                continue;
            QString name = HtmlAttribute(node, "name").toLower();
            if (name.isEmpty())
                name = HtmlAttribute(node, "http-equiv").toLower();
            const QString content = HtmlAttribute(node, "content").simplified();
            if (content.isEmpty())
                continue;
            if (name == u"author" || name == u"dc.creator" || name == u"dcterms.creator")
                set(meta.author, content);
            else if (name == u"description" || name == u"dc.description")
                set(meta.description, content);
            else if (name == u"keywords" || name == u"dc.subject")
                set(meta.keywords, content);
            else if (name == u"date" || name == u"dc.date" || name == u"dcterms.date"
                || name == u"dcterms.created")
                set(meta.date, content);
            else if (name == u"dc.language" || name == u"content-language")
                set(meta.lang, content);
        }
    }
    return meta;
}

// "ru-RU", "en_GB" -> "ru", "en"; anything that is not a language code -> empty.
QString LanguageCode(const QString& declared)
{
    static const QRegularExpression code(QStringLiteral("^([A-Za-z]{2,3})(?:[-_].*)?$"));
    const QRegularExpressionMatch match = code.match(declared.trimmed());
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

bool FollowsLink(const QString& href, const ConverterOptions& options)
{
    if (!options.onlyFollowLinks.pattern().isEmpty()
        && !options.onlyFollowLinks.match(href).hasMatch())
        return false;
    return options.neverFollowLinks.pattern().isEmpty()
        || !options.neverFollowLinks.match(href).hasMatch();
}

// The first page and, breadth first up to the link depth, the local pages it links to.
void FollowLinks(
    std::vector<HtmlSource>& sources, const QString& rootFolder, const ConverterOptions& options)
{
    std::deque<std::pair<std::size_t, int>> queue {{0, 0}};
    QSet<QString> known {sources[0].path};
    qint64 bytesLeft = kMaxSourceBytes - QFileInfo(sources[0].path).size();
    while (!queue.empty() && sources.size() < kMaxPages) {
        const auto [index, depth] = queue.front();
        queue.pop_front();
        if (depth >= options.linkDepth)
            continue;
        std::vector<QString> targets;
        const xmlNode* root = xmlDocGetRootElement(sources[index].doc.get());
        for (const xmlNode* node = root; node;) {
            if (node->type == XML_ELEMENT_NODE && HtmlName(node) == u"a") {
                const QString href = HtmlAttribute(node, "href");
                const QString target = LocalPageTarget(href, sources[index].path, rootFolder);
                if (!target.isEmpty() && !known.contains(target) && FollowsLink(href, options)) {
                    known.insert(target);
                    targets.push_back(target);
                }
            }
            if (node->children) {
                node = node->children;
                continue;
            }
            while (node && !node->next && node != root)
                node = node->parent;
            node = node && node != root ? node->next : nullptr;
        }
        for (const QString& target : targets) {
            QByteArray bytes;
            QString unused;
            if (sources.size() >= kMaxPages || QFileInfo(target).size() > bytesLeft
                || !ReadDocumentBytes(target, &bytes, &unused))
                continue;
            bytesLeft -= bytes.size();
            if (HtmlDocPtr doc = ParseHtml(bytes, options)) {
                sources.push_back({target, std::move(doc)});
                queue.emplace_back(sources.size() - 1, depth + 1);
            }
        }
    }
}

Fb2TitleInfo TitleInfo(const HtmlMetadata& meta, const QString& path, const xmlDoc* doc)
{
    Fb2TitleInfo info;
    Fb2Author author;
    QString title = meta.title;
    if (!meta.author.isEmpty()) {
        static const QRegularExpression separator(QStringLiteral("\\s*(?:;|&|\\band\\b)\\s*"));
        author = ParseAuthorName(meta.author.split(separator).constFirst());
    } else if (!AuthorAndTitleFromText(meta.title, true, &author, &title)) {
        // The file's name may say what the page doesn't.
        QString fileTitle;
        if (AuthorAndTitleFromFileName(path, &author, &fileTitle) && title.isEmpty())
            title = fileTitle;
    }
    if (!author.IsEmpty())
        info.authors.append(author);
    info.title = title.isEmpty() ? FileTitle(path) : TidyTitle(title);
    if (!meta.description.isEmpty())
        info.annotation.append(meta.description);
    info.keywords = meta.keywords;
    info.date = meta.date;
    info.lang = LanguageCode(meta.lang);
    if (info.lang.isEmpty()) {
        xmlChar* text = xmlNodeGetContent(xmlDocGetRootElement(doc));
        info.lang = GuessLanguage(FromUtf8(text));
        xmlFree(text);
    }
    return info;
}

} // namespace

ConversionResult ConvertHtmlBytesToFb2(
    const QByteArray& bytes, const QString& path, const ConverterOptions& options)
{
    if (LooksBinary(bytes))
        return ConversionFailure(QStringLiteral("\"%1\" is not an HTML page.").arg(path));
    HtmlDocPtr doc = ParseHtml(bytes, options);
    if (!doc || !xmlDocGetRootElement(doc.get()))
        return ConversionFailure(QStringLiteral("\"%1\" can't be read as HTML.").arg(path));

    const QFileInfo file(path);
    const QString rootFolder = file.absoluteDir().canonicalPath();
    std::vector<HtmlSource> sources;
    const QString canonical = file.canonicalFilePath();
    sources.push_back({canonical.isEmpty() ? file.absoluteFilePath() : canonical, std::move(doc)});
    if (options.linkDepth > 0)
        FollowLinks(sources, rootFolder, options);

    const Fb2TitleInfo info
        = TitleInfo(ReadMetadata(sources[0].doc.get()), path, sources[0].doc.get());
    Fb2Builder builder;
    if (!builder.Body())
        return ConversionFailure(QStringLiteral("Out of memory while building the document."));
    const HtmlLinkMap links(sources, rootFolder, !options.noFootnotes);
    HtmlFlow flow(builder, options, info.lang, rootFolder, sources, links);
    for (std::size_t page = 0; page < sources.size(); ++page)
        flow.Write(page, info.title);
    if (!flow.Finish())
        return ConversionFailure(QStringLiteral("\"%1\" holds no text.").arg(path));
    return FinishConversion(builder, info, options);
}

ConversionResult ConvertHtmlToFb2(const QString& path, const ConverterOptions& options)
{
    QByteArray bytes;
    QString message;
    if (!ReadDocumentBytes(path, &bytes, &message))
        return ConversionFailure(message);
    return ConvertHtmlBytesToFb2(bytes, path, options);
}

} // namespace lbv
