#pragma once
// One member of a ZIP archive as a byte source. A deflated member is inflated as it is read;
// going back restarts from the nearest access point recorded on the way (the inflater's window
// saved every megabyte of output), so random reads never inflate more than about a megabyte.
#include "reader/byte_source.h"
#include "reader/zip_scan.h"

#include <memory>
#include <vector>

namespace lbv {

class ZipMemberSource final : public ByteSource {
public:
    ZipMemberSource(std::shared_ptr<ByteSource> archive, const ZipMember& member, int blockSize);
    ~ZipMemberSource() override;

    int64_t Size() const override { return member_.size; }
    int64_t ReadAt(int64_t position, char* buffer, int64_t size) override;
    QString Description() const override;
    int64_t MemoryUsed() const override;

private:
    struct Inflater;

    std::shared_ptr<ByteSource> archive_;
    ZipMember member_;
    std::unique_ptr<Inflater> inflater_; // only for deflated members
};

} // namespace lbv
