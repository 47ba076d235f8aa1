// An FB2 book from arbitrary bytes: parsing, reading every paragraph back, anchors and images.
#include "fuzz_support.h"
#include "reader/fb2_document.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lbv::fuzz::EnsureApplication();
    lbv::DocumentOptions options;
    options.fileBufSize = 8192;
    lbv::Fb2Document document(std::make_unique<lbv::MemoryByteSource>(
                                  QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))),
        options);
    if (!document.Load(-1))
        return 0;
    int64_t characters = 0;
    for (int body = 0; body < document.BodyCount(); ++body) {
        document.BodyName(body);
        for (int p = 0; p < document.ParagraphCount(body); ++p) {
            const lbv::ParagraphView view = document.GetParagraph(body, p);
            characters += view.text.size();
            if (view.text.size() != document.ParagraphLength(body, p)
                || view.attributes.size() != std::size_t(view.text.size()))
                __builtin_trap();
            for (const lbv::ParagraphLink& link : view.links) {
                int anchorBody = 0, anchorParagraph = 0;
                if (link.target.startsWith(u'#'))
                    document.FindAnchor(link.target.mid(1), anchorBody, anchorParagraph);
                else
                    document.GetImage(link.target, {64, 64, 900});
            }
        }
        document.ParagraphAtOffset(body, document.BodyEnd(body) / 2);
    }
    return characters < 0;
}
