#include "forms/record/RecentPage.h"

#include "forms/common/FormKit.h"
#include "forms/record/ScoreChart.h"
#include "study/Choices.h"

#include <QHeaderView>
#include <QTableWidget>

namespace forms {

using record::Margin;
using record::PageWidth;

namespace {

const QString NothingYet = QStringLiteral("まだ記録がありません");

// "九九（七の段）" says its kind already.
QString KindAndRange(std::int16_t kind, std::int16_t range)
{
    if (kind == study::TimesTableKind)
        return engine::RangeLabel(kind, range);
    return engine::KindLabel(kind) + QStringLiteral("　") + engine::RangeLabel(kind, range);
}

} // namespace

RecentPage::RecentPage() : RecordPage(QStringLiteral("Recent"), QStringLiteral("最近の学習"))
{
    Chart = new ScoreChart(this, QStringLiteral("Chart"), TwipsRect(Margin, Margin, PageWidth - 2 * Margin, 2100));
    DrillTable = record::MakeTable(this,
                                   QStringLiteral("DrillTable"),
                                   {QStringLiteral("日付"), QStringLiteral("モード"), QStringLiteral("種別と範囲"),
                                    QStringLiteral("問題数"), QStringLiteral("正解"), QStringLiteral("不正解"),
                                    QStringLiteral("得点"), QStringLiteral("時間（分）")},
                                   TwipsRect(Margin, 2280, PageWidth - 2 * Margin, 3420),
                                   FormFont(Face::PGothic, 9.75));
    DrillTable->setAccessibleName(QStringLiteral("これまでのドリル"));
    QHeaderView *header = DrillTable->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::Stretch);
    SetFocusOrder({DrillTable});
}

void RecentPage::ShowReport(const engine::RecordReport &report)
{
    Chart->SetDays(report.days, report.readable ? NothingYet : record::Unreadable);

    const std::vector<engine::DrillSummary> &drills = report.drills;
    DrillTable->clearContents();
    DrillTable->setRowCount(int(drills.size()));
    const QList<Qt::Alignment> align = {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight,
                                        Qt::AlignRight, Qt::AlignRight, Qt::AlignRight, Qt::AlignRight};
    for (int i = 0; i < int(drills.size()); ++i) {
        const engine::DrillSummary &d = drills[std::size_t(i)];
        QString mode = engine::ModeLabel(d.mode);
        if (d.retry)
            mode += QStringLiteral("（やり直し）");
        else if (d.practice)
            mode += QStringLiteral("（にがて練習）");
        const QString count = d.finished() ? QString::number(d.answered)
                                           : QStringLiteral("%1/%2").arg(d.answered).arg(d.problemCount);
        record::FillRow(DrillTable, i,
                        {d.started.toString(QStringLiteral("yyyy/MM/dd HH:mm")), mode,
                         KindAndRange(d.calcKind, d.rangeMax),
                         count, QString::number(d.right), QString::number(d.wrong),
                         d.score ? QString::number(*d.score) : QStringLiteral("－"), QString::number(d.minutes, 'f', 1)},
                        align);
        if (!d.finished())
            DrillTable->item(i, 3)->setData(Qt::AccessibleDescriptionRole,
                                            QStringLiteral("途中でやめたドリル（%1問中%2問）")
                                                .arg(d.problemCount)
                                                .arg(d.answered));
    }
}

} // namespace forms
