#include "forms/parent/Kiroku.h"

#include "engine/Practice.h"
#include "engine/Review.h"
#include "engine/Worksheet.h"
#include "forms/record/WorksheetPdf.h"
#include "platform/Conversions.h"
#include "platform/FileSave.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/RecordStore.h"
#include "platform/Services.h"
#include "study/Choices.h"

#include <QHeaderView>
#include <QPainter>
#include <QRandomGenerator>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>

#include <algorithm>
#include <cmath>
#include <utility>

namespace forms {

namespace {

const QColor Back(255, 192, 192);
const QColor ButtonRed(255, 128, 128);
const QColor TitleBlue(0, 0, 192);
const QColor Bar(0, 114, 178);

const QString Unreadable = QStringLiteral("学習の記録を読み込めませんでした。ドリルはこれまでどおり使えます。");
const QString NothingYet = QStringLiteral("まだ記録がありません");
const QString EraseQuestion = QStringLiteral("学習の記録をすべて消します。よろしいですか？");
const QString EraseRefused = QStringLiteral("学習の記録を消せませんでした。");
const QString ExportFailed = QStringLiteral("学習の記録を書き出せませんでした。");
const QString NothingToExport = QStringLiteral("まだ書き出す記録がありません。");
const QString NoWeakFacts = QStringLiteral("この種類には、まだにがてな問題がありません。"
                                           "ふつうのドリルと同じように問題を出しますか？");
const QString SheetCountRefused = QStringLiteral("プリントの問題数は、%1から%2までの数を入れてください。")
                                      .arg(engine::WorksheetMinCount)
                                      .arg(engine::WorksheetMaxCount);
const QString SheetNumberRefused =
    QStringLiteral("プリントの番号は、1から%1までの数を入れてください。").arg(engine::WorksheetMaxNumber);
const QString SheetFailed = QStringLiteral("プリントを保存できませんでした。");
const QString SheetOpenQuestion = QStringLiteral("プリントを保存しました。開きますか？");
const QString SheetOpenFailed = QStringLiteral("プリントを開けませんでした。保存した場所から開いてください。");
const QString FactHint = QStringLiteral("表のますを選ぶと、その問題の答えた記録が出ます。");

// The multiplication table's cells, in twips: the row headers, a cell, the
// column headers. All 81 cells fit on the page beside the tries, without
// scrolling.
constexpr int RowHeaderWidth = 780;
constexpr int CellWidth = 660;
constexpr int CellHeight = 510;
constexpr int ColumnHeaderHeight = 360;

// The client area: whole on a 1024×640 page and on an upright tablet.
constexpr int ClientWidth = 10500;
constexpr int ClientHeight = 8250;
// A page's width inside the tabs, and the margin round its controls.
constexpr int PageWidth = 10140;
constexpr int Margin = 90;

const char16_t *const RowNames[9] = {u"一の段", u"二の段", u"三の段", u"四の段", u"五の段",
                                     u"六の段", u"七の段", u"八の段", u"九の段"};

QString Seconds(double ms)
{
    return QString::number(ms / 1000.0, 'f', 1);
}

QString FactText(int left, int right)
{
    return engine::FullWidthNumber(left) + QStringLiteral("×") + engine::FullWidthNumber(right);
}

QTableWidget *MakeTable(QWidget *parent, const QString &name, const QStringList &headers, const QRect &geometry,
                        const QFont &font)
{
    auto *table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName(name);
    table->setGeometry(geometry);
    table->setFont(font);
    table->horizontalHeader()->setFont(font);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setAlternatingRowColors(true);
    table->setWordWrap(false);
    table->setTabKeyNavigation(false);
    table->horizontalHeader()->setHighlightSections(false);
    table->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 8);
    // Flicking scrolls a finger's distance, not a row per pixel.
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    return table;
}

// "九九（七の段）" says its kind already.
QString KindAndRange(std::int16_t kind, std::int16_t range)
{
    if (kind == study::TimesTableKind)
        return engine::RangeLabel(kind, range);
    return engine::KindLabel(kind) + QStringLiteral("　") + engine::RangeLabel(kind, range);
}

QTableWidgetItem *Cell(const QString &text, Qt::Alignment alignment = Qt::AlignCenter)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

void FillRow(QTableWidget *table, int row, const QStringList &texts, const QList<Qt::Alignment> &alignments)
{
    for (int c = 0; c < texts.size(); ++c)
        table->setItem(row, c, Cell(texts[c], alignments.value(c, Qt::AlignCenter)));
}

// Wrapped rows with the same room above and below as the other tables.
class RoomyRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 8);
    }
};

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
        painter->drawText(bottom, Qt::AlignCenter, index.data(Kiroku::MarkRole).toString());
        if (option.state & QStyle::State_Selected) {
            painter->setPen(QPen(Qt::black, 3));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(r.adjusted(2, 2, -2, -2));
        }
        painter->restore();
    }
};

} // namespace

