#pragma once

// Readings of this process's memory from /proc, in kB.

#include <QByteArray>
#include <QFile>

namespace bench {

// A "Name:   123 kB" line of /proc/self/status (VmHWM, RssAnon, RssFile...).
inline long long StatusKb(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').front().toLongLong();
    }
    return -1;
}

// What is resident now of mapped font files (FreeType maps each face it opens).
inline long long FontFilesKb()
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return -1;
    long long total = 0;
    bool font = false;
    for (const QByteArray &line : smaps.readAll().split('\n')) {
        const QByteArray first = line.left(line.indexOf(' '));
        if (first.contains('-')) // a mapping's header: "start-end perms offset dev inode [path]"
            font = line.contains("/fonts/");
        else if (font && first == "Rss:")
            total += line.mid(4).trimmed().split(' ').front().toLongLong();
    }
    return total;
}

} // namespace bench
