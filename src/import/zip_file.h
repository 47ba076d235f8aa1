#pragma once
// The library's own small ZIP archive class: writes one-book archives (stored or deflated) and
// reads such archives back member by member, whole members in memory. Every failure is thrown
// as a ZipError carrying a fixed text; callers report it as "ZIP: " + the text.
#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <exception>
#include <vector>

namespace lbv {

enum ZipMethod : quint16 { ZipStored = 0, ZipDeflated = 8 };

class ZipError : public std::exception {
public:
    explicit ZipError(const QString& text)
        : m_text(text)
        , m_utf8(text.toUtf8())
    {
    }
    const QString& Text() const noexcept { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};

// One archive member as listed in the central directory.
struct CZipInfo {
    // The name is normalised as every reader of archives sees it (NormalizedMemberName); a time
    // of 0 means now (seconds since 1970).
    explicit CZipInfo(const QString& name = {}, qint64 time = 0);

    QString fileName;
    qint64 dateTime = 0; // modification time, kept in the archive as local DOS date and time
    quint16 compressType = ZipStored;
    QString comment;
    QByteArray extra;
    quint8 createSystem = 0;
    quint8 createVersion = 20;
    quint8 extractVersion = 20;
    quint8 reserved = 0;
    quint16 flagBits = 0; // bit 3: sizes follow the data; bit 11: name and comment are UTF-8
    quint16 volume = 0;
    quint16 internalAttributes = 0;
    quint32 externalAttributes = 0;
    quint32 headerOffset = 0;
    quint32 crc = 0;
    quint32 compressSize = 0;
    quint32 fileSize = 0;
    QByteArray storedName; // the name's bytes on disk; set when the member is read or written
};

class CZipFile {
public:
    CZipFile() = default;
    ~CZipFile(); // closes the archive, swallowing any failure
    CZipFile(const CZipFile&) = delete;
    CZipFile& operator=(const CZipFile&) = delete;

    // mode 'r' reads the directory, 'w' creates or truncates, 'a' appends to an existing file;
    // defaultCompression (ZipStored or ZipDeflated) is used by Write(name, data).
    void Open(const QString& fileName, char mode, int defaultCompression = ZipDeflated);
    // The uncompressed bytes of the first member of that name (both sides normalised).
    QByteArray Read(const QString& name);
    // Appends one member; the archive lists a copy of info with its sizes, CRC and offsets.
    void Write(const CZipInfo& info, const QByteArray& data);
    // A member stamped with the current time and compressed with the default compression.
    void Write(const QString& name, const QByteArray& data);
    // Writes the directory in modes 'w' and 'a'; closing a closed archive does nothing.
    void Close();

    bool IsOpen() const { return m_file.isOpen(); }
    const std::vector<CZipInfo>& Members() const { return m_members; }
    const CZipInfo* Find(const QString& name) const;

private:
    void ReadDirectory();
    qint64 DataOffset(const CZipInfo& info); // from the member's local header
    void AddMember(CZipInfo info);
    void WriteDirectory();
    void WriteBytes(const QByteArray& bytes);

    QFile m_file;
    char m_mode = 0;
    int m_defaultCompression = ZipDeflated;
    qint64 m_directoryStart = 0;
    std::vector<CZipInfo> m_members;
    QHash<QString, qsizetype> m_index; // name -> first member of that name
};

// A stored member name or comment: UTF-8 when flag bit 11 says so or the bytes are well-formed
// UTF-8, otherwise the Russian DOS code page (CP866) of older archivers.
QString DecodeZipText(const QByteArray& bytes, quint16 flags);

// Local DOS date and time of a time value; times before 1980 or after 2107 are clamped.
void DosDateTime(qint64 time, quint16* dosDate, quint16* dosTime);
qint64 TimeFromDos(quint16 dosDate, quint16 dosTime);

} // namespace lbv
