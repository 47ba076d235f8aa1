#include "reader/zip_member_source.h"

#include "text/messages.h"

#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace lbv {
namespace {

constexpr int kWindowSize = 32768;
constexpr int64_t kAccessPointSpan = 1 << 20;

struct AccessPoint {
    int64_t output; // uncompressed position
    int64_t input; // compressed position of the first full byte
    int bits; // bits of the byte before `input` that belong to the stream
    std::vector<unsigned char> window; // the 32 KB of output before `output`
};

} // namespace

struct ZipMemberSource::Inflater {
    ByteSource& archive;
    const ZipMember& member;
    z_stream stream {};
    bool ready = false;
    bool ended = false;
    std::vector<unsigned char> input;
    int64_t inputRead = 0; // compressed bytes handed to zlib so far
    int64_t output = 0; // uncompressed bytes produced so far
    std::vector<unsigned char> window = std::vector<unsigned char>(kWindowSize);
    int windowPos = 0;
    std::vector<AccessPoint> points;

    Inflater(ByteSource& source, const ZipMember& zipMember, int blockSize)
        : archive(source), member(zipMember), input(std::size_t(std::max(blockSize, 4096)))
    {
    }

    ~Inflater()
    {
        if (ready)
            inflateEnd(&stream);
    }

    bool Restart(const AccessPoint* point)
    {
        if (!ready) {
            if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
                return false;
            ready = true;
        } else if (inflateReset(&stream) != Z_OK) {
            return false;
        }
        stream.avail_in = 0;
        ended = false;
        windowPos = 0;
        if (!point) {
            inputRead = 0;
            output = 0;
            return true;
        }
        inputRead = point->input;
        output = point->output;
        if (point->bits) {
            unsigned char byte = 0;
            if (archive.ReadAt(member.dataOffset + point->input - 1, reinterpret_cast<char*>(&byte), 1)
                != 1)
                return false;
            inflatePrime(&stream, point->bits, byte >> (8 - point->bits));
        }
        inflateSetDictionary(&stream, point->window.data(), kWindowSize);
        window = point->window;
        return true;
    }

    void MaybeRecordPoint()
    {
        // At a deflate block boundary (not after the last block) the state is just the window.
        const bool boundary = (stream.data_type & 128) && !(stream.data_type & 64);
        const int64_t last = points.empty() ? 0 : points.back().output;
        if (!boundary || output < last + kAccessPointSpan)
            return;
        AccessPoint point {output, inputRead - stream.avail_in, stream.data_type & 7, {}};
        point.window.reserve(kWindowSize);
        point.window.insert(point.window.end(), window.begin() + windowPos, window.end());
        point.window.insert(point.window.end(), window.begin(), window.begin() + windowPos);
        points.push_back(std::move(point));
    }

    // Produces up to `size` bytes into dest (or drops them when dest is null).
    int64_t Produce(unsigned char* dest, int64_t size)
    {
        int64_t done = 0;
        while (done < size && !ended) {
            if (stream.avail_in == 0) {
                const int64_t want
                    = std::min<int64_t>(int64_t(input.size()), member.compressedSize - inputRead);
                const int64_t got = want > 0 ? archive.ReadAt(member.dataOffset + inputRead,
                                                   reinterpret_cast<char*>(input.data()), want)
                                             : 0;
                if (got <= 0) {
                    ended = true; // the member's data ends short
                    break;
                }
                inputRead += got;
                stream.next_in = input.data();
                stream.avail_in = uInt(got);
            }
            if (windowPos == kWindowSize)
                windowPos = 0;
            stream.next_out = window.data() + windowPos;
            stream.avail_out = uInt(std::min<int64_t>(kWindowSize - windowPos, size - done));
            const int ret = inflate(&stream, Z_BLOCK);
            const int produced = int(stream.next_out - (window.data() + windowPos));
            if (dest)
                std::memcpy(dest + done, window.data() + windowPos, std::size_t(produced));
            windowPos += produced;
            done += produced;
            output += produced;
            if (ret == Z_STREAM_END) {
                ended = true;
                break;
            }
            if (ret != Z_OK && !(ret == Z_BUF_ERROR && produced > 0)) {
                ended = true; // broken data: what came before it stays readable
                return done > 0 ? done : -1;
            }
            MaybeRecordPoint();
        }
        return done;
    }

    int64_t ReadAt(int64_t position, unsigned char* buffer, int64_t size)
    {
        const AccessPoint* best = nullptr;
        for (const AccessPoint& point : points)
            if (point.output <= position)
                best = &point;
        // Going back restarts; a long skip forward may start from a later access point.
        const bool pointAhead = best && best->output > output;
        if ((!ready || position < output || pointAhead) && !Restart(best))
            return -1;
        while (output < position && !ended) {
            const int64_t skipped = Produce(nullptr, std::min<int64_t>(position - output, 1 << 16));
            if (skipped <= 0)
                break;
        }
        if (output < position)
            return 0;
        return Produce(buffer, size);
    }
};

ZipMemberSource::ZipMemberSource(
    std::shared_ptr<ByteSource> archive, const ZipMember& member, int blockSize)
    : archive_(std::move(archive)), member_(member)
{
    if (member_.compressedSize >= 0)
        inflater_ = std::make_unique<Inflater>(*archive_, member_, blockSize);
}

ZipMemberSource::~ZipMemberSource() = default;

int64_t ZipMemberSource::ReadAt(int64_t position, char* buffer, int64_t size)
{
    if (position < 0 || size < 0)
        return -1;
    size = std::min(size, member_.size - position);
    if (size <= 0)
        return 0;
    if (!inflater_)
        return archive_->ReadAt(member_.dataOffset + position, buffer, size);
    return inflater_->ReadAt(position, reinterpret_cast<unsigned char*>(buffer), size);
}

QString ZipMemberSource::Description() const
{
    if (!inflater_ || member_.size == 0)
        return MessageText(Msg::SourceZipStored);
    return MessageText(Msg::SourceZipDeflated)
        .arg(double(member_.compressedSize) / double(member_.size), 0, 'f', 2);
}

int64_t ZipMemberSource::MemoryUsed() const
{
    int64_t bytes = archive_->MemoryUsed();
    if (inflater_)
        bytes += int64_t(inflater_->input.size() + inflater_->window.size())
            + int64_t(inflater_->points.size()) * kWindowSize;
    return bytes;
}

} // namespace lbv
