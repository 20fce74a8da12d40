#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

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
    QString child{};            // who answered; empty before any child was named
    bool grid = false;          // a crossing of a 百ます計算 grid

    bool operator==(const AnswerRow &) const = default;
};

// What the record could be read as.
struct RecordContents {
    std::vector<AnswerRow> answers; // oldest first
    int unreadable = 0;             // entries kept but not understood (left as they are)
};

// Which answers to read: those of some children only (an empty id: the
// answers given before any child was named), of none of some children, of
// one drill only; no value, no limit.
struct RecordQuery {
    std::optional<QStringList> children;
    std::optional<QStringList> notChildren;
    std::optional<QString> drill;
    bool Matches(const AnswerRow &row) const;
};

// A value replaced only if it still is what the caller read.
enum class ValueChange { Done, ChangedMeanwhile, Failed };

// How long a write may wait for a lock another copy of the program holds:
// not at all behind the child's typing, briefly for an answer the child is
// about to be told of, long at the program's end.
enum class Patience { Behind, Judged, Closing };

// The learning record on this device: every judged answer, kept at once,
// and a few named values kept with it under the same guarantees (the
// children, a drill that must go on after a restart). Nothing here ever
// stops a drill: a write that fails is kept in memory and tried again with
// the next one, kept where it survives the end of the program, and the
// parent is told.
class RecordStore {
public:
    RecordStore();
    virtual ~RecordStore();

    // Stores the answer (and any that could not be stored before) before it
    // returns. False when it stays in memory only, for now.
    bool Append(const AnswerRow &row);
    // Takes the answer now and stores it shortly, behind what the child is
    // doing (a 百ます crossing, judged only at the end of its grid).
    void AppendSoon(const AnswerRow &row);
    // Stores what waits, now. False when some of it still waits.
    bool StoreWaiting();
    // The program ends: what still waits is stored with patience, or kept
    // where the next start finds it (with the parent's notice). False when
    // something could be kept nowhere.
    bool Close();

    // Every answer kept (that the query asks for); no value when the record
    // cannot be read at all.
    std::optional<RecordContents> ReadAll() { return Read(RecordQuery{}); }
    std::optional<RecordContents> Read(const RecordQuery &query);
    // The children answers are kept under (an empty id: before any child
    // was named), each once, without reading every answer; no value when
    // the record cannot be read.
    std::optional<QStringList> AnsweredBy();
    // Erases every answer (the named values stay). False when the record refused.
    bool Clear();
    // Erases the answers of these children (an empty id: those given before
    // any child was named).
    bool EraseAnswersOf(const QStringList &children);

    // The named values whose names begin with the prefix; no value when the
    // record cannot be read.
    std::optional<std::map<QString, QString>> ReadValues(const QString &prefix);
    // Sets (or with no value removes) a value, whatever it was.
    bool PutValue(const QString &name, const std::optional<QString> &value);
    // The same, only if it is still `expected` (no value: it did not exist).
    ValueChange ReplaceValue(const QString &name, const std::optional<QString> &expected,
                             const std::optional<QString> &value);

    // A thorough look at the whole record, at most once a run, for when the
    // parent looks (the drill never waits for it). Damage it finds is told
    // as the other notices are.
    virtual void Check() {}

    // Files beside the record that still hold answers (a damaged record, one
    // of a newer version), set aside once; their names for the parent.
    virtual QStringList SetAsideCopies() const { return {}; }
    // Removes them. False when one of them stayed.
    virtual bool RemoveSetAsideCopies() { return true; }

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
    virtual bool Write(const std::vector<AnswerRow> &rows, Patience patience) = 0;
    virtual std::optional<RecordContents> ReadRows(const RecordQuery &query) = 0;
    // The children of the kept answers; by default from reading them all.
    virtual std::optional<QStringList> ReadAnsweredBy();
    // Erases the answers of these children, or every answer for none.
    virtual bool Erase(const std::optional<QStringList> &children) = 0;
    virtual std::optional<std::map<QString, QString>> ReadNamed(const QString &prefix) = 0;
    // Replaces a value; `check`: only if it is `expected`.
    virtual ValueChange WriteNamed(const QString &name, bool check, const std::optional<QString> &expected,
                                   const std::optional<QString> &value) = 0;
    // Keeps rows that cannot be stored now where the next start finds them.
    // False when there is no such place.
    virtual bool KeepForLater(const std::vector<AnswerRow> &) { return false; }
    // How soon after AppendSoon() the answers are stored.
    virtual int SoonMs() const { return 300; }
    // Adds a message for the parent unless the same is waiting already.
    void Notice(const QString &message);

private:
    bool WritePending(Patience patience);

    std::vector<AnswerRow> pending_;
    QStringList notices_;
    bool writeFailureNoticed_ = false;
    std::unique_ptr<QTimer> soon_;
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
    // Files beside it that still hold answers, as a damaged record leaves
    // them; `removable`: whether removing them succeeds.
    void KeepCopies(const QStringList &copies, bool removable) { copies_ = copies, removable_ = removable; }
    QStringList SetAsideCopies() const override { return copies_; }
    bool RemoveSetAsideCopies() override;

protected:
    bool Write(const std::vector<AnswerRow> &rows, Patience patience) override;
    std::optional<RecordContents> ReadRows(const RecordQuery &query) override;
    bool Erase(const std::optional<QStringList> &children) override;
    std::optional<std::map<QString, QString>> ReadNamed(const QString &prefix) override;
    ValueChange WriteNamed(const QString &name, bool check, const std::optional<QString> &expected,
                           const std::optional<QString> &value) override;

private:
    std::vector<AnswerRow> rows_;
    std::map<QString, QString> values_;
    QStringList copies_;
    bool removable_ = true;
    bool refuse_ = false;
};

} // namespace platform
