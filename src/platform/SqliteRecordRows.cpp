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
#include <QVariant>

#include <limits>

namespace platform {

namespace {

bool FitsInt16(const QVariant &value)
{
    bool ok = false;
    const qlonglong v = value.toLongLong(&ok);
    return ok && v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max();
}

// The time as it was stored, with the offset it was stored with: the same
// instant wherever and whenever it is read (a local time that a clock change
// skips here still names one instant there). Rows of the first version have
// no offset and are local times.
QDateTime StoredTime(const QString &text, const QVariant &offset)
{
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    // ISO parsing: a format string needs Qt's date-time parser, which the
    // Windows and browser builds of Qt leave out.
    const QTime time = QTime::fromString(text.mid(11), Qt::ISODateWithMs);
    if (!date.isValid() || !time.isValid())
        return {};
    if (offset.isNull())
        return QDateTime(date, time);
    return QDateTime(date, time, Qt::OffsetFromUTC, offset.toInt()).toLocalTime();
}

const QString WaitingHeader = QStringLiteral("mimoran-waiting 1");

} // namespace

namespace {

// The rows of a SELECT of Columns().
void ReadAnswerRows(QSqlQuery &q, RecordContents &contents)
{
    while (q.next()) {
        AnswerRow row;
        row.drill = q.value(0).toString();
        row.answeredAt = StoredTime(q.value(1).toString(), q.value(2));
        bool sane = row.answeredAt.isValid() && !row.drill.isEmpty();
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
        row.elapsedMs = std::int32_t(
            std::clamp<qlonglong>(q.value(15).toLongLong(), 0, std::numeric_limits<std::int32_t>::max()));
        row.practice = q.value(16).toInt() != 0;
        row.child = q.value(17).toString();
        row.grid = q.value(18).toInt() != 0;
        contents.answers.push_back(std::move(row));
    }
}

} // namespace

std::optional<RecordContents> SqliteRecordStore::ReadRows(const RecordQuery &query)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!EnsureOpen())
            return std::nullopt;
        RecordContents contents;
        QString failure;
        {
            QSqlQuery q(Database());
            q.setForwardOnly(true);
            QStringList where;
            if (query.children)
                where << QStringLiteral("child IN (%1)").arg(Marks(query.children->size()));
            if (query.drill)
                where << QStringLiteral("drill = ?");
            const QString sql = QStringLiteral("SELECT %1 FROM answers %2 ORDER BY id")
                                    .arg(Columns(), where.isEmpty() ? QString() : QStringLiteral("WHERE ") + where.join(QStringLiteral(" AND ")));
            bool ok = q.prepare(sql);
            if (query.children) {
                for (const QString &child : *query.children)
                    q.addBindValue(child);
            }
            if (query.drill)
                q.addBindValue(*query.drill);
            if (ok && q.exec()) {
                ReadAnswerRows(q, contents);
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
