#pragma once
// Turns parsed HTML pages (libxml2's HTML tree) into the body of an FB2 book: headings become
// nested sections with titles, block elements paragraphs, inline elements FB2 styles, internal
// links and their targets FB2 links and ids, footnotes a notes body, local images binaries.
// The pages of a book split into linked pages are written one after another.
#include "convert/converter_fb2_builder.h"
#include "convert/converter_options.h"
#include "convert/html_to_fb2_links.h"

#include <memory>
#include <vector>

namespace lbv {

class HtmlFlow {
public:
    // `rootFolder` (canonical) bounds the local images that may be embedded.
    HtmlFlow(Fb2Builder& builder, const ConverterOptions& options, const QString& lang,
        const QString& rootFolder, const std::vector<HtmlSource>& sources,
        const HtmlLinkMap& links);
    ~HtmlFlow();

    // Writes one page's body; in the first page, a leading heading that repeats the book's
    // title becomes the body's title.
    void Write(std::size_t page, const QString& bookTitle);
    // Points every internal link at the id its target received, and unwraps links whose target
    // never appeared. True when the body received any text.
    bool Finish();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace lbv
