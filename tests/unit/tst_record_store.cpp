#include "platform/SqliteRecordStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <map>
#include <memory>
#include <numeric>
#include <set>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using platform::AnswerRow;
using platform::SqliteRecordStore;

namespace {

AnswerRow Answer(int n, const QString &drill = QStringLiteral("d"))
{
    AnswerRow a;
    a.drill = drill;
    a.answeredAt = QDateTime(QDate(2026, 12, 8), QTime(16, 0)).addSecs(n);
    a.mode = 2;
    a.calcKind = 81;
    a.rangeMax = 7;
    a.problemCount = 30;
    a.retry = n % 2 == 1;
    a.questionNo = std::int16_t(n);
    a.left = 7;
    a.right = std::int16_t(n % 9 + 1);
    a.operation = 3;
    a.answer = std::int16_t(7 * a.right);
    a.typed = n % 3 == 0 ? QStringLiteral("４２\"x\"") : QString::number(a.answer);
    a.correct = n % 3 != 0;
    a.elapsedMs = 1000 + n;
    a.practice = n % 4 == 1;
    return a;
}

std::vector<AnswerRow> Stored(const QString &path)
{
    SqliteRecordStore store(path);
    const std::optional<platform::RecordContents> contents = store.ReadAll();
    return contents ? contents->answers : std::vector<AnswerRow>{};
}

// Runs SQL on a file directly, as another program would.
void Sql(const QString &path, const QStringList &statements)
{
    const QString name = QStringLiteral("direct");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString &s : statements)
            QVERIFY2(q.exec(s), qPrintable(s + u' ' + q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QVariant SqlValue(const QString &path, const QString &statement)
{
    const QString name = QStringLiteral("value");
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(statement) && q.next())
                value = q.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

QByteArray Bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void PutBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A tmpfs of its own for the rows that need a file system that refuses:
// only root may mount one; elsewhere those rows are skipped.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const QString &dir, const QString &size) : dir_(dir)
    {
#ifdef Q_OS_LINUX
        if (geteuid() == 0)
            mounted_ = QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                                   QStringLiteral("-o"), QStringLiteral("size=") + size,
                                                                   QStringLiteral("tmpfs"), dir}) == 0;
#else
        Q_UNUSED(size);
#endif
    }
    ~SmallFileSystem()
    {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), dir_});
    }
    bool Mounted() const { return mounted_; }
    bool ReadOnly()
    {
        return QProcess::execute(QStringLiteral("mount"),
                                 {QStringLiteral("-o"), QStringLiteral("remount,ro"), dir_}) == 0;
    }

private:
    QString dir_;
    bool mounted_ = false;
};

QString Child()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("record_child"));
}

} // namespace

// The record's file: every answer kept across runs, kills and a second copy;
// a file it cannot read set aside, never destroyed; a disk that refuses never
// stops the drill, and nothing judged meanwhile is lost.
class TestRecordStore : public QObject {
    Q_OBJECT

private slots:
    void init();
    void roundTripAcrossRuns();
    void unreadableFileIsSetAside_data();
    void unreadableFileIsSetAside();
    void movesTheFirstVersionForward();
    void refusingFileSystem_data();
    void refusingFileSystem();
    void lockedByAnotherProgramHoldsNothingUp();
    void killedMidDrillKeepsEveryStoredAnswer_data();
    void killedMidDrillKeepsEveryStoredAnswer();
    void storedTimeReadWithItsOwnOffset();
    void waitingAnswersOutliveTheProgram_data();
    void waitingAnswersOutliveTheProgram();
    void killedSpartanDrillGoesOn_data();
    void killedSpartanDrillGoesOn();
    void copiesAtOnceKeepEveryAnswer_data();
    void copiesAtOnceKeepEveryAnswer();
    void twoChildrenAtOnce_data();
    void twoChildrenAtOnce();
    void eraseLeavesNothing();
    void manyAnswersComeWholeAndInOrder_data();
    void manyAnswersComeWholeAndInOrder();
    void answeredByNamesEachChildOnce_data();
    void answeredByNamesEachChildOnce();

private:
    QTemporaryDir dir_;
    QString path_;
};

void TestRecordStore::init()
{
    QVERIFY(dir_.isValid());
    path_ = dir_.filePath(QStringLiteral("case%1/record.sqlite").arg(QRandomGenerator::global()->generate()));
}

