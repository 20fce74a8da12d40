#include "forms/record/RecentPage.h"

#include "forms/common/FormKit.h"
#include "forms/record/ScoreChart.h"
#include "study/Choices.h"
#include "study/Module1.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>

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

QString ModeText(std::int16_t mode, bool retry, bool practice)
{
    if (retry)
        return engine::ModeLabel(mode) + QStringLiteral("（やり直し）");
    if (practice)
        return engine::ModeLabel(mode) + QStringLiteral("（にがて練習）");
    return engine::ModeLabel(mode);
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
    // The columns fit the newest drills (all of years of them would make a
    // slow opening); the modes' labels, whose widths differ, fit wherever
    // they stand.
    header->setResizeContentsPrecision(100);
    int widest = 0;
    for (const std::int16_t mode : {Module1::FreeStudy, Module1::DesignatedStudy, Module1::Spartan}) {
        for (const bool retry : {false, true}) {
            for (const bool practice : {false, true})
                widest = std::max(widest, DrillTable->fontMetrics().horizontalAdvance(ModeText(mode, retry, practice)));
        }
    }
    header->setSectionResizeMode(1, QHeaderView::Fixed);
    header->resizeSection(1, widest + 2 * DrillTable->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8);
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
        const QString mode = ModeText(d.mode, d.retry, d.practice);
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
