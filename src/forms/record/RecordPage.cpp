#include "forms/record/RecordPage.h"

#include <QHeaderView>
#include <QTableWidget>

#include <utility>

namespace forms {

RecordPage::RecordPage(const QString &name, const QString &title) : title_(title)
{
    setObjectName(name);
}

void RecordPage::SetFocusOrder(QList<QWidget *> order)
{
    focusOrder_ = std::move(order);
}

namespace record {

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

void FillRow(QTableWidget *table, int row, const QStringList &texts, const QList<Qt::Alignment> &alignments)
{
    for (int c = 0; c < texts.size(); ++c) {
        auto *item = new QTableWidgetItem(texts[c]);
        item->setTextAlignment(alignments.value(c, Qt::AlignCenter) | Qt::AlignVCenter);
        table->setItem(row, c, item);
    }
}

QString Seconds(double ms)
{
    return QString::number(ms / 1000.0, 'f', 1);
}

} // namespace record

} // namespace forms
