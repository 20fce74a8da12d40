#include "platform/SqliteRecordStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>
#include <QVariant>

#include <limits>

namespace platform {

namespace {

// The layout moves forward one version at a time; a new file goes through
// every step, so each step runs on every new record, not only on old files.
const std::vector<std::vector<const char *>> Steps = {
    // Version 1: one row per judged answer.
    {"CREATE TABLE answers ("
     " id INTEGER PRIMARY KEY,"
     " drill TEXT NOT NULL,"
     " answered_at TEXT NOT NULL,"
     " mode INTEGER NOT NULL,"
     " calc_kind INTEGER NOT NULL,"
     " range_max INTEGER NOT NULL,"
     " problem_count INTEGER NOT NULL,"
     " retry INTEGER NOT NULL,"
     " question_no INTEGER NOT NULL,"
     " left_operand INTEGER NOT NULL,"
     " right_operand INTEGER NOT NULL,"
     " operation INTEGER NOT NULL,"
     " answer INTEGER NOT NULL,"
     " typed TEXT NOT NULL,"
     " correct INTEGER NOT NULL,"
     " elapsed_ms INTEGER NOT NULL)"},
    // Version 2: the local time's offset from UTC (a time is exact across a
    // clock change or a move to another time zone; rows from version 1 have
    // none), and an index for looking up one fact's tries.
    {"ALTER TABLE answers ADD COLUMN utc_offset INTEGER",
     "CREATE INDEX answers_fact ON answers (operation, left_operand, right_operand)"},
    // Version 3: whether the drill was a practice made from the record.
    {"ALTER TABLE answers ADD COLUMN practice INTEGER NOT NULL DEFAULT 0"},
};

const QByteArray SqliteHeader("SQLite format 3", 16); // with its terminating zero

// SQLite's primary result codes that say the file is not a usable database.
constexpr int SqliteCorrupt = 11;
constexpr int SqliteNotADb = 26;
constexpr int ShortBusyTimeoutMs = 100;

QString TimeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

bool FitsInt16(const QVariant &value)
{
    bool ok = false;
    const qlonglong v = value.toLongLong(&ok);
    return ok && v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max();
}

} // namespace

SqliteRecordStore::SqliteRecordStore()
    : SqliteRecordStore(QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
                            .filePath(QStringLiteral("record.sqlite")))
{
}

SqliteRecordStore::SqliteRecordStore(const QString &filePath)
    : path_(filePath), connection_(QStringLiteral("record-") + QUuid::createUuid().toString(QUuid::Id128))
{
}

SqliteRecordStore::~SqliteRecordStore()
{
    // After the application object is gone (a store left to the end of the
    // process), Qt SQL's own list of connections may be gone too; SQLite's
    // file needs no closing then: the next opening finds it whole.
    if (QCoreApplication::instance()) {
        CloseConnection();
    } else {
        (void)begin_.release();
        (void)insert_.release();
        (void)commit_.release();
    }
}

QString SqliteRecordStore::Location() const
{
    return QDir::toNativeSeparators(path_);
}

bool SqliteRecordStore::OpenConnection()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        Notice(QStringLiteral("学習の記録に使うSQLiteのドライバーが見つからないため、記録を保存できません。"));
        return false;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(path_);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        if (db.open())
            return true;
    }
    QSqlDatabase::removeDatabase(connection_);
    return false;
}

void SqliteRecordStore::CloseConnection()
{
    begin_.reset();
    insert_.reset();
    commit_.reset();
    if (!QSqlDatabase::contains(connection_))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
    open_ = false;
}