// ---- the chart --------------------------------------------------------------

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

// ---- the form ---------------------------------------------------------------

Kiroku::Kiroku(Navigator &navigator) : Form(QStringLiteral("Kiroku")), navigator_(navigator)
{
    connect(this, &Form::Opened, this, &Kiroku::ShowOpeningMessages);
}

QColor Kiroku::StateColour(engine::FactState state)
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

QString Kiroku::StateMark(engine::FactState state)
{
    switch (state) {
    case engine::FactState::NotTried: return QString();
    case engine::FactState::OftenMissed: return QStringLiteral("×");
    case engine::FactState::Slow: return QStringLiteral("△");
    case engine::FactState::Known: return QStringLiteral("○");
    }
    return {};
}

QString Kiroku::StateName(engine::FactState state)
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

void Kiroku::CreateControls(QWidget *w)
{
    SetCaption(QStringLiteral("学習の記録"));
    SetFormColour(Back);
    SetClientSize(ClientWidth, ClientHeight);
    // Over the settings screen, which is application-modal too.
    w->setWindowModality(Qt::ApplicationModal);

    const QFont buttonFont = FormFont(Face::PGothic, 12);
    Label1 = MakeLabel(w, QStringLiteral("Label1"), QStringLiteral("学習の記録"), TwipsRect(120, 60, 10260, 480),
                       FormFont(Face::PopS, 18, true), Qt::AlignHCenter | Qt::AlignTop);
    SetTextColour(Label1, TitleBlue);

    Tabs = new QTabWidget(w);
    Tabs->setObjectName(QStringLiteral("Tabs"));
    Tabs->setGeometry(TwipsRect(120, 570, 10260, 6330));
    Tabs->setFont(FormFont(Face::PGothic, 10.5));
    Tabs->tabBar()->setObjectName(QStringLiteral("TabBar"));
    Recent = MakeRecentPage();
    Times = MakeTimesPage();
    Kinds = MakeKindsPage();
    Practice = MakePracticePage();
    Tabs->addTab(Recent, QStringLiteral("最近の学習"));
    Tabs->addTab(Times, QStringLiteral("九九"));
    Tabs->addTab(Kinds, QStringLiteral("その他の計算"));
    Tabs->addTab(Practice, QStringLiteral("にがて練習とプリント"));

    Export = new CommandButton(w, QStringLiteral("Export"), QStringLiteral("書き出す"),
                               TwipsRect(120, 6990, 1560, 540), buttonFont);
    Export->setAccessibleDescription(QStringLiteral("記録を表計算ソフトで開けるファイル（CSV）にします"));
    Erase = new CommandButton(w, QStringLiteral("Erase"), QStringLiteral("記録を消す"),
                              TwipsRect(1800, 6990, 1560, 540), buttonFont);
    CloseButton = new CommandButton(w, QStringLiteral("CloseButton"), QStringLiteral("閉じる"),
                                    TwipsRect(8820, 6990, 1560, 540), buttonFont);
    for (CommandButton *button : {Export, Erase, CloseButton})
        button->SetBackColour(ButtonRed);

    Status = MakeLabel(w, QStringLiteral("Status"), QString(), TwipsRect(3480, 6990, 5220, 540),
                       FormFont(Face::PGothic, 9), Qt::AlignLeft | Qt::AlignVCenter);
    Status->setWordWrap(true);
    SetTextColour(Status, QColor(160, 0, 0));
    Place = MakeLabel(w, QStringLiteral("Place"), QString(), TwipsRect(120, 7590, 10260, 600),
                      FormFont(Face::PGothic, 9), Qt::AlignLeft | Qt::AlignVCenter);
    Place->setWordWrap(true);
    // The parent may want to copy the folder's name.
    Place->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The tab bar, not the tab widget: Qt 6.4 splits the focus ring when
    // ordering a widget that has a focus proxy.
    SetTabOrder({Tabs->tabBar(), DrillTable, TimesGrid, FactTries, KindTable, KindList, RangeList, RowList,
                 PracticeCount, StartPractice, SheetCount, SheetNumber, SheetSource[0], SheetSource[1], MakeSheet,
                 Export, Erase, CloseButton});
    Tabs->setFocus();

    connect(Export, &QPushButton::clicked, this, &Kiroku::Export_Click);
    connect(Erase, &QPushButton::clicked, this, &Kiroku::Erase_Click);
    connect(CloseButton, &QPushButton::clicked, this, &Kiroku::Unload);
    connect(TimesGrid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { ShowFact(row, column); });
    connect(TimesGrid, &QTableWidget::cellActivated, this, &Kiroku::ShowFact);
    connect(KindList, &ComboBox::Picked, this, &Kiroku::KindList_Click);
    connect(RangeList, &ComboBox::Picked, this, &Kiroku::ShowWeakInfo);
    connect(RowList, &ComboBox::Picked, this, &Kiroku::ShowWeakInfo);
    connect(StartPractice, &QPushButton::clicked, this, &Kiroku::StartPractice_Click);
    connect(MakeSheet, &QPushButton::clicked, this, &Kiroku::MakeSheet_Click);
}

