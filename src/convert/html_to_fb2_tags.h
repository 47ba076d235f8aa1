#pragma once
// How the HTML converter treats each HTML element.
#include <libxml/tree.h>

namespace lbv {

enum class HtmlTag {
    Transparent, // span, font, u, ...: their content flows on
    Skip, // script, style, form controls, ...: dropped with their content
    Heading,
    Paragraph,
    Container, // div and friends: their content starts and ends paragraphs
    Break,
    Rule,
    Quote,
    Pre,
    List,
    ListItem,
    Table,
    Image,
    Link,
    Style, // an FB2 style element
};

struct HtmlTagInfo {
    HtmlTag tag = HtmlTag::Transparent;
    const char* style = nullptr; // HtmlTag::Style: the FB2 element
    int level = 0; // HtmlTag::Heading
};

// By the element's name; unknown elements are transparent.
HtmlTagInfo ClassifyHtmlElement(const xmlNode* node);
// Whether an element holds block elements (a <div> holding only text is a paragraph).
bool HoldsBlocks(const xmlNode* node);
// A table of data (cells of text) rather than one that lays out a page.
bool IsDataTable(const xmlNode* table);

} // namespace lbv
