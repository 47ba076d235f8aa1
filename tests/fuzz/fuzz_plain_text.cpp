// A plain-text book from arbitrary bytes: the first byte picks the text mode and code page.
#include "fuzz_support.h"
#include "reader/content_kind.h"
#include "reader/text_document.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lbv::fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    const int mode = data[0] & 3;
    const int codePage = (data[0] >> 2) % 8 - 1; // -1 automatic, else a registry index
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    lbv::DetectContentKind(bytes);
    lbv::TextDocument document(std::make_unique<lbv::MemoryByteSource>(bytes), {}, mode);
    if (!document.Load(codePage))
        return 0;
    for (int p = 0; p < document.ParagraphCount(0); ++p) {
        const lbv::ParagraphView view = document.GetParagraph(0, p);
        if (view.text.size() != document.ParagraphLength(0, p))
            __builtin_trap();
    }
    return 0;
}
