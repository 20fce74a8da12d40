#pragma once

#include "engine/Hyakumasu.h"
#include "forms/common/FormKit.h"

#include <QWidget>

#include <vector>

class QMouseEvent;

namespace forms {

// The cells of a 百ます計算 grid: the sign in the corner, the numbers across
// the top and down the side, a cell for each crossing, and the box the child
// types the current crossing in, lying over its cell.
class HyakumasuCells : public QWidget {
    Q_OBJECT
public:
    HyakumasuCells(QWidget *parent, const engine::HyakumasuGrid &grid, const QPoint &cornerTwips);

    QLabel *Cell(int crossing) const { return cells_[std::size_t(crossing)]; }
    TextBox *Entry = nullptr;

    // The crossing being typed now (its cell highlighted, the box over it);
    // -1: none, the box goes.
    void SetCurrent(int crossing);
    void SetText(int crossing, const QString &text);
    // A wrong crossing at the end: its cell red, with the right answer.
    void MarkWrong(int crossing, int answer);

signals:
    // A cell was tapped or clicked.
    void Tapped(int crossing);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void Paint(int crossing, const QColor &back, const QColor &text);

    std::vector<QLabel *> cells_;
    int current_ = -1;
};

// The side of a cell, in twips: the whole grid is about as large for either size.
int HyakumasuCellTwips(int size);

} // namespace forms
