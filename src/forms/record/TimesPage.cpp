#include "forms/record/TimesPage.h"

#include "engine/Review.h"
#include "forms/common/FormKit.h"
#include "forms/record/ScoreChart.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace forms {

using record::Margin;
using record::PageWidth;

namespace {

const QString FactHint = QStringLiteral("表のますを選ぶと、その問題の答えた記録が出ます。");

// The multiplication table's cells, in twips: the row headers, a cell, the
// column headers. All 81 cells fit on the page beside the tries, without
// scrolling.
constexpr int RowHeaderWidth = 780;
constexpr int CellWidth = 660;
constexpr int CellHeight = 510;
constexpr int ColumnHeaderHeight = 360;

const char16_t *const RowNames[9] = {u"一の段", u"二の段", u"三の段", u"四の段", u"五の段",
                                     u"六の段", u"七の段", u"八の段", u"九の段"};

QString FactText(int left, int right)
{
    return engine::FullWidthNumber(left) + QStringLiteral("×") + engine::FullWidthNumber(right);
}

// A cell of the multiplication table: the fact above, its mark below, and a
// frame round the chosen one that its state colour still shows through.
class FactCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        painter->save();
        const QRect r = option.rect;
        painter->fillRect(r, index.data(Qt::BackgroundRole).value<QBrush>());
        painter->setPen(Qt::black);
        QFont font = option.font;
        painter->setFont(font);
        const QRect top(r.left(), r.top() + 2, r.width(), r.height() / 2 - 1);
        const QRect bottom(r.left(), r.top() + r.height() / 2, r.width(), r.height() / 2 - 2);
        painter->drawText(top, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
        font.setBold(true);
        painter->setFont(font);
        painter->drawText(bottom, Qt::AlignCenter, index.data(TimesPage::MarkRole).toString());
        if (option.state & QStyle::State_Selected) {
            painter->setPen(QPen(Qt::black, 3));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(r.adjusted(2, 2, -2, -2));
        }
        painter->restore();
    }
};

} // namespace

TimesPage::TimesPage() : RecordPage(QStringLiteral("Times"), QStringLiteral("九九"))
{
    const QFont font = FormFont(Face::PGothic, 9);
    MakeGrid(font);
    const int gridBottom = TimesGrid->geometry().bottom() + 1;
    MakeLegend(font, gridBottom);

    const int right = TimesGrid->geometry().right() + 1 + Twips(120);
    const int rightWidth = Twips(PageWidth - Margin) - right;
    FactTitle = new QLabel(FactHint, this);
    FactTitle->setObjectName(QStringLiteral("FactTitle"));
    FactTitle->setFont(font);
    FactTitle->setWordWrap(true);
    FactTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FactTitle->setGeometry(right, Twips(Margin), rightWidth, Twips(720));
    FactTries = record::MakeTable(this, QStringLiteral("FactTries"),
                                  {QStringLiteral("日時"), QStringLiteral("答え"), QStringLiteral("正誤"),
                                   QStringLiteral("秒")},
                                  QRect(right, Twips(870), rightWidth, gridBottom - Twips(870)), font);
    FactTries->setAccessibleName(QStringLiteral("選んだ問題の答え"));
    FactTries->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    FactTries->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);

    SetFocusOrder({TimesGrid, FactTries});
    connect(TimesGrid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { ShowFact(row, column); });
    connect(TimesGrid, &QTableWidget::cellActivated, this, &TimesPage::ShowFact);
}

QColor TimesPage::StateColour(engine::FactState state)
{
    // Told apart by lightness as well as hue: a pale grey, a strong pink, a
    // yellow and a blue-green.
    switch (state) {
    case engine::FactState::NotTried: return {235, 235, 235};
    case engine::FactState::OftenMissed: return {240, 120, 150};
    case engine::FactState::Slow: return {255, 220, 90};
    case engine::FactState::Known: return {110, 200, 170};
    }
    return {};
}

QString TimesPage::StateMark(engine::FactState state)
{
    switch (state) {
    case engine::FactState::NotTried: return QString();
    case engine::FactState::OftenMissed: return QStringLiteral("×");
    case engine::FactState::Slow: return QStringLiteral("△");
    case engine::FactState::Known: return QStringLiteral("○");
    }
    return {};
}

QString TimesPage::StateName(engine::FactState state)
{
    switch (state) {
    case engine::FactState::NotTried: return QStringLiteral("まだ");
    case engine::FactState::OftenMissed: return QStringLiteral("よくまちがえる");
    case engine::FactState::Slow:
        return QStringLiteral("正解だが遅い（%1秒より長い）")
            .arg(engine::FullWidthNumber(engine::FactRule::SlowMs / 1000));
    case engine::FactState::Known: return QStringLiteral("おぼえた");
    }
    return {};
}