QWidget *Kiroku::MakeRecentPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Recent"));
    Chart = new ScoreChart(page, QStringLiteral("Chart"), TwipsRect(Margin, Margin, PageWidth - 2 * Margin, 2100));
    DrillTable = MakeTable(page,
                           QStringLiteral("DrillTable"),
                           {QStringLiteral("日付"), QStringLiteral("モード"), QStringLiteral("種別と範囲"),
                            QStringLiteral("問題数"), QStringLiteral("正解"), QStringLiteral("不正解"),
                            QStringLiteral("得点"), QStringLiteral("時間（分）")},
                           TwipsRect(Margin, 2280, PageWidth - 2 * Margin, 3420), FormFont(Face::PGothic, 9.75));
    DrillTable->setAccessibleName(QStringLiteral("これまでのドリル"));
    QHeaderView *header = DrillTable->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::Stretch);
    return page;
}

QWidget *Kiroku::MakeTimesPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Times"));
    const QFont font = FormFont(Face::PGothic, 9);

    TimesGrid = new QTableWidget(9, 9, page);
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

    const int gridBottom = TimesGrid->geometry().bottom() + 1;
    // Under the grid and the tries, two states to a line: a swatch with the
    // cells' colour and mark, and its name. Plain labels, not rich text (the
    // Windows and browser editions' Qt has no HTML reader).
    constexpr int LegendWidth = PageWidth - 2 * Margin;
    constexpr int LegendRow = 360;
    constexpr int Swatch = 420;
    Legend = MakeLabel(page, QStringLiteral("Legend"), QString(),
                       QRect(Twips(Margin), gridBottom + Twips(60), Twips(LegendWidth), Twips(2 * LegendRow)), font);
    int i = 0;
    for (engine::FactState state : {engine::FactState::NotTried, engine::FactState::OftenMissed,
                                    engine::FactState::Slow, engine::FactState::Known}) {
        const int left = (i % 2) * (LegendWidth / 2);
        const int top = (i / 2) * LegendRow;
        QLabel *swatch = MakeLabel(Legend, ArrayName("LegendMark", i), StateMark(state),
                                   TwipsRect(left, top + 30, Swatch, LegendRow - 60), font,
                                   Qt::AlignCenter);
        SetBackground(swatch, StateColour(state));
        MakeLabel(Legend, ArrayName("LegendText", i), StateName(state),
                  TwipsRect(left + Swatch + 90, top, LegendWidth / 2 - Swatch - 150, LegendRow), font,
                  Qt::AlignLeft | Qt::AlignVCenter);
        ++i;
    }

    const int right = TimesGrid->geometry().right() + 1 + Twips(120);
    const int rightWidth = Twips(PageWidth - Margin) - right;
    FactTitle = new QLabel(FactHint, page);
    FactTitle->setObjectName(QStringLiteral("FactTitle"));
    FactTitle->setFont(font);
    FactTitle->setWordWrap(true);
    FactTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FactTitle->setGeometry(right, Twips(Margin), rightWidth, Twips(720));
    FactTries = MakeTable(page, QStringLiteral("FactTries"),
                          {QStringLiteral("日時"), QStringLiteral("答え"), QStringLiteral("正誤"),
                           QStringLiteral("秒")},
                          QRect(right, Twips(870), rightWidth, gridBottom - Twips(870)), font);
    FactTries->setAccessibleName(QStringLiteral("選んだ問題の答え"));
    FactTries->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    FactTries->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    return page;
}

