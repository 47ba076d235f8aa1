// Opening and saving the index file: the gzip container, the plain fallback, the safe
// replacement of the old file and the import-date migration.
#include "catalog/index_file.h"

#include "catalog/index_records.h"
#include "catalog/libravon_doc.h"
#include "catalog/xml_document.h"
#include "text/messages.h"
#include "text/utf.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace lbv {
namespace {

constexpr int kChunkSize = 256 * 1024;
constexpr qsizetype kMaxFullPathLength = 4096;
// An index's XML packs about tenfold; a stream that unpacks much further is a bomb, and is
// refused before it takes the machine's memory.
constexpr qint64 kMaxIndexInflateRatio = 100;
constexpr qint64 kIndexInflateAllowance = qint64(16) * 1024 * 1024;
constexpr qint64 kMaxIndexSize = qint64(1) << 30;

class WaitCursor {
public:
    explicit WaitCursor(IndexFileUi* ui)
        : ui_(ui)
    {
        if (ui_)
            ui_->BeginWait();
    }
    ~WaitCursor()
    {
        if (ui_)
            ui_->EndWait();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    IndexFileUi* ui_;
};

QString CantRead(const QString& path, const char* reason)
{
    return QStringLiteral("Load: Can't read file \"%1\": %2").arg(path, QString::fromUtf8(reason));
}

// The uncompressed size a gzip file records in its last four bytes (modulo 4 GB), so that the
// buffer is allocated once; 0 when the file does not look like gzip.
qsizetype UncompressedSizeHint(const QString& path)
{
    QFile file(path);
    unsigned char magic[2] = {};
    unsigned char trailer[4] = {};
    if (!file.open(QIODevice::ReadOnly) || file.size() < 18
        || file.read(reinterpret_cast<char*>(magic), 2) != 2 || magic[0] != 0x1f || magic[1] != 0x8b
        || !file.seek(file.size() - 4) || file.read(reinterpret_cast<char*>(trailer), 4) != 4)
        return 0;
    const quint32 size = quint32(trailer[0]) | quint32(trailer[1]) << 8 | quint32(trailer[2]) << 16
        | quint32(trailer[3]) << 24;
    return qsizetype(std::min<qint64>(size, kMaxIndexSize));
}

// The most bytes a compressed index of this size may unpack to.
qint64 UncompressedLimit(qint64 compressedSize)
{
    return std::min(compressedSize * kMaxIndexInflateRatio + kIndexInflateAllowance, kMaxIndexSize);
}

// The compressed attempt's bytes. zlib passes a file without gzip header through unchanged,
// so a plain UTF-8 index arrives here too; a damaged or truncated stream fails the attempt.
bool ReadCompressed(const QString& path, QByteArray* bytes, QString* error)
{
    gzFile file = gzopen(QFile::encodeName(path).constData(), "rb");
    if (!file) {
        *error = MessageText(Msg::IndexCantOpenForLoad).arg(path);
        return false;
    }
    gzbuffer(file, kChunkSize);
    const qint64 limit = UncompressedLimit(QFileInfo(path).size());
    bytes->reserve(std::min<qint64>(UncompressedSizeHint(path), limit) + kChunkSize);
    qsizetype used = 0;
    int status = Z_OK;
    const char* reason = nullptr;
    for (;;) {
        if (used > limit) {
            status = Z_MEM_ERROR;
            reason = "the unpacked index is too large";
            break;
        }
        const qsizetype wanted = used + kChunkSize;
        if (bytes->size() < wanted)
            bytes->resize(
                wanted <= bytes->capacity() ? wanted : std::max(wanted, bytes->size() * 2));
        const int count = gzread(file, bytes->data() + used, kChunkSize);
        if (count <= 0) {
            // 0 is the end of the data; a truncated stream says so only through gzerror.
            reason = gzerror(file, &status);
            break;
        }
        used += count;
    }
    if (status != Z_OK)
        *error = CantRead(path, reason);
    gzclose_r(file);
    bytes->truncate(used);
    return status == Z_OK;
}

// Compresses into the gzip container that zlib's gzip writer makes (default level, no name,
// no time), writing the output to `file` and checking every write.
class GzipWriter {
public:
    explicit GzipWriter(QSaveFile& file)
        : file_(file)
        , out_(kChunkSize)
    {
        if (deflateInit2(
                &stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, MAX_WBITS + 16, 8, Z_DEFAULT_STRATEGY)
            != Z_OK)
            failure_ = QStringLiteral("Out of memory");
        else
            initialised_ = true;
    }
    ~GzipWriter()
    {
        if (initialised_)
            deflateEnd(&stream_);
    }
    GzipWriter(const GzipWriter&) = delete;
    GzipWriter& operator=(const GzipWriter&) = delete;