void TestRecordStore::roundTripAcrossRuns()
{
    std::vector<AnswerRow> written;
    {
        SqliteRecordStore store(path_);
        for (int n = 1; n <= 40; ++n) {
            written.push_back(Answer(n, n <= 20 ? QStringLiteral("first") : QStringLiteral("second")));
            QVERIFY(store.Append(written.back()));
        }
        QVERIFY(store.TakeNotices().isEmpty());
    }
    // Only the file: nothing of the first store is left in this process.
    QCOMPARE(Stored(path_), written);
    // Nothing is read or made before it is needed.
    const QString untouched = dir_.filePath(QStringLiteral("untouched/record.sqlite"));
    { SqliteRecordStore idle(untouched); }
    QVERIFY(!QFile::exists(untouched));
}

void TestRecordStore::unreadableFileIsSetAside_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("why"); // in the name it is kept under; "" = kept in place
    QTest::newRow("not a database at all") << "text" << "damaged";
    QTest::newRow("a database cut short") << "truncate" << "damaged";
    QTest::newRow("a page overwritten") << "overwrite" << "damaged";
    QTest::newRow("another program's database") << "foreign" << "foreign";
    QTest::newRow("another program's id") << "foreign-id" << "foreign";
    QTest::newRow("another program's, its journal not folded in") << "foreign-wal" << "foreign";
    QTest::newRow("written by a newer version") << "newer" << "newer";
    QTest::newRow("an empty file is simply a new record") << "empty" << "";
}

void TestRecordStore::unreadableFileIsSetAside()
{
    QFETCH(QString, damage);
    QFETCH(QString, why);
    QVERIFY(QDir().mkpath(QFileInfo(path_).absolutePath()));
    if (damage == QLatin1String("text")) {
        PutBytes(path_, QByteArray("7×8=56\n").repeated(500));
    } else if (damage == QLatin1String("empty")) {
        PutBytes(path_, QByteArray());
    } else if (damage == QLatin1String("foreign-wal")) {
        // As another program left it when it was killed: its last writes
        // still in its journal beside it.
        const QString elsewhere = dir_.filePath(QStringLiteral("other.sqlite"));
        const QString name = QStringLiteral("other");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(elsewhere);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("PRAGMA journal_mode = WAL")));
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE notes (body TEXT)")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO notes VALUES ('x')")));
            for (const char *companion : {"", "-wal"})
                QVERIFY(QFile::copy(elsewhere + QLatin1String(companion), path_ + QLatin1String(companion)));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        QVERIFY(QFileInfo(path_ + QStringLiteral("-wal")).size() > 0);
    } else if (damage.startsWith(QLatin1String("foreign"))) {
        Sql(path_, {QStringLiteral("CREATE TABLE notes (body TEXT)"), QStringLiteral("INSERT INTO notes VALUES ('x')")});
        if (damage == QLatin1String("foreign-id"))
            Sql(path_, {QStringLiteral("PRAGMA application_id = 1234")});
    } else {
        {
            SqliteRecordStore store(path_);
            QVERIFY(store.Append(Answer(1)));
        }
        // Enough answers for many pages, copied from the one stored.
        const QString columns = QStringLiteral(
            "drill, answered_at, utc_offset, mode, calc_kind, range_max, problem_count, retry, question_no,"
            " left_operand, right_operand, operation, answer, typed, correct, elapsed_ms");
        Sql(path_, {QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
                                   " INSERT INTO answers (%1) SELECT %1 FROM answers, n WHERE id = 1")
                        .arg(columns)});
        QVERIFY(!QFile::exists(path_ + QStringLiteral("-wal")) || QFileInfo(path_ + QStringLiteral("-wal")).size() == 0);
        if (damage == QLatin1String("newer")) {
            Sql(path_, {QStringLiteral("PRAGMA user_version = 99")});
        } else {
            QByteArray bytes = Bytes(path_);
            QVERIFY(bytes.size() > 64 * 1024);
            if (damage == QLatin1String("truncate"))
                bytes.truncate(bytes.size() / 2);
            else
                bytes.replace(bytes.size() / 2, 4096, QByteArray(4096, '\x5a'));
            PutBytes(path_, bytes);
        }
    }
    const QByteArray before = Bytes(path_);
    const QByteArray journalBefore = Bytes(path_ + QStringLiteral("-wal"));

    SqliteRecordStore store(path_);
    QVERIFY(store.Append(Answer(1, QStringLiteral("after"))));
    const std::optional<platform::RecordContents> contents = store.ReadAll();
    QVERIFY(contents);
    QCOMPARE(contents->answers.size(), std::size_t(1));
    QCOMPARE(contents->answers[0].drill, QStringLiteral("after"));

    const QStringList kept = QFileInfo(path_).dir().entryList({QStringLiteral("record-*.sqlite")}, QDir::Files);
    const QStringList notices = store.TakeNotices();
    if (why.isEmpty()) {
        QVERIFY2(kept.isEmpty(), qPrintable(kept.join(u' ')));
        QVERIFY(notices.isEmpty());
        return;
    }
    QCOMPARE(kept.size(), 1);
    QVERIFY2(kept[0].startsWith(QStringLiteral("record-%1-").arg(why)), qPrintable(kept[0]));
    // Kept byte for byte, its journal with it, and the parent told where.
    QCOMPARE(Bytes(QFileInfo(path_).dir().filePath(kept[0])), before);
    QCOMPARE(Bytes(QFileInfo(path_).dir().filePath(kept[0] + QStringLiteral("-wal"))), journalBefore);
    QCOMPARE(notices.size(), 1);
    QVERIFY2(notices[0].contains(kept[0]), qPrintable(notices[0]));
    QVERIFY(store.TakeNotices().isEmpty());
    // A copy that holds the child's answers is named for 記録を消す, which
    // removes it with its journal; another program's file is not ours to.
    const bool answers = why != QLatin1String("foreign");
    QCOMPARE(store.SetAsideCopies(), answers ? kept : QStringList());
    QVERIFY(store.RemoveSetAsideCopies());
    QCOMPARE(QFileInfo(path_).dir().entryList({QStringLiteral("record-*")}, QDir::Files).isEmpty(), answers);
}

