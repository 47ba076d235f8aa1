#pragma once
// What several benchmarks measure alike: the best wall-clock and processor time of repeated
// rounds, and zlib's raw deflate of one book as the floor of what packing it can cost.
#include <QByteArray>
#include <QElapsedTimer>

namespace lbv::bench {

// Processor time (user and system) of the calling thread, in seconds.
double ThreadCpuSeconds();

// Wall-clock time, and the CPU time of this thread: on a machine shared with other work the
// second is what one core spends, the first what a user waits.
struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
};

// Started when made; KeepBest lowers `best` to this round's times where they are smaller.
class Stopwatch {
public:
    Stopwatch();
    void KeepBest(Timing* best) const;

private:
    QElapsedTimer timer_;
    double cpuStart_;
};

// The time since `timer` started, in milliseconds.
inline double Milliseconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// A "kB" field of /proc/self/status ("VmRSS", "VmHWM"); -1 when it can't be read.
long ProcessStatusKb(const char* field);

// Deflates `book` the way the library's archives do (raw deflate, default level); returns the
// packed size.
qint64 RawDeflate(const QByteArray& book);

} // namespace lbv::bench
