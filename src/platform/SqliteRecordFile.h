#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;

namespace platform {

// The record's file as a file: whether it is one this program can use, set
// aside when it is not, and the copies set aside beside it. Nothing here
// keeps a connection open: a look at the file goes through a read-only
// connection, which never folds a journal into its file, so what is set
// aside is exactly what was found.
class SqliteRecordFile {
public:
    explicit SqliteRecordFile(const QString &path);
    ~SqliteRecordFile();

    const QString &Path() const { return path_; }

    // Unavailable: cannot be looked at now (locked, refused), which says
    // nothing of the file itself.
    enum class Verdict { Usable, Empty, Damaged, Foreign, Newer, Unavailable };
    // The header read as bytes, then the file through a read-only
    // connection; `thorough` also reads the whole file (SQLite's quick
    // check), to be sure of damage an error seemed to say.
    Verdict Examine(int schemaVersion, int applicationId, bool thorough = false) const;

    // Another copy of the program may be examining, setting aside or
    // creating this same file: one at a time. False when the other one
    // held on for long.
    bool Lock();
    void Unlock();

    // Renames the file and its journal beside it under a name that says why
    // ("damaged", "foreign", "newer"); with `copyFirst` (a connection of ours
    // still has it open) copies them there instead, and RemoveOriginal()
    // follows once the connection is closed: of the journal, only the bytes
    // it had when we opened the file (what we wrote since is ours, and goes
    // into the new record). The name kept, or empty.
    QString SetAside(const QString &why, bool copyFirst, qint64 journalFound = 0);
    // The journal's size now (0 when there is none).
    qint64 JournalSize() const;
    bool RemoveOriginal();

    // The copies set aside beside the record that still hold a child's
    // answers (a damaged record, one of a newer version), and removing them.
    QStringList AnswerCopies() const;
    bool RemoveAnswerCopies();

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace platform
