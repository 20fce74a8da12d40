#pragma once

#include "platform/RecordStore.h"
#include "study/Children.h"

#include <functional>
#include <optional>

// The children as the learning record keeps them, and each child's answers.
namespace engine {

// The named value the list is kept under.
inline const QString ChildrenValue = QStringLiteral("children");

// The list as the record holds it now; no value when the record cannot be
// read (or holds a list this version does not understand).
std::optional<study::ChildList> ReadChildren(platform::RecordStore &store);

// Changes the list as `change` says and keeps it; when another copy of the
// program changed it meanwhile, reads it again and changes that. Returns the
// change's refusal (the list is then left as it was), or no value when the
// record could not keep it.
std::optional<study::ChildRefusal> ChangeChildren(platform::RecordStore &store,
                                                  const std::function<study::ChildRefusal(study::ChildList &)> &change);

// The answers that belong to one living child (their own and, for the first
// child, those of before), or with an empty owner those of nobody
// (「名前のない記録」).
std::optional<platform::RecordContents> ReadAnswersOf(platform::RecordStore &store, const study::ChildList &children,
                                                      const QString &owner);
// Whether there are answers of nobody, without reading every answer.
std::optional<bool> AnyNobodysAnswers(platform::RecordStore &store, const study::ChildList &children);
// Erases them.
bool EraseAnswersOf(platform::RecordStore &store, const study::ChildList &children, const QString &owner);

} // namespace engine
