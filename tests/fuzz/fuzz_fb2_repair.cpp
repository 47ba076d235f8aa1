// libFuzzer entry point for the repair of damaged FB2 markup: whatever the input, the repaired
// text must satisfy both strict parsers, and the header reader must survive the input. The books
// in tests/data/realworld make a good seed corpus.
#include "catalog/xml_document.h"
#include "fuzz_support.h"
#include "import/book_header.h"
#include "reader/fb2_document.h"
#include "text/book_encoding.h"
#include "text/fb2_markup_repair.h"
#include "text/messages.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lbv::fuzz::EnsureApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray repaired = lbv::RepairFb2Markup(lbv::DecodeBookBytes(bytes));
    if (!repaired.isEmpty()) {
        QString error;
        if (!lbv::LoadXmlUtf8(repaired, &error))
            __builtin_trap();
        lbv::Fb2Document document(std::make_unique<lbv::MemoryByteSource>(repaired), {});
        if (!document.Load(-1) && document.ErrorText().startsWith(u"XML parse error"))
            __builtin_trap();
    }
    lbv::CBookHeader header(QStringLiteral("fuzz.fb2"), qint64(size));
    QString error;
    header.LoadFromBytes(bytes, &error);
    return 0;
}
