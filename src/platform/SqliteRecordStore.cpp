#include "platform/SqliteRecordStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>
#include <QVariant>

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
    // Version 4: the child who answered ('' before any child was named),
    // whether the answer was a 百ます crossing, and the named values kept
    // with the record (the children, a drill that must go on).
    {"ALTER TABLE answers ADD COLUMN child TEXT NOT NULL DEFAULT ''",
     "ALTER TABLE answers ADD COLUMN grid INTEGER NOT NULL DEFAULT 0",
     "CREATE INDEX answers_child ON answers (child)",
     "CREATE INDEX answers_drill ON answers (drill, question_no)",
     "CREATE TABLE named_values (name TEXT PRIMARY KEY, value TEXT NOT NULL)"},
};


constexpr int ShortBusyTimeoutMs = 100;
constexpr int SqliteCorrupt = 11;
constexpr int SqliteNotADb = 26;

QString TimeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

bool IsDamage(const QString &nativeCode)
{
    bool ok = false;
    const int code = nativeCode.toInt(&ok) & 0xff;
    return ok && (code == SqliteCorrupt || code == SqliteNotADb);
}


} // namespace

SqliteRecordStore::SqliteRecordStore()
    : SqliteRecordStore(QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
                            .filePath(QStringLiteral("record.sqlite")))
{
}

SqliteRecordStore::SqliteRecordStore(const QString &filePath)
    : file_(filePath), connection_(QStringLiteral("record-") + QUuid::createUuid().toString(QUuid::Id128))
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

const QString &SqliteRecordStore::Columns()
{
    static const QString columns = QStringLiteral(
        "drill, answered_at, utc_offset, mode, calc_kind, range_max, problem_count, retry, question_no, left_operand,"
        " right_operand, operation, answer, typed, correct, elapsed_ms, practice, child, grid");
    return columns;
}

QString SqliteRecordStore::Marks(qsizetype n)
{
    QStringList marks;
    for (qsizetype i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}

QString SqliteRecordStore::Location() const
{
    return QDir::toNativeSeparators(file_.Path());
}

QString SqliteRecordStore::WaitingPath() const
{
    return QFileInfo(file_.Path()).dir().filePath(QStringLiteral("record-waiting.txt"));
}

QSqlDatabase SqliteRecordStore::Database() const
{
    return QSqlDatabase::database(connection_, false);
}

bool SqliteRecordStore::OpenConnection()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        Notice(QStringLiteral("学習の記録に使うSQLiteのドライバーが見つからないため、記録を保存できません。"));
        return false;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(file_.Path());
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        busyMs_ = BusyTimeoutMs;
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
    open_ = false;
    if (!QSqlDatabase::contains(connection_))
        return;
    {
        QSqlDatabase db = Database();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

void SqliteRecordStore::NoticeSetAside(const QString &why, const QString &kept)
{
    const QString name = QDir::toNativeSeparators(kept);
    if (why == QLatin1String("damaged"))
        Notice(QStringLiteral("学習の記録のファイルが壊れていて読めませんでした。"
                              "そのファイルは「%1」として残し、新しい記録を始めました。").arg(name));
    else if (why == QLatin1String("foreign"))
        Notice(QStringLiteral("学習の記録の場所に、このプログラムのものではないファイルがありました。"
                              "そのファイルは「%1」として残し、新しい記録を始めました。").arg(name));
    else
        Notice(QStringLiteral("学習の記録は新しい版のプログラムで書かれていて、この版では読めません。"
                              "そのファイルは「%1」として残し、新しい記録を始めました。").arg(name));
}

bool SqliteRecordStore::MoveForward(int fromVersion)
{
    QSqlQuery q(Database());
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
    const QFileInfo info(file_.Path());
    if (!QDir().mkpath(info.absolutePath())) {
        Notice(QStringLiteral("学習の記録を保存するフォルダー「%1」を作れませんでした。")
                   .arg(QDir::toNativeSeparators(info.absolutePath())));
        return false;
    }
    // One copy at a time looks at the file, sets it aside or makes a new
    // one: two copies meeting an unreadable file must not set aside the new
    // record the other one has just made.
    if (!file_.Lock()) {
        Notice(QStringLiteral("学習の記録のファイル「%1」を開けません。").arg(Location()));
        return false;
    }
    struct Unlock {
        SqliteRecordFile &file;
        ~Unlock() { file.Unlock(); }
    } unlock{file_};
    // At most one file set aside per opening: a second bad file in a row
    // means something else is at work, and nothing more is moved.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const SqliteRecordFile::Verdict verdict = file_.Examine(SchemaVersion, ApplicationId);
        if (verdict == SqliteRecordFile::Verdict::Usable || verdict == SqliteRecordFile::Verdict::Empty)
            return OpenForUse();
        if (verdict == SqliteRecordFile::Verdict::Unavailable)
            break;
        const QString why = verdict == SqliteRecordFile::Verdict::Damaged   ? QStringLiteral("damaged")
                            : verdict == SqliteRecordFile::Verdict::Foreign ? QStringLiteral("foreign")
                                                                              : QStringLiteral("newer");
        const QString kept = file_.SetAside(why, false);
        if (kept.isEmpty()) {
            Notice(QStringLiteral("学習の記録のファイル「%1」を読めず、別の名前で残すこともできませんでした。"
                                  "ファイルはそのままにしてあり、新しい答えは記録されていません。")
                       .arg(Location()));
            return false;
        }
        NoticeSetAside(why, kept);
    }
    Notice(QStringLiteral("学習の記録のファイル「%1」を開けません。").arg(Location()));
    return false;
}

bool SqliteRecordStore::OpenForUse()
{
    journalAtOpen_ = file_.JournalSize();
    if (!OpenConnection()) {
        Notice(QStringLiteral("学習の記録のファイル「%1」を開けません。").arg(Location()));
        return false;
    }
    QSqlDatabase db = Database();
    QSqlQuery q(db);
    // WAL: a reader never waits for the other copy's writer; FULL: a stored
    // answer survives a power cut, not only a killed program.
    q.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    q.exec(QStringLiteral("PRAGMA synchronous = FULL"));
    q.exec(QStringLiteral("PRAGMA secure_delete = ON"));
    int version = 0;
    if (q.exec(QStringLiteral("PRAGMA user_version")) && q.next())
        version = q.value(0).toInt();
    // A statement left open keeps its read snapshot: the step forward could
    // then never take the write lock once another copy wrote.
    q.finish();
    begin_ = std::make_unique<QSqlQuery>(db);
    insert_ = std::make_unique<QSqlQuery>(db);
    commit_ = std::make_unique<QSqlQuery>(db);
    if ((version < SchemaVersion && !MoveForward(version)) || !begin_->prepare(QStringLiteral("BEGIN IMMEDIATE")) ||
        !commit_->prepare(QStringLiteral("COMMIT")) ||
        !insert_->prepare(QStringLiteral("INSERT INTO answers (%1) VALUES (%2)").arg(Columns(), Marks(19)))) {
        Notice(QStringLiteral("学習の記録のファイル「%1」に書き込めません。").arg(Location()));
        CloseConnection();
        return false;
    }
    open_ = true;
    TakeInWaiting();
    return true;
}

bool SqliteRecordStore::DamageSeen(const QString &nativeCode)
{
    if (!IsDamage(nativeCode) || !file_.Lock())
        return false;
    // An error may say damage where another copy was only making the file:
    // looked at whole, with the other copies kept out, before anything moves.
    if (file_.Examine(SchemaVersion, ApplicationId, true) != SqliteRecordFile::Verdict::Damaged) {
        file_.Unlock();
        return false;
    }
    // Copied while our connection still has it, as it was (closing the last
    // connection folds the journal into the file), then removed.
    const QString kept = file_.SetAside(QStringLiteral("damaged"), true, journalAtOpen_);
    CloseConnection();
    if (kept.isEmpty() || !file_.RemoveOriginal()) {
        file_.Unlock();
        return false;
    }
    NoticeSetAside(QStringLiteral("damaged"), kept);
    file_.Unlock();
    // The new record starts with what this run stored in the damaged one.
    if (EnsureOpen() && !storedThisRun_.empty())
        Insert(storedThisRun_);
    return open_;
}

void SqliteRecordStore::Check()
{
    if (checked_ || !EnsureOpen())
        return;
    checked_ = true;
    QString failure;
    {
        QSqlQuery q(Database());
        if (q.exec(QStringLiteral("PRAGMA quick_check")) && q.next() && q.value(0).toString() == QLatin1String("ok"))
            return;
        failure = q.lastError().isValid() ? q.lastError().nativeErrorCode() : QString::number(SqliteCorrupt);
    }
    DamageSeen(failure);
}

void SqliteRecordStore::WaitAtMost(int ms)
{
    if (ms == busyMs_)
        return;
    QSqlQuery(Database()).exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(ms));
    busyMs_ = ms;
}

