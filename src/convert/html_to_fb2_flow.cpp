#include "convert/html_to_fb2_flow.h"

#include "convert/converter_common.h"
#include "convert/converter_typography.h"
#include "convert/html_to_fb2_images.h"
#include "convert/html_to_fb2_tags.h"
#include "text/utf.h"

#include <QRegularExpression>
#include <algorithm>

namespace lbv {

namespace {

// Deeper nesting than this is written as plain text: hostile pages must not exhaust the stack.
constexpr int kMaxDepth = 200;
// Sections begun by text rather than by a heading close at any heading.
constexpr int kUntitledLevel = 100;
// Level of paragraphs that the headers expression makes titles: below every <hN>.
constexpr int kExpressionHeadingLevel = 7;
constexpr char16_t kNoBreakSpace = u'\u00A0';

bool IsHtmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool HasVisibleText(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return !c.isSpace(); });
}

} // namespace

struct HtmlFlow::Impl {
    struct SectionFrame {
        xmlNode* node;
        int level; // 0: the body
        bool hasContent;
    };
    struct InlineFrame {
        const char* element;
        QString href; // an outside link's target
        QString key; // an internal link's anchor key
        xmlNode* node = nullptr; // made when text first arrives in the current paragraph
    };
    struct ListFrame {
        bool ordered;
        int counter;
    };
    // What a footnote interrupts and gets back afterwards.
    struct FlowState {
        std::vector<InlineFrame> inlines;
        std::vector<ListFrame> lists;
        xmlNode* cite;
        int citeDepth;
        int preDepth;
        bool lastEmptyLine;
    };

    Impl(Fb2Builder& builder, const ConverterOptions& options, const QString& lang,
        const QString& rootFolder, const std::vector<HtmlSource>& sources, const HtmlLinkMap& links)
        : b(builder)
        , options(options)
        , typography(options.convertDash, !options.noQuotes, lang)
        , sources(sources)
        , links(links)
        , images(builder, options, rootFolder)
    {
    }

    void Walk(const xmlNode* parent, int depth);
    void Node(const xmlNode* node, int depth);
    void Element(const xmlNode* node, int depth);
    void Text(QStringView text);
    void Wrote(bool visible);
    void PreText(QStringView text);

    void EndParagraph();
    void EnsureParagraph();
    xmlNode* InlineTarget();
    xmlNode* ParagraphParent();
    xmlNode* ContentSection();
    void EmptyLine();
    void RecordAnchors(const xmlNode* node);
    void AttachPendingIds(xmlNode* element);

    void Heading(const xmlNode* node, int level, int depth);
    void WrapContent(xmlNode* section);
    void Quote(const xmlNode* node, int depth);
    void ListItem(const xmlNode* node, int depth);
    void Table(const xmlNode* node, int depth);
    void Link(const xmlNode* node, int depth);
    void Image(const xmlNode* node);
    void Note(const xmlNode* node, const QString& key, int depth);
    void DropRepeatedNumber(xmlNode* section, const QString& number);
    void WithInline(InlineFrame frame, const xmlNode* node, int depth);

    Fb2Builder& b;
    const ConverterOptions& options;
    Typography typography;
    const std::vector<HtmlSource>& sources;
    const HtmlLinkMap& links;

    std::size_t page = 0;
    QString bookTitle;
    QHash<QString, QString> ids; // anchor key -> FB2 id
    QStringList pendingIds; // anchor keys waiting for the next element
    std::vector<std::pair<xmlNode*, QString>> internalLinks;
    HtmlImages images;

    std::vector<SectionFrame> sections;
    xmlNode* paragraph = nullptr; // the open paragraph (or title line, or table cell)
    bool paragraphHasContent = false;
    bool pendingSpace = false;
    std::size_t written = 0; // counts what reached the book: text, images, tables
    std::vector<InlineFrame> inlines;
    std::vector<ListFrame> lists;
    QString listMarker; // for the next paragraph
    xmlNode* title = nullptr; // while a heading is written
    xmlNode* cite = nullptr;
    int citeDepth = 0;
    int preDepth = 0;
    bool preStart = false; // no text of the <pre> seen yet
    xmlNode* cell = nullptr;
    xmlNode* noteSection = nullptr;
    bool lastEmptyLine = false;
    bool bodyStarted = false;
};

void HtmlFlow::Impl::Walk(const xmlNode* parent, int depth)
{
    for (const xmlNode* child = parent->children; child; child = child->next)
        Node(child, depth + 1);
}