QWidget *Kiroku::MakeKindsPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Kinds"));
    KindTable = MakeTable(page, QStringLiteral("KindTable"),
                          {QStringLiteral("種別"), QStringLiteral("範囲"), QStringLiteral("答えた数"),
                           QStringLiteral("正答率（％）"), QStringLiteral("時間の中央値（秒）"),
                           QStringLiteral("よくまちがえる問題")},
                          TwipsRect(Margin, Margin, PageWidth - 2 * Margin, 5610), FormFont(Face::PGothic, 9.75));
    KindTable->setAccessibleName(QStringLiteral("九九のほかの計算"));
    KindTable->setWordWrap(true);
    KindTable->setItemDelegate(new RoomyRowDelegate(KindTable));
    QHeaderView *header = KindTable->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(5, QHeaderView::Stretch);
    KindTable->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return page;
}

QWidget *Kiroku::MakePracticePage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Practice"));
    const QFont font = FormFont(Face::PGothic, 10.5);
    const QFont noteFont = FormFont(Face::PGothic, 9);
    const QFont buttonFont = FormFont(Face::PGothic, 11);

    // What to practise: the settings screen's lists, the table's rows taking
    // the range's place for 九九.
    KindCaption = MakeLabel(page, QStringLiteral("KindCaption"), QStringLiteral("計算種別"),
                            TwipsRect(180, 180, 1200, 420), font, Qt::AlignLeft | Qt::AlignVCenter);
    KindList = new ComboBox(page, QStringLiteral("KindList"), 1440, 150, 3900, font);
    RangeCaption = MakeLabel(page, QStringLiteral("RangeCaption"), QStringLiteral("範囲"),
                             TwipsRect(180, 720, 1200, 420), font, Qt::AlignLeft | Qt::AlignVCenter);
    RowList = new ComboBox(page, QStringLiteral("RowList"), 1440, 690, 3900, font);
    RangeList = new ComboBox(page, QStringLiteral("RangeList"), 1440, 690, 3900, font); // over RowList
    WeakInfo = MakeLabel(page, QStringLiteral("WeakInfo"), QString(), TwipsRect(5580, 150, 4440, 1020), font,
                         Qt::AlignLeft | Qt::AlignVCenter);
    WeakInfo->setWordWrap(true);

    PracticeFrame = MakeFrame(page, QStringLiteral("PracticeFrame"), QStringLiteral("にがて練習"),
                              TwipsRect(Margin, 1290, PageWidth - 2 * Margin, 1800), font);
    PracticeCountCaption = MakeLabel(PracticeFrame, QStringLiteral("PracticeCountCaption"),
                                     QStringLiteral("問題数"), TwipsRect(180, 390, 1200, 435), font,
                                     Qt::AlignLeft | Qt::AlignVCenter);
    PracticeCount = new TextBox(PracticeFrame, QStringLiteral("PracticeCount"),
                                QString::number(engine::PracticeRule::DefaultCount), TwipsRect(1350, 390, 1200, 435),
                                font);
    StartPractice = new CommandButton(PracticeFrame, QStringLiteral("StartPractice"),
                                      QStringLiteral("にがて練習を始める"), TwipsRect(6330, 330, 3450, 555),
                                      buttonFont);
    PracticeNote = MakeLabel(PracticeFrame, QStringLiteral("PracticeNote"),
                             QStringLiteral("まちがえた問題と、答えるのに%1秒より長くかかった問題を先に出します。"
                                            "おぼえた問題も、間をあけて%2問に1問ほどまぜます。"
                                            "記録の画面と設定画面を閉じ、設定のモードでドリルを始めます。")
                                 .arg(engine::FactRule::SlowMs / 1000)
                                 .arg(engine::PracticeRule::KnownShareDivisor),
                             TwipsRect(180, 960, 9600, 780), noteFont);
    PracticeNote->setWordWrap(true);

    SheetFrame = MakeFrame(page, QStringLiteral("SheetFrame"), QStringLiteral("計算プリント"),
                           TwipsRect(Margin, 3180, PageWidth - 2 * Margin, 2520), font);
    SheetCountCaption = MakeLabel(SheetFrame, QStringLiteral("SheetCountCaption"),
                                  QStringLiteral("問題数（%1～%2）").arg(engine::WorksheetMinCount).arg(engine::WorksheetMaxCount),
                                  TwipsRect(180, 390, 2160, 435), font, Qt::AlignLeft | Qt::AlignVCenter);
    SheetCount = new TextBox(SheetFrame, QStringLiteral("SheetCount"), QStringLiteral("30"),
                             TwipsRect(2400, 390, 840, 435), font);
    SheetNumberCaption = MakeLabel(SheetFrame, QStringLiteral("SheetNumberCaption"), QStringLiteral("番号"),
                                   TwipsRect(3480, 390, 720, 435), font, Qt::AlignLeft | Qt::AlignVCenter);
    SheetNumber = new TextBox(SheetFrame, QStringLiteral("SheetNumber"), QString(), TwipsRect(4200, 390, 1200, 435),
                              font);
    SheetSource[0] = MakeOption(SheetFrame, ArrayName("SheetSource", 0), QStringLiteral("にがてな問題から"),
                                TwipsRect(180, 990, 2900, 420), font);
    SheetSource[1] = MakeOption(SheetFrame, ArrayName("SheetSource", 1), QStringLiteral("種別と範囲から"),
                                TwipsRect(3240, 990, 2900, 420), font);
    SheetSource[0]->setChecked(true);
    MakeSheet = new CommandButton(SheetFrame, QStringLiteral("MakeSheet"), QStringLiteral("プリントを作る"),
                                  TwipsRect(6330, 330, 3450, 555), buttonFont);
    SheetNote = MakeLabel(SheetFrame, QStringLiteral("SheetNote"),
                          QStringLiteral("A4の問題のページと、答えのページを作ります（PDF）。"
                                         "同じ番号からは同じプリントができます"
                                         "（にがてな問題からのときは、同じ日の同じ記録から）。"),
                          TwipsRect(180, 1530, 9600, 840), noteFont);
    SheetNote->setWordWrap(true);
    for (CommandButton *button : {StartPractice, MakeSheet})
        button->SetBackColour(ButtonRed);
    return page;
}