void TestRecordStore::movesTheFirstVersionForward()
{
    // A record as the first version of the program wrote it.
    QVERIFY(QDir().mkpath(QFileInfo(path_).absolutePath()));
    Sql(path_, {QStringLiteral("CREATE TABLE answers (id INTEGER PRIMARY KEY, drill TEXT NOT NULL,"
                               " answered_at TEXT NOT NULL, mode INTEGER NOT NULL, calc_kind INTEGER NOT NULL,"
                               " range_max INTEGER NOT NULL, problem_count INTEGER NOT NULL, retry INTEGER NOT NULL,"
                               " question_no INTEGER NOT NULL, left_operand INTEGER NOT NULL,"
                               " right_operand INTEGER NOT NULL, operation INTEGER NOT NULL, answer INTEGER NOT NULL,"
                               " typed TEXT NOT NULL, correct INTEGER NOT NULL, elapsed_ms INTEGER NOT NULL)"),
                QStringLiteral("INSERT INTO answers VALUES (1, 'old', '2026-11-30T09:15:00.250', 1, 3, 10, 20, 0,"
                               " 4, 6, 7, 3, 42, '４２', 1, 2400)"),
                QStringLiteral("INSERT INTO answers VALUES (2, 'old', '2026-11-30T09:15:05.000', 1, 3, 10, 20, 0,"
                               " 5, 8, 9, 3, 72, '71', 0, 5000)"),
                QStringLiteral("PRAGMA application_id = %1").arg(SqliteRecordStore::ApplicationId),
                QStringLiteral("PRAGMA user_version = 1")});

    SqliteRecordStore store(path_);
    QVERIFY(store.Append(Answer(9, QStringLiteral("new"))));
    const std::vector<AnswerRow> rows = store.ReadAll().value_or(platform::RecordContents{}).answers;
    QVERIFY(store.TakeNotices().isEmpty());
    QCOMPARE(rows.size(), std::size_t(3));
    QCOMPARE(rows[0].answeredAt, QDateTime(QDate(2026, 11, 30), QTime(9, 15, 0, 250)));
    QCOMPARE(rows[0].typed, QStringLiteral("４２"));
    QCOMPARE(rows[0].questionNo, std::int16_t(4));
    QCOMPARE(rows[1].correct, false);
    QCOMPARE(rows[1].elapsedMs, 5000);
    // Older answers were never a practice made from the record.
    QVERIFY(!rows[0].practice && !rows[1].practice);
    QCOMPARE(rows[2], Answer(9, QStringLiteral("new")));
    QVERIFY(rows[2].practice);
    QCOMPARE(SqlValue(path_, QStringLiteral("PRAGMA user_version")).toInt(), SqliteRecordStore::SchemaVersion);
    QCOMPARE(SqlValue(path_, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'answers_fact'")).toInt(),
             1);
}

void TestRecordStore::refusingFileSystem_data()
{
    QTest::addColumn<bool>("full"); // else read-only
    QTest::newRow("read-only") << false;
    QTest::newRow("full") << true;
}

void TestRecordStore::refusingFileSystem()
{
    QFETCH(bool, full);
    const QString mountPoint = QFileInfo(path_).absolutePath();
    QVERIFY(QDir().mkpath(mountPoint));
    SmallFileSystem fs(mountPoint, QStringLiteral("512k"));
    if (!fs.Mounted())
        QSKIP("needs a small file system of its own: Linux, as root");
    {
        SqliteRecordStore store(path_);
        for (int n = 1; n <= 5; ++n)
            QVERIFY(store.Append(Answer(n)));
    }
    if (!full)
        QVERIFY(fs.ReadOnly());
    const QString filler = QFileInfo(path_).dir().filePath(QStringLiteral("filler"));
    if (full) {
        QFile f(filler);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (f.write(block) == block.size() && f.flush()) {
        }
    }
    SqliteRecordStore store(path_);
    int refused = 0;
    for (int n = 6; n <= 200; ++n)
        refused += !store.Append(Answer(n));
    QVERIFY2(refused > 0, "the file system took every answer");
    QVERIFY(store.PendingCount() > 0);
    const QStringList notices = store.TakeNotices();
    QVERIFY(!notices.isEmpty());
    // Nothing of the record was taken for damage and moved.
    QVERIFY(QFileInfo(path_).dir().entryList({QStringLiteral("record-*")}, QDir::Files).isEmpty());
    if (full) {
        // Room again: the answers that waited are stored with the next one.
        QVERIFY(QFile::remove(filler));
        QVERIFY(store.Append(Answer(201)));
        QCOMPARE(store.PendingCount(), 0);
        const std::vector<AnswerRow> rows = Stored(path_);
        QCOMPARE(rows.size(), std::size_t(201));
        for (int n = 1; n <= 201; ++n)
            QCOMPARE(rows[std::size_t(n - 1)].questionNo, std::int16_t(n));
    }
}

void TestRecordStore::lockedByAnotherProgramHoldsNothingUp()
{
    {
        SqliteRecordStore store(path_);
        QVERIFY(store.Append(Answer(1)));
    }
    SqliteRecordStore store(path_);
    QVERIFY(store.Append(Answer(2)));
    {
        // Another program takes the file and keeps it.
        const QString name = QStringLiteral("holder");
        QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        holder.setDatabaseName(path_);
        QVERIFY(holder.open());
        QSqlQuery q(holder);
        QVERIFY(q.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!store.Append(Answer(3)));
        QVERIFY(timer.elapsed() < SqliteRecordStore::BusyTimeoutMs + 1000);
        // While it stays locked, the next answers do not wait as long.
        timer.restart();
        QVERIFY(!store.Append(Answer(4)));
        QVERIFY(!store.Append(Answer(5)));
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(store.PendingCount(), 3);
        QCOMPARE(store.TakeNotices().size(), 1);
        // Nothing was taken for damage.
        QVERIFY(QFileInfo(path_).dir().entryList({QStringLiteral("record-*")}, QDir::Files).isEmpty());
        QVERIFY(q.exec(QStringLiteral("ROLLBACK")));
        q.finish();
        holder.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    // Free again: what waited goes in with the next answer, in order.
    QVERIFY(store.Append(Answer(6)));
    QCOMPARE(store.PendingCount(), 0);
    const std::vector<AnswerRow> rows = Stored(path_);
    QCOMPARE(rows.size(), std::size_t(6));
    for (int n = 1; n <= 6; ++n)
        QCOMPARE(rows[std::size_t(n - 1)], Answer(n));
}

void TestRecordStore::killedMidDrillKeepsEveryStoredAnswer_data()
{
    QTest::addColumn<int>("stay");  // killed while this answer's feedback is up
    QTest::addColumn<int>("after"); // else killed as soon as this many were shown
    QTest::newRow("on the first feedback") << 1 << 0;
    QTest::newRow("on a feedback mid-drill") << 17 << 0;
    QTest::newRow("on the last feedback") << 60 << 0;
    QTest::newRow("at whatever moment, early") << 0 << 2;
    QTest::newRow("at whatever moment, mid-drill") << 0 << 31;
}

void TestRecordStore::killedMidDrillKeepsEveryStoredAnswer()
{
    QFETCH(int, stay);
    QFETCH(int, after);
    QProcess child;
    child.start(Child(), {QStringLiteral("drill"), path_, QStringLiteral("60"), QString::number(stay)});
    QVERIFY(child.waitForStarted());
    int shown = 0;
    auto readLines = [&] {
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            if (line.startsWith("feedback "))
                shown = line.mid(9).toInt();
        }
    };
    const int killAt = stay ? stay : after;
    while (shown < killAt && child.waitForReadyRead(30000))
        readLines();
    QVERIFY2(shown >= killAt, child.readAllStandardError().constData());
    child.kill(); // SIGKILL (TerminateProcess on Windows): no clean-up of any kind
    QVERIFY(child.waitForFinished());
    readLines();

    SqliteRecordStore store(path_);
    const std::vector<AnswerRow> rows = store.ReadAll().value_or(platform::RecordContents{}).answers;
    QVERIFY(store.TakeNotices().isEmpty()); // opened as it was, nothing set aside
    if (stay) {
        // The feedback on screen comes after its answer is stored.
        QCOMPARE(int(rows.size()), stay);
    } else {
        // Every answer whose feedback was seen, and at most the one being
        // judged when the kill came.
        QVERIFY2(int(rows.size()) >= shown && int(rows.size()) <= shown + 1,
                 qPrintable(QStringLiteral("%1 stored, %2 shown").arg(rows.size()).arg(shown)));
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i].questionNo, std::int16_t(i + 1));
        QCOMPARE(rows[i].correct, (i + 1) % 3 != 0);
        QCOMPARE(rows[i].drill, rows[0].drill);
    }
}

