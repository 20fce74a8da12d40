#pragma once

#include "platform/RecordStore.h"
#include "platform/SqliteRecordFile.h"

#include <QSqlDatabase>
#include <QString>

#include <memory>

class QSqlQuery;

namespace platform {

// The learning record as an SQLite file (Qt SQL's QSQLITE driver). Opened at
// the first answer or the first look, never at start-up. Each answer is one
// transaction in WAL mode with a full sync, so a killed program loses nothing
// that was stored, and two copies of the program can write at once (each
// waits briefly for the other's lock).
//
// A file it cannot read as its own (damaged, another program's, written by a
// newer version) is never changed: it is set aside beside the record under a
// name that says why, and a new record starts, with this run's answers.
// Answers that could not be stored by the program's end wait in a file
// beside the record ("record-waiting.txt") and join it at the next opening.
class SqliteRecordStore final : public RecordStore {
public:
    SqliteRecordStore();                                // the user's own record
    explicit SqliteRecordStore(const QString &filePath); // a record in this file
    ~SqliteRecordStore() override;

    QString Location() const override;
    QString FilePath() const { return file_.Path(); }
    QString WaitingPath() const;

    void Check() override;
    QStringList SetAsideCopies() const override { return file_.AnswerCopies(); }
    bool RemoveSetAsideCopies() override { return file_.RemoveAnswerCopies(); }

    // The layout this program writes, and the application id in the file's
    // header that marks the file as this program's record.
    static constexpr int SchemaVersion = 4;
    static constexpr int ApplicationId = 0x4D696D6F; // "Mimo"
    // How long one write waits for another copy's lock before it gives up
    // (and the answer waits in memory for the next write); at the end of
    // the program, longer.
    static constexpr int BusyTimeoutMs = 1500;
    static constexpr int ClosingTimeoutMs = 5000;
    // "?, ?, ?" for n values bound in turn.
    static QString Marks(qsizetype n);

protected:
    bool Write(const std::vector<AnswerRow> &rows, Patience patience) override;
    std::optional<RecordContents> ReadRows(const RecordQuery &query) override;
    std::optional<QStringList> ReadAnsweredBy() override;
    bool Erase(const std::optional<QStringList> &children) override;
    std::optional<std::map<QString, QString>> ReadNamed(const QString &prefix) override;
    ValueChange WriteNamed(const QString &name, bool check, const std::optional<QString> &expected,
                           const std::optional<QString> &value) override;
    bool KeepForLater(const std::vector<AnswerRow> &rows) override;

private:
    // The answers' columns in the order every statement names them.
    static const QString &Columns();

    bool EnsureOpen();
    bool OpenForUse();
    bool OpenConnection();
    void CloseConnection();
    QSqlDatabase Database() const;
    bool MoveForward(int fromVersion);
    void NoticeSetAside(const QString &why, const QString &kept);
    // Damage met while the record is open: it goes aside as it was, and a
    // new record starts with this run's answers. False when it was no damage.
    bool DamageSeen(const QString &nativeCode);
    // One transaction; on failure, SQLite's code for why.
    bool Insert(const std::vector<AnswerRow> &rows, QString *failure = nullptr);
    void WaitAtMost(int ms);
    void TakeInWaiting();

    SqliteRecordFile file_;
    QString connection_;
    bool open_ = false;
    bool checked_ = false;
    qint64 journalAtOpen_ = 0;
    bool shortWait_ = false;
    int busyMs_ = BusyTimeoutMs;
    // What this run stored, for a new record should this one be set aside.
    std::vector<AnswerRow> storedThisRun_;
    // Prepared once per opening: an answer costs no parsing, and few
    // allocations (the drill goes on for thousands of answers).
    std::unique_ptr<QSqlQuery> begin_, insert_, commit_;
};

} // namespace platform
