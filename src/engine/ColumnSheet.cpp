#include "engine/ColumnSheet.h"

#include "engine/WorksheetLayout.h"

#include <algorithm>
#include <cstdlib>

namespace engine {

namespace {

constexpr double LargestCellMm = 12;
// A slot's rows in cells: the problem's number, the two numbers, the answer,
// and a little room before the next slot.
constexpr double SlotRowsInCells = 4.4;

int Digits(int value)
{
    return int(QString::number(std::abs(value)).size());
}

} // namespace

bool WorkedInColumns(const ProblemRecord &problem)
{
    const int l = problem.LeftOperand;
    const int r = problem.RightOperand;
    if (l < 0 || r < 0 || l > 999 || r > 999)
        return false;
    switch (problem.Operation) {
    case 1:
    case 2:
        return std::max(l, r) >= 10;
    case 3:
        return (l >= 10 && r < 10) || (r >= 10 && l < 10);
    default:
        return false;
    }
}

ColumnFigures InColumns(const ProblemRecord &problem)
{
    ColumnFigures figures;
    int upper = problem.LeftOperand;
    int lower = problem.RightOperand;
    // Two or three digits times one: the longer number on top, as taught.
    if (problem.Operation == 3 && upper < lower)
        std::swap(upper, lower);
    figures.upper = QString::number(upper);
    figures.lower = QString::number(lower);
    figures.answer = QString::number(problem.Answer);
    figures.columns = std::max({Digits(upper), Digits(lower), Digits(problem.Answer)});
    static const QChar Signs[] = {u'＋', u'－', u'×'};
    figures.sign = problem.Operation >= 1 && problem.Operation <= 3 ? Signs[problem.Operation - 1] : QChar(u'？');
    return figures;
}

ColumnSheetLayout LayOutColumnSheet(const std::vector<ProblemRecord> &problems, double width, double height)
{
    ColumnSheetLayout layout;
    layout.top = WorksheetHeadingMm;
    layout.slotWidth = width / layout.across;
    layout.slotHeight = (height - layout.top) / layout.down;
    int columns = 1;
    for (const ProblemRecord &p : problems)
        columns = std::max(columns, WorkedInColumns(p) ? InColumns(p).columns : 0);
    // The sign's column, the digits', and half a cell clear of the next slot.
    layout.cell = std::min({LargestCellMm, layout.slotWidth / (columns + 1.5), layout.slotHeight / SlotRowsInCells});
    return layout;
}

} // namespace engine