void TestRecordStore::storedTimeReadWithItsOwnOffset()
{
    // Answered at 02:30 in Japan on the night Berlin's clocks skip from 02:00
    // to 03:00, and read in Berlin (the run of this suite with TZ set): the
    // stored offset makes it exact wherever it is read.
    {
        SqliteRecordStore store(path_);
        QVERIFY(store.Append(Answer(1)));
    }
    Sql(path_, {QStringLiteral("UPDATE answers SET answered_at = '2024-03-31T02:30:00.000', utc_offset = 32400")});
    const std::vector<AnswerRow> rows = Stored(path_);
    QCOMPARE(rows.size(), std::size_t(1));
    QCOMPARE(rows[0].answeredAt.toUTC(), QDateTime(QDate(2024, 3, 30), QTime(17, 30), Qt::UTC));
}

void TestRecordStore::waitingAnswersOutliveTheProgram_data()
{
    // Another copy holds the record's lock while the child answers and the
    // program ends: for a while, or for longer than the end waits.
    QTest::addColumn<int>("holdMs"); // from the end's beginning
    QTest::addColumn<bool>("keptBeside"); // else stored at the end
    QTest::newRow("released while the end waits") << SqliteRecordStore::ClosingTimeoutMs / 2 << false;
    QTest::newRow("held past the end") << SqliteRecordStore::ClosingTimeoutMs * 10 << true;
}