void HtmlFlow::Impl::Node(const xmlNode* node, int depth)
{
    switch (node->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
        if (preDepth > 0)
            PreText(FromUtf8(node->content));
        else
            Text(FromUtf8(node->content));
        break;
    case XML_ELEMENT_NODE:
        if (depth > kMaxDepth)
            Text(HtmlText(node));
        else
            Element(node, depth);
        break;
    default:
        break;
    }
}

void HtmlFlow::Impl::Element(const xmlNode* node, int depth)
{
    const HtmlTagInfo info = ClassifyHtmlElement(node);
    if (info.tag == HtmlTag::Skip)
        return;
    if (!noteSection) {
        const QString note = links.NoteAt(node);
        if (!note.isEmpty()) {
            Note(node, note, depth);
            return;
        }
    }
    const bool block = info.tag != HtmlTag::Transparent && info.tag != HtmlTag::Style
        && info.tag != HtmlTag::Link && info.tag != HtmlTag::Image && info.tag != HtmlTag::Break;
    if (block)
        EndParagraph();
    RecordAnchors(node);
    switch (info.tag) {
    case HtmlTag::Skip:
        break;
    case HtmlTag::Transparent:
        Walk(node, depth);
        break;
    case HtmlTag::Style:
        WithInline({info.style}, node, depth);
        break;
    case HtmlTag::Heading:
        Heading(node, info.level, depth);
        break;
    case HtmlTag::Paragraph:
    case HtmlTag::Container: {
        // A paragraph of its own that reads like a chapter line is a title too.
        const bool mayBeTitle = !options.onlyHHeaders && !title && !cell && citeDepth == 0
            && !noteSection && !HoldsBlocks(node);
        if (mayBeTitle) {
            const QString text = HtmlText(node);
            if (!text.isEmpty() && text.size() <= 100 && options.headers.match(text).hasMatch()) {
                Heading(node, kExpressionHeadingLevel, depth);
                break;
            }
        }
        const std::size_t before = written;
        Walk(node, depth);
        EndParagraph();
        // <p>&nbsp;</p> and <p></p> space paragraphs apart.
        if (info.tag == HtmlTag::Paragraph && written == before)
            EmptyLine();
        break;
    }
    case HtmlTag::Break:
        if (cell)
            pendingSpace = true;
        else if (paragraph)
            EndParagraph();
        break;
    case HtmlTag::Rule:
        EmptyLine();
        break;
    case HtmlTag::Quote:
        Quote(node, depth);
        break;
    case HtmlTag::Pre:
        ++preDepth;
        preStart = true;
        Walk(node, depth);
        EndParagraph();
        --preDepth;
        break;
    case HtmlTag::List: {
        const int start = HtmlAttribute(node, "start").toInt();
        lists.push_back({xmlStrcmp(node->name, BAD_CAST "ol") == 0, start > 0 ? start : 1});
        Walk(node, depth);
        EndParagraph();
        lists.pop_back();
        break;
    }
    case HtmlTag::ListItem:
        ListItem(node, depth);
        break;
    case HtmlTag::Table:
        if (!cell && !title && IsDataTable(node))
            Table(node, depth);
        else
            Walk(node, depth);
        EndParagraph();
        break;
    case HtmlTag::Image:
        Image(node);
        break;
    case HtmlTag::Link:
        Link(node, depth);
        break;
    }
    if (block)
        EndParagraph();
}

void HtmlFlow::Impl::Text(QStringView raw)
{
    // A run of HTML white space is one blank; at either end it only separates words.
    QString text;
    text.reserve(raw.size());
    bool leading = false;
    bool space = false;
    for (QChar c : raw) {
        if (IsHtmlSpace(c)) {
            space = true;
            continue;
        }
        if (space && text.isEmpty())
            leading = true;
        else if (space)
            text.append(u' ');
        space = false;
        text.append(c);
    }
    pendingSpace = pendingSpace || leading || (text.isEmpty() && space);
    if (text.isEmpty())
        return;
    xmlNode* target = InlineTarget();
    if (pendingSpace && paragraphHasContent)
        text.prepend(u' ');
    b.AppendText(target, typography.Apply(text));
    Wrote(HasVisibleText(text));
    pendingSpace = space;
}

void HtmlFlow::Impl::Wrote(bool visible)
{
    if (visible) {
        paragraphHasContent = true;
        ++written;
    }
}