bool SqliteRecordStore::Insert(const std::vector<AnswerRow> &rows, QString *failure)
{
    const auto failed = [failure](const QSqlQuery &q) {
        if (failure)
            *failure = q.lastError().nativeErrorCode();
        return false;
    };
    bool ok = begin_->exec() || failed(*begin_);
    begin_->finish();
    for (const AnswerRow &row : rows) {
        if (!ok)
            break;
        const QVariant values[] = {row.drill, TimeText(row.answeredAt), row.answeredAt.offsetFromUtc(), row.mode,
                                   row.calcKind, row.rangeMax, row.problemCount, int(row.retry), row.questionNo,
                                   row.left, row.right, row.operation, row.answer, row.typed, int(row.correct),
                                   row.elapsedMs, int(row.practice),
                                   // (a null text would be stored as NULL)
                                   row.child.isNull() ? QStringLiteral("") : row.child, int(row.grid)};
        for (int i = 0; i < int(std::size(values)); ++i)
            insert_->bindValue(i, values[i]);
        ok = insert_->exec() || failed(*insert_);
        insert_->finish();
    }
    if (ok) {
        ok = commit_->exec() || failed(*commit_);
        commit_->finish();
    }
    if (!ok)
        QSqlQuery(Database()).exec(QStringLiteral("ROLLBACK"));
    return ok;
}

bool SqliteRecordStore::Write(const std::vector<AnswerRow> &rows, Patience patience)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!EnsureOpen())
            return false;
        WaitAtMost(patience == Patience::Behind    ? 0
                   : patience == Patience::Closing ? ClosingTimeoutMs
                   : shortWait_                    ? ShortBusyTimeoutMs
                                                   : BusyTimeoutMs);
        QString failure;
        if (Insert(rows, &failure)) {
            // Back to the patient wait, if a lock had made it short.
            shortWait_ = false;
            if (int(storedThisRun_.size()) < MaxPending)
                storedThisRun_.insert(storedThisRun_.end(), rows.begin(), rows.end());
            return true;
        }
        // Held by someone else for long: the next answers do not wait as
        // long for it.
        if (patience == Patience::Judged)
            shortWait_ = true;
        if (!DamageSeen(failure))
            return false;
    }
    return false;
}

std::unique_ptr<RecordStore> MakeUserRecordStore()
{
    return std::make_unique<SqliteRecordStore>();
}

} // namespace platform