void TestRecordStore::waitingAnswersOutliveTheProgram()
{
    QFETCH(int, holdMs);
    QFETCH(bool, keptBeside);
    {
        SqliteRecordStore store(path_);
        QVERIFY(store.Append(Answer(1)));
    }
    QProcess holder;
    holder.start(Child(), {QStringLiteral("hold"), path_});
    QVERIFY(holder.waitForReadyRead(30000));
    {
        SqliteRecordStore store(path_);
        QVERIFY(!store.Append(Answer(2)));
        QVERIFY(!store.Append(Answer(3)));
        QCOMPARE(store.PendingCount(), 2);
        holder.write(QByteArray::number(holdMs) + '\n');
        QVERIFY(holder.waitForBytesWritten(10000));
        QVERIFY(store.Close());
        QCOMPARE(store.PendingCount(), 0);
        QCOMPARE(QFile::exists(store.WaitingPath()), keptBeside);
    }
    holder.kill();
    QVERIFY(holder.waitForFinished(30000));
    // The next start: every answer, once, and the parent told of those that
    // waited.
    SqliteRecordStore next(path_);
    const std::vector<AnswerRow> rows = next.ReadAll().value_or(platform::RecordContents{}).answers;
    QCOMPARE(int(rows.size()), 3);
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(rows[std::size_t(n - 1)], Answer(n));
    QVERIFY(!QFile::exists(next.WaitingPath()));
    QCOMPARE(next.TakeNotices().join(u' ').contains(QStringLiteral("2問")), keptBeside);
}

void TestRecordStore::killedSpartanDrillGoesOn_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("stay");  // killed while this answer's feedback is up
    QTest::addColumn<int>("after"); // else killed as soon as this many were shown
    QTest::addColumn<QString>("next"); // what the next start shows
    QTest::newRow("on the first feedback") << "spartan" << 1 << 0 << "drill";
    QTest::newRow("on a feedback mid-drill") << "spartan" << 6 << 0 << "drill";
    QTest::newRow("at whatever moment") << "spartan" << 0 << 4 << "drill";
    QTest::newRow("on the last feedback: the locked results") << "spartan" << 10 << 0 << "results";
    QTest::newRow("a free drill is not taken up") << "free" << 3 << 0 << "menu";
    QTest::newRow("a 百ます grid mid-way") << "grid" << 7 << 0 << "grid";
    QTest::newRow("a 百ます grid at whatever moment") << "grid" << 0 << 9 << "grid";
    QTest::newRow("a 百ます grid at its end: still locked") << "grid" << 25 << 0 << "grid";
}

