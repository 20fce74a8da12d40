#pragma once

#include "engine/ProblemSet.h"

#include <QString>

#include <vector>

// 筆算: problems worked in columns on paper, as children are taught from the
// second year: the numbers one above the other, ones under ones, the sign at
// the left of the lower number, a rule, and a box for each digit of the
// answer. The layout is in millimetres of the printable area.
namespace engine {

// Whether a problem is worked in columns: a sum or a difference with a
// number of two or three digits, or two or three digits times one digit.
// Every other problem stays on one line.
bool WorkedInColumns(const ProblemRecord &problem);

// A problem's figures by column, the ones at the right: the digits of each
// row, right-aligned in `columns` columns (a carry into a new place gives the
// answer one more column than either number).
struct ColumnFigures {
    int columns = 1;
    QString upper;   // digits, without leading blanks
    QString lower;
    QString answer;
    QChar sign;      // ＋ － ×
};
ColumnFigures InColumns(const ProblemRecord &problem);

// The page: problems in a grid, `across` by `down`, each in a slot under the
// heading; every digit in a square cell.
struct ColumnSheetLayout {
    int across = 3;
    int down = 4;
    double top = 0;        // the first slot's top
    double slotWidth = 0;
    double slotHeight = 0;
    double cell = 0;       // a digit's square
    int PerPage() const { return across * down; }
    int Pages(int count) const { return (count + PerPage() - 1) / PerPage(); }
};
// Cells as large as the widest problem of the sheet lets them be, 12 mm at
// most.
ColumnSheetLayout LayOutColumnSheet(const std::vector<ProblemRecord> &problems, double width, double height);

} // namespace engine
