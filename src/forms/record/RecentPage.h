#pragma once

#include "forms/record/RecordPage.h"

namespace forms {

class ScoreChart;

// 最近の学習: the chart of the scores by day, and the drills newest first.
class RecentPage final : public RecordPage {
    Q_OBJECT
public:
    RecentPage();

    void ShowReport(const engine::RecordReport &report) override;

private:
    ScoreChart *Chart = nullptr;
    QTableWidget *DrillTable = nullptr;
};

} // namespace forms