void HtmlFlow::Impl::PreText(QStringView raw)
{
    // Preformatted text keeps its lines and its blanks; a line break right after <pre> is
    // only markup.
    if (std::exchange(preStart, false)) {
        if (raw.startsWith(u'\r'))
            raw = raw.mid(1);
        if (raw.startsWith(u'\n'))
            raw = raw.mid(1);
    }
    const auto lines = raw.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0 && paragraph)
            EndParagraph();
        else if (i > 0)
            EmptyLine(); // a line break with nothing before it: a blank line
        QString line = KeepBlanks(lines[i]);
        line.remove(u'\r');
        if (line.isEmpty())
            continue;
        b.AppendText(InlineTarget(), line);
        Wrote(HasVisibleText(line));
    }
}

void HtmlFlow::Impl::EndParagraph()
{
    pendingSpace = false;
    if (cell) {
        pendingSpace = paragraphHasContent;
        return;
    }
    if (!paragraph)
        return;
    // A paragraph of blanks is not text; one that took an anchor's id stays for the link.
    if (!paragraphHasContent && !xmlHasProp(paragraph, BAD_CAST "id")) {
        bool elements = false;
        for (xmlNode* child = paragraph->children; child; child = child->next)
            elements = elements || IsXmlElement(child);
        if (!elements) {
            // Its line break goes with it.
            xmlNode* lineBreak = paragraph->next;
            if (lineBreak && lineBreak->type == XML_TEXT_NODE) {
                xmlUnlinkNode(lineBreak);
                xmlFreeNode(lineBreak);
            }
            xmlUnlinkNode(paragraph);
            xmlFreeNode(paragraph);
        }
    }
    paragraph = nullptr;
    paragraphHasContent = false;
    for (InlineFrame& frame : inlines)
        frame.node = nullptr;
}

xmlNode* HtmlFlow::Impl::ParagraphParent()
{
    if (title)
        return title;
    if (citeDepth > 0) {
        if (!cite) {
            // A quotation opening a titled section, before its text, is the section's epigraph.
            const SectionFrame& top = sections.back();
            const bool epigraph = !options.noEpigraphs && !noteSection && top.level > 0
                && top.level < kUntitledLevel && !top.hasContent;
            cite = b.AppendBlock(ContentSection(), epigraph ? "epigraph" : "cite");
        }
        return cite;
    }
    return ContentSection();
}

xmlNode* HtmlFlow::Impl::ContentSection()
{
    if (noteSection)
        return noteSection;
    SectionFrame& top = sections.back();
    if (top.level == 0) {
        xmlNode* section = b.AppendBlock(top.node, "section");
        sections.push_back({section, kUntitledLevel, true});
        bodyStarted = true;
        return section;
    }
    top.hasContent = true;
    return top.node;
}

void HtmlFlow::Impl::EnsureParagraph()
{
    if (paragraph)
        return;
    paragraph = b.AppendBlock(ParagraphParent(), "p");
    typography.StartParagraph();
    paragraphHasContent = false;
    pendingSpace = false;
    lastEmptyLine = false;
    bodyStarted = true;
    AttachPendingIds(paragraph);
    if (!listMarker.isEmpty()) {
        b.AppendText(paragraph, listMarker);
        listMarker.clear();
    }
}

xmlNode* HtmlFlow::Impl::InlineTarget()
{
    EnsureParagraph();
    xmlNode* parent = paragraph;
    for (InlineFrame& frame : inlines) {
        if (!frame.node) {
            if (pendingSpace && paragraphHasContent) {
                b.AppendText(parent, u" ");
                pendingSpace = false;
            }
            frame.node = b.AppendInline(parent, frame.element);
            if (!frame.key.isEmpty())
                internalLinks.emplace_back(frame.node, frame.key);
            else if (!frame.href.isEmpty())
                b.SetHref(frame.node, frame.href);
        }
        parent = frame.node;
    }
    return parent;
}

void HtmlFlow::Impl::EmptyLine()
{
    if (options.noEmptyLine || lastEmptyLine || title || cell)
        return;
    xmlNode* parent = nullptr;
    if (citeDepth > 0)
        parent = cite;
    else if (noteSection)
        parent = noteSection;
    else if (sections.back().level > 0 && sections.back().hasContent)
        parent = sections.back().node;
    if (!parent)
        return; // nothing above it to keep apart
    b.AppendBlock(parent, "empty-line");
    lastEmptyLine = true;
}

