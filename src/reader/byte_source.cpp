#include "reader/byte_source.h"

#include "text/messages.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace lbv {

QString FileOpenError(const QString& path)
{
    const Msg id = QFileInfo::exists(path) ? Msg::ReaderFileIoError : Msg::ReaderFileNotFound;
    return MessageText(id).arg(path);
}

std::unique_ptr<FileByteSource> FileByteSource::Open(
    const QString& path, int blockSize, QString& error)
{
    auto file = std::make_unique<QFile>(path);
    if (QFileInfo(path).isDir() || !file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        error = FileOpenError(path);
        return nullptr;
    }
    return std::unique_ptr<FileByteSource>(new FileByteSource(std::move(file), blockSize));
}

FileByteSource::FileByteSource(std::unique_ptr<QFile> file, int blockSize)
    : file_(std::move(file)), size_(file_->size()), block_(std::size_t(std::max(blockSize, 512)))
{
}

FileByteSource::~FileByteSource() = default;

bool FileByteSource::LoadBlock(int64_t blockStart)
{
    blockStart_ = -1;
    if (!file_->seek(blockStart))
        return false;
    const qint64 got = file_->read(block_.data(), qint64(block_.size()));
    if (got < 0)
        return false;
    blockStart_ = blockStart;
    blockLength_ = got;
    return true;
}

int64_t FileByteSource::ReadAt(int64_t position, char* buffer, int64_t size)
{
    if (position < 0 || size < 0)
        return -1;
    const int64_t blockSize = int64_t(block_.size());
    int64_t done = 0;
    while (done < size && position + done < size_) {
        const int64_t at = position + done;
        const int64_t start = at - at % blockSize;
        if (start != blockStart_ && !LoadBlock(start))
            return -1;
        const int64_t inBlock = at - blockStart_;
        const int64_t n = std::min(size - done, blockLength_ - inBlock);
        if (n <= 0)
            break; // the file shrank since it was opened
        std::memcpy(buffer + done, block_.data() + inBlock, std::size_t(n));
        done += n;
    }
    return done;
}

QString FileByteSource::Description() const
{
    return MessageText(Msg::SourcePlain);
}

int64_t MemoryByteSource::ReadAt(int64_t position, char* buffer, int64_t size)
{
    if (position < 0 || size < 0)
        return -1;
    const int64_t n = std::clamp<int64_t>(bytes_.size() - position, 0, size);
    std::memcpy(buffer, bytes_.constData() + position, std::size_t(n));
    return n;
}

QString MemoryByteSource::Description() const
{
    return MessageText(Msg::SourcePlain);
}

} // namespace lbv
