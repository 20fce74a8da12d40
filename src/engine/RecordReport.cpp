#include "engine/RecordReport.h"

#include <utility>

namespace engine {

RecordReport MakeRecordReport(std::optional<platform::RecordContents> contents)
{
    RecordReport report;
    report.readable = contents.has_value();
    if (contents) {
        report.answers = std::make_shared<const std::vector<AnswerRow>>(std::move(contents->answers));
        report.unreadable = contents->unreadable;
    }
    report.days = ScoresByDay(*report.answers);
    report.drills = SummariseDrills(*report.answers);
    report.times = BuildTimesGrid(*report.answers);
    report.kinds = SummariseKinds(*report.answers);
    return report;
}

} // namespace engine
