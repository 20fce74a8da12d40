// The record's answers as the SQLite store reads and erases them, and the
// answers that wait beside the record when the program ended before they
// could go in.
#include "platform/RecordRowText.h"
#include "platform/SqliteRecordStore.h"

#include <QFile>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QThread>
#include <QVariant>

#include <array>
#include <iterator>
#include <limits>
#include <memory>

namespace platform {

namespace {

int Digits(QByteArrayView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The time as it was stored, with the offset it was stored with: the same
// instant wherever and whenever it is read (a local time that a clock change
// skips here still names one instant there). Rows of the first version have
// no offset and are local times.
QDateTime StoredTime(const QByteArray &text, const QVariant &offset)
{
    QDate date;
    QTime time;
    // "yyyy-MM-ddTHH:mm:ss.zzz", as every version wrote it, read by hand:
    // Qt's parsers cost more than the rest of a row. Anything else by ISO
    // parsing (a format string needs Qt's date-time parser, which the
    // Windows and browser builds of Qt leave out).
    if (text.size() == 23 && text[4] == '-' && text[7] == '-' && text[10] == 'T' && text[13] == ':' &&
        text[16] == ':' && text[19] == '.') {
        date = QDate(Digits(text, 0, 4), Digits(text, 5, 2), Digits(text, 8, 2));
        time = QTime(Digits(text, 11, 2), Digits(text, 14, 2), Digits(text, 17, 2), Digits(text, 20, 3));
    } else {
        const QString whole = QString::fromUtf8(text);
        date = QDate::fromString(whole.left(10), Qt::ISODate);
        time = QTime::fromString(whole.mid(11), Qt::ISODateWithMs);
    }
    if (!date.isValid() || !time.isValid())
        return {};
    if (offset.isNull())
        return QDateTime(date, time);
    // Kept at its offset: a local time would ask the time zone again at
    // every comparison, which tens of thousands of answers make slow.
    return QDateTime(date, time, Qt::OffsetFromUTC, offset.toInt());
}

// The texts as they lie in the file (UTF-8): SQLite's own turning them into
// UTF-16 costs more than Qt's, and a drill's or a child's name repeated row
// after row is turned once.
const QString ReadColumns = QStringLiteral(
    "CAST(drill AS BLOB), CAST(answered_at AS BLOB), utc_offset, mode, calc_kind, range_max, problem_count, retry,"
    " question_no, left_operand, right_operand, operation, answer, CAST(typed AS BLOB), correct, elapsed_ms, practice,"
    " CAST(child AS BLOB), grid");

// The text of a column, reused while it repeats.
class RepeatedText {
public:
    const QString &Of(const QVariant &value)
    {
        const QByteArray bytes = value.toByteArray();
        if (bytes != bytes_ || !read_) {
            bytes_ = bytes;
            text_ = QString::fromUtf8(bytes);
            read_ = true;
        }
        return text_;
    }

private:
    QByteArray bytes_;
    QString text_;
    bool read_ = false;
};

const QString WaitingHeader = QStringLiteral("mimoran-waiting 1");

// The rows of a SELECT of ReadColumns. Each value is taken once: tens of
// thousands of rows are read when the parent opens the view.
void ReadAnswerRows(QSqlQuery &q, RecordContents &contents)
{
    RepeatedText drill;
    RepeatedText child;
    constexpr int Small = 3; // the columns from mode to answer
    constexpr int SmallCount = 10;
    while (q.next()) {
        AnswerRow row;
        row.drill = drill.Of(q.value(0));
        row.answeredAt = StoredTime(q.value(1).toByteArray(), q.value(2));
        std::array<std::int16_t, SmallCount> small{};
        bool sane = row.answeredAt.isValid() && !row.drill.isEmpty();
        for (int i = 0; i < SmallCount && sane; ++i) {
            bool ok = false;
            const qlonglong v = q.value(Small + i).toLongLong(&ok);
            sane = ok && v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max();
            small[std::size_t(i)] = std::int16_t(v);
        }
        const std::int16_t operation = small[8];
        if (!sane || operation < 1 || operation > 4) {
            ++contents.unreadable;
            continue;
        }
        row.mode = small[0];
        row.calcKind = small[1];
        row.rangeMax = small[2];
        row.problemCount = small[3];
        row.retry = small[4] != 0;
        row.questionNo = small[5];
        row.left = small[6];
        row.right = small[7];
        row.operation = operation;
        row.answer = small[9];
        row.typed = QString::fromUtf8(q.value(13).toByteArray());
        row.correct = q.value(14).toInt() != 0;
        row.elapsedMs = std::int32_t(
            std::clamp<qlonglong>(q.value(15).toLongLong(), 0, std::numeric_limits<std::int32_t>::max()));
        row.practice = q.value(16).toInt() != 0;
        row.child = child.Of(q.value(17));
        row.grid = q.value(18).toInt() != 0;
        contents.answers.push_back(std::move(row));
    }
}

// A SELECT of ReadColumns and the values bound to it.
struct Select {
    QString sql;
    QVariantList values;
};

Select AnswersSelect(const RecordQuery &query, const QString &idRange = QString())
{
    Select select;
    QStringList where;
    if (query.children) {
        // "+": past the index, in the table's order; a child's answers are
        // a large share of them, and their index would be sorted.
        where << QStringLiteral("+child IN (%1)").arg(SqliteRecordStore::Marks(query.children->size()));
    }
    if (query.notChildren)
        where << QStringLiteral("child NOT IN (%1)").arg(SqliteRecordStore::Marks(query.notChildren->size()));
    for (const std::optional<QStringList> *ids : {&query.children, &query.notChildren}) {
        for (const QString &child : ids->value_or(QStringList{}))
            select.values << (child.isNull() ? QStringLiteral("") : child); // not NULL
    }
    if (query.drill) {
        where << QStringLiteral("drill = ?");
        select.values << *query.drill;
    }
    if (!idRange.isEmpty())
        where << idRange;
    select.sql = QStringLiteral("SELECT %1 FROM answers %2 ORDER BY id")
                     .arg(ReadColumns, where.isEmpty() ? QString() : QStringLiteral("WHERE ") + where.join(QStringLiteral(" AND ")));
    return select;
}

// No value when it failed (SQLite's code in `failure`).
std::optional<RecordContents> Run(const QSqlDatabase &db, const Select &select, QString *failure)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (q.prepare(select.sql)) {
        for (const QVariant &value : select.values)
            q.addBindValue(value);
        if (q.exec()) {
            RecordContents contents;
            ReadAnswerRows(q, contents);
            if (!q.lastError().isValid())
                return contents;
        }
    }
    if (failure)
        *failure = q.lastError().nativeErrorCode();
    return std::nullopt;
}

// The same file through a connection of the calling thread's own.
std::optional<RecordContents> RunElsewhere(const QString &connection, const Select &select)
{
    const QString name = connection + QStringLiteral("-reader");
    std::optional<RecordContents> contents;
    {
        QSqlDatabase db = QSqlDatabase::cloneDatabase(connection, name);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=1000"));
        if (db.open())
            contents = Run(db, select, nullptr);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return contents;
}

// Past this many answers the later half is read on another core at once:
// the parent waits for the view while tens of thousands are read.
constexpr qint64 SplitAbove = 20000;

std::optional<RecordContents> ReadAnswers(const QSqlDatabase &db, const QString &connection, const RecordQuery &query,
                                          QString *failure)
{
    qint64 middle = -1;
    if (!query.drill) { // (one drill's few answers come by their index)
        QSqlQuery span(db);
        if (span.exec(QStringLiteral("SELECT min(id), max(id) FROM answers")) && span.next() &&
            span.value(1).toLongLong() - span.value(0).toLongLong() > SplitAbove)
            middle = (span.value(0).toLongLong() + span.value(1).toLongLong()) / 2;
    }
    if (middle < 0)
        return Run(db, AnswersSelect(query), failure);
    const Select laterSelect = AnswersSelect(query, QStringLiteral("id > %1").arg(middle));
    std::optional<RecordContents> later;
    const std::unique_ptr<QThread> reader(QThread::create([&] { later = RunElsewhere(connection, laterSelect); }));
    reader->start();
    std::optional<RecordContents> contents = Run(db, AnswersSelect(query, QStringLiteral("id <= %1").arg(middle)), failure);
    reader->wait();
    // Read here after all when the other connection could not.
    if (contents && !later)
        later = Run(db, laterSelect, failure);
    if (!contents || !later)
        return std::nullopt;
    contents->unreadable += later->unreadable;
    contents->answers.insert(contents->answers.end(), std::make_move_iterator(later->answers.begin()),
                             std::make_move_iterator(later->answers.end()));
    return contents;
}

} // namespace

std::optional<RecordContents> SqliteRecordStore::ReadRows(const RecordQuery &query)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!EnsureOpen())
            return std::nullopt;
        QString failure;
        if (std::optional<RecordContents> contents = ReadAnswers(Database(), connection_, query, &failure))
            return contents;
        if (!DamageSeen(failure))
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QStringList> SqliteRecordStore::ReadAnsweredBy()
{
    if (!EnsureOpen())
        return std::nullopt;
    // One step along the children's index per child, not a walk through
    // every answer.
    QSqlQuery q(Database());
    if (!q.prepare(QStringLiteral("SELECT min(child) FROM answers WHERE child > ?")))
        return std::nullopt;
    QStringList ids;
    QSqlQuery empty(Database());
    if (!empty.exec(QStringLiteral("SELECT 1 FROM answers WHERE child = '' LIMIT 1")))
        return std::nullopt;
    if (empty.next())
        ids << QStringLiteral("");
    for (QString after = QStringLiteral("");;) {
        q.addBindValue(after);
        if (!q.exec())
            return std::nullopt;
        if (!q.next() || q.value(0).isNull())
            return ids;
        after = q.value(0).toString();
        ids << after;
    }
}

bool SqliteRecordStore::Erase(const std::optional<QStringList> &children)
{
    if (!EnsureOpen())
        return false;
    QSqlQuery q(Database());
    if (!children) {
        if (!q.exec(QStringLiteral("DELETE FROM answers")))
            return false;
    } else {
        q.prepare(QStringLiteral("DELETE FROM answers WHERE child IN (%1)").arg(Marks(children->size())));
        for (const QString &child : *children)
            q.addBindValue(child);
        if (!q.exec())
            return false;
    }
    storedThisRun_.clear();
    // secure_delete has overwritten the rows; give the space back and empty
    // the journal, where copies of the pages lie (both may wait on another
    // copy of the program, which does not undo the erasing).
    q.exec(QStringLiteral("VACUUM"));
    q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return true;
}


bool SqliteRecordStore::KeepForLater(const std::vector<AnswerRow> &rows)
{
    // Beside what an earlier end left waiting, if any (not merged yet: the
    // record could not be opened since).
    QString text;
    {
        QFile earlier(WaitingPath());
        if (earlier.open(QIODevice::ReadOnly))
            text = QString::fromUtf8(earlier.readAll());
    }
    if (!text.startsWith(WaitingHeader))
        text = WaitingHeader + u'\n';
    for (const AnswerRow &row : rows)
        text += RecordRowText(row) + u'\n';
    QSaveFile file(WaitingPath());
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit();
}

void SqliteRecordStore::TakeInWaiting()
{
    QFile file(WaitingPath());
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    std::vector<AnswerRow> rows;
    int unreadable = 0;
    const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (std::optional<AnswerRow> row = ParseRecordRow(lines[i]))
            rows.push_back(std::move(*row));
        else
            ++unreadable;
    }
    if (!lines.isEmpty() && lines[0] != WaitingHeader)
        return; // not ours: left as it is
    // Stored once: an earlier opening may have stored them and been killed
    // before the file went.
    QSqlQuery seen(Database());
    seen.prepare(QStringLiteral("SELECT 1 FROM answers WHERE drill = ? AND question_no = ? AND answered_at = ?"));
    std::vector<AnswerRow> fresh;
    for (const AnswerRow &row : rows) {
        seen.addBindValue(row.drill);
        seen.addBindValue(row.questionNo);
        seen.addBindValue(row.answeredAt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")));
        if (seen.exec() && !seen.next())
            fresh.push_back(row);
        seen.finish();
    }
    if (!fresh.empty() && !Insert(fresh))
        return; // tried again at the next opening
    QFile::remove(WaitingPath());
    if (!rows.empty())
        Notice(QStringLiteral("前回の終わりに保存が間に合わなかった答え%1問を、学習の記録に加えました。")
                   .arg(rows.size()));
    if (unreadable > 0)
        Notice(QStringLiteral("前回の終わりに保存が間に合わなかった答えのうち%1問は読み取れませんでした。")
                   .arg(unreadable));
}

} // namespace platform