SqliteRecordStore::Verdict SqliteRecordStore::Examine()
{
    QFile file(path_);
    if (!file.exists() || file.size() == 0)
        return Verdict::Empty;
    if (!file.open(QIODevice::ReadOnly))
        return Verdict::Unavailable;
    if (file.read(SqliteHeader.size()) != SqliteHeader)
        return Verdict::Damaged;
    file.close();

    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    // One read transaction for every look: another copy of the program may be
    // creating this very file, and its id read before that copy's commit with
    // its tables read after would make our own new record look foreign.
    if (!q.exec(QStringLiteral("BEGIN")))
        return Verdict::Unavailable;
    struct EndRead {
        QSqlQuery &q;
        ~EndRead()
        {
            q.finish();
            q.exec(QStringLiteral("ROLLBACK"));
        }
    } endRead{q};
    auto single = [&q](const QString &sql) -> std::optional<QVariant> {
        if (!q.exec(sql) || !q.next())
            return std::nullopt;
        return q.value(0);
    };
    // A file that cannot be looked at now is not damaged for that.
    auto failed = [&q] { return IsDamage(q.lastError().nativeErrorCode()) ? Verdict::Damaged : Verdict::Unavailable; };
    const std::optional<QVariant> id = single(QStringLiteral("PRAGMA application_id"));
    if (!id)
        return failed();
    const std::optional<QVariant> version = single(QStringLiteral("PRAGMA user_version"));
    if (!version)
        return failed();
    const std::optional<QVariant> objects = single(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    if (!objects)
        return failed();
    if (id->toInt() == 0 && objects->toInt() == 0)
        return Verdict::Empty;
    if (id->toInt() != ApplicationId)
        return Verdict::Foreign;
    if (version->toInt() > SchemaVersion)
        return Verdict::Newer;
    const std::optional<QVariant> check = single(QStringLiteral("PRAGMA quick_check"));
    if (!check)
        return failed();
    if (check->toString() != QLatin1String("ok"))
        return Verdict::Damaged;
    return Verdict::Usable;
}

bool SqliteRecordStore::SetAside(const QString &why)
{
    CloseConnection();
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
    if (!QFile::rename(path_, target)) {
        Notice(QStringLiteral("学習の記録のファイル「%1」を読めず、別の名前で残すこともできませんでした。"
                              "ファイルはそのままにしてあり、新しい答えは記録されていません。")
                   .arg(Location()));
        return false;
    }
    // Its journal goes with it: it belongs to that file, not to a new one.
    for (const char *companion : {"-wal", "-shm", "-journal"}) {
        const QString from = path_ + QLatin1String(companion);
        if (QFile::exists(from))
            QFile::rename(from, target + QLatin1String(companion));
    }
    const QString kept = QDir::toNativeSeparators(QFileInfo(target).fileName());
    if (why == QLatin1String("damaged"))
        Notice(QStringLiteral("学習の記録のファイルが壊れていて読めませんでした。"
                              "そのファイルは「%1」として残し、新しい記録を始めました。").arg(kept));
    else if (why == QLatin1String("foreign"))
        Notice(QStringLiteral("学習の記録の場所に、このプログラムのものではないファイルがありました。"
                              "そのファイルは「%1」として残し、新しい記録を始めました。").arg(kept));
    else
        Notice(QStringLiteral("学習の記録は新しい版のプログラムで書かれていて、この版では読めません。"
                              "そのファイルは「%1」として残し、新しい記録を始めました。").arg(kept));
    return true;
}

bool SqliteRecordStore::MoveForward(int fromVersion)
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    // Another copy of the program may have moved it on meanwhile.
    int version = fromVersion;
    if (q.exec(QStringLiteral("PRAGMA user_version")) && q.next())
        version = q.value(0).toInt();
    bool ok = true;
    for (int step = version; ok && step < SchemaVersion; ++step) {
        for (const char *sql : Steps[std::size_t(step)])
            ok = ok && q.exec(QString::fromLatin1(sql));
    }
    ok = ok && q.exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion)) &&
         q.exec(QStringLiteral("PRAGMA application_id = %1").arg(ApplicationId));
    if (!ok || !q.exec(QStringLiteral("COMMIT"))) {
        q.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

bool SqliteRecordStore::EnsureOpen()
{
    if (open_)
        return true;
    const QFileInfo info(path_);
    if (!QDir().mkpath(info.absolutePath())) {
        Notice(QStringLiteral("学習の記録を保存するフォルダー「%1」を作れませんでした。")
                   .arg(QDir::toNativeSeparators(info.absolutePath())));
        return false;
    }
    // At most one file set aside per opening: a second bad file in a row
    // means something else is at work, and nothing more is moved.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!OpenConnection())
            break;
        const Verdict verdict = Examine();
        if (verdict == Verdict::Usable || verdict == Verdict::Empty) {
            QSqlDatabase db = QSqlDatabase::database(connection_, false);
            QSqlQuery q(db);
            // WAL: a reader never waits for the other copy's writer; FULL: a
            // stored answer survives a power cut, not only a killed program.
            q.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
            q.exec(QStringLiteral("PRAGMA synchronous = FULL"));
            q.exec(QStringLiteral("PRAGMA secure_delete = ON"));
            int version = 0;
            if (q.exec(QStringLiteral("PRAGMA user_version")) && q.next())
                version = q.value(0).toInt();
            // A statement left open keeps its read snapshot: the step forward
            // could then never take the write lock once another copy wrote.
            q.finish();
            if (version < SchemaVersion && !MoveForward(version)) {
                Notice(QStringLiteral("学習の記録のファイル「%1」に書き込めません。").arg(Location()));
                CloseConnection();
                return false;
            }
            begin_ = std::make_unique<QSqlQuery>(db);
            insert_ = std::make_unique<QSqlQuery>(db);
            commit_ = std::make_unique<QSqlQuery>(db);
            if (!begin_->prepare(QStringLiteral("BEGIN IMMEDIATE")) || !commit_->prepare(QStringLiteral("COMMIT")) ||
                !insert_->prepare(QStringLiteral(
                    "INSERT INTO answers (drill, answered_at, utc_offset, mode, calc_kind, range_max, problem_count,"
                    " retry, question_no, left_operand, right_operand, operation, answer, typed, correct, elapsed_ms,"
                    " practice) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))) {
                Notice(QStringLiteral("学習の記録のファイル「%1」に書き込めません。").arg(Location()));
                CloseConnection();
                return false;
            }
            open_ = true;
            return true;
        }
        if (verdict == Verdict::Unavailable)
            break;
        const char *why = verdict == Verdict::Damaged   ? "damaged"
                          : verdict == Verdict::Foreign ? "foreign"
                                                        : "newer";
        if (!SetAside(QString::fromLatin1(why)))
            return false;
    }
    CloseConnection();
    Notice(QStringLiteral("学習の記録のファイル「%1」を開けません。").arg(Location()));
    return false;
}

bool SqliteRecordStore::IsDamage(const QString &nativeCode)
{
    bool ok = false;
    const int code = nativeCode.toInt(&ok) & 0xff;
    return ok && (code == SqliteCorrupt || code == SqliteNotADb);
}

bool SqliteRecordStore::DamageSeen(const QString &nativeCode)
{
    if (!IsDamage(nativeCode))
        return false;
    return SetAside(QStringLiteral("damaged"));
}

bool SqliteRecordStore::Write(const std::vector<AnswerRow> &rows)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!EnsureOpen())
            return false;
        QString failure;
        {
            bool ok = begin_->exec();
            begin_->finish();
            for (const AnswerRow &row : rows) {
                if (!ok)
                    break;
                const QVariant values[] = {row.drill, TimeText(row.answeredAt), row.answeredAt.offsetFromUtc(),
                                           row.mode, row.calcKind, row.rangeMax, row.problemCount, int(row.retry),
                                           row.questionNo, row.left, row.right, row.operation, row.answer,
                                           row.typed, int(row.correct), row.elapsedMs, int(row.practice)};
                for (int i = 0; i < int(std::size(values)); ++i)
                    insert_->bindValue(i, values[i]);
                ok = insert_->exec();
                if (!ok)
                    failure = insert_->lastError().nativeErrorCode();
                insert_->finish();
            }
            if (ok) {
                ok = commit_->exec();
                commit_->finish();
            }
            QSqlDatabase db = QSqlDatabase::database(connection_, false);
            if (ok) {
                // Back to the patient wait, if a lock had made it short.
                if (shortWait_)
                    QSqlQuery(db).exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(BusyTimeoutMs));
                shortWait_ = false;
                return true;
            }
            if (failure.isEmpty())
                failure = (begin_->lastError().isValid() ? begin_ : commit_)->lastError().nativeErrorCode();
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            // Held by someone else for long: the next answers do not wait as
            // long for it.
            QSqlQuery(db).exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(ShortBusyTimeoutMs));
            shortWait_ = true;
        }
        if (!DamageSeen(failure))
            return false;
    }
    return false;
}

