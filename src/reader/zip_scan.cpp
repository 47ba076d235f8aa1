#include "reader/zip_scan.h"

#include "text/code_pages.h"
#include "text/messages.h"
#include "text/utf.h"
#include "text/zip_layout.h"

#include <QSet>
#include <zlib.h>

namespace lbv {
namespace {

constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr uint32_t kCentralHeader = 0x02014b50;
constexpr uint32_t kDescriptorSignature = 0x08074b50;
constexpr int kLocalHeaderSize = 30;
constexpr uint16_t kFlagEncrypted = 1;
constexpr uint16_t kFlagDescriptor = 8;
constexpr uint16_t kFlagUtf8 = 0x800;
constexpr uint32_t kZip64Marker = 0xFFFFFFFF;
// Deflate can't shrink data by more than about 1032:1; a larger claim is a broken header.
constexpr int64_t kMaxDeflateRatio = 1032;

uint16_t Le16(const unsigned char* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t Le32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool ReadExactly(ByteSource& source, int64_t position, void* buffer, int64_t size)
{
    return source.ReadAt(position, static_cast<char*>(buffer), size) == size;
}

// The compressed length of a deflate stream whose sizes follow it in a data descriptor.
int64_t DeflatedLength(ByteSource& source, int64_t start, int64_t& inflatedSize)
{
    z_stream stream {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return -1;
    std::vector<unsigned char> in(16384), out(32768);
    int64_t position = start, result = -1;
    inflatedSize = 0;
    for (;;) {
        if (stream.avail_in == 0) {
            const int64_t got
                = source.ReadAt(position, reinterpret_cast<char*>(in.data()), int64_t(in.size()));
            if (got <= 0)
                break;
            position += got;
            stream.next_in = in.data();
            stream.avail_in = uInt(got);
        }
        stream.next_out = out.data();
        stream.avail_out = uInt(out.size());
        const int ret = inflate(&stream, Z_NO_FLUSH);
        inflatedSize += int64_t(out.size() - stream.avail_out);
        if (ret == Z_STREAM_END) {
            result = position - stream.avail_in - start;
            break;
        }
        if (ret != Z_OK)
            break;
    }
    inflateEnd(&stream);
    return result;
}

QString DecodeName(const QByteArray& raw, uint16_t flags, int zipEncoding)
{
    if (flags & kFlagUtf8)
        return FromUtf8(raw.constData(), raw.size());
    if (zipEncoding >= 0)
        return ConvertToUnicode(zipEncoding, raw);
    if (IsValidUtf8(raw))
        return FromUtf8(raw.constData(), raw.size());
    return ConvertToUnicode(CodePageIndex(866), raw);
}

// Where the first local header is: the start of the file, or past the program stub of a
// self-extracting archive, which its end record tells.
int64_t FirstHeaderPosition(ByteSource& archive)
{
    unsigned char signature[4];
    if (ReadExactly(archive, 0, signature, 4) && Le32(signature) == kLocalHeader)
        return 0;
    const ZipReadAt readAt = [&archive](qint64 position, char* buffer, qint64 size) {
        return qint64(archive.ReadAt(position, buffer, size));
    };
    ZipEndRecord end;
    return FindZipEndRecord(readAt, archive.Size(), &end) ? end.offsetShift : 0;
}

void Insert(ZipFolder& root, const QString& path, ZipMember member)
{
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    ZipFolder* folder = &root;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        ZipFolder* next = nullptr;
        for (ZipFolder& child : folder->folders)
            if (child.name == parts[i])
                next = &child;
        if (!next) {
            folder->folders.push_back(ZipFolder {parts[i], {}, {}});
            next = &folder->folders.back();
        }
        folder = next;
    }
    member.name = parts.isEmpty() ? path : parts.back();
    folder->members.push_back(std::move(member));
}

} // namespace

const ZipFolder* ZipFolder::Folder(const QString& folderName) const
{
    for (const ZipFolder& folder : folders)
        if (folder.name == folderName)
            return &folder;
    return nullptr;
}

const ZipMember* ZipFolder::Member(const QString& memberName) const
{
    for (const ZipMember& member : members)
        if (member.name == memberName)
            return &member;
    return nullptr;
}

std::unique_ptr<ZipDirectory> ZipDirectory::Scan(
    ByteSource& archive, const QString& zipEncoding, QString& error)
{
    struct Found {
        QByteArray rawName;
        uint16_t flags;
        ZipMember member;
    };
    std::vector<Found> found;
    const int64_t archiveSize = archive.Size();
    const auto invalid = [&error]() -> std::unique_ptr<ZipDirectory> {
        error = MessageText(Msg::InvalidZipFile);
        return nullptr;
    };

    int64_t position = FirstHeaderPosition(archive);
    for (;;) {
        unsigned char header[kLocalHeaderSize];
        if (!ReadExactly(archive, position, header, 4))
            return invalid();
        const uint32_t signature = Le32(header);
        if (signature == kCentralHeader)
            break;
        if (signature != kLocalHeader || !ReadExactly(archive, position, header, kLocalHeaderSize))
            return invalid();
        const uint16_t flags = Le16(header + 6);
        const uint16_t method = Le16(header + 8);
        int64_t compressed = Le32(header + 18);
        int64_t size = Le32(header + 22);
        const uint16_t nameLength = Le16(header + 26);
        const uint16_t extraLength = Le16(header + 28);
        QByteArray rawName(nameLength, Qt::Uninitialized);
        if (nameLength == 0
            || !ReadExactly(archive, position + kLocalHeaderSize, rawName.data(), nameLength))
            return invalid();
        const int64_t dataOffset = position + kLocalHeaderSize + nameLength + extraLength;
        int64_t next = 0;
        if (flags & kFlagDescriptor) {
            // Sizes follow the data; only a deflate stream tells where it ends by itself.
            if (method != 8)
                return invalid();
            compressed = DeflatedLength(archive, dataOffset, size);
            if (compressed < 0)
                return invalid();
            unsigned char descriptor[16];
            const int64_t at = dataOffset + compressed;
            if (!ReadExactly(archive, at, descriptor, 12))
                return invalid();
            next = at + (Le32(descriptor) == kDescriptorSignature ? 16 : 12);
        } else {
            if (compressed == kZip64Marker || size == kZip64Marker)
                return invalid();
            next = dataOffset + compressed;
        }
        if (next > archiveSize)
            return invalid();
        const bool directory = rawName.endsWith('/');
        const bool readable = !(flags & kFlagEncrypted) && (method == 0 || method == 8);
        if (!directory && readable) {
            if (method == 0)
                size = compressed;
            else if (size > compressed * kMaxDeflateRatio + 1024)
                return invalid();
            found.push_back({rawName, flags,
                ZipMember {{}, dataOffset, method == 0 ? -1 : compressed, size}});
        }
        position = next;
    }

    auto directory = std::unique_ptr<ZipDirectory>(new ZipDirectory);
    const int encoding = zipEncoding.isEmpty() ? -1 : FindCodePage(zipEncoding);
    // Of members that share a name only the first is listed, as the import lists them.
    QSet<QString> names;
    for (Found& item : found) {
        const QString name = NormalizedMemberName(DecodeName(item.rawName, item.flags, encoding));
        if (names.contains(name))
            continue;
        names.insert(name);
        Insert(directory->root_, name, std::move(item.member));
        ++directory->count_;
    }
    return directory;
}

const ZipMember* ZipDirectory::Find(const QString& memberPath) const
{
    const QStringList parts = NormalizedMemberName(memberPath).split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return nullptr;
    const ZipFolder* folder = &root_;
    for (qsizetype i = 0; i + 1 < parts.size() && folder; ++i)
        folder = folder->Folder(parts[i]);
    return folder ? folder->Member(parts.back()) : nullptr;
}

} // namespace lbv
