#include "platform/SqliteRecordFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>
#include <QVariant>

#include <optional>

namespace platform {

namespace {

const QByteArray SqliteMagic("SQLite format 3", 16); // with its terminating zero
constexpr int HeaderSize = 100;
// SQLite's primary result codes that say the file is not a usable database.
constexpr int SqliteCorrupt = 11;
constexpr int SqliteNotADb = 26;
constexpr int ExamineBusyMs = 1500;
constexpr int LockWaitMs = 5000;
constexpr int HeaderLooks = 10;
constexpr int HeaderLookGapMs = 50;
const char *const Companions[] = {"-wal", "-shm", "-journal"};

quint32 BigEndian(const QByteArray &bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

bool IsDamage(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    return ok && (code == SqliteCorrupt || code == SqliteNotADb);
}

// The header alone says the file is not a whole database: not SQLite's, a
// page size SQLite never writes, or fewer pages than it says it has.
bool HeaderDamaged(const QByteArray &header, qint64 fileSize)
{
    if (header.size() < HeaderSize || !header.startsWith(SqliteMagic))
        return true;
    const quint32 rawPageSize = BigEndian(header, 16, 2);
    const qint64 pageSize = rawPageSize == 1 ? 65536 : rawPageSize;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return true;
    // The page count is valid only where the file says so (its change
    // counter is the one the count was written with).
    const bool countValid = BigEndian(header, 24, 4) == BigEndian(header, 92, 4);
    return countValid && qint64(BigEndian(header, 28, 4)) * pageSize > fileSize;
}

} // namespace

SqliteRecordFile::SqliteRecordFile(const QString &path) : path_(path) {}

SqliteRecordFile::~SqliteRecordFile() = default;

SqliteRecordFile::Verdict SqliteRecordFile::Examine(int schemaVersion, int applicationId, bool thorough) const
{
    // Another copy closing the record folds its journal in and writes the
    // first page, with the new page count, before the pages that make the
    // file that long (Windows does not grow the file first). A header that
    // says SQLite's but too short is looked at again before it is believed.
    for (int look = 1;; ++look) {
        QFile file(path_);
        if (!file.exists() || file.size() == 0)
            return Verdict::Empty;
        if (!file.open(QIODevice::ReadOnly))
            return Verdict::Unavailable;
        const QByteArray header = file.read(HeaderSize);
        if (!HeaderDamaged(header, file.size()))
            break;
        if (look == HeaderLooks || !header.startsWith(SqliteMagic))
            return Verdict::Damaged;
        QThread::msleep(HeaderLookGapMs);
    }

    const QString name = QStringLiteral("look-") + QUuid::createUuid().toString(QUuid::Id128);
    Verdict verdict = Verdict::Unavailable;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path_);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(ExamineBusyMs));
        if (db.open()) {
            QSqlQuery q(db);
            // One read transaction for every look: another copy of the
            // program may have just made this file.
            auto single = [&q](const QString &sql) -> std::optional<int> {
                if (!q.exec(sql) || !q.next())
                    return std::nullopt;
                return q.value(0).toInt();
            };
            std::optional<int> id, version, objects;
            if (q.exec(QStringLiteral("BEGIN"))) {
                id = single(QStringLiteral("PRAGMA application_id"));
                version = id ? single(QStringLiteral("PRAGMA user_version")) : std::nullopt;
                objects = version ? single(QStringLiteral("SELECT count(*) FROM sqlite_master")) : std::nullopt;
            }
            if (!objects)
                verdict = IsDamage(q.lastError()) ? Verdict::Damaged : Verdict::Unavailable;
            else if (*id == 0 && *objects == 0)
                verdict = Verdict::Empty;
            else if (*id != applicationId)
                verdict = Verdict::Foreign;
            else if (*version > schemaVersion)
                verdict = Verdict::Newer;
            else if (!thorough)
                verdict = Verdict::Usable;
            else if (q.exec(QStringLiteral("PRAGMA quick_check")) && q.next())
                verdict = q.value(0).toString() == QLatin1String("ok") ? Verdict::Usable : Verdict::Damaged;
            else
                verdict = IsDamage(q.lastError()) ? Verdict::Damaged : Verdict::Unavailable;
            q.finish();
            q.exec(QStringLiteral("ROLLBACK"));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return verdict;
}

bool SqliteRecordFile::Lock()
{
    if (!lock_)
        lock_ = std::make_unique<QLockFile>(path_ + QStringLiteral(".lock"));
    // A copy killed while it held the lock leaves it behind; QLockFile sees
    // that its program is gone and takes it over.
    return lock_->isLocked() || lock_->tryLock(LockWaitMs);
}

void SqliteRecordFile::Unlock()
{
    if (lock_ && lock_->isLocked())
        lock_->unlock();
}

qint64 SqliteRecordFile::JournalSize() const
{
    const QFileInfo journal(path_ + QStringLiteral("-wal"));
    return journal.exists() ? journal.size() : 0;
}

QString SqliteRecordFile::SetAside(const QString &why, bool copyFirst, qint64 journalFound)
{
    const QFileInfo info(path_);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target;
    for (int n = 1;; ++n) {
        const QString suffix = n == 1 ? QString() : QStringLiteral("-%1").arg(n);
        target = info.dir().filePath(QStringLiteral("%1-%2-%3%4.%5")
                                         .arg(info.completeBaseName(), why, stamp, suffix, info.suffix()));
        if (!QFile::exists(target) && !QFile::exists(target + QStringLiteral("-wal")))
            break;
    }
    if (!(copyFirst ? QFile::copy(path_, target) : QFile::rename(path_, target)))
        return QString();
    // Its journal goes with it: it belongs to that file, not to a new one.
    if (!copyFirst) {
        for (const char *companion : Companions) {
            const QString from = path_ + QLatin1String(companion);
            if (QFile::exists(from))
                QFile::rename(from, target + QLatin1String(companion));
        }
    } else if (journalFound > 0) {
        QFile from(path_ + QStringLiteral("-wal"));
        QFile to(target + QStringLiteral("-wal"));
        if (from.open(QIODevice::ReadOnly) && to.open(QIODevice::WriteOnly))
            to.write(from.read(journalFound));
    }
    return QFileInfo(target).fileName();
}

bool SqliteRecordFile::RemoveOriginal()
{
    bool removed = QFile::remove(path_);
    for (const char *companion : Companions) {
        const QString file = path_ + QLatin1String(companion);
        if (QFile::exists(file))
            removed = QFile::remove(file) && removed;
    }
    return removed;
}

QStringList SqliteRecordFile::AnswerCopies() const
{
    const QFileInfo info(path_);
    QStringList filters;
    for (const char *why : {"damaged", "newer"})
        filters << QStringLiteral("%1-%2-*.%3").arg(info.completeBaseName(), QLatin1String(why), info.suffix());
    return info.dir().entryList(filters, QDir::Files, QDir::Name);
}

bool SqliteRecordFile::RemoveAnswerCopies()
{
    const QDir dir = QFileInfo(path_).dir();
    bool removed = true;
    for (const QString &copy : AnswerCopies()) {
        removed = QFile::remove(dir.filePath(copy)) && removed;
        for (const char *companion : Companions) {
            const QString file = dir.filePath(copy + QLatin1String(companion));
            if (QFile::exists(file))
                removed = QFile::remove(file) && removed;
        }
    }
    return removed;
}

} // namespace platform
