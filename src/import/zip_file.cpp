#include "import/zip_file.h"

#include "text/utf.h"
#include "text/zip_layout.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>
#include <cstring>
#include <ctime>
#include <zlib.h>

namespace lbv {
namespace {

const char16_t kBadMode[] = u"Mode must be \"r\", \"w\" or \"a\"";
const char16_t kUnsupportedMethod[] = u"That compression method is not supported";
const char16_t kCantOpen[] = u"Can't open";
const char16_t kCantPositionOldDirectory[] = u"Can't position on old central directory";
const char16_t kNotZipOrComment[] = u"File is not a zip file, or ends with a comment";
const char16_t kCantPositionDirectory[] = u"Can't position on central directory";
const char16_t kBadDirectoryMagic[] = u"Bad magic number for central directory";
const char16_t kCantPositionHeader[] = u"Can't position on file header";
const char16_t kBadHeaderMagic[] = u"Bad magic number for file header";
const char16_t kNamesDiffer[] = u"File name in directory and header differ.";
const char16_t kReadMode[] = u"read() requires mode \"r\" or \"a\"";
const char16_t kReadClosed[] = u"Attempt to read ZIP archive that was already closed";
const char16_t kNotInZip[] = u"Requested file is not in this ZIP";
const char16_t kCantPositionData[] = u"Can't position on compressed data";
const char16_t kCantReadData[] = u"Can't read compressed data";
const char16_t kInflateInit[] = u"inflateInit2 error";
const char16_t kDecompressError[] = u"Error decompressing file";
const char16_t kUnsupportedMethodForFile[] = u"Unsupported compression method for file";
const char16_t kBadCrc[] = u"Bad CRC-32 for file";
const char16_t kDuplicateName[] = u"Duplicate name";
const char16_t kWriteMode[] = u"write() requires mode \"w\" or \"a\"";
const char16_t kWriteClosed[] = u"Attempt to write ZIP archive that was already closed";
const char16_t kDeflateInit[] = u"deflateInit2 error";
// Damaged directories, sizes beyond what a member or an archive can hold, failed writes.
const char16_t kCantReadDirectory[] = u"Can't read central directory";
const char16_t kMemberTooLarge[] = u"File in ZIP is too large";
const char16_t kArchiveTooLarge[] = u"ZIP archive is too large";
const char16_t kTooManyMembers[] = u"Too many files in ZIP archive";
const char16_t kFieldTooLong[] = u"File name or comment is too long for ZIP";
const char16_t kCantWrite[] = u"Can't write ZIP file";

[[noreturn]] void Fail(const char16_t* text)
{
    throw ZipError(QString::fromUtf16(text));
}

constexpr quint16 kDataDescriptorFlag = 0x0008;
constexpr quint16 kUtf8Flag = 0x0800;
constexpr qsizetype kLocalHeaderSize = 30;
constexpr qsizetype kCentralHeaderSize = 46;
constexpr qsizetype kDataDescriptorSize = 12;
constexpr char kLocalSignature[] = "PK\x03\x04";
constexpr char kCentralSignature[] = "PK\x01\x02";
constexpr char kEndSignature[] = "PK\x05\x06";
constexpr qint64 kMax32 = 0xFFFFFFFF;
constexpr qint64 kMax16 = 0xFFFF;
// Members live whole in memory. No book comes near this; a damaged or hostile size field does.
constexpr qint64 kMaxMemberSize = qint64(512) * 1024 * 1024;
// Deflate cannot expand its input by more than about 1032:1, so larger claims are lies.
constexpr qint64 kMaxInflateRatio = 1032;

bool HasSignature(const char* bytes, qsizetype available, const char* signature)
{
    return available >= 4 && std::memcmp(bytes, signature, 4) == 0;
}

quint16 Get16(const char* p)
{
    return qFromLittleEndian<quint16>(p);
}
quint32 Get32(const char* p)
{
    return qFromLittleEndian<quint32>(p);
}
void Put16(QByteArray& out, qint64 value)
{
    char bytes[2];
    qToLittleEndian<quint16>(quint16(value), bytes);
    out.append(bytes, 2);
}
void Put32(QByteArray& out, qint64 value)
{
    char bytes[4];
    qToLittleEndian<quint32>(quint32(value), bytes);
    out.append(bytes, 4);
}

quint32 Crc32(const QByteArray& data)
{
    return quint32(crc32_z(0, reinterpret_cast<const Bytef*>(data.constData()), data.size()));
}

QByteArray Inflate(const QByteArray& packed, qint64 size)
{
    if (size > qint64(packed.size()) * kMaxInflateRatio + 64)
        Fail(kMemberTooLarge);
    z_stream stream {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        Fail(kInflateInit);
    // One byte of slack lets an empty member finish and makes an overlong stream fail its CRC.
    QByteArray out(size + 1, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    stream.avail_in = uInt(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_SYNC_FLUSH);
    const qsizetype produced = qsizetype(stream.total_out);
    inflateEnd(&stream);
    if (result != Z_STREAM_END && result != Z_OK)
        Fail(kDecompressError);
    out.truncate(produced);
    return out;
}

QByteArray Deflate(const QByteArray& data)
{
    z_stream stream {};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY)
        != Z_OK)
        Fail(kDeflateInit);
    // Sized by zlib's own bound, so content that does not compress (images, packed formats)
    // is still stored instead of being refused.
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = deflate(&stream, Z_FINISH);
    const qsizetype produced = qsizetype(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        Fail(kDecompressError);
    out.truncate(produced);
    return out;
}

QByteArray LocalHeader(const CZipInfo& info)
{
    const bool sizesFollow = info.flagBits & kDataDescriptorFlag;
    quint16 date = 0;
    quint16 time = 0;
    DosDateTime(info.dateTime, &date, &time);
    QByteArray out;
    out.reserve(kLocalHeaderSize + info.storedName.size() + info.extra.size());
    out.append(kLocalSignature, 4);
    out.append(char(info.extractVersion));
    out.append(char(info.reserved));
    Put16(out, info.flagBits);
    Put16(out, info.compressType);
    Put16(out, time);
    Put16(out, date);
    Put32(out, sizesFollow ? 0 : info.crc);
    Put32(out, sizesFollow ? 0 : info.compressSize);
    Put32(out, sizesFollow ? 0 : info.fileSize);
    Put16(out, info.storedName.size());
    Put16(out, info.extra.size());
    out.append(info.storedName);
    out.append(info.extra);
    return out;
}

void AppendCentralRecord(QByteArray& out, const CZipInfo& info)
{
    const QByteArray comment = ToUtf8(info.comment);
    quint16 date = 0;
    quint16 time = 0;
    DosDateTime(info.dateTime, &date, &time);
    out.append(kCentralSignature, 4);
    out.append(char(info.createVersion));
    out.append(char(info.createSystem));
    out.append(char(info.extractVersion));
    out.append(char(info.reserved));
    Put16(out, info.flagBits);
    Put16(out, info.compressType);
    Put16(out, time);
    Put16(out, date);
    Put32(out, info.crc);
    Put32(out, info.compressSize);
    Put32(out, info.fileSize);
    Put16(out, info.storedName.size());
    Put16(out, info.extra.size());
    Put16(out, comment.size());
    Put16(out, info.volume);
    Put16(out, info.internalAttributes);
    Put32(out, info.externalAttributes);
    Put32(out, info.headerOffset);
    out.append(info.storedName);
    out.append(info.extra);
    out.append(comment);
}

// Parses one central directory record at bytes; *consumed receives its whole length.
CZipInfo ParseCentralRecord(const char* bytes, qsizetype available, qsizetype* consumed)
{
    if (!HasSignature(bytes, available, kCentralSignature))
        Fail(kBadDirectoryMagic);
    if (available < kCentralHeaderSize)
        Fail(kCantReadDirectory);
    const qsizetype nameLength = Get16(bytes + 28);
    const qsizetype extraLength = Get16(bytes + 30);
    const qsizetype commentLength = Get16(bytes + 32);
    *consumed = kCentralHeaderSize + nameLength + extraLength + commentLength;
    if (*consumed > available)
        Fail(kCantReadDirectory);
    const quint16 flags = Get16(bytes + 8);
    const char* variable = bytes + kCentralHeaderSize;
    const QByteArray name(variable, nameLength);
    CZipInfo info(DecodeZipText(name, flags), TimeFromDos(Get16(bytes + 14), Get16(bytes + 12)));
    info.storedName = name;
    info.extra = QByteArray(variable + nameLength, extraLength);
    info.comment
        = DecodeZipText(QByteArray(variable + nameLength + extraLength, commentLength), flags);
    info.createVersion = quint8(bytes[4]);
    info.createSystem = quint8(bytes[5]);
    info.extractVersion = quint8(bytes[6]);
    info.reserved = quint8(bytes[7]);
    info.flagBits = flags;
    info.compressType = Get16(bytes + 10);
    info.crc = Get32(bytes + 16);
    info.compressSize = Get32(bytes + 20);
    info.fileSize = Get32(bytes + 24);
    info.volume = Get16(bytes + 34);
    info.internalAttributes = Get16(bytes + 36);
    info.externalAttributes = Get32(bytes + 38);
    info.headerOffset = Get32(bytes + 42);
    return info;
}

// The archive's end record, found by reading through the file.
bool FindEndRecord(QFile& file, ZipEndRecord* record)
{
    const ZipReadAt readAt = [&file](qint64 position, char* buffer, qint64 size) -> qint64 {
        return file.seek(position) ? file.read(buffer, size) : -1;
    };
    return FindZipEndRecord(readAt, file.size(), record);
}

// Restores the file position when a member read leaves, however it leaves.
class PositionKeeper {
public:
    explicit PositionKeeper(QFile& file)
        : m_file(file)
        , m_position(file.pos())
    {
    }
    ~PositionKeeper() { m_file.seek(m_position); }
    PositionKeeper(const PositionKeeper&) = delete;
    PositionKeeper& operator=(const PositionKeeper&) = delete;

private:
    QFile& m_file;
    qint64 m_position;
};

} // namespace

QString DecodeZipText(const QByteArray& bytes, quint16 flags)
{
    if ((flags & kUtf8Flag) || IsValidUtf8(bytes))
        return FromUtf8(bytes.constData(), bytes.size());
    // Archives from older tools carry names in the Russian DOS code page.
    QStringDecoder cp866("IBM866");
    return cp866.isValid() ? QString(cp866(bytes)) : QString::fromLatin1(bytes);
}

CZipInfo::CZipInfo(const QString& name, qint64 time)
    : fileName(name)
    , dateTime(time ? time : QDateTime::currentSecsSinceEpoch())
{
    fileName = NormalizedMemberName(fileName);
}

CZipFile::~CZipFile()
{
    try {
        Close();
    } catch (const ZipError&) {
        // Nobody is left to tell; the file handle is closed either way.
    }
}

void CZipFile::Open(const QString& fileName, char mode, int defaultCompression)
{
    if (mode != 'r' && mode != 'w' && mode != 'a')
        Fail(kBadMode);
    if (defaultCompression != ZipStored && defaultCompression != ZipDeflated)
        Fail(kUnsupportedMethod);
    Close();
    m_mode = mode;
    m_defaultCompression = defaultCompression;
    m_directoryStart = 0;
    m_members.clear();
    m_index.clear();
    m_file.setFileName(fileName);
    const QIODevice::OpenMode openMode = mode == 'r' ? QIODevice::ReadOnly
        : mode == 'w'                                ? QIODevice::WriteOnly | QIODevice::Truncate
                                                     : QIODevice::ReadWrite;
    // Appending needs an existing regular file; ReadWrite alone would create one.
    if ((mode == 'a' && !QFileInfo(fileName).isFile()) || !m_file.open(openMode))
        Fail(kCantOpen);
    try {
        if (mode == 'r') {
            ReadDirectory();
        } else if (mode == 'a') {
            // New members replace the old directory; a file without one is appended to.
            ZipEndRecord end;
            const bool hasDirectory = FindEndRecord(m_file, &end);
            if (hasDirectory)
                ReadDirectory();
            if (!m_file.seek(hasDirectory ? m_directoryStart : m_file.size()))
                Fail(kCantPositionOldDirectory);
        }
    } catch (const ZipError&) {
        m_file.close();
        m_members.clear();
        m_index.clear();
        throw;
    }
}

void CZipFile::ReadDirectory()
{
    ZipEndRecord end;
    if (!FindEndRecord(m_file, &end))
        Fail(kNotZipOrComment);
    if (end.directoryStart < 0 || !m_file.seek(end.directoryStart))
        Fail(kCantPositionDirectory);
    if (end.directorySize > kMaxMemberSize)
        Fail(kCantReadDirectory);
    m_directoryStart = end.directoryStart;
    const QByteArray directory = m_file.read(end.directorySize);
    if (directory.size() != end.directorySize)
        Fail(kCantReadDirectory);
    // Local headers are read when their member is, so opening costs one pass over the
    // directory however many members there are.
    for (qsizetype pos = 0; pos < directory.size();) {
        qsizetype consumed = 0;
        CZipInfo info
            = ParseCentralRecord(directory.constData() + pos, directory.size() - pos, &consumed);
        const qint64 headerOffset = qint64(info.headerOffset) + end.offsetShift;
        if (headerOffset > kMax32)
            Fail(kCantPositionHeader);
        info.headerOffset = quint32(headerOffset);
        AddMember(std::move(info));
        pos += consumed;
    }
}

qint64 CZipFile::DataOffset(const CZipInfo& info)
{
    if (info.headerOffset > m_file.size() || !m_file.seek(info.headerOffset))
        Fail(kCantPositionHeader);
    const QByteArray header = m_file.read(kLocalHeaderSize + info.storedName.size());
    if (header.size() < kLocalHeaderSize
        || !HasSignature(header.constData(), header.size(), kLocalSignature))
        Fail(kBadHeaderMagic);
    const qsizetype nameLength = Get16(header.constData() + 26);
    const qsizetype extraLength = Get16(header.constData() + 28);
    // Comparing the bytes themselves keeps archives whose names do not survive decoding.
    if (header.size() != kLocalHeaderSize + nameLength
        || header.sliced(kLocalHeaderSize) != info.storedName)
        Fail(kNamesDiffer);
    return qint64(info.headerOffset) + kLocalHeaderSize + nameLength + extraLength;
}

void CZipFile::AddMember(CZipInfo info)
{
    if (!m_index.contains(info.fileName)) // a damaged archive may list a name twice
        m_index.insert(info.fileName, qsizetype(m_members.size()));
    m_members.push_back(std::move(info));
}

const CZipInfo* CZipFile::Find(const QString& name) const
{
    // Paths stored before names were normalised still find their member.
    const auto found = m_index.constFind(NormalizedMemberName(name));
    return found == m_index.cend() ? nullptr : &m_members[std::size_t(*found)];
}

QByteArray CZipFile::Read(const QString& name)
{
    if (m_mode != 'r' && m_mode != 'a')
        Fail(kReadMode);
    if (!IsOpen())
        Fail(kReadClosed);
    const CZipInfo* info = Find(name);
    if (!info)
        Fail(kNotInZip);
    if (info->compressSize > kMaxMemberSize || info->fileSize > kMaxMemberSize)
        Fail(kMemberTooLarge);
    const PositionKeeper keeper(m_file);
    const qint64 dataOffset = DataOffset(*info);
    if (!m_file.seek(dataOffset))
        Fail(kCantPositionData);
    // Checked before reading so a false size never becomes a large allocation.
    if (dataOffset + info->compressSize > m_file.size())
        Fail(kCantReadData);
    const QByteArray packed = m_file.read(info->compressSize);
    if (packed.size() != qsizetype(info->compressSize))
        Fail(kCantReadData);
    QByteArray data;
    if (info->compressType == ZipStored)
        data = packed;
    else if (info->compressType == ZipDeflated)
        data = Inflate(packed, info->fileSize);
    else
        Fail(kUnsupportedMethodForFile);
    if (Crc32(data) != info->crc)
        Fail(kBadCrc);
    return data;
}

void CZipFile::Write(const QString& name, const QByteArray& data)
{
    CZipInfo info(name);
    info.compressType = quint16(m_defaultCompression);
    Write(info, data);
}

void CZipFile::Write(const CZipInfo& info, const QByteArray& data)
{
    if (m_index.contains(info.fileName))
        Fail(kDuplicateName);
    if (m_mode != 'w' && m_mode != 'a')
        Fail(kWriteMode);
    if (!IsOpen())
        Fail(kWriteClosed);
    if (info.compressType != ZipStored && info.compressType != ZipDeflated)
        Fail(kUnsupportedMethod);
    // The end record counts members in 16 bits; more would be lost to other readers.
    if (qint64(m_members.size()) >= kMax16)
        Fail(kTooManyMembers);
    if (data.size() > kMaxMemberSize)
        Fail(kMemberTooLarge);
    CZipInfo member = info;
    member.flagBits |= kUtf8Flag;
    member.storedName = ToUtf8(member.fileName);
    if (member.storedName.size() > kMax16 || member.extra.size() > kMax16
        || ToUtf8(member.comment).size() > kMax16)
        Fail(kFieldTooLong);
    member.fileSize = quint32(data.size());
    member.crc = Crc32(data);
    const QByteArray packed = member.compressType == ZipDeflated ? Deflate(data) : QByteArray();
    const QByteArray& payload = member.compressType == ZipDeflated ? packed : data;
    member.compressSize = quint32(payload.size());
    const qint64 headerOffset = m_file.pos();
    const qint64 dataOffset
        = headerOffset + kLocalHeaderSize + member.storedName.size() + member.extra.size();
    if (dataOffset + payload.size() + kDataDescriptorSize > kMax32)
        Fail(kArchiveTooLarge);
    member.headerOffset = quint32(headerOffset);
    WriteBytes(LocalHeader(member));
    WriteBytes(payload);
    if (member.flagBits & kDataDescriptorFlag) {
        QByteArray descriptor;
        Put32(descriptor, member.crc);
        Put32(descriptor, member.compressSize);
        Put32(descriptor, member.fileSize);
        WriteBytes(descriptor);
    }
    AddMember(std::move(member));
}

void CZipFile::WriteBytes(const QByteArray& bytes)
{
    if (m_file.write(bytes) != bytes.size())
        Fail(kCantWrite);
}

void CZipFile::Close()
{
    if (!IsOpen())
        return;
    try {
        if (m_mode == 'w' || m_mode == 'a')
            WriteDirectory();
    } catch (const ZipError&) {
        m_file.close();
        throw;
    }
    m_file.close();
}

void CZipFile::WriteDirectory()
{
    const qint64 start = m_file.pos();
    QByteArray records;
    for (const CZipInfo& info : m_members)
        AppendCentralRecord(records, info);
    QByteArray end;
    end.append(kEndSignature, 4);
    Put16(end, 0);
    Put16(end, 0);
    Put16(end, qint64(m_members.size()));
    Put16(end, qint64(m_members.size()));
    Put32(end, records.size());
    Put32(end, start);
    Put16(end, 0);
    WriteBytes(records);
    WriteBytes(end);
    // An appended archive may have had a longer directory than the one that replaced it.
    if (!m_file.flush() || (m_mode == 'a' && !m_file.resize(m_file.pos())))
        Fail(kCantWrite);
}

void DosDateTime(qint64 time, quint16* dosDate, quint16* dosTime)
{
    const std::time_t value = std::time_t(time);
    std::tm local {};
    localtime_r(&value, &local);
    const int year = local.tm_year + 1900;
    if (year < 1980) {
        *dosDate = (1 << 5) | 1;
        *dosTime = 0;
    } else if (year > 2107) {
        *dosDate = quint16((127 << 9) | (12 << 5) | 31);
        *dosTime = quint16((23 << 11) | (59 << 5) | 29);
    } else {
        *dosDate = quint16(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
        *dosTime = quint16((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
    }
}

qint64 TimeFromDos(quint16 dosDate, quint16 dosTime)
{
    std::tm local {};
    local.tm_year = (dosDate >> 9) + 80;
    local.tm_mon = ((dosDate >> 5) & 0x0F) - 1;
    local.tm_mday = dosDate & 0x1F;
    local.tm_hour = dosTime >> 11;
    local.tm_min = (dosTime >> 5) & 0x3F;
    local.tm_sec = (dosTime & 0x1F) * 2;
    local.tm_isdst = -1;
    return qint64(std::mktime(&local));
}

} // namespace lbv