void HtmlFlow::Impl::RecordAnchors(const xmlNode* node)
{
    const bool isLink = xmlStrcmp(node->name, BAD_CAST "a") == 0;
    for (const char* attribute : {"id", "name"}) {
        if (attribute[0] == 'n' && !isLink)
            continue;
        const QString name = HtmlAttribute(node, attribute);
        if (name.isEmpty())
            continue;
        const QString key = HtmlLinkMap::AnchorKey(page, name);
        if (!links.IsTarget(key) || ids.contains(key) || pendingIds.contains(key))
            continue;
        if (paragraph && !cell) {
            // An anchor inside a paragraph: the paragraph is the target.
            const QString existing = HtmlAttribute(paragraph, "id");
            ids.insert(key, existing.isEmpty() ? b.SetUniqueId(paragraph, name) : existing);
        } else {
            pendingIds.append(key);
        }
    }
}

void HtmlFlow::Impl::AttachPendingIds(xmlNode* element)
{
    if (pendingIds.isEmpty())
        return;
    const QString& first = pendingIds.constFirst();
    QString wanted = first.mid(first.indexOf(u'#') + 1);
    if (wanted.isEmpty())
        wanted = QStringLiteral("page") + QString::number(page + 1);
    const QString id = b.SetUniqueId(element, wanted);
    for (const QString& key : std::as_const(pendingIds))
        ids.insert(key, id);
    pendingIds.clear();
}

void HtmlFlow::Impl::WithInline(InlineFrame frame, const xmlNode* node, int depth)
{
    inlines.push_back(std::move(frame));
    Walk(node, depth);
    inlines.pop_back();
}

void HtmlFlow::Impl::Heading(const xmlNode* node, int level, int depth)
{
    if (title || cell || citeDepth > 0 || noteSection) {
        // No section can begin here: the heading is a strong paragraph.
        WithInline({"strong"}, node, depth);
        EndParagraph();
        return;
    }
    if (page == 0 && !bodyStarted && !bookTitle.isEmpty()
        && HtmlText(node).compare(bookTitle, Qt::CaseInsensitive) == 0) {
        title = b.AppendBlock(b.Body(), "title");
    } else {
        while (sections.back().level >= level)
            sections.pop_back();
        SectionFrame& parent = sections.back();
        if (parent.level > 0 && parent.hasContent) {
            WrapContent(parent.node);
            parent.hasContent = false;
        }
        xmlNode* section = b.AppendBlock(parent.node, "section");
        sections.push_back({section, level, false});
        AttachPendingIds(section);
        title = b.AppendBlock(section, "title");
    }
    bodyStarted = true;
    Walk(node, depth);
    EndParagraph();
    if (!title->children) {
        xmlUnlinkNode(title);
        xmlFreeNode(title);
    }
    title = nullptr;
}

// A section gaining a subsection can't keep text of its own beside it: the text moves into an
// untitled first subsection.
void HtmlFlow::Impl::WrapContent(xmlNode* section)
{
    xmlNode* first = section->children;
    while (first
        && (!IsXmlElement(first) || xmlStrcmp(first->name, BAD_CAST "title") == 0
            || xmlStrcmp(first->name, BAD_CAST "epigraph") == 0))
        first = first->next;
    if (!first)
        return;
    xmlNode* wrapper = b.AppendBlock(section, "section");
    for (xmlNode* node = first; node && node != wrapper;) {
        xmlNode* next = node->next;
        xmlUnlinkNode(node);
        xmlAddChild(wrapper, node);
        node = next;
    }
}

void HtmlFlow::Impl::Quote(const xmlNode* node, int depth)
{
    if (title || cell) {
        Walk(node, depth);
        return;
    }
    ++citeDepth;
    Walk(node, depth);
    EndParagraph();
    if (--citeDepth == 0)
        cite = nullptr;
    lastEmptyLine = false;
}

void HtmlFlow::Impl::ListItem(const xmlNode* node, int depth)
{
    const std::size_t nesting = std::max<std::size_t>(lists.size(), 1);
    QString marker(int(2 * (nesting - 1)), kNoBreakSpace);
    if (!lists.empty() && lists.back().ordered) {
        const int value = HtmlAttribute(node, "value").toInt();
        if (value > 0)
            lists.back().counter = value;
        marker += QString::number(lists.back().counter++) + u". ";
    } else {
        marker += QStringLiteral("• ");
    }
    listMarker = marker;
    Walk(node, depth);
    EndParagraph();
    listMarker.clear();
}

