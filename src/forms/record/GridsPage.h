#pragma once

#include "engine/Hyakumasu.h"
#include "forms/record/RecordPage.h"

#include <vector>

class QLabel;

namespace forms {

// The times of the latest grids of one operation and size, as bars.
class GridChart : public QWidget {
    Q_OBJECT
public:
    GridChart(QWidget *parent, const QRect &geometry);
    void SetGrids(std::vector<engine::HyakumasuDone> grids);
    const std::vector<engine::HyakumasuDone> &Grids() const { return grids_; }

    static constexpr int MaxGrids = 20;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<engine::HyakumasuDone> grids_;
};

// 百ます計算: the best time of each operation and size, the latest times as a
// chart, and every grid done.
class GridsPage final : public RecordPage {
    Q_OBJECT
public:
    GridsPage();

    void ShowReport(const engine::RecordReport &report) override;

private:
    QTableWidget *GridBestTable = nullptr;
    QLabel *GridChartCaption = nullptr;
    GridChart *Chart = nullptr;
    QTableWidget *GridTable = nullptr;
};

} // namespace forms