void TestRecordStore::killedSpartanDrillGoesOn()
{
    QFETCH(QString, mode);
    QFETCH(int, stay);
    QFETCH(int, after);
    QFETCH(QString, next);
    QProcess child;
    if (mode == QLatin1String("grid"))
        child.start(Child(), {mode, path_, QString::number(stay)});
    else
        child.start(Child(), {QStringLiteral("drill"), path_, QStringLiteral("10"), QString::number(stay), mode});
    QVERIFY(child.waitForStarted());
    int shown = 0;
    while (shown < std::max(stay, after) && child.waitForReadyRead(30000)) {
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            if (line.startsWith("feedback "))
                shown = line.mid(9).toInt();
        }
    }
    child.kill();
    QVERIFY(child.waitForFinished());

    const std::vector<AnswerRow> rows = Stored(path_);
    const int right = int(std::count_if(rows.begin(), rows.end(), [](const AnswerRow &r) { return r.correct; }));
    QProcess again;
    again.start(Child(), {QStringLiteral("resume"), path_});
    QVERIFY(again.waitForFinished(60000));
    const QString said = QString::fromUtf8(again.readAllStandardOutput()).trimmed();
    const QString expected =
        next == QLatin1String("drill")
            ? QStringLiteral("drill mode=2 question=%1 right=%2 wrong=%3 count=10")
                  .arg(rows.size() + 1)
                  .arg(right)
                  .arg(int(rows.size()) - right)
        : next == QLatin1String("grid")
            ? QStringLiteral("grid mode=2 filled=%1 done=%2 leave=0").arg(rows.size()).arg(int(rows.size() == 25))
        : next == QLatin1String("results")
            ? QStringLiteral("results right=%1 wrong=%2 locked=1").arg(right).arg(int(rows.size()) - right)
            : QStringLiteral("menu 1");
    QCOMPARE(said, expected);
    if (stay)
        QCOMPARE(int(rows.size()), stay);
}

void TestRecordStore::copiesAtOnceKeepEveryAnswer_data()
{
    QTest::addColumn<QStringList>("copies");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("rounds");
    QTest::addColumn<bool>("damaged"); // they all meet a damaged record first
    const QStringList four{QStringLiteral("write"), QStringLiteral("write"), QStringLiteral("write"),
                           QStringLiteral("write")};
    QTest::newRow("a drill beside a fast writer") << QStringList{QStringLiteral("drill"), QStringLiteral("write")}
                                                 << 150 << 1 << false;
    // All of them find no file, or one another's half-made one.
    QTest::newRow("four copies starting a new record together") << four << 5 << 12 << false;
    // One of them sets it aside; none sets aside the new record another made.
    QTest::newRow("four copies meeting one damaged record") << four << 5 << 6 << true;
}

void TestRecordStore::copiesAtOnceKeepEveryAnswer()
{
    QFETCH(QStringList, copies);
    QFETCH(int, count);
    QFETCH(int, rounds);
    QFETCH(bool, damaged);
    const QByteArray damage = QByteArray("7×8=56\n").repeated(500);
    for (int round = 0; round < rounds; ++round) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("record.sqlite"));
        if (damaged)
            PutBytes(path, damage);
        std::vector<std::unique_ptr<QProcess>> running;
        for (int i = 0; i < copies.size(); ++i) {
            running.push_back(std::make_unique<QProcess>());
            QStringList args{copies[i], path, QString::number(count)};
            if (copies[i] == QLatin1String("write"))
                args << QStringLiteral("writer%1").arg(i);
            running.back()->start(Child(), args);
        }
        for (const auto &p : running) {
            QVERIFY(p->waitForFinished(120000));
            // Exit code 0: nothing was left unsaved at the end.
            QVERIFY2(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0,
                     p->readAllStandardError().constData());
            // A copy may wait out the other's lock now and then (the answer
            // is kept and written with the next one), never for long.
            const int refused = int(p->readAllStandardOutput().count("refused"));
            QVERIFY2(refused < std::max(2, count / 4), qPrintable(QStringLiteral("%1 refused").arg(refused)));
        }
        const std::vector<AnswerRow> rows = Stored(path);
        // Where the others went, when some are missing.
        QVERIFY2(rows.size() == std::size_t(copies.size() * count),
                 qPrintable(QStringLiteral("%1 stored; beside the record: %2")
                                .arg(rows.size())
                                .arg(QDir(dir.path()).entryList(QDir::Files).join(QStringLiteral(", ")))));
        std::map<QString, std::set<int>> questions;
        for (const AnswerRow &r : rows)
            questions[r.drill].insert(r.questionNo);
        QCOMPARE(questions.size(), std::size_t(copies.size()));
        for (const auto &[drill, numbers] : questions) {
            QCOMPARE(numbers.size(), std::size_t(count));
            QCOMPARE(*numbers.begin(), 1);
            QCOMPARE(*numbers.rbegin(), count);
        }
        // Nothing was taken for another program's file and set aside, and a
        // damaged record went aside once, as it was.
        const QStringList files = QDir(dir.path()).entryList(QDir::Files);
        const QStringList aside = files.filter(QStringLiteral("record-"));
        QVERIFY2(aside.size() == (damaged ? 1 : 0), qPrintable(files.join(QLatin1Char(' '))));
        if (damaged)
            QCOMPARE(Bytes(dir.filePath(aside[0])), damage);
    }
}