void TimesPage::MakeGrid(const QFont &font)
{
    TimesGrid = new QTableWidget(9, 9, this);
    TimesGrid->setObjectName(QStringLiteral("TimesGrid"));
    TimesGrid->setAccessibleName(QStringLiteral("九九の表"));
    TimesGrid->setFont(font);
    TimesGrid->horizontalHeader()->setFont(font);
    TimesGrid->verticalHeader()->setFont(font);
    TimesGrid->setItemDelegate(new FactCellDelegate(TimesGrid));
    TimesGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TimesGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    TimesGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    TimesGrid->setTabKeyNavigation(false);
    TimesGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TimesGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QHeaderView *columns = TimesGrid->horizontalHeader();
    QHeaderView *rows = TimesGrid->verticalHeader();
    columns->setSectionResizeMode(QHeaderView::Fixed);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    columns->setMinimumSectionSize(1);
    rows->setMinimumSectionSize(1);
    columns->setDefaultSectionSize(Twips(CellWidth));
    rows->setDefaultSectionSize(Twips(CellHeight));
    columns->setFixedHeight(Twips(ColumnHeaderHeight));
    rows->setFixedWidth(Twips(RowHeaderWidth));
    columns->setHighlightSections(false);
    rows->setHighlightSections(false);
    // The grid's own lines; the cells fill up to them.
    TimesGrid->setShowGrid(true);
    QStringList rowNames;
    QStringList columnNames;
    for (int i = 0; i < 9; ++i) {
        rowNames << QString::fromUtf16(RowNames[i]);
        columnNames << QStringLiteral("×") + engine::FullWidthNumber(i + 1);
    }
    TimesGrid->setVerticalHeaderLabels(rowNames);
    TimesGrid->setHorizontalHeaderLabels(columnNames);
    const int frame = 2 * TimesGrid->frameWidth();
    TimesGrid->setGeometry(Twips(Margin), Twips(Margin), Twips(RowHeaderWidth) + 9 * Twips(CellWidth) + frame,
                           Twips(ColumnHeaderHeight) + 9 * Twips(CellHeight) + frame);
}

void TimesPage::MakeLegend(const QFont &font, int top)
{
    // Two states to a line: a swatch with the cells' colour and mark, and its
    // name. Plain labels, not rich text (the Windows and browser editions' Qt
    // has no HTML reader).
    constexpr int LegendWidth = PageWidth - 2 * Margin;
    constexpr int LegendRow = 360;
    constexpr int Swatch = 420;
    Legend = MakeLabel(this, QStringLiteral("Legend"), QString(),
                       QRect(Twips(Margin), top + Twips(60), Twips(LegendWidth), Twips(2 * LegendRow)), font);
    int i = 0;
    for (engine::FactState state : {engine::FactState::NotTried, engine::FactState::OftenMissed,
                                    engine::FactState::Slow, engine::FactState::Known}) {
        const int left = (i % 2) * (LegendWidth / 2);
        const int row = (i / 2) * LegendRow;
        QLabel *swatch = MakeLabel(Legend, ArrayName("LegendMark", i), StateMark(state),
                                   TwipsRect(left, row + 30, Swatch, LegendRow - 60), font,
                                   Qt::AlignCenter);
        SetBackground(swatch, StateColour(state));
        MakeLabel(Legend, ArrayName("LegendText", i), StateName(state),
                  TwipsRect(left + Swatch + 90, row, LegendWidth / 2 - Swatch - 150, LegendRow), font,
                  Qt::AlignLeft | Qt::AlignVCenter);
        ++i;
    }
}

void TimesPage::ShowReport(const engine::RecordReport &report)
{
    grid_ = report.times;
    answers_ = report.answers;
    for (int left = 1; left <= 9; ++left) {
        for (int right = 1; right <= 9; ++right) {
            const engine::FactSummary &fact = grid_[std::size_t(left - 1)][std::size_t(right - 1)];
            auto *item = new QTableWidgetItem(FactText(left, right));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setData(MarkRole, StateMark(fact.state));
            item->setBackground(StateColour(fact.state));
            // Tool tips are not built into the Windows and browser editions
            // (no hover on a touch screen); a screen reader reads the state.
            item->setData(Qt::AccessibleTextRole, FactText(left, right) + QStringLiteral("：") + StateName(fact.state));
            TimesGrid->setItem(left - 1, right - 1, item);
        }
    }
    // The cell chosen before an erase shows what it holds now.
    FactTitle->setText(FactHint);
    FactTries->setRowCount(0);
    ShowFact(TimesGrid->currentRow(), TimesGrid->currentColumn());
}

void TimesPage::ShowFact(int row, int column)
{
    if (row < 0 || row > 8 || column < 0 || column > 8)
        return;
    const engine::FactSummary &fact = grid_[std::size_t(row)][std::size_t(column)];
    const QString problem = FactText(row + 1, column + 1) + QStringLiteral("＝") +
                            engine::FullWidthNumber((row + 1) * (column + 1));
    if (fact.tries.empty())
        FactTitle->setText(problem + QStringLiteral("　まだ答えたことがありません"));
    else
        FactTitle->setText(QStringLiteral("%1　%2回中%3回正解\n%4")
                               .arg(problem)
                               .arg(fact.tries.size())
                               .arg(fact.right)
                               .arg(StateName(fact.state)));
    // Newest first, as the drills are.
    FactTries->setRowCount(int(fact.tries.size()));
    const QList<Qt::Alignment> align = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignCenter, Qt::AlignRight};
    int line = 0;
    for (auto it = fact.tries.rbegin(); it != fact.tries.rend(); ++it, ++line) {
        const platform::AnswerRow &a = (*answers_)[std::size_t(*it)];
        record::FillRow(FactTries, line,
                        {QStringLiteral("%1 %2").arg(ScoreChart::DayLabel(a.answeredAt.date()),
                                                     a.answeredAt.toString(QStringLiteral("HH:mm"))),
                         a.typed, a.correct ? QStringLiteral("○") : QStringLiteral("×"),
                         record::Seconds(a.elapsedMs)},
                        align);
    }
}

} // namespace forms
