#pragma once

#include "engine/Progress.h"

#include <QString>
#include <QWidget>

#include <vector>

class QFontMetrics;
class QPainter;

namespace forms {

// The score of each day with answers as bars on a 0–100 scale, oldest on
// the left, the latest MaxDays of them.
class ScoreChart : public QWidget {
    Q_OBJECT
public:
    ScoreChart(QWidget *parent, const QString &name, const QRect &geometry);

    // Days oldest first; the text stands in for the bars when there are none.
    void SetDays(const std::vector<engine::DayScore> &days, const QString &emptyText);
    const std::vector<engine::DayScore> &Days() const { return days_; }
    // What the chart says instead of bars (empty while it has bars).
    QString EmptyText() const { return days_.empty() ? empty_ : QString(); }
    static QString DayLabel(const QDate &day);

    static constexpr int MaxDays = 30;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The days' bars over the plot's area, their labels below `bottom`, in
    // the small font the painter has.
    void DrawBars(QPainter &painter, const QFontMetrics &sm, const QRect &area, int bottom) const;

    std::vector<engine::DayScore> days_;
    QString empty_;
};

} // namespace forms
