#pragma once

#include "platform/RecordStore.h"

#include <QString>

#include <optional>

namespace platform {

// The learning record in the page's IndexedDB: database "mimoran-record",
// object store "answers", one text row per answer (platform/RecordRowText.h)
// under an auto-increment key. Each write is one transaction of its own, so
// two tabs drilling at once both keep every answer; nothing is cached here
// that one tab could write back over another's. Opened at the first answer or the first look, never
// at start-up.
//
// The program waits for IndexedDB (asyncify) but never long: a write that is
// not committed within WriteWaitMs, or storage the browser refuses, returns
// false and the answer waits in memory for the next one.
class BrowserRecordStore final : public RecordStore {
public:
    QString Location() const override;

    // How long an answer may wait for its transaction; after a wait that ran
    // out, writes give up at once for RestAfterTimeoutMs (one slow answer,
    // not every answer slow).
    static constexpr int WriteWaitMs = 2000;
    static constexpr int RestAfterTimeoutMs = 30000;
    // Reading and erasing are the parent's, who can wait a little longer.
    static constexpr int ReadWaitMs = 15000;

protected:
    bool Write(const std::vector<AnswerRow> &rows) override;
    std::optional<RecordContents> Read() override;
    bool Erase() override;

private:
    // What a call into the page's IndexedDB came to, as the page's script
    // names it (BrowserRecordStore.js, $RecordStatus; the desktop suites
    // compare the two). Transient, StackHeld and ReadFailed are tried again
    // at the next answer or look.
    enum class Status : int {
        Stored = 1,
        Transient = 0,   // timed out, or a passing error
        Refused = -1,    // the browser keeps no site data for this page (private mode, turned off)
        Full = -2,       // the site's storage is full
        StackHeld = -3,  // another wait (a message box) has the program's stack set aside
        ReadFailed = -4,
        Unsupported = -5 // no IndexedDB at all
    };

    // Tells the parent, once, why nothing could be kept.
    void NoticeStatus(Status status);
    bool refusedNoticed_ = false;
    bool fullNoticed_ = false;
};

} // namespace platform
