#include "forms/record/GridsPage.h"

#include "engine/Progress.h"
#include "forms/common/FormKit.h"
#include "forms/drill/Hyakumasu.h"

#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>

#include <algorithm>
#include <map>

namespace forms {

using record::Margin;
using record::PageWidth;

namespace {

QString SizeText(int size)
{
    return QStringLiteral("%1×%1").arg(size);
}

} // namespace

GridChart::GridChart(QWidget *parent, const QRect &geometry) : QWidget(parent)
{
    setObjectName(QStringLiteral("GridChart"));
    setGeometry(geometry);
    setAccessibleName(QStringLiteral("百ます計算の時間"));
}

void GridChart::SetGrids(std::vector<engine::HyakumasuDone> grids)
{
    if (grids.size() > std::size_t(MaxGrids))
        grids.erase(grids.begin(), grids.end() - MaxGrids);
    grids_ = std::move(grids);
    update();
}

void GridChart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(160, 160, 160));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setFont(FormFont(Face::PGothic, 8));
    const QFontMetrics fm = p.fontMetrics();
    if (grids_.empty()) {
        p.setPen(Qt::black);
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("まだありません"));
        return;
    }
    const std::int64_t longest = std::max_element(grids_.begin(), grids_.end(), [](const auto &a, const auto &b) {
                                     return a.ms < b.ms;
                                 })->ms;
    const QRect area = rect().adjusted(6, fm.height() + 4, -6, -4);
    const int step = area.width() / MaxGrids;
    for (int i = 0; i < int(grids_.size()); ++i) {
        const engine::HyakumasuDone &g = grids_[std::size_t(i)];
        const int h = longest > 0 ? int(area.height() * g.ms / longest) : 0;
        const QRect bar(area.left() + i * step + 2, area.bottom() - h, step - 4, h);
        // The grids that count for a best in blue, the others grey.
        p.fillRect(bar, g.MakesABest() ? QColor(80, 120, 220) : QColor(190, 190, 190));
        p.setPen(Qt::black);
        p.drawText(QRect(bar.left() - 8, bar.top() - fm.height() - 2, bar.width() + 16, fm.height()),
                   Qt::AlignHCenter | Qt::AlignBottom, QString::number((g.ms + 500) / 1000));
    }
}

GridsPage::GridsPage() : RecordPage(QStringLiteral("Grids"), QStringLiteral("百ます計算"))
{
    const QFont font = FormFont(Face::PGothic, 9.75);
    GridBestTable = record::MakeTable(this, QStringLiteral("GridBestTable"),
                                      {QStringLiteral("計算"), QStringLiteral("大きさ"), QStringLiteral("回数"),
                                       QStringLiteral("ベスト")},
                                      TwipsRect(Margin, Margin, 4200, 1830), font);
    GridBestTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    GridChartCaption = MakeLabel(this, QStringLiteral("GridChartCaption"), QString(),
                                 TwipsRect(4500, Margin, PageWidth - 4500 - Margin, 300), font,
                                 Qt::AlignLeft | Qt::AlignVCenter);
    Chart = new GridChart(this, TwipsRect(4500, 420, PageWidth - 4500 - Margin, 1500));
    GridTable = record::MakeTable(this, QStringLiteral("GridTable"),
                                  {QStringLiteral("日時"), QStringLiteral("計算"), QStringLiteral("大きさ"),
                                   QStringLiteral("時間"), QStringLiteral("せいかい")},
                                  TwipsRect(Margin, 2040, PageWidth - 2 * Margin, 3660), font);
    GridTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    SetFocusOrder({GridBestTable, GridTable});
}

void GridsPage::ShowReport(const engine::RecordReport &report)
{
    const std::vector<engine::HyakumasuDone> grids = engine::HyakumasuGrids(*report.answers);
    // Each operation and size done: how many grids, and the best time.
    std::map<std::pair<std::int16_t, int>, int> kinds;
    for (const engine::HyakumasuDone &g : grids)
        ++kinds[{g.operation, g.size}];
    GridBestTable->clearContents();
    GridBestTable->setRowCount(int(kinds.size()));
    int row = 0;
    for (const auto &[kind, count] : kinds) {
        const std::optional<std::int64_t> best = engine::HyakumasuBestOf(grids, kind.first, kind.second);
        record::FillRow(GridBestTable, row++,
                        {engine::KindLabel(kind.first), SizeText(kind.second), QString::number(count),
                         best ? HyakumasuTimeText(*best) : QStringLiteral("－")},
                        {});
    }
    GridTable->clearContents();
    GridTable->setRowCount(int(grids.size()));
    for (int i = 0; i < int(grids.size()); ++i) {
        const engine::HyakumasuDone &g = grids[grids.size() - 1 - std::size_t(i)]; // newest first
        record::FillRow(GridTable, i,
                        {g.at.toString(QStringLiteral("yyyy/MM/dd HH:mm")), engine::KindLabel(g.operation),
                         SizeText(g.size), g.Complete() ? HyakumasuTimeText(g.ms) : QStringLiteral("（とちゅう）"),
                         QStringLiteral("%1／%2").arg(g.right).arg(g.size * g.size)},
                        {});
    }
    // The chart: the latest grids of the kind done last.
    std::vector<engine::HyakumasuDone> latest;
    for (const engine::HyakumasuDone &g : grids) {
        if (g.operation == grids.back().operation && g.size == grids.back().size && g.Complete())
            latest.push_back(g);
    }
    GridChartCaption->setText(grids.empty() ? QStringLiteral("時間のうつりかわり")
                                            : QStringLiteral("%1　%2の時間（秒、新しい%3回まで）")
                                                  .arg(engine::KindLabel(grids.back().operation),
                                                       SizeText(grids.back().size))
                                                  .arg(GridChart::MaxGrids));
    Chart->SetGrids(std::move(latest));
}

} // namespace forms