void Kiroku::ClearControls()
{
    Label1 = Legend = FactTitle = Status = Place = nullptr;
    Tabs = nullptr;
    Recent = Times = Kinds = nullptr;
    Chart = nullptr;
    DrillTable = TimesGrid = FactTries = KindTable = nullptr;
    Export = Erase = CloseButton = nullptr;
    Practice = nullptr;
    KindCaption = RangeCaption = WeakInfo = PracticeCountCaption = PracticeNote = nullptr;
    SheetCountCaption = SheetNumberCaption = SheetNote = nullptr;
    KindList = RangeList = RowList = nullptr;
    PracticeFrame = SheetFrame = nullptr;
    PracticeCount = SheetCount = SheetNumber = nullptr;
    StartPractice = MakeSheet = nullptr;
    SheetSource = {};
}

void Kiroku::Load()
{
    FillChoiceLists(KindList, RangeList, RowList);
    // The table first: what the record shows most.
    KindList->setCurrentIndex(KindList->findText(engine::KindLabel(study::TimesTableKind)));
    ShowRangeOrRow(KindList, RangeList);
    // A new sheet each opening; its number stays on screen to make it again.
    // Not the drill's generator: until a drill reseeds it from the clock it
    // runs the same sequence in every run, and so would the number.
    SheetNumber->setText(QString::number(QRandomGenerator::global()->bounded(1U, engine::WorksheetMaxNumber + 1)));
    Refresh();
    openingMessages_.clear();
    if (!readable_)
        openingMessages_ << Unreadable;
    openingMessages_ << platform::recordStore().TakeNotices();
}

namespace {

// The value of the list's text; one typed that matches no entry counts as
// the entry the list shows as current.
template <std::size_t N>
std::int16_t ValueOf(const ComboBox *list, const std::array<study::Choice, N> &table)
{
    for (const study::Choice &choice : table) {
        if (choice.Text() == list->currentText())
            return choice.value;
    }
    const int i = std::clamp(list->currentIndex(), 0, int(N) - 1);
    return table[std::size_t(i)].value;
}

} // namespace