std::optional<RecordContents> SqliteRecordStore::Read()
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!EnsureOpen())
            return std::nullopt;
        RecordContents contents;
        QString failure;
        {
            QSqlDatabase db = QSqlDatabase::database(connection_, false);
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (q.exec(QStringLiteral(
                    "SELECT drill, answered_at, utc_offset, mode, calc_kind, range_max, problem_count, retry,"
                    " question_no, left_operand, right_operand, operation, answer, typed, correct, elapsed_ms,"
                    " practice FROM answers ORDER BY id"))) {
                while (q.next()) {
                    AnswerRow row;
                    row.drill = q.value(0).toString();
                    const QDateTime stamp = QDateTime::fromString(q.value(1).toString(), Qt::ISODateWithMs);
                    const QVariant offset = q.value(2);
                    row.answeredAt = offset.isNull() ? stamp
                                                     : QDateTime(stamp.date(), stamp.time(), Qt::OffsetFromUTC,
                                                                 offset.toInt())
                                                           .toLocalTime();
                    bool sane = stamp.isValid() && !row.drill.isEmpty();
                    for (int column = 3; column <= 12; ++column)
                        sane = sane && FitsInt16(q.value(column));
                    const int operation = q.value(11).toInt();
                    sane = sane && operation >= 1 && operation <= 4;
                    if (!sane) {
                        ++contents.unreadable;
                        continue;
                    }
                    row.mode = std::int16_t(q.value(3).toInt());
                    row.calcKind = std::int16_t(q.value(4).toInt());
                    row.rangeMax = std::int16_t(q.value(5).toInt());
                    row.problemCount = std::int16_t(q.value(6).toInt());
                    row.retry = q.value(7).toInt() != 0;
                    row.questionNo = std::int16_t(q.value(8).toInt());
                    row.left = std::int16_t(q.value(9).toInt());
                    row.right = std::int16_t(q.value(10).toInt());
                    row.operation = std::int16_t(operation);
                    row.answer = std::int16_t(q.value(12).toInt());
                    row.typed = q.value(13).toString();
                    row.correct = q.value(14).toInt() != 0;
                    row.elapsedMs = std::int32_t(std::clamp<qlonglong>(q.value(15).toLongLong(), 0,
                                                                       std::numeric_limits<std::int32_t>::max()));
                    row.practice = q.value(16).toInt() != 0;
                    contents.answers.push_back(std::move(row));
                }
                if (!q.lastError().isValid())
                    return contents;
            }
            failure = q.lastError().nativeErrorCode();
        }
        if (!DamageSeen(failure))
            return std::nullopt;
    }
    return std::nullopt;
}

bool SqliteRecordStore::Erase()
{
    if (!EnsureOpen())
        return false;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("DELETE FROM answers")))
        return false;
    // secure_delete has overwritten the rows; give the space back and empty
    // the journal, where copies of the pages lie (both may wait on another
    // copy of the program, which does not undo the erasing).
    q.exec(QStringLiteral("VACUUM"));
    q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return true;
}

std::unique_ptr<RecordStore> MakeUserRecordStore()
{
    return std::make_unique<SqliteRecordStore>();
}

} // namespace platform
