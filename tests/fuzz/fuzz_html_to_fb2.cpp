// libFuzzer entry point: an HTML page through the built-in converter, whose output must always
// read back as XML. The page's folder doesn't exist, so no image or linked page is read.
#include "catalog/xml_document.h"
#include "convert/html_to_fb2.h"
#include "fuzz_support.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lbv::fuzz::EnsureApplication();
    static const lbv::ConverterOptions options = [] {
        lbv::ConverterOptions typeset;
        typeset.convertDash = true;
        typeset.linkDepth = 1;
        return typeset;
    }();
    const lbv::ConversionResult result = lbv::ConvertHtmlBytesToFb2(
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
        QStringLiteral("/nonexistent/page.html"), options);
    QString error;
    if (result.document && !lbv::LoadXmlText(result.document->Xml(), &error))
        __builtin_trap();
    return 0;
}
