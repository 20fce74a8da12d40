#include "engine/ChildRecord.h"

#include <QSet>

#include <algorithm>

namespace engine {

namespace {

// Two parents at two tabs changing the list at the same moment is rare;
// three tries in a row lost to the other is something else.
constexpr int Attempts = 3;

} // namespace

std::optional<study::ChildList> ReadChildren(platform::RecordStore &store)
{
    const std::optional<std::map<QString, QString>> values = store.ReadValues(ChildrenValue);
    if (!values)
        return std::nullopt;
    const auto found = values->find(ChildrenValue);
    return study::ChildList::Parse(found == values->end() ? QString() : found->second);
}

std::optional<study::ChildRefusal> ChangeChildren(platform::RecordStore &store,
                                                  const std::function<study::ChildRefusal(study::ChildList &)> &change)
{
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const std::optional<std::map<QString, QString>> values = store.ReadValues(ChildrenValue);
        if (!values)
            return std::nullopt;
        const auto found = values->find(ChildrenValue);
        const std::optional<QString> before =
            found == values->end() ? std::nullopt : std::optional<QString>(found->second);
        std::optional<study::ChildList> list = study::ChildList::Parse(before.value_or(QString()));
        if (!list)
            return std::nullopt;
        const study::ChildRefusal refusal = change(*list);
        if (refusal != study::ChildRefusal::None)
            return refusal;
        switch (store.ReplaceValue(ChildrenValue, before, list->Text())) {
        case platform::ValueChange::Done: return study::ChildRefusal::None;
        case platform::ValueChange::ChangedMeanwhile: continue;
        case platform::ValueChange::Failed: return std::nullopt;
        }
    }
    return std::nullopt;
}

namespace {

// The ids answers are kept under that belong to a living child; any other
// id's answers are nobody's.
QStringList OwnedIds(const study::ChildList &children)
{
    QStringList owned;
    for (const study::Child &child : children.Living())
        owned << children.AnswerIdsOf(child.id);
    return owned;
}

std::optional<platform::RecordContents> NobodysAnswers(platform::RecordStore &store,
                                                       const study::ChildList &children)
{
    platform::RecordQuery query;
    query.notChildren = OwnedIds(children);
    return store.Read(query);
}

} // namespace

std::optional<bool> AnyNobodysAnswers(platform::RecordStore &store, const study::ChildList &children)
{
    const std::optional<QStringList> ids = store.AnsweredBy();
    if (!ids)
        return std::nullopt;
    const QStringList owned = OwnedIds(children);
    return std::any_of(ids->begin(), ids->end(), [&owned](const QString &id) { return !owned.contains(id); });
}

std::optional<platform::RecordContents> ReadAnswersOf(platform::RecordStore &store, const study::ChildList &children,
                                                      const QString &owner)
{
    if (owner.isEmpty())
        return NobodysAnswers(store, children);
    platform::RecordQuery query;
    query.children = children.AnswerIdsOf(owner);
    return store.Read(query);
}

bool EraseAnswersOf(platform::RecordStore &store, const study::ChildList &children, const QString &owner)
{
    if (!owner.isEmpty())
        return store.EraseAnswersOf(children.AnswerIdsOf(owner));
    const std::optional<platform::RecordContents> nobodys = NobodysAnswers(store, children);
    if (!nobodys)
        return false;
    QSet<QString> ids;
    for (const platform::AnswerRow &row : nobodys->answers)
        ids.insert(row.child.isNull() ? QString(QLatin1String("")) : row.child);
    return ids.isEmpty() || store.EraseAnswersOf(QStringList(ids.begin(), ids.end()));
}

} // namespace engine
