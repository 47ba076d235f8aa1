// libFuzzer entry point; the work is in fuzz_library_inputs.h.
#include "fuzz_library_inputs.h"
#include "fuzz_support.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lbv::fuzz::EnsureApplication();
    lbv::fuzz::ReadArchiveMembers(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