void TestRecordStore::twoChildrenAtOnce_data()
{
    QTest::addColumn<QStringList>("change"); // done to たろう once the drills are over
    QTest::addColumn<QString>("offered");    // by the picker of a copy left on the menu, then
    QTest::newRow("renamed") << QStringList{"rename", "たろう", "じろう"} << "offers はなこ じろう さくら";
    QTest::newRow("removed") << QStringList{"remove", "たろう"} << "offers はなこ さくら";
}

void TestRecordStore::twoChildrenAtOnce()
{
    QFETCH(QStringList, change);
    QFETCH(QString, offered);
    const int count = 30;
    const auto children = [this](const QStringList &args) {
        QProcess p;
        p.start(Child(), QStringList{QStringLiteral("children"), path_} + args);
        const bool done = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        return done ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
    };
    // Three, so that with one fewer the picker still asks.
    std::map<QString, QString> ids; // by name
    for (const QString &line : children({"add", "はなこ", "たろう", "さくら"}).split(u'\n', Qt::SkipEmptyParts))
        ids[line.section(u' ', 1).trimmed()] = line.section(u' ', 0, 0);
    QCOMPARE(ids.size(), std::size_t(3));

    QProcess menu;
    menu.start(Child(), {QStringLiteral("picker"), path_});
    const auto nextOffer = [&menu] {
        while (!menu.canReadLine() && menu.waitForReadyRead(30000)) {
        }
        return QString::fromUtf8(menu.readLine()).trimmed();
    };
    QCOMPARE(nextOffer(), QStringLiteral("offers はなこ たろう さくら"));
    const QStringList drilling{QStringLiteral("はなこ"), QStringLiteral("たろう")};
    std::vector<std::unique_ptr<QProcess>> running;
    for (const QString &name : drilling) {
        running.push_back(std::make_unique<QProcess>());
        running.back()->start(Child(), {QStringLiteral("drill"), path_, QString::number(count), QStringLiteral("0"),
                                        QStringLiteral("designated"), name});
    }
    for (const auto &p : running) {
        QVERIFY(p->waitForFinished(120000));
        QVERIFY2(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0, p->readAllStandardError().constData());
    }
    // Each child's drill under that child, whole, and nothing under another.
    std::map<QString, QList<int>> asked;
    for (const AnswerRow &r : Stored(path_))
        asked[r.child] << r.questionNo;
    QList<int> all(count);
    std::iota(all.begin(), all.end(), 1);
    std::map<QString, QList<int>> expected;
    for (const QString &name : drilling)
        expected[ids[name]] = all;
    for (auto &[child, questions] : asked)
        std::sort(questions.begin(), questions.end());
    QCOMPARE(asked, expected);

    QVERIFY(!children(change).isEmpty());
    menu.write("\n");
    QCOMPARE(nextOffer(), offered);
    menu.closeWriteChannel();
    QVERIFY(menu.waitForFinished(30000));
    QCOMPARE(menu.exitCode(), 0);
}

void TestRecordStore::eraseLeavesNothing()
{
    SqliteRecordStore store(path_);
    for (int n = 1; n <= 300; ++n)
        QVERIFY(store.Append(Answer(n, QStringLiteral("secret-drill-name"))));
    QVERIFY(store.Clear());
    QCOMPARE(store.ReadAll().value_or(platform::RecordContents{{AnswerRow{}}, 0}).answers.size(), std::size_t(0));
    // The rows are gone from the file and its journal, not only unlisted.
    const QByteArray utf8 = QByteArray("secret-drill-name");
    QVERIFY(!Bytes(path_).contains(utf8));
    QVERIFY(!Bytes(path_ + QStringLiteral("-wal")).contains(utf8));
    QVERIFY(store.Append(Answer(1)));
    QCOMPARE(Stored(path_).size(), std::size_t(1));
}