engine::PracticeKind Kiroku::PickedKind() const
{
    engine::PracticeKind kind;
    kind.calcKind = ValueOf(KindList, study::CalcKindChoices);
    kind.rangeMax = kind.calcKind == study::TimesTableKind ? ValueOf(RowList, study::TimesRowChoices)
                                                           : ValueOf(RangeList, study::RangeChoices);
    return kind;
}

void Kiroku::KindList_Click()
{
    ShowRangeOrRow(KindList, RangeList);
    ShowWeakInfo();
}

void Kiroku::ShowWeakInfo()
{
    if (!WeakInfo)
        return;
    const engine::PracticeKind kind = PickedKind();
    int missed = 0;
    int slow = 0;
    int due = 0;
    const QDate today = QDate::currentDate();
    for (const engine::FactStanding &s : engine::StandingsOf(answers_, kind)) {
        missed += s.state == engine::FactState::OftenMissed;
        slow += s.state == engine::FactState::Slow;
        due += s.state == engine::FactState::Known && s.due <= today;
    }
    WeakInfo->setText(QStringLiteral("にがてな問題：%1問（よくまちがえる %2、遅い %3）\n"
                                     "おぼえた問題で、もう一度出す時期のもの：%4問")
                          .arg(missed + slow)
                          .arg(missed)
                          .arg(slow)
                          .arg(due));
}

void Kiroku::StartPractice_Click()
{
    const study::CountCheck check = study::CheckProblemCount(PracticeCount->text());
    const auto *accepted = std::get_if<study::CountAccepted>(&check);
    if (!accepted) {
        platform::messageBox().Show(study::CountRefusalMessage(check), platform::Buttons::Ok);
        if (IsLoaded())
            PracticeCount->setFocus();
        return;
    }
    const engine::PracticeKind kind = PickedKind();
    // Reseeded from the clock as a drill's build is: the draws differ from run
    // to run.
    platform::random().Reseed(platform::SecondsSinceMidnight());
    engine::PracticePlan plan =
        engine::PlanPractice(answers_, kind, accepted->count, QDate::currentDate(), platform::random());
    if (plan.weak == 0 && plan.known == 0 &&
        platform::messageBox().Show(NoWeakFacts, platform::Buttons::YesNo) != platform::ResultYes)
        return;
    if (!IsLoaded())
        return;
    // This window and the settings close; nothing of this form is touched after.
    navigator_.StartPractice(std::move(plan.problems), kind);
}

void Kiroku::MakeSheet_Click()
{
    // Whole numbers within bounds, typed as the parent likes (full-width
    // digits with the input method on).
    const auto whole = [](const QString &text, double least, double most) -> std::optional<long> {
        const std::optional<double> value = platform::TextToReal(text);
        if (!value || *value < least || *value > most || *value != std::floor(*value))
            return std::nullopt;
        return long(*value);
    };
    const std::optional<long> count = whole(SheetCount->text(), engine::WorksheetMinCount, engine::WorksheetMaxCount);
    if (!count) {
        platform::messageBox().Show(SheetCountRefused, platform::Buttons::Ok);
        if (IsLoaded())
            SheetCount->setFocus();
        return;
    }
    const std::optional<long> number = whole(SheetNumber->text(), 1, engine::WorksheetMaxNumber);
    if (!number) {
        platform::messageBox().Show(SheetNumberRefused, platform::Buttons::Ok);
        if (IsLoaded())
            SheetNumber->setFocus();
        return;
    }
    engine::WorksheetRequest request;
    request.kind = PickedKind();
    request.count = int(*count);
    request.fromWeak = SheetSource[0]->isChecked();
    request.number = std::uint32_t(*number);
    request.today = QDate::currentDate();
    const engine::Worksheet sheet = engine::MakeWorksheet(answers_, request);
    const QByteArray pdf = WorksheetPdf(sheet);
    platform::FileSaver &saver = platform::fileSaver();
    const platform::SaveResult result =
        saver.Save(Window(), QStringLiteral("計算プリントを保存"), engine::WorksheetFileName(sheet), pdf);
    if (result == platform::SaveResult::Failed) {
        platform::messageBox().Show(SheetFailed, platform::Buttons::Ok);
        return;
    }
    if (result != platform::SaveResult::Saved || !saver.CanOpenSaved())
        return;
    if (platform::messageBox().Show(SheetOpenQuestion, platform::Buttons::YesNo) == platform::ResultYes &&
        !saver.OpenSaved())
        platform::messageBox().Show(SheetOpenFailed, platform::Buttons::Ok);
}

