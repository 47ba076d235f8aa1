#include "convert/html_to_fb2_tags.h"

#include "convert/html_to_fb2_links.h"

#include <string_view>
#include <unordered_map>

namespace lbv {

HtmlTagInfo ClassifyHtmlElement(const xmlNode* node)
{
    static const std::unordered_map<std::string_view, HtmlTagInfo> tags = [] {
        std::unordered_map<std::string_view, HtmlTagInfo> map;
        for (const char* name : {"script", "style", "head", "title", "meta", "link", "noscript",
                 "template", "iframe", "frame", "frameset", "object", "embed", "applet", "select",
                 "option", "textarea", "button", "input", "map", "area", "svg", "math", "canvas",
                 "audio", "video", "source", "track", "param", "base"})
            map[name] = {HtmlTag::Skip};
        for (const char* name : {"html", "body", "div", "center", "address", "article", "section",
                 "main", "header", "footer", "nav", "aside", "figure", "figcaption", "form",
                 "fieldset", "legend", "details", "summary", "dl", "dt", "dd", "caption", "thead",
                 "tbody", "tfoot", "tr", "td", "th", "noframes"})
            map[name] = {HtmlTag::Container};
        const char* headings[] = {"h1", "h2", "h3", "h4", "h5", "h6"};
        for (int level = 1; level <= 6; ++level)
            map[headings[level - 1]] = {HtmlTag::Heading, nullptr, level};
        map["p"] = {HtmlTag::Paragraph};
        map["br"] = {HtmlTag::Break};
        map["hr"] = {HtmlTag::Rule};
        map["blockquote"] = {HtmlTag::Quote};
        for (const char* name : {"pre", "listing", "xmp", "plaintext"})
            map[name] = {HtmlTag::Pre};
        for (const char* name : {"ul", "ol", "menu", "dir"})
            map[name] = {HtmlTag::List};
        map["li"] = {HtmlTag::ListItem};
        map["table"] = {HtmlTag::Table};
        map["img"] = {HtmlTag::Image};
        map["a"] = {HtmlTag::Link};
        for (const char* name : {"i", "em", "cite", "var", "dfn"})
            map[name] = {HtmlTag::Style, "emphasis"};
        for (const char* name : {"b", "strong"})
            map[name] = {HtmlTag::Style, "strong"};
        for (const char* name : {"s", "strike", "del"})
            map[name] = {HtmlTag::Style, "strikethrough"};
        map["sub"] = {HtmlTag::Style, "sub"};
        map["sup"] = {HtmlTag::Style, "sup"};
        for (const char* name : {"code", "tt", "kbd", "samp"})
            map[name] = {HtmlTag::Style, "code"};
        return map;
    }();
    const auto found = tags.find(reinterpret_cast<const char*>(node->name));
    return found == tags.end() ? HtmlTagInfo {} : found->second;
}

bool HoldsBlocks(const xmlNode* node)
{
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (!IsXmlElement(child))
            continue;
        switch (ClassifyHtmlElement(child).tag) {
        case HtmlTag::Transparent:
        case HtmlTag::Style:
        case HtmlTag::Link:
        case HtmlTag::Image:
        case HtmlTag::Break:
            if (HoldsBlocks(child))
                return true;
            break;
        case HtmlTag::Skip:
            break;
        default:
            return true;
        }
    }
    return false;
}

bool IsDataTable(const xmlNode* table)
{
    bool rows = false;
    for (const xmlNode* node = table->children; node;) {
        if (IsXmlElement(node)) {
            const HtmlTagInfo info = ClassifyHtmlElement(node);
            const bool layout = info.tag == HtmlTag::Table || info.tag == HtmlTag::Heading
                || info.tag == HtmlTag::Paragraph || info.tag == HtmlTag::List
                || info.tag == HtmlTag::Quote || info.tag == HtmlTag::Pre
                || info.tag == HtmlTag::Rule || xmlStrcmp(node->name, BAD_CAST "div") == 0;
            if (layout)
                return false;
            rows = rows || xmlStrcmp(node->name, BAD_CAST "tr") == 0;
            if (node->children) {
                node = node->children;
                continue;
            }
        }
        while (node && !node->next && node->parent != table)
            node = node->parent;
        node = node ? node->next : nullptr;
    }
    return rows;
}

} // namespace lbv