void TestRecordStore::manyAnswersComeWholeAndInOrder_data()
{
    // Enough answers to be read in two halves at once, three of them not
    // understood (one with the first half, two with the second).
    QTest::addColumn<std::optional<QStringList>>("children");
    QTest::addColumn<std::optional<QStringList>>("notChildren");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("unreadable");
    const std::optional<QStringList> any;
    QTest::newRow("every answer") << any << any << 29997 << 3;
    QTest::newRow("one child's") << std::optional<QStringList>(QStringList{"a"}) << any << 9999 << 1;
    QTest::newRow("those of before and another's") << std::optional<QStringList>(QStringList{"", "b"}) << any << 19998 << 2;
    QTest::newRow("nobody's but theirs") << any << std::optional<QStringList>(QStringList{"a", ""}) << 9999 << 1;
}

void TestRecordStore::manyAnswersComeWholeAndInOrder()
{
    QFETCH(std::optional<QStringList>, children);
    QFETCH(std::optional<QStringList>, notChildren);
    QFETCH(int, count);
    QFETCH(int, unreadable);
    {
        SqliteRecordStore store(path_);
        AnswerRow first = Answer(1);
        first.child = QStringLiteral("a");
        QVERIFY(store.Append(first));
    }
    const QString columns = QStringLiteral(
        "drill, answered_at, utc_offset, mode, calc_kind, range_max, problem_count, retry, left_operand,"
        " right_operand, operation, answer, typed, correct, elapsed_ms, practice, grid");
    Sql(path_, {QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 30000)"
                               " INSERT INTO answers (%1, question_no, child) SELECT %1, i,"
                               " CASE i % 3 WHEN 0 THEN '' WHEN 1 THEN 'a' ELSE 'b' END FROM answers, n WHERE id = 1")
                    .arg(columns),
                QStringLiteral("UPDATE answers SET operation = 9 WHERE id IN (100, 29000)"),
                QStringLiteral("UPDATE answers SET answered_at = 'yesterday' WHERE id = 27000"),
                // Without its milliseconds: read all the same.
                QStringLiteral("UPDATE answers SET answered_at = '2026-12-08T16:00:00' WHERE id = 200")});
    SqliteRecordStore store(path_);
    platform::RecordQuery query;
    query.children = children;
    query.notChildren = notChildren;
    const std::optional<platform::RecordContents> contents = store.Read(query);
    QVERIFY(contents);
    QCOMPARE(int(contents->answers.size()), count);
    QCOMPARE(contents->unreadable, unreadable);
    int previous = 0;
    for (const AnswerRow &row : contents->answers) {
        QVERIFY2(row.questionNo > previous && query.Matches(row), qPrintable(QString::number(row.questionNo)));
        previous = row.questionNo;
        if (row.questionNo == 200)
            QCOMPARE(row.answeredAt, QDateTime(QDate(2026, 12, 8), QTime(16, 0), Qt::OffsetFromUTC,
                                               Answer(1).answeredAt.offsetFromUtc()));
    }
}

void TestRecordStore::answeredByNamesEachChildOnce_data()
{
    QTest::addColumn<bool>("file"); // else in memory, read as every store is by default
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("waiting"); // a child's answer the store refused
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("an empty file") << true << QStringList{} << "" << QStringList{};
    QTest::newRow("a file: before the children, and two")
        << true << QStringList{"b", "", "a", "b", ""} << "" << QStringList{"", "a", "b"};
    QTest::newRow("in memory, one answer waiting")
        << false << QStringList{"a", ""} << "c" << QStringList{"", "a", "c"};
}

void TestRecordStore::answeredByNamesEachChildOnce()
{
    QFETCH(bool, file);
    QFETCH(QStringList, stored);
    QFETCH(QString, waiting);
    QFETCH(QStringList, expected);
    platform::MemoryRecordStore memory;
    std::optional<SqliteRecordStore> sqlite;
    platform::RecordStore &store = file ? static_cast<platform::RecordStore &>(sqlite.emplace(path_)) : memory;
    for (int n = 0; n < stored.size(); ++n) {
        AnswerRow row = Answer(n + 1);
        row.child = stored[n];
        QVERIFY(store.Append(row));
    }
    if (!waiting.isEmpty()) {
        memory.Refuse(true);
        AnswerRow row = Answer(99);
        row.child = waiting;
        QVERIFY(!store.Append(row));
        memory.Refuse(false);
    }
    std::optional<QStringList> ids = store.AnsweredBy();
    QVERIFY(ids);
    ids->sort();
    QCOMPARE(*ids, expected);
}

QTEST_GUILESS_MAIN(TestRecordStore)
#include "tst_record_store.moc"