void Kiroku::ShowOpeningMessages()
{
    const QStringList messages = std::exchange(openingMessages_, {});
    if (!messages.isEmpty())
        platform::messageBox().Show(messages.join(QLatin1Char('\n')), platform::Buttons::Ok);
}

void Kiroku::Refresh()
{
    platform::RecordStore &store = platform::recordStore();
    std::optional<platform::RecordContents> contents = store.ReadAll();
    readable_ = contents.has_value();
    answers_ = contents ? std::move(contents->answers) : std::vector<platform::AnswerRow>{};
    unreadable_ = contents ? contents->unreadable : 0;

    if (!readable_)
        Status->setText(Unreadable);
    else if (unreadable_ > 0)
        Status->setText(QStringLiteral("読み取れない記録が%1件ありました（消さずにそのまま残してあります）。")
                            .arg(unreadable_));
    else
        Status->clear();
    Place->setText(QStringLiteral("この記録はこの端末の中だけにあり、ほかへ送られることはありません。保存場所：%1")
                       .arg(store.Location()));

    FillRecent();
    FillTimes();
    FillKinds();
    ShowWeakInfo();
}

void Kiroku::FillRecent()
{
    Chart->SetDays(engine::ScoresByDay(answers_), readable_ ? NothingYet : Unreadable);

    const std::vector<engine::DrillSummary> drills = engine::SummariseDrills(answers_);
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
        FillRow(DrillTable, i,
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

void Kiroku::FillTimes()
{
    grid_ = engine::BuildTimesGrid(answers_);
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

void Kiroku::ShowFact(int row, int column)
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
        const platform::AnswerRow &a = answers_[std::size_t(*it)];
        FillRow(FactTries, line,
                {QStringLiteral("%1 %2").arg(ScoreChart::DayLabel(a.answeredAt.date()),
                                             a.answeredAt.toString(QStringLiteral("HH:mm"))),
                 a.typed, a.correct ? QStringLiteral("○") : QStringLiteral("×"), Seconds(a.elapsedMs)},
                align);
    }
}

void Kiroku::FillKinds()
{
    const std::vector<engine::KindSummary> kinds = engine::SummariseKinds(answers_);
    KindTable->clearContents();
    KindTable->setRowCount(int(kinds.size()));
    const QList<Qt::Alignment> align = {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight,
                                        Qt::AlignRight, Qt::AlignRight, Qt::AlignLeft};
    for (int i = 0; i < int(kinds.size()); ++i) {
        const engine::KindSummary &k = kinds[std::size_t(i)];
        QStringList missed;
        for (const engine::MissedProblem &m : k.mostMissed)
            missed << engine::ProblemText(m.problem) + QStringLiteral("（%1回）").arg(engine::FullWidthNumber(m.wrong));
        FillRow(KindTable, i,
                {engine::KindLabel(k.calcKind), engine::RangeLabel(k.calcKind, k.rangeMax),
                 QString::number(k.answered), QString::number(k.sharePercent),
                 k.medianMs ? Seconds(*k.medianMs) : QStringLiteral("－"), missed.join(QStringLiteral("　"))},
                align);
    }
}

void Kiroku::Export_Click()
{
    // Said in words: a greyed button would not say why.
    if (answers_.empty()) {
        platform::messageBox().Show(readable_ ? NothingToExport : Unreadable, platform::Buttons::Ok);
        return;
    }
    const QByteArray csv = engine::RecordCsv(answers_);
    const QString name = engine::RecordCsvName(QDate::currentDate());
    if (platform::fileSaver().Save(Window(), QStringLiteral("書き出す"), name, csv) == platform::SaveResult::Failed)
        platform::messageBox().Show(ExportFailed, platform::Buttons::Ok);
}

void Kiroku::Erase_Click()
{
    if (platform::messageBox().Show(EraseQuestion, platform::Buttons::YesNo) != platform::ResultYes)
        return;
    // The box's own loop may have let the settings (and this view) close.
    if (!IsLoaded())
        return;
    if (!platform::recordStore().Clear())
        platform::messageBox().Show(EraseRefused, platform::Buttons::Ok);
    if (IsLoaded())
        Refresh();
}

} // namespace forms
