#include "forms/record/KindsPage.h"

#include "engine/Review.h"
#include "forms/common/FormKit.h"

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace forms {

using record::Margin;
using record::PageWidth;

namespace {

// Wrapped rows with the same room above and below as the other tables.
class RoomyRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 8);
    }
};

} // namespace

KindsPage::KindsPage() : RecordPage(QStringLiteral("Kinds"), QStringLiteral("その他の計算"))
{
    KindTable = record::MakeTable(this, QStringLiteral("KindTable"),
                                  {QStringLiteral("種別"), QStringLiteral("範囲"), QStringLiteral("答えた数"),
                                   QStringLiteral("正答率（％）"), QStringLiteral("時間の中央値（秒）"),
                                   QStringLiteral("よくまちがえる問題")},
                                  TwipsRect(Margin, Margin, PageWidth - 2 * Margin, 5610),
                                  FormFont(Face::PGothic, 9.75));
    KindTable->setAccessibleName(QStringLiteral("九九のほかの計算"));
    KindTable->setWordWrap(true);
    KindTable->setItemDelegate(new RoomyRowDelegate(KindTable));
    QHeaderView *header = KindTable->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(5, QHeaderView::Stretch);
    KindTable->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    SetFocusOrder({KindTable});
}

void KindsPage::ShowReport(const engine::RecordReport &report)
{
    const std::vector<engine::KindSummary> &kinds = report.kinds;
    KindTable->clearContents();
    KindTable->setRowCount(int(kinds.size()));
    const QList<Qt::Alignment> align = {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight,
                                        Qt::AlignRight, Qt::AlignRight, Qt::AlignLeft};
    for (int i = 0; i < int(kinds.size()); ++i) {
        const engine::KindSummary &k = kinds[std::size_t(i)];
        QStringList missed;
        for (const engine::MissedProblem &m : k.mostMissed)
            missed << engine::ProblemText(m.problem) + QStringLiteral("（%1回）").arg(engine::FullWidthNumber(m.wrong));
        record::FillRow(KindTable, i,
                        {engine::KindLabel(k.calcKind), engine::RangeLabel(k.calcKind, k.rangeMax),
                         QString::number(k.answered), QString::number(k.sharePercent),
                         k.medianMs ? record::Seconds(*k.medianMs) : QStringLiteral("－"),
                         missed.join(QStringLiteral("　"))},
                        align);
    }
}

} // namespace forms
