#pragma once

#include "platform/RecordStore.h"

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
// newer version) is never changed: it is renamed beside the record under a
// name that says why, and a new record starts.
class SqliteRecordStore final : public RecordStore {
public:
    SqliteRecordStore();                                // the user's own record
    explicit SqliteRecordStore(const QString &filePath); // a record in this file
    ~SqliteRecordStore() override;

    QString Location() const override;
    QString FilePath() const { return path_; }

    // The layout this program writes, and the application id in the file's
    // header that marks the file as this program's record.
    static constexpr int SchemaVersion = 3;
    static constexpr int ApplicationId = 0x4D696D6F; // "Mimo"
    // How long one write waits for another copy's lock before it gives up
    // (and the answer waits in memory for the next write).
    static constexpr int BusyTimeoutMs = 1500;

protected:
    bool Write(const std::vector<AnswerRow> &rows) override;
    std::optional<RecordContents> Read() override;
    bool Erase() override;

private:
    bool EnsureOpen();
    bool OpenConnection();
    void CloseConnection();
    // Unavailable: cannot be looked at now (locked, refused), which says
    // nothing of the file itself.
    enum class Verdict { Usable, Empty, Damaged, Foreign, Newer, Unavailable };
    Verdict Examine();
    bool SetAside(const QString &why);
    bool MoveForward(int fromVersion);
    static bool IsDamage(const QString &nativeCode);
    bool DamageSeen(const QString &nativeCode);

    QString path_;
    QString connection_;
    bool open_ = false;
    bool shortWait_ = false;
    // Prepared once per opening: an answer costs no parsing, and few
    // allocations (the drill goes on for thousands of answers).
    std::unique_ptr<QSqlQuery> begin_, insert_, commit_;
};

} // namespace platform
