#include "text/zip_layout.h"

#include <QByteArray>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace lbv {
namespace {

constexpr qint64 kEndRecordSize = 22;
constexpr qint64 kLongestComment = 0xFFFF;
constexpr qint64 kZip64LocatorSize = 20;
constexpr qint64 kZip64EndRecordSize = 56;
constexpr char kEndSignature[] = "PK\x05\x06";
constexpr char kZip64LocatorSignature[] = "PK\x06\x07";
constexpr char kZip64EndSignature[] = "PK\x06\x06";
constexpr quint32 kMarker32 = 0xFFFFFFFF;
constexpr quint16 kMarker16 = 0xFFFF;

bool ReadExactly(const ZipReadAt& readAt, qint64 position, QByteArray* bytes, qint64 size)
{
    bytes->resize(qsizetype(size));
    return position >= 0 && readAt(position, bytes->data(), size) == size;
}

// The ZIP64 end record's figures, when a locator stands right before the classic end record.
// The record itself is looked for right before the locator, where it always is unless a stub
// moved everything, and otherwise where the locator says.
bool ReadZip64Figures(const ZipReadAt& readAt, qint64 endPosition, qint64* recordPosition,
    qint64* directorySize, qint64* directoryOffset, qint64* entryCount)
{
    QByteArray locator;
    const qint64 locatorPosition = endPosition - kZip64LocatorSize;
    if (!ReadExactly(readAt, locatorPosition, &locator, kZip64LocatorSize)
        || !locator.startsWith(kZip64LocatorSignature))
        return false;
    QByteArray record;
    qint64 position = locatorPosition - kZip64EndRecordSize;
    if (!ReadExactly(readAt, position, &record, kZip64EndRecordSize)
        || !record.startsWith(kZip64EndSignature)) {
        position = qFromLittleEndian<qint64>(locator.constData() + 8);
        if (!ReadExactly(readAt, position, &record, kZip64EndRecordSize)
            || !record.startsWith(kZip64EndSignature))
            return false;
    }
    *recordPosition = position;
    *entryCount = qFromLittleEndian<qint64>(record.constData() + 32);
    *directorySize = qFromLittleEndian<qint64>(record.constData() + 40);
    *directoryOffset = qFromLittleEndian<qint64>(record.constData() + 48);
    return true;
}

} // namespace

bool FindZipEndRecord(const ZipReadAt& readAt, qint64 fileSize, ZipEndRecord* record)
{
    // The record is the last thing in the file but for a comment of up to 64 KB.
    const qint64 tailSize = std::min(fileSize, kEndRecordSize + kLongestComment);
    QByteArray tail;
    if (tailSize < kEndRecordSize || !ReadExactly(readAt, fileSize - tailSize, &tail, tailSize))
        return false;
    for (qsizetype at = tail.size() - kEndRecordSize; at >= 0; --at) {
        const char* end = tail.constData() + at;
        if (std::memcmp(end, kEndSignature, 4) != 0
            || qFromLittleEndian<quint16>(end + 20) != tail.size() - at - kEndRecordSize)
            continue;
        const qint64 endPosition = fileSize - tailSize + at;
        qint64 directoryEnd = endPosition;
        qint64 directorySize = qFromLittleEndian<quint32>(end + 12);
        qint64 directoryOffset = qFromLittleEndian<quint32>(end + 16);
        qint64 entryCount = qFromLittleEndian<quint16>(end + 10);
        const bool needsZip64
            = directorySize == kMarker32 || directoryOffset == kMarker32 || entryCount == kMarker16;
        if (!ReadZip64Figures(
                readAt, endPosition, &directoryEnd, &directorySize, &directoryOffset, &entryCount)
            && needsZip64)
            return false;
        // The directory ends where the end records start; what its stored offset falls short
        // of that is a stub in front.
        const qint64 directoryStart = directoryEnd - directorySize;
        record->directoryStart = directoryStart;
        record->directorySize = directorySize;
        record->entryCount = entryCount;
        // An offset past the directory is damage, and one offsets nothing.
        record->offsetShift = directoryOffset >= 0 && directoryOffset <= directoryStart
            ? directoryStart - directoryOffset
            : 0;
        return true;
    }
    return false;
}

QString NormalizedMemberName(QString name)
{
    for (QChar& c : name) {
        if (c == u'\\')
            c = u'/';
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u'_';
    }
    return name;
}

} // namespace lbv
