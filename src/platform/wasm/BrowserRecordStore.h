#pragma once

#include "platform/RecordStore.h"

#include <QString>

#include <optional>

namespace platform {

// The learning record in the page's IndexedDB: database "mimoran-record",
// object store "answers" with one text row per answer (platform/
// RecordRowText.h) under a key made of the answer itself, and "values" with
// the named values. Each write is one transaction of its own, so two tabs
// drilling at once both keep every answer; nothing is cached here that one
// tab could write back over another's. Opened at the first answer or the
// first look, never at start-up.
//
// The program waits for IndexedDB (asyncify), boundedly: a write not
// committed within its wait goes on in the page, and its answers wait in
// memory and in the page's journal (local storage, written at once), which
// the next page puts into the record if this one is closed first.
class BrowserRecordStore final : public RecordStore {
public:
    QString Location() const override;

    // How long an answer the child is about to be told of may wait for its
    // transaction, and one stored behind the typing; while a write given up
    // on is still on its way, the next waits BriefWaitMs.
    static constexpr int WriteWaitMs = 2000;
    static constexpr int BriefWaitMs = 300;
    // Reading and erasing are the parent's, who can wait a little longer;
    // the named values are read at the start, written as a drill begins.
    static constexpr int ReadWaitMs = 15000;

protected:
    bool Write(const std::vector<AnswerRow> &rows, Patience patience) override;
    std::optional<RecordContents> ReadRows(const RecordQuery &query) override;
    bool Erase(const std::optional<QStringList> &children) override;
    std::optional<std::map<QString, QString>> ReadNamed(const QString &prefix) override;
    ValueChange WriteNamed(const QString &name, bool check, const std::optional<QString> &expected,
                           const std::optional<QString> &value) override;
    bool KeepForLater(const std::vector<AnswerRow> &rows) override;

private:
    // What a call into the page's IndexedDB came to, as the page's script
    // names it (BrowserRecordStore.js, $RecordStatus; the desktop suites
    // compare the two). Transient, StackHeld and ReadFailed are tried again
    // at the next answer or look.
    enum class Status : int {
        Changed = 2,     // a value was no longer what the program read
        Stored = 1,
        Transient = 0,   // timed out, or a passing error
        Refused = -1,    // the browser keeps no site data for this page (private mode, turned off)
        Full = -2,       // the site's storage is full
        StackHeld = -3,  // another wait (a message box) has the program's stack set aside
        ReadFailed = -4,
        Unsupported = -5 // no IndexedDB at all
    };

    // Whether the program may wait for IndexedDB now.
    Status Ready();
    // Tells the parent, once, why nothing could be kept; and of answers an
    // earlier page left in its journal, now in the record.
    void NoticeStatus(Status status);
    bool refusedNoticed_ = false;
    bool fullNoticed_ = false;
};

} // namespace platform
