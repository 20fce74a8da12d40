// The named values the SQLite store keeps beside the answers (the children,
// a drill that must go on), each change one transaction.
#include "platform/SqliteRecordStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace platform {

std::optional<std::map<QString, QString>> SqliteRecordStore::ReadNamed(const QString &prefix)
{
    if (!EnsureOpen())
        return std::nullopt;
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT name, value FROM named_values WHERE substr(name, 1, ?) = ?"));
    q.addBindValue(int(prefix.size()));
    q.addBindValue(prefix);
    if (!q.exec())
        return std::nullopt;
    std::map<QString, QString> values;
    while (q.next())
        values.emplace(q.value(0).toString(), q.value(1).toString());
    if (q.lastError().isValid())
        return std::nullopt;
    return values;
}

ValueChange SqliteRecordStore::WriteNamed(const QString &name, bool check, const std::optional<QString> &expected,
                                          const std::optional<QString> &value)
{
    if (!EnsureOpen())
        return ValueChange::Failed;
    WaitAtMost(BusyTimeoutMs);
    QSqlQuery q(Database());
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return ValueChange::Failed;
    ValueChange result = ValueChange::Done;
    if (check) {
        q.prepare(QStringLiteral("SELECT value FROM named_values WHERE name = ?"));
        q.addBindValue(name);
        if (!q.exec()) {
            result = ValueChange::Failed;
        } else {
            const std::optional<QString> now = q.next() ? std::optional<QString>(q.value(0).toString()) : std::nullopt;
            if (now != expected)
                result = ValueChange::ChangedMeanwhile;
        }
        q.finish();
    }
    if (result == ValueChange::Done) {
        q.prepare(value ? QStringLiteral("INSERT OR REPLACE INTO named_values (name, value) VALUES (?, ?)")
                        : QStringLiteral("DELETE FROM named_values WHERE name = ?"));
        q.addBindValue(name);
        if (value)
            q.addBindValue(*value);
        if (!q.exec() || !q.exec(QStringLiteral("COMMIT")))
            result = ValueChange::Failed;
    }
    if (result != ValueChange::Done)
        q.exec(QStringLiteral("ROLLBACK"));
    return result;
}

} // namespace platform
