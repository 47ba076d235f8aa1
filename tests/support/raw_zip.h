#pragma once
// ZIP archives built byte by byte for tests: member names no archiver of ours would write
// (repeated, with "\" or control characters), stored members, and the archive's outer shapes
// (a comment, a program stub in front, ZIP64 end records).
#include <QByteArray>
#include <vector>
#include <zlib.h>

namespace lbv::test {

struct RawMember {
    QByteArray name;
    QByteArray data;
};

struct RawZipShape {
    QByteArray comment;
    QByteArray stub; // bytes in front; offsets count from the archive's own start
    bool zip64End = false; // ZIP64 end record and locator, classic record full of markers
};

inline void AppendLe(QByteArray& out, quint64 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

inline QByteArray RawZip(const std::vector<RawMember>& members, const RawZipShape& shape = {})
{
    QByteArray body;
    QByteArray directory;
    for (const RawMember& member : members) {
        const quint32 crc = quint32(crc32_z(
            0, reinterpret_cast<const Bytef*>(member.data.constData()), member.data.size()));
        const auto common = [&](QByteArray& out) {
            AppendLe(out, 20, 2); // version needed
            AppendLe(out, 0, 2); // flags
            AppendLe(out, 0, 2); // stored
            AppendLe(out, 0, 4); // time and date
            AppendLe(out, crc, 4);
            AppendLe(out, quint64(member.data.size()), 4);
            AppendLe(out, quint64(member.data.size()), 4);
            AppendLe(out, quint64(member.name.size()), 2);
            AppendLe(out, 0, 2); // extra
        };
        const qsizetype offset = body.size();
        body.append("PK\x03\x04", 4);
        common(body);
        body.append(member.name).append(member.data);
        directory.append("PK\x01\x02", 4);
        AppendLe(directory, 20, 2); // made by
        common(directory);
        AppendLe(directory, 0, 2); // comment
        AppendLe(directory, 0, 2); // disk
        AppendLe(directory, 0, 2); // internal attributes
        AppendLe(directory, 0, 4); // external attributes
        AppendLe(directory, quint64(offset), 4);
        directory.append(member.name);
    }
    QByteArray out = shape.stub + body + directory;
    const quint64 count = members.size();
    if (shape.zip64End) {
        const qsizetype record = body.size() + directory.size();
        out.append("PK\x06\x06", 4);
        AppendLe(out, 44, 8);
        AppendLe(out, 45, 2);
        AppendLe(out, 45, 2);
        AppendLe(out, 0, 4);
        AppendLe(out, 0, 4);
        AppendLe(out, count, 8);
        AppendLe(out, count, 8);
        AppendLe(out, quint64(directory.size()), 8);
        AppendLe(out, quint64(body.size()), 8);
        out.append("PK\x06\x07", 4);
        AppendLe(out, 0, 4);
        AppendLe(out, quint64(record), 8);
        AppendLe(out, 1, 4);
    }
    out.append("PK\x05\x06", 4);
    AppendLe(out, 0, 4); // disks
    AppendLe(out, shape.zip64End ? 0xFFFF : count, 2);
    AppendLe(out, shape.zip64End ? 0xFFFF : count, 2);
    AppendLe(out, shape.zip64End ? 0xFFFFFFFF : quint64(directory.size()), 4);
    AppendLe(out, shape.zip64End ? 0xFFFFFFFF : quint64(body.size()), 4);
    AppendLe(out, quint64(shape.comment.size()), 2);
    return out + shape.comment;
}

} // namespace lbv::test
