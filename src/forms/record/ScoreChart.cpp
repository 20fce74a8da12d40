#include "forms/record/ScoreChart.h"

#include "forms/common/FormKit.h"

#include <QPainter>

#include <algorithm>

namespace forms {

namespace {

const QColor Bar(0, 114, 178);

} // namespace

ScoreChart::ScoreChart(QWidget *parent, const QString &name, const QRect &geometry) : QWidget(parent)
{
    setObjectName(name);
    setGeometry(geometry);
    setAccessibleName(QStringLiteral("日ごとの得点"));
}

QString ScoreChart::DayLabel(const QDate &day)
{
    return QStringLiteral("%1/%2").arg(day.month()).arg(day.day());
}

void ScoreChart::SetDays(const std::vector<engine::DayScore> &days, const QString &emptyText)
{
    const std::size_t first = days.size() > std::size_t(MaxDays) ? days.size() - MaxDays : 0;
    days_.assign(days.begin() + std::ptrdiff_t(first), days.end());
    empty_ = emptyText;
    update();
}

void ScoreChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const QFont small = FormFont(Face::PGothic, 9);
    const QFont titleFont = FormFont(Face::PGothic, 10.5, true);
    const QFontMetrics sm(small);
    painter.setFont(titleFont);
    painter.setPen(Qt::black);
    const int titleHeight = QFontMetrics(titleFont).height();
    painter.drawText(QRect(10, 4, width() - 20, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("日ごとの得点（その日の答えの正答率）　学習した日の最近%1日分").arg(MaxDays));

    // The plot: the score axis on the left, the days along the bottom.
    const int axisWidth = sm.horizontalAdvance(QStringLiteral("100")) + 12;
    const QRect plot(axisWidth + 6, 8 + titleHeight + sm.height() / 2 + sm.height(),
                     width() - axisWidth - 18, 0);
    const int bottom = height() - sm.height() - 8;
    const QRect area(plot.left(), plot.top(), plot.width(), bottom - plot.top());
    const auto yOf = [&](int score) { return area.bottom() - score * area.height() / 100; };

    painter.setFont(small);
    for (int score = 0; score <= 100; score += 25) {
        const int y = yOf(score);
        painter.setPen(score == 0 ? QColor(96, 96, 96) : QColor(220, 220, 220));
        painter.drawLine(area.left(), y, area.right(), y);
        if (score % 50 == 0) {
            painter.setPen(QColor(64, 64, 64));
            painter.drawText(QRect(0, y - sm.height() / 2, axisWidth, sm.height()), Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(score));
        }
    }

    if (days_.empty()) {
        painter.setFont(FormFont(Face::PGothic, 12));
        painter.setPen(QColor(64, 64, 64));
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, empty_);
        return;
    }
    DrawBars(painter, sm, area, bottom);
}

void ScoreChart::DrawBars(QPainter &painter, const QFontMetrics &sm, const QRect &area, int bottom) const
{
    const auto yOf = [&](int score) { return area.bottom() - score * area.height() / 100; };
    // A slot per day, no wider than a few bars' worth, so that one day is
    // not a wall; labels only as often as they fit.
    const int count = int(days_.size());
    const int slot = std::min(area.width() / count, 48);
    const int barWidth = std::max(4, slot * 3 / 5);
    const int labelWidth = sm.horizontalAdvance(QStringLiteral("12/28")) + 4;
    const int labelEvery = std::max(1, (labelWidth + slot - 1) / slot);
    const bool valuesFit = sm.horizontalAdvance(QStringLiteral("100")) <= slot;
    for (int i = 0; i < count; ++i) {
        const engine::DayScore &day = days_[std::size_t(i)];
        const int centre = area.left() + slot * i + slot / 2;
        const int top = yOf(std::clamp(day.score, 0, 100));
        painter.fillRect(QRect(centre - barWidth / 2, top, barWidth, area.bottom() - top + 1), Bar);
        painter.setPen(Qt::black);
        if (valuesFit)
            painter.drawText(QRect(centre - slot / 2, top - sm.height() - 1, slot, sm.height()), Qt::AlignCenter,
                             QString::number(day.score));
        // The newest day always has its label.
        if ((count - 1 - i) % labelEvery == 0)
            painter.drawText(QRect(centre - labelWidth / 2, bottom + 3, labelWidth, sm.height()), Qt::AlignCenter,
                             DayLabel(day.day));
    }
}

} // namespace forms
