#pragma once

#include "engine/Progress.h"
#include "platform/RecordStore.h"

#include <memory>
#include <optional>
#include <vector>

namespace engine {

// What the parent's view shows of the learning record at one reading: the
// answers and the figures made from them, worked out once and drawn by every
// page of the view.
// Whose answers a report shows, when children are named: a living child (or,
// with an empty id and name, 「名前のない記録」).
struct ReportOwner {
    QString id;
    QString name;
};

struct RecordReport {
    bool readable = true; // false: the record could not be read at all
    int unreadable = 0;   // entries kept but not understood
    // Oldest first; shared by the pages that look into them (never empty).
    std::shared_ptr<const std::vector<AnswerRow>> answers = std::make_shared<const std::vector<AnswerRow>>();
    std::vector<DayScore> days;       // oldest first
    std::vector<DrillSummary> drills; // newest first
    TimesGrid times{};
    std::vector<KindSummary> kinds;
    std::optional<ReportOwner> owner; // none: no child is named, the report is everyone's
};

// From what the store read (no value: it could not read the record).
RecordReport MakeRecordReport(std::optional<platform::RecordContents> contents);

} // namespace engine
