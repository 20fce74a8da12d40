#pragma once

#include "engine/RecordReport.h"
#include "forms/common/Palette.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QTableWidget;

namespace forms {

// A page of the record's window, behind one of its tabs. It builds its own
// controls and shows the report of each reading of the record (at every
// opening, and again after an erase). Its controls are its own: the page is
// a child of the window and goes with it.
class RecordPage : public QWidget {
    Q_OBJECT
public:
    // name: the page's objectName; title: the text of its tab.
    RecordPage(const QString &name, const QString &title);

    QString Title() const { return title_; }
    // The page's controls in the order Tab takes them; the window chains the
    // pages' orders one after the other.
    const QList<QWidget *> &FocusOrder() const { return focusOrder_; }

    virtual void ShowReport(const engine::RecordReport &report) = 0;

protected:
    void SetFocusOrder(QList<QWidget *> order);

private:
    QString title_;
    QList<QWidget *> focusOrder_;
};

// What the record's pages have in common.
namespace record {

// A page's width inside the tabs, and the margin round its controls, in twips.
constexpr int PageWidth = 10140;
constexpr int Margin = 90;

using palette::ButtonRed;
inline const QString Unreadable =
    QStringLiteral("学習の記録を読み込めませんでした。ドリルはこれまでどおり使えます。");

// A read-only table of whole rows, headed by the texts.
QTableWidget *MakeTable(QWidget *parent, const QString &name, const QStringList &headers, const QRect &geometry,
                        const QFont &font);
// Puts the texts in the table's row, each cell aligned as given (centred
// where none is).
void FillRow(QTableWidget *table, int row, const QStringList &texts, const QList<Qt::Alignment> &alignments);
// "2.5" for 2500 ms.
QString Seconds(double ms);

} // namespace record

} // namespace forms
