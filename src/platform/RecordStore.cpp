#include "platform/RecordStore.h"

namespace platform {

bool RecordStore::Append(const AnswerRow &row)
{
    if (int(pending_.size()) >= MaxPending)
        pending_.erase(pending_.begin()); // the oldest unsaved one goes first
    pending_.push_back(row);
    if (Write(pending_)) {
        pending_.clear();
        return true;
    }
    if (!writeFailureNoticed_) {
        writeFailureNoticed_ = true;
        Notice(QStringLiteral("学習の記録を保存できないことがありました。"
                              "ドリルはそのまま続けられますが、保存できなかった答えは記録に残っていないことがあります。"));
    }
    return false;
}

std::optional<RecordContents> RecordStore::ReadAll()
{
    // Whatever waits in memory is tried once more, so the view shows it.
    if (!pending_.empty() && Write(pending_))
        pending_.clear();
    std::optional<RecordContents> contents = Read();
    if (contents && !pending_.empty())
        contents->answers.insert(contents->answers.end(), pending_.begin(), pending_.end());
    return contents;
}

bool RecordStore::Clear()
{
    if (!Erase())
        return false;
    pending_.clear();
    return true;
}

QStringList RecordStore::TakeNotices()
{
    QStringList taken;
    taken.swap(notices_);
    writeFailureNoticed_ = false;
    return taken;
}

void RecordStore::Notice(const QString &message)
{
    if (!notices_.contains(message))
        notices_.append(message);
}

bool MemoryRecordStore::Write(const std::vector<AnswerRow> &rows)
{
    if (refuse_)
        return false;
    rows_.insert(rows_.end(), rows.begin(), rows.end());
    return true;
}

std::optional<RecordContents> MemoryRecordStore::Read()
{
    return RecordContents{rows_, 0};
}

bool MemoryRecordStore::Erase()
{
    if (refuse_)
        return false;
    rows_.clear();
    return true;
}

} // namespace platform
