// The learning record's file at size, from a cold cache: how long the first
// answer of a run takes to store (the drill's path) and how long the whole
// file's check takes (the parent's look), each with the file's pages put out
// of the page cache first.
//   record_bench check N   one JSON line: {"answers": N, "first_answer_ms": ..,
//                          "check_ms": .., "evicted": "fadvise"|"drop_caches"}
#include "BenchRows.h"
#include "platform/SqliteRecordStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

platform::AnswerRow Row(int n)
{
    return TimesRow(n);
}

// Out of the page cache: all of it where we may (root), else this file's
// pages (clean pages go at once).
const char *Evict(const QString &path)
{
    ::sync();
    QFile drop(QStringLiteral("/proc/sys/vm/drop_caches"));
    if (drop.open(QIODevice::WriteOnly) && drop.write("3\n") == 2)
        return "drop_caches";
    for (const QString &file : {path, path + QStringLiteral("-wal")}) {
        const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
        if (fd >= 0) {
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
    return "fadvise";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3 || args[1] != QLatin1String("check")) {
        std::fprintf(stderr, "usage: record_bench check N\n");
        return 2;
    }
    const int count = args[2].toInt();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.sqlite"));
    {
        platform::SqliteRecordStore store(path);
        for (int n = 0; n < count; ++n) {
            store.AppendSoon(Row(n));
            if ((n + 1) % 5000 == 0)
                store.StoreWaiting();
        }
        store.StoreWaiting();
    } // closed: the journal folded in, as a program leaves it

    Evict(path);
    QElapsedTimer timer;
    double firstMs = 0;
    {
        platform::SqliteRecordStore store(path);
        timer.start();
        if (!store.Append(Row(count)))
            return 1;
        firstMs = double(timer.nsecsElapsed()) / 1e6;
    }
    const char *how = Evict(path);
    double checkMs = 0;
    {
        platform::SqliteRecordStore store(path);
        store.Append(Row(count + 1)); // open, as the view finds it
        Evict(path);
        timer.restart();
        store.Check();
        checkMs = double(timer.nsecsElapsed()) / 1e6;
        if (!store.TakeNotices().isEmpty())
            return 1;
    }
    std::printf("{\"answers\": %d, \"first_answer_ms\": %.2f, \"check_ms\": %.2f, \"evicted\": \"%s\"}\n", count,
                firstMs, checkMs, how);
    return 0;
}
