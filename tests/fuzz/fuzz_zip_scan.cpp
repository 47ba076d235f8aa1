// A ZIP archive from arbitrary bytes: the local-header scan, then every member read forward and
// back.
#include "fuzz_support.h"
#include "reader/zip_member_source.h"
#include "reader/zip_scan.h"

#include <cstdint>
#include <vector>

namespace {

void ReadMembers(const std::shared_ptr<lbv::ByteSource>& archive, const lbv::ZipFolder& folder)
{
    std::vector<char> buffer(4096);
    for (const lbv::ZipMember& member : folder.members) {
        lbv::ZipMemberSource source(archive, member, 8192);
        const int64_t size = std::min<int64_t>(source.Size(), 1 << 20);
        for (int64_t at = 0; at < size; at += 4096)
            source.ReadAt(at, buffer.data(), 4096);
        source.ReadAt(size / 3, buffer.data(), 100);
    }
    for (const lbv::ZipFolder& child : folder.folders)
        ReadMembers(archive, child);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lbv::fuzz::EnsureApplication();
    auto archive = std::make_shared<lbv::MemoryByteSource>(
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    QString error;
    const auto directory = lbv::ZipDirectory::Scan(*archive, QString(), error);
    if (directory)
        ReadMembers(archive, directory->Root());
    return 0;
}
