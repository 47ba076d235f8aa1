#pragma once
// Seekable read-only byte streams with a size that reader documents read from: a plain file, a
// ZIP member, the text of a Palm database or of a TCR file.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QFile;

namespace lbv {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual int64_t Size() const = 0;
    // Reads up to `size` bytes from `position`; fewer only at the end of the data or when the
    // underlying data turns out short. -1 when the data can't be read.
    virtual int64_t ReadAt(int64_t position, char* buffer, int64_t size) = 0;
    // One line for the file information dialog: "None", "ZIP, stored", "PDB, packed (1.53)", ...
    virtual QString Description() const = 0;
    // Memory the source keeps for its buffers and indexes.
    virtual int64_t MemoryUsed() const = 0;
};

// A plain file read through one block buffer of FileBufSize bytes.
class FileByteSource final : public ByteSource {
public:
    // Null with "<path>: File not found" or "<path>: I/O Error" in error.
    static std::unique_ptr<FileByteSource> Open(const QString& path, int blockSize, QString& error);
    ~FileByteSource() override;

    int64_t Size() const override { return size_; }
    int64_t ReadAt(int64_t position, char* buffer, int64_t size) override;
    QString Description() const override;
    int64_t MemoryUsed() const override { return int64_t(block_.size()); }

private:
    FileByteSource(std::unique_ptr<QFile> file, int blockSize);
    bool LoadBlock(int64_t blockStart);

    std::unique_ptr<QFile> file_;
    int64_t size_ = 0;
    std::vector<char> block_;
    int64_t blockStart_ = -1;
    int64_t blockLength_ = 0;
};

// Bytes already in memory (a book handed over by another part of the program, tests).
class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(QByteArray bytes) : bytes_(std::move(bytes)) { }
    int64_t Size() const override { return bytes_.size(); }
    int64_t ReadAt(int64_t position, char* buffer, int64_t size) override;
    QString Description() const override;
    int64_t MemoryUsed() const override { return bytes_.size(); }

private:
    QByteArray bytes_;
};

// The error text for a file that can't be opened: missing file or folder, or anything else.
QString FileOpenError(const QString& path);

} // namespace lbv
