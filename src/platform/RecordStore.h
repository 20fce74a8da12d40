#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

// One judged answer as the learning record keeps it.
struct AnswerRow {
    QString drill;          // the same for every answer of one drill
    QDateTime answeredAt;   // local time, when the answer was judged
    std::int16_t mode = 0;  // StudyMode of the drill
    std::int16_t calcKind = 0;
    std::int16_t rangeMax = 0;
    std::int16_t problemCount = 0;
    bool retry = false;     // a drill of missed problems
    std::int16_t questionNo = 0;
    std::int16_t left = 0;
    std::int16_t right = 0;
    std::int16_t operation = 0; // 1 +, 2 -, 3 ×, 4 ÷
    std::int16_t answer = 0;    // the right answer
    QString typed;              // the text as typed
    bool correct = false;
    std::int32_t elapsedMs = 0; // from the question shown to the answer given
    bool practice = false;      // a drill of にがて練習, made from the record

    bool operator==(const AnswerRow &) const = default;
};

// What the record could be read as.
struct RecordContents {
    std::vector<AnswerRow> answers; // oldest first
    int unreadable = 0;             // entries kept but not understood (left as they are)
};

// The learning record on this device: every judged answer, kept at once.
// Nothing here ever stops a drill: a write that fails is kept in memory and
// tried again with the next one, and the parent is told once.
class RecordStore {
public:
    virtual ~RecordStore() = default;

    // Stores the answer (and any that could not be stored before) before it
    // returns. False when it stays in memory only, for now.
    bool Append(const AnswerRow &row);
    // Every answer kept; no value when the record cannot be read at all.
    std::optional<RecordContents> ReadAll();
    // Erases every answer. False when the record refused.
    bool Clear();
    // Where the record lives, for the parent (a folder, or "this browser").
    virtual QString Location() const = 0;

    // What went wrong since the last call, each kind once, in Japanese for
    // the parent. Taking them empties the list.
    QStringList TakeNotices();
    // Answers judged but not stored yet (the store refused them).
    int PendingCount() const { return int(pending_.size()); }

    // The most kept in memory while the store refuses: a day's drilling.
    static constexpr int MaxPending = 5000;

protected:
    // Stores these rows at once, all or none.
    virtual bool Write(const std::vector<AnswerRow> &rows) = 0;
    virtual std::optional<RecordContents> Read() = 0;
    virtual bool Erase() = 0;
    // Adds a message for the parent unless the same is waiting already.
    void Notice(const QString &message);

private:
    std::vector<AnswerRow> pending_;
    QStringList notices_;
    bool writeFailureNoticed_ = false;
};

// The record of this user on this device: an SQLite file in the user's local
// data folder on Linux and Windows, the page's IndexedDB in a browser.
std::unique_ptr<RecordStore> MakeUserRecordStore();

// A record that keeps nothing beyond this process (tests, and where no store
// can be had at all).
class MemoryRecordStore final : public RecordStore {
public:
    QString Location() const override { return QStringLiteral("（メモリーのみ）"); }
    // Makes every later write fail, as a full disk would.
    void Refuse(bool refuse) { refuse_ = refuse; }
    const std::vector<AnswerRow> &Rows() const { return rows_; }

protected:
    bool Write(const std::vector<AnswerRow> &rows) override;
    std::optional<RecordContents> Read() override;
    bool Erase() override;

private:
    std::vector<AnswerRow> rows_;
    bool refuse_ = false;
};

} // namespace platform
