// Costs of hostile input, each measured on libravon-cli in a child process of its own (wall time
// and the child's peak resident memory):
//   - importing one archive of 1,000 and of 4,000 small books (the ratio should stay near 4;
//     the user time is the program's own share, the rest is the file system making files),
//   - opening a 1 MB gzip index that unpacks to 1 GB of blanks (refused, memory small),
//   - reading an FB2 book whose one attribute is 20 MB long (seconds at most).
// Usage: hostile_input_bench PATH-TO-libravon-cli
#include "import/zip_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <zlib.h>

extern char** environ;

using namespace lbv;

namespace {

struct ChildRun {
    double seconds = 0;
    double userSeconds = 0; // the program's own work, without the kernel's file system work
    long peakKb = 0;
    int status = -1;
};

// Runs the program with its output thrown away; its own peak memory comes from wait4.
ChildRun Run(const QString& program, const QStringList& arguments)
{
    std::vector<QByteArray> storage {QFile::encodeName(program)};
    for (const QString& argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& part : storage)
        argv.push_back(part.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ChildRun run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        rusage usage {};
        int status = 0;
        wait4(pid, &status, 0, &usage);
        run.peakKb = usage.ru_maxrss;
        run.userSeconds = double(usage.ru_utime.tv_sec) + double(usage.ru_utime.tv_usec) / 1e6;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    run.seconds = double(timer.nsecsElapsed()) / 1e9;
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

QByteArray Book(int i)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><FictionBook "
                          "xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\"><description>"
                          "<title-info><genre>sf</genre><author><first-name>Many</first-name>"
                          "<last-name>A%1</last-name></author><book-title>Book %2</book-title>"
                          "</title-info></description><body><section><p>Text of book %2.</p>"
                          "</section></body></FictionBook>")
        .arg(i % 50)
        .arg(i)
        .toUtf8();
}

ChildRun Import(const QString& cli, const QString& folder, int members)
{
    const QString source = folder + QStringLiteral("/src%1").arg(members);
    const QString library = folder + QStringLiteral("/lib%1").arg(members);
    QDir().mkpath(source);
    QDir().mkpath(library);
    CZipFile zip;
    zip.Open(source + u"/many.zip", 'w', ZipDeflated);
    for (int i = 0; i < members; ++i)
        zip.Write(QStringLiteral("b%1.fb2").arg(i, 6, 10, QLatin1Char('0')), Book(i));
    zip.Close();
    const QString index = library + u"/index.lvf";
    Run(cli, {QStringLiteral("new"), index, QStringLiteral("--zip")});
    const ChildRun run = Run(cli,
        {QStringLiteral("import"), index, source, QStringLiteral("--existing"),
            QStringLiteral("skip")});
    if (run.status != 0)
        std::printf("  (import of %d members exited with %d)\n", members, run.status);
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-libravon-cli\n", argv[0]);
        return 2;
    }
    const QString cli = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir folder;

    const ChildRun small = Import(cli, folder.path(), 1000);
    const ChildRun large = Import(cli, folder.path(), 4000);
    std::printf("import: 1,000 members took %.1f s and 4,000 members took %.1f s (ratio %.1f); "
                "user time %.2f s and %.2f s (ratio %.1f)\n",
        small.seconds, large.seconds, large.seconds / small.seconds, small.userSeconds,
        large.userSeconds, large.userSeconds / small.userSeconds);

    const QString bomb = folder.filePath(QStringLiteral("gzbomb1g.lvf"));
    gzFile file = gzopen(QFile::encodeName(bomb).constData(), "wb9");
    gzputs(file, "<books>");
    const QByteArray blanks(1 << 24, ' ');
    for (int i = 0; i < 64; ++i)
        gzwrite(file, blanks.constData(), unsigned(blanks.size()));
    gzputs(file, "</books>");
    gzclose(file);
    const ChildRun opened = Run(cli, {QStringLiteral("list"), bomb});
    std::printf("gzip bomb: gzbomb1g.lvf (%.1f MB, 1 GB unpacked): peak RSS %.0f MB, %.1f s, %s\n",
        double(QFileInfo(bomb).size()) / (1 << 20), double(opened.peakKb) / 1024, opened.seconds,
        opened.status == 0 ? "opened" : "rejected");

    const QString big = folder.filePath(QStringLiteral("big.fb2"));
    QFile book(big);
    book.open(QIODevice::WriteOnly);
    book.write("<?xml version=\"1.0\" encoding=\"utf-8\"?><FictionBook "
               "xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\"><description><title-info>"
               "<book-title>B</book-title></title-info></description><body><p id=\"");
    book.write(QByteArray(20 << 20, 'A'));
    book.write("\">x</p></body></FictionBook>");
    book.close();
    const ChildRun read = Run(cli,
        {QStringLiteral("read"), big, QStringLiteral("--width"), QStringLiteral("60"),
            QStringLiteral("--height"), QStringLiteral("4")});
    std::printf("attribute: 20 MB: %.1f s, RSS %.0f MB, exit %d\n", read.seconds,
        double(read.peakKb) / 1024, read.status);
    return 0;
}
