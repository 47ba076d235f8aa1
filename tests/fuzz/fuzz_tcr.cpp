// A TCR book from arbitrary bytes, unpacked and read through.
#include "fuzz_support.h"
#include "reader/palm_sources.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lbv::fuzz::EnsureApplication();
    QString error;
    auto source = lbv::TcrTextSource::Open(std::make_unique<lbv::MemoryByteSource>(QByteArray(
                                               reinterpret_cast<const char*>(data), qsizetype(size))),
        error);
    if (!source)
        return 0;
    std::vector<char> buffer(5000);
    for (int64_t at = 0; at < source->Size(); at += 4999)
        source->ReadAt(at, buffer.data(), int64_t(buffer.size()));
    return 0;
}