    bool Write(QByteArrayView bytes) { return Deflate(bytes, Z_NO_FLUSH); }
    bool Finish() { return Deflate({}, Z_FINISH); }
    const QString& Failure() const { return failure_; }

private:
    bool Deflate(QByteArrayView bytes, int flush)
    {
        if (!failure_.isEmpty())
            return false;
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        stream_.avail_in = uInt(bytes.size());
        int result = Z_OK;
        do {
            stream_.next_out = reinterpret_cast<Bytef*>(out_.data());
            stream_.avail_out = uInt(out_.size());
            result = deflate(&stream_, flush);
            if (result == Z_STREAM_ERROR) {
                failure_ = QStringLiteral("Compression failed");
                return false;
            }
            if (!WriteAll(out_.data(), qint64(out_.size() - stream_.avail_out))) {
                failure_ = file_.errorString();
                return false;
            }
        } while (stream_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
        return true;
    }

    // A short write is retried, so that the next attempt reports why the disk refused.
    bool WriteAll(const char* data, qint64 size)
    {
        while (size > 0) {
            const qint64 written = file_.write(data, size);
            if (written <= 0)
                return false;
            data += written;
            size -= written;
        }
        return true;
    }

    QSaveFile& file_;
    std::vector<char> out_;
    z_stream stream_ {};
    bool initialised_ = false;
    QString failure_;
};

QString CantWrite(const QString& path, const QString& reason)
{
    return QStringLiteral("Can't write \"%1\": %2").arg(path, reason);
}

QString AbsoluteIndexPath(const QString& path)
{
    if (path.isEmpty())
        return path;
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return absolute.size() <= kMaxFullPathLength ? absolute : path;
}

// When the file came into the library: its birth time where the file system keeps one.
qint64 FileCreationTime(const QFileInfo& info)
{
    QDateTime time = info.birthTime();
    if (!time.isValid())
        time = info.metadataChangeTime();
    return time.isValid() ? time.toSecsSinceEpoch() : -1;
}

} // namespace

std::optional<bool> CLibravonDoc::ParseIndexText(
    const QByteArray& utf8, IndexFileUi* ui, QString* error)
{
    // Authors are read one by one as the text is parsed; a document of a kind the stream does
    // not handle is parsed whole instead.
    IndexContent content;
    QString reason;
    switch (StreamIndex(utf8, IndexFolder(), &content, &reason)) {
    case IndexStreamResult::Read:
        return CommitIndex(std::move(content), ui, ParseFailure::EmptyCatalog);
    case IndexStreamResult::NotWellFormed:
        *error = QStringLiteral("Loading XML: ERROR! ") + reason;
        return std::nullopt;
    case IndexStreamResult::NeedsWholeDocument:
        break;
    }
    const XmlDocumentPtr document = LoadXmlUtf8(utf8, error);
    if (!document)
        return std::nullopt;
    return ParseIndex(*document, ui);
}

bool CLibravonDoc::Open(const QString& indexPath, IndexFileUi* ui)
{
    WaitCursor wait(ui);
    ReplaceAuthors({});
    path = indexPath;

    QString compressedError;
    QString plainError;
    QByteArray bytes;
    const bool read = ReadCompressed(indexPath, &bytes, &compressedError);
    // A plain index in another encoding passes through the gzip reader unchanged; taken for
    // UTF-8 its names would turn into replacement characters. The parser reads such a file
    // with its declared encoding first.
    bool plainTried = false;
    XmlDocumentPtr plainDocument;
    if (read && !IsValidUtf8(bytes)) {
        plainTried = true;
        plainDocument = LoadXmlFile(indexPath, &plainError);
    }
    std::optional<bool> parsed;
    if (read && !plainDocument)
        parsed = ParseIndexText(bytes, ui, &compressedError);
    bytes = QByteArray();
    const bool plain = !parsed.has_value();
    if (plain) {
        if (!plainTried)
            plainDocument = LoadXmlFile(indexPath, &plainError);
        if (!plainDocument) {
            modified_ = false; // an empty catalog has nothing worth saving over the file
            if (ui)
                ui->ShowMessage(QStringLiteral("Compressed index error: ") + compressedError
                    + QStringLiteral("\r\nUncompressed index error: ") + plainError);
            return false;
        }
        parsed = ParseIndex(*plainDocument, ui);
    }
    if (!*parsed)
        return false;
    if (plain) {
        // The next save goes through "Save as" and writes a compressed index.
        path = QStringLiteral("untitled");
        modified_ = true;
    }
    MigrateImportDates(ui);
    return true;
}

void CLibravonDoc::MigrateImportDates(IndexFileUi* ui)
{
    const qint64 noDate = NoDateSentinel();
    auto undated = [&](auto&& visit) {
        for (const auto& author : authors_)
            for (const auto& group : author->Groups())
                for (const auto& book : group->Books())
                    if (book->added == noDate && !visit(book.get()))
                        return;
    };
    bool anyFile = false;
    undated([&](CBook* book) {
        anyFile = QFileInfo::exists(book->StoredFilePath());
        return !anyFile;
    });
    if (!anyFile || !ui || !ui->AskYesNo(MessageText(Msg::ImportDateMigration)))
        return;
    undated([&](CBook* book) {
        const QFileInfo info(book->StoredFilePath());
        const qint64 created = info.exists() ? FileCreationTime(info) : -1;
        if (created >= 0) {
            book->added = created;
            Changed();
        }
        return true;
    });
}

bool CLibravonDoc::Save(const QString& indexPath, IndexFileUi* ui, bool autorun)
{
    if (autorun)
        return true;
    WaitCursor wait(ui);
    const QString target = AbsoluteIndexPath(indexPath);
    if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
        if (ui)
            ui->ShowError(MessageText(Msg::CantCreateDirectoryFor) + target);
        return false;
    }
    // The text goes straight from the catalog through the compressor into a temporary file
    // beside the target, which replaces the old index only once it is complete and on disk.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        if (ui)
            ui->ShowError(MessageText(Msg::CantOpenForWriting).arg(target));
        return false;
    }
    GzipWriter gzip(file);
    IndexTextSink sink([&gzip](const QByteArray& piece) { return gzip.Write(piece); });
    QString error;
    const bool written = WriteIndex(*this, sink, &error) && sink.Finish() && gzip.Finish();
    if (!written) {
        file.cancelWriting();
        if (ui)
            ui->ShowError(gzip.Failure().isEmpty() ? error : CantWrite(target, gzip.Failure()));
        return false;
    }
    // QSaveFile syncs before renaming but ignores a failed sync; a disk that cannot keep the
    // data must not get to replace the old index.
    QString failure;
    if (!file.flush())
        failure = file.errorString();
    else if (::fsync(file.handle()) != 0)
        failure = QString::fromLocal8Bit(std::strerror(errno));
    else if (!file.commit())
        failure = file.errorString();
    if (!failure.isEmpty()) {
        file.cancelWriting();
        if (ui)
            ui->ShowError(CantWrite(target, failure));
        return false;
    }
    modified_ = false;
    path = target;
    return true;
}

} // namespace lbv
