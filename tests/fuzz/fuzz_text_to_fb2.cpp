// libFuzzer entry point: plain text through the built-in converter, whose output must always
// read back as XML.
#include "catalog/xml_document.h"
#include "convert/text_to_fb2.h"
#include "fuzz_support.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lbv::fuzz::EnsureApplication();
    static const lbv::ConverterOptions options = [] {
        lbv::ConverterOptions typeset;
        typeset.convertDash = true;
        return typeset;
    }();
    const lbv::ConversionResult result = lbv::ConvertTextBytesToFb2(
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
        QStringLiteral("/nonexistent/Ann Vell - Fuzz.txt"), options);
    QString error;
    if (result.document && !lbv::LoadXmlText(result.document->Xml(), &error))
        __builtin_trap();
    return 0;
}
