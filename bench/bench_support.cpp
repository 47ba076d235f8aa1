#include "bench_support.h"

#include <QFile>

#include <algorithm>
#include <ctime>
#include <zlib.h>

namespace lbv::bench {

double ThreadCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

Stopwatch::Stopwatch()
    : cpuStart_(ThreadCpuSeconds())
{
    timer_.start();
}

void Stopwatch::KeepBest(Timing* best) const
{
    best->cpu = std::min(best->cpu, ThreadCpuSeconds() - cpuStart_);
    best->wall = std::min(best->wall, double(timer_.nsecsElapsed()) / 1e9);
}

qint64 RawDeflate(const QByteArray& book)
{
    z_stream stream {};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(book.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(book.constData()));
    stream.avail_in = uInt(book.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    const qint64 packed = qint64(stream.total_out);
    deflateEnd(&stream);
    return packed;
}

long ProcessStatusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace lbv::bench