void HtmlFlow::Impl::Table(const xmlNode* node, int depth)
{
    xmlNode* table = b.AppendBlock(citeDepth > 0 ? ParagraphParent() : ContentSection(), "table");
    AttachPendingIds(table);
    const auto row = [&](const xmlNode* tr) {
        xmlNode* fb2Row = b.AppendBlock(table, "tr");
        for (const xmlNode* td = tr->children; td; td = td->next) {
            if (!IsXmlElement(td))
                continue;
            const bool header = xmlStrcmp(td->name, BAD_CAST "th") == 0;
            if (!header && xmlStrcmp(td->name, BAD_CAST "td") != 0)
                continue;
            cell = b.AppendInline(fb2Row, header ? "th" : "td");
            for (const char* attribute : {"colspan", "rowspan", "align"}) {
                const QString value = HtmlAttribute(td, attribute);
                if (!value.isEmpty())
                    b.SetAttribute(cell, attribute, value);
            }
            paragraph = cell;
            paragraphHasContent = false;
            pendingSpace = false;
            typography.StartParagraph();
            Walk(td, depth + 1);
            for (InlineFrame& frame : inlines)
                frame.node = nullptr;
            cell = nullptr;
            paragraph = nullptr;
            paragraphHasContent = false;
        }
    };
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (!IsXmlElement(child))
            continue;
        if (xmlStrcmp(child->name, BAD_CAST "tr") == 0) {
            row(child);
            continue;
        }
        for (const xmlNode* tr = child->children; tr; tr = tr->next)
            if (IsXmlElement(tr) && xmlStrcmp(tr->name, BAD_CAST "tr") == 0)
                row(tr);
    }
    Wrote(true);
    paragraphHasContent = false;
    lastEmptyLine = false;
}

void HtmlFlow::Impl::Link(const xmlNode* node, int depth)
{
    const QString href = HtmlAttribute(node, "href").trimmed();
    const bool inLink = std::any_of(inlines.begin(), inlines.end(),
        [](const InlineFrame& frame) { return frame.element[0] == 'a'; });
    if (href.isEmpty() || inLink) {
        Walk(node, depth);
        return;
    }
    const QString key = links.TargetKey(page, href);
    if (!key.isEmpty()) {
        WithInline({"a", {}, key}, node, depth);
        return;
    }
    if (options.removeExternalLinks) {
        Walk(node, depth);
        return;
    }
    WithInline({"a", href}, node, depth);
}

void HtmlFlow::Impl::Image(const xmlNode* node)
{
    const QString href = images.Href(HtmlAttribute(node, "src").trimmed(), sources[page].path);
    if (href.isEmpty())
        return;
    xmlNode* image = nullptr;
    if ((paragraph && paragraphHasContent) || title || cell || citeDepth > 0) {
        xmlNode* target = InlineTarget();
        if (pendingSpace && paragraphHasContent)
            b.AppendText(target, u" ");
        pendingSpace = false;
        image = b.AppendInline(target, "image");
    } else {
        EndParagraph();
        image = b.AppendBlock(ContentSection(), "image");
        AttachPendingIds(image);
        lastEmptyLine = false;
    }
    b.SetHref(image, href);
    Wrote(true);
    if (!paragraph)
        paragraphHasContent = false; // a block image: the next paragraph starts afresh
    const QString alt = HtmlAttribute(node, "alt").simplified();
    if (!alt.isEmpty())
        b.SetAttribute(image, "alt", alt);
}

void HtmlFlow::Impl::Note(const xmlNode* node, const QString& key, int depth)
{
    EndParagraph();
    FlowState saved {
        std::move(inlines), std::move(lists), cite, citeDepth, preDepth, lastEmptyLine};
    const QStringList savedPending = std::exchange(pendingIds, {});
    inlines.clear();
    lists.clear();
    cite = nullptr;
    citeDepth = preDepth = 0;
    lastEmptyLine = false;

    noteSection = b.AppendBlock(b.NotesBody(), "section");
    ids.insert(key, b.SetUniqueId(noteSection, key.mid(key.indexOf(u'#') + 1)));
    const QString number = links.NoteTitle(key);
    if (!number.isEmpty())
        b.AppendTextBlock(b.AppendBlock(noteSection, "title"), "p", number);
    RecordAnchors(node);
    if (ClassifyHtmlElement(node).tag == HtmlTag::ListItem)
        Walk(node, depth); // the list's number is the note's title already
    else
        Element(node, depth);
    EndParagraph();
    if (!number.isEmpty())
        DropRepeatedNumber(noteSection, number);
    noteSection = nullptr;

    inlines = std::move(saved.inlines);
    lists = std::move(saved.lists);
    cite = saved.cite;
    citeDepth = saved.citeDepth;
    preDepth = saved.preDepth;
    lastEmptyLine = saved.lastEmptyLine;
    pendingIds = savedPending;
}

