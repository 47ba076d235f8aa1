#pragma once
// ZIP archives built in memory for the reader's tests.
#include <QByteArray>
#include <QList>
#include <cstdint>
#include <zlib.h>

namespace lbv::test {

inline void Le16(QByteArray& out, uint32_t v)
{
    out.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF));
}

inline void Le32(QByteArray& out, uint32_t v)
{
    Le16(out, v & 0xFFFF);
    Le16(out, v >> 16);
}

inline QByteArray RawDeflate(const QByteArray& data)
{
    z_stream stream {};
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(int(stream.total_out));
    deflateEnd(&stream);
    return out;
}

struct ZipEntry {
    QByteArray name;
    QByteArray data;
    bool deflate = true;
    uint16_t flags = 0;
    bool descriptor = false; // sizes after the data, not in the header
};

// Local headers followed by a central directory signature: all the reader's scan looks at.
inline QByteArray MakeZip(const QList<ZipEntry>& entries)
{
    QByteArray zip;
    for (const ZipEntry& e : entries) {
        const QByteArray stored = e.deflate ? RawDeflate(e.data) : e.data;
        const uint32_t crc = uint32_t(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.constData()), uInt(e.data.size())));
        Le32(zip, 0x04034b50);
        Le16(zip, 20);
        Le16(zip, e.flags | (e.descriptor ? 8 : 0));
        Le16(zip, e.deflate ? 8 : 0);
        Le32(zip, 0);
        Le32(zip, e.descriptor ? 0 : crc);
        Le32(zip, e.descriptor ? 0 : uint32_t(stored.size()));
        Le32(zip, e.descriptor ? 0 : uint32_t(e.data.size()));
        Le16(zip, uint32_t(e.name.size()));
        Le16(zip, 0);
        zip += e.name + stored;
        if (e.descriptor) {
            Le32(zip, 0x08074b50);
            Le32(zip, crc);
            Le32(zip, uint32_t(stored.size()));
            Le32(zip, uint32_t(e.data.size()));
        }
    }
    Le32(zip, 0x02014b50);
    return zip + QByteArray(42, '\0');
}

} // namespace lbv::test
