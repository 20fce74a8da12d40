#include "platform/RecordStore.h"

#include <QSet>
#include <QTimer>

#include <algorithm>

namespace platform {

bool RecordQuery::Matches(const AnswerRow &row) const
{
    return (!children || children->contains(row.child)) && (!notChildren || !notChildren->contains(row.child)) &&
           (!drill || row.drill == *drill);
}

RecordStore::RecordStore() = default;
RecordStore::~RecordStore() = default;

bool RecordStore::Append(const AnswerRow &row)
{
    if (int(pending_.size()) >= MaxPending)
        pending_.erase(pending_.begin()); // the oldest unsaved one goes first
    pending_.push_back(row);
    return WritePending(Patience::Judged);
}

void RecordStore::AppendSoon(const AnswerRow &row)
{
    if (int(pending_.size()) >= MaxPending)
        pending_.erase(pending_.begin());
    pending_.push_back(row);
    if (!soon_) {
        soon_ = std::make_unique<QTimer>();
        soon_->setSingleShot(true);
        QObject::connect(soon_.get(), &QTimer::timeout, soon_.get(), [this] { StoreWaiting(); });
    }
    if (!soon_->isActive())
        soon_->start(SoonMs());
}

bool RecordStore::StoreWaiting()
{
    return pending_.empty() || WritePending(Patience::Behind);
}

bool RecordStore::WritePending(Patience patience)
{
    if (Write(pending_, patience)) {
        pending_.clear();
        return true;
    }
    if (!writeFailureNoticed_) {
        writeFailureNoticed_ = true;
        Notice(QStringLiteral("学習の記録を保存できないことがありました。"
                              "ドリルはそのまま続けられますが、保存できなかった答えは記録に残っていないことがあります。"));
    }
    // Behind the typing a lock only waits for the next turn.
    if (patience == Patience::Behind && soon_)
        soon_->start(SoonMs());
    return false;
}

bool RecordStore::Close()
{
    if (soon_)
        soon_->stop();
    if (pending_.empty() || Write(pending_, Patience::Closing) || KeepForLater(pending_)) {
        pending_.clear();
        return true;
    }
    return false;
}

std::optional<RecordContents> RecordStore::Read(const RecordQuery &query)
{
    // Whatever waits in memory is tried once more, so the view shows it.
    if (!pending_.empty())
        WritePending(Patience::Judged);
    std::optional<RecordContents> contents = ReadRows(query);
    if (!contents)
        return contents;
    std::copy_if(pending_.begin(), pending_.end(), std::back_inserter(contents->answers),
                 [&query](const AnswerRow &row) { return query.Matches(row); });
    // A crossing of a grid changed before the grid's end was stored again:
    // its latest answer is the one that counts.
    std::vector<AnswerRow> &rows = contents->answers;
    QSet<QPair<QString, int>> seen;
    std::vector<bool> earlier(rows.size(), false);
    for (std::size_t i = rows.size(); i-- > 0;) {
        if (!rows[i].grid)
            continue;
        const QPair<QString, int> crossing{rows[i].drill, rows[i].questionNo};
        earlier[i] = seen.contains(crossing);
        seen.insert(crossing);
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!earlier[i])
            rows[kept++] = std::move(rows[i]);
    }
    rows.resize(kept);
    return contents;
}

std::optional<QStringList> RecordStore::AnsweredBy()
{
    std::optional<QStringList> ids = ReadAnsweredBy();
    if (ids) {
        for (const AnswerRow &row : pending_)
            ids->append(row.child.isNull() ? QStringLiteral("") : row.child);
        ids->removeDuplicates();
    }
    return ids;
}

std::optional<QStringList> RecordStore::ReadAnsweredBy()
{
    const std::optional<RecordContents> contents = ReadRows(RecordQuery{});
    if (!contents)
        return std::nullopt;
    QStringList ids;
    for (const AnswerRow &row : contents->answers) {
        if (ids.isEmpty() || ids.back() != row.child)
            ids.append(row.child.isNull() ? QStringLiteral("") : row.child);
    }
    ids.removeDuplicates();
    return ids;
}

bool RecordStore::Clear()
{
    if (!Erase(std::nullopt))
        return false;
    pending_.clear();
    return true;
}

bool RecordStore::EraseAnswersOf(const QStringList &children)
{
    if (!Erase(children))
        return false;
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                  [&children](const AnswerRow &row) { return children.contains(row.child); }),
                   pending_.end());
    return true;
}

std::optional<std::map<QString, QString>> RecordStore::ReadValues(const QString &prefix)
{
    return ReadNamed(prefix);
}

bool RecordStore::PutValue(const QString &name, const std::optional<QString> &value)
{
    return WriteNamed(name, false, std::nullopt, value) == ValueChange::Done;
}

ValueChange RecordStore::ReplaceValue(const QString &name, const std::optional<QString> &expected,
                                      const std::optional<QString> &value)
{
    return WriteNamed(name, true, expected, value);
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

bool MemoryRecordStore::Write(const std::vector<AnswerRow> &rows, Patience)
{
    if (refuse_)
        return false;
    rows_.insert(rows_.end(), rows.begin(), rows.end());
    return true;
}

bool MemoryRecordStore::RemoveSetAsideCopies()
{
    if (removable_)
        copies_.clear();
    return removable_;
}

std::optional<RecordContents> MemoryRecordStore::ReadRows(const RecordQuery &query)
{
    RecordContents contents;
    std::copy_if(rows_.begin(), rows_.end(), std::back_inserter(contents.answers),
                 [&query](const AnswerRow &row) { return query.Matches(row); });
    return contents;
}

bool MemoryRecordStore::Erase(const std::optional<QStringList> &children)
{
    if (refuse_)
        return false;
    rows_.erase(std::remove_if(rows_.begin(), rows_.end(),
                               [&children](const AnswerRow &row) { return !children || children->contains(row.child); }),
                rows_.end());
    return true;
}

std::optional<std::map<QString, QString>> MemoryRecordStore::ReadNamed(const QString &prefix)
{
    if (refuse_)
        return std::nullopt;
    std::map<QString, QString> found;
    for (const auto &[name, value] : values_) {
        if (name.startsWith(prefix))
            found.emplace(name, value);
    }
    return found;
}

ValueChange MemoryRecordStore::WriteNamed(const QString &name, bool check, const std::optional<QString> &expected,
                                          const std::optional<QString> &value)
{
    if (refuse_)
        return ValueChange::Failed;
    const auto found = values_.find(name);
    const std::optional<QString> now = found == values_.end() ? std::nullopt : std::optional<QString>(found->second);
    if (check && now != expected)
        return ValueChange::ChangedMeanwhile;
    if (value)
        values_[name] = *value;
    else if (found != values_.end())
        values_.erase(found);
    return ValueChange::Done;
}

} // namespace platform