// A note's text usually repeats its number ("[1] Text", "<a>1</a>. Text"); the note's title
// shows it already.
void HtmlFlow::Impl::DropRepeatedNumber(xmlNode* section, const QString& number)
{
    xmlNode* first = section->children;
    while (first && (!IsXmlElement(first) || xmlStrcmp(first->name, BAD_CAST "p") != 0))
        first = first->next;
    xmlNode* node = first ? first->children : nullptr;
    if (!node)
        return;
    if (IsXmlElement(node) && xmlStrcmp(node->name, BAD_CAST "a") == 0) {
        static const QRegularExpression bracketed(QStringLiteral("^[\\[({]?\\s*|\\s*[\\])}]?$"));
        if (NodeText(node).remove(bracketed) != number)
            return;
        std::erase_if(internalLinks, [node](const auto& link) { return link.first == node; });
        xmlNode* next = node->next;
        xmlUnlinkNode(node);
        xmlFreeNode(node);
        node = next;
        if (!node || node->type != XML_TEXT_NODE)
            return;
        static const QRegularExpression rest(QStringLiteral("^[\\])}.:]?\\s*"));
        const QString text = FromUtf8(node->content).remove(rest);
        xmlNodeSetContent(node, BAD_CAST XmlTextUtf8(text).constData());
        return;
    }
    if (node->type != XML_TEXT_NODE)
        return;
    const QRegularExpression repeated(QStringLiteral("^\\s*[\\[({]?\\s*")
        + QRegularExpression::escape(number) + QStringLiteral("\\s*[\\])}.:]?\\s+"));
    QString text = FromUtf8(node->content);
    if (text.contains(repeated))
        xmlNodeSetContent(node, BAD_CAST XmlTextUtf8(text.remove(repeated)).constData());
}

HtmlFlow::HtmlFlow(Fb2Builder& builder, const ConverterOptions& options, const QString& lang,
    const QString& rootFolder, const std::vector<HtmlSource>& sources, const HtmlLinkMap& links)
    : d_(std::make_unique<Impl>(builder, options, lang, rootFolder, sources, links))
{
}

HtmlFlow::~HtmlFlow() = default;

void HtmlFlow::Write(std::size_t page, const QString& bookTitle)
{
    Impl& d = *d_;
    d.page = page;
    d.bookTitle = bookTitle;
    d.sections.assign(1, {d.b.Body(), 0, false});
    d.cite = nullptr;
    d.citeDepth = d.preDepth = 0;
    d.lastEmptyLine = false;
    const QString start = HtmlLinkMap::AnchorKey(page, {});
    if (d.links.IsTarget(start))
        d.pendingIds.append(start);
    const xmlNode* root = xmlDocGetRootElement(d.sources[page].doc.get());
    const xmlNode* body = root;
    for (const xmlNode* child = root ? root->children : nullptr; child; child = child->next)
        if (IsXmlElement(child) && xmlStrcmp(child->name, BAD_CAST "body") == 0)
            body = child;
    if (body)
        d.Walk(body, 0);
    d.EndParagraph();
    d.pendingIds.clear(); // anchors at a page's very end have nothing to name
}

bool HtmlFlow::Finish()
{
    Impl& d = *d_;
    for (const auto& [link, key] : d.internalLinks) {
        const QString id = d.ids.value(key);
        if (!id.isEmpty()) {
            d.b.SetHref(link, QString(u'#' + id));
            if (d.links.IsNote(key))
                xmlSetProp(link, BAD_CAST "type", BAD_CAST "note");
            continue;
        }
        // Its target never made it into the book: keep the words, drop the link.
        while (xmlNode* child = link->children) {
            xmlUnlinkNode(child);
            xmlAddPrevSibling(link, child);
        }
        xmlUnlinkNode(link);
        xmlFreeNode(link);
    }
    d.internalLinks.clear();
    for (const xmlNode* child = d.b.Body()->children; child; child = child->next)
        if (IsXmlElement(child) && xmlStrcmp(child->name, BAD_CAST "section") == 0)
            return true;
    return false;
}

} // namespace lbv
